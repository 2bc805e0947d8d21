// Scenarios to share: a starting situation, the route file, the instructor's conditions and an
// exercise, started from the page's address (#scenario=...) or a small file. The page starts again
// for one, so each opens the same from fresh units; what cannot be opened is refused in plain
// words and the running session goes on untouched.
import { cError, withCString } from './capi.js';
import { offerDownload } from './files.js';
import { CONDITIONS, instructorPanel, readInstructorPanel, setInstructorPanel } from './instructor.js';
import { decodeScenario, encodeScenario, FILE_NAME, fromScenarioFile, Refusal, scenarioFile } from './scenario_code.js';
import { flySituation, SITUATIONS, situationName } from './situations.js';
import { $, CFG_PATH, trainer } from './state.js';
import { applyWords, t } from './words.js';
import './words_instructor.js';

const KEY = 'scenario';
let pending = null;  // the scenario the address held as the page started: { scenario } or { refusal }

const addressScenario = () => new URLSearchParams(location.hash.slice(1)).get(KEY);
const exerciseCount = () => trainer.exercises.list.length;

function message(text, isError) {
  $('scenariomsg').textContent = text;
  $('scenariomsg').classList.toggle('error', !!isError);
  trainer.scenarioMessage = { text, error: !!isError };
}
const refusalText = (e) => (e instanceof Refusal ? t(e.id, e.values) : String(e.message || e));

// The side panel's section: situation and exercise to start, the link, the file. Built once the
// units are drawn (main.js), or before they start when the address holds a scenario.
export function buildPanel() {
  if ($('scenario')) return;
  const box = document.createElement('details');
  box.id = 'scenario';
  box.open = true;
  box.innerHTML = `<summary data-t="sc.title"></summary>
    <label><span data-t="sc.situation"></span> <select id="scsituation"></select></label>
    <label><span data-t="sc.exercise"></span> <select id="scexercise"></select></label>
    <div class="buttons"><button id="scstart" type="button" data-t="sc.start"></button>
      <button id="scshare" type="button" data-t="sc.share"></button>
      <button id="scdownload" type="button" data-t="sc.download"></button></div>
    <input id="sclink" type="text" readonly data-t-label="sc.linkLabel">
    <label><span data-t="sc.open"></span> <input id="scfile" type="file" accept=".q14scenario"></label>
    <p class="hint" data-t="sc.hint"></p>
    <progress id="scprogress" max="1" value="0" hidden></progress>
    <div id="scenariomsg" role="alert"></div>`;
  $('flight').after(box);
  applyWords(box);
  for (const s of SITUATIONS) {
    const o = new Option(situationName(s.id), s.id);
    o.dataset.t = 'sit.' + s.id;
    $('scsituation').add(o);
  }
  $('scexercise').add(new Option(t('sc.noExercise'), '0'));
  $('scexercise').options[0].dataset.t = 'sc.noExercise';
  for (let i = 1; i <= exerciseCount(); ++i) $('scexercise').add(new Option(String(i), String(i)));
  $('scstart').addEventListener('click', () => chosen().then((text) => start(text, true)));
  $('scshare').addEventListener('click', share);
  $('scdownload').addEventListener('click', download);
  $('scfile').addEventListener('change', openFile);
  window.addEventListener('hashchange', () => { const text = addressScenario(); if (text) start(text, true); });
}

// The scenario chosen in the panel, with the route file in the units' folder and the aircraft's conditions.
function chosen() {
  const panel = instructorPanel();
  return encodeScenario({
    situation: $('scsituation').value,
    route: window.Module.FS.readFile(CFG_PATH, { encoding: 'utf8' }),
    conditions: Object.fromEntries(CONDITIONS.map((k) => [k, panel[k]])),
    exercise: Number($('scexercise').value),
  });
}
// The page's address with a scenario; a link to share leaves this page's own query (its language,
// ?hold) behind.
const linkOf = (text, query = '') => `${location.origin}${location.pathname}${query}#${KEY}=${text}`;

async function share() {
  const link = linkOf(await chosen());
  $('sclink').value = link;
  $('sclink').select();
  let copied = false;
  try { await navigator.clipboard.writeText(link); copied = true; } catch (e) { /* no clipboard here: the box shows it */ }
  message(t(copied ? 'sc.copied' : 'sc.made'));
}

async function download() {
  offerDownload(scenarioFile(await chosen()), FILE_NAME, 'text/plain');
}

function openFile(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  file.text().then((content) => start(fromScenarioFile(content), true)).catch((e) => message(refusalText(e), true));
}

// Route 0 of a route file must be flyable: the page parks the aircraft on its first waypoint.
function routeProblem(route) {
  const ok = withCString(route, (p, len) => window.Module._trainer_route(p, len, 0, 1));
  return ok ? '' : cError();
}

// Checks a scenario's text and starts the page again with it, after asking; a refusal leaves
// everything as it is.
async function start(text, ask) {
  let sc;
  try {
    sc = await decodeScenario(text, exerciseCount());
    const why = routeProblem(sc.route);
    if (why) throw new Refusal('sc.badRoute', { why });
  } catch (e) {
    message(refusalText(e), true);
    if (addressScenario() !== null) history.replaceState(null, '', location.pathname + location.search);
    return;
  }
  if (ask && !window.confirm(t('sc.confirm', { name: situationName(sc.situation) }))) {
    if (addressScenario() !== null) history.replaceState(null, '', location.pathname + location.search);
    return;
  }
  trainer.leaving = true;
  history.replaceState(null, '', linkOf(text, location.search));
  location.reload();
}

// Before the program runs (a preRun step): reads the scenario the address holds, if any; the
// program waits for it, since its route file must be in place before the units start.
export function prepareScenario() {
  const text = addressScenario();
  if (text === null) return;
  const Module = window.Module;
  Module.addRunDependency(KEY);
  decodeScenario(text, trainer.exercises.list.length)
    .then((scenario) => { pending = { scenario }; }, (refusal) => { pending = { refusal }; })
    .finally(() => Module.removeRunDependency(KEY));
}

// As the units are about to start: the scenario of the address, with the section: its route file
// into the units' folder now, its situation flown once the page is up (the frames held till then).
export function openScenario() {
  trainer.situation = 'cold';
  if (!pending) return;
  buildPanel();
  let why = pending.refusal ? refusalText(pending.refusal) : '';
  const sc = pending.scenario;
  if (!why) {
    const problem = routeProblem(sc.route);
    if (problem) why = t('sc.badRoute', { why: problem });
  }
  if (why) {
    message(why, true);
    history.replaceState(null, '', location.pathname + location.search);
    return;
  }
  window.Module.FS.writeFile(CFG_PATH, sc.route);
  $('sclink').value = linkOf(addressScenario());
  trainer.situation = sc.situation;
  trainer.scenario = { state: 'flying', ...sc };
  $('scsituation').value = sc.situation;
  $('scexercise').value = String(sc.exercise);
  // No frame runs before the flight: the page's first frames come with a drawn screen, later
  // than this, which starts as soon as the page's start-up is done.
  const held = trainer.hold;
  trainer.hold = true;
  Promise.resolve().then(() => {
    trainer.hold = held;
    return fly(sc);
  });
}

async function fly(sc) {
  $('scprogress').hidden = false;
  const result = await flySituation(sc.situation, (text, fraction) => { message(text); $('scprogress').value = fraction; });
  $('scprogress').hidden = true;
  readInstructorPanel();
  setInstructorPanel(sc.conditions);
  if (sc.exercise) trainer.exercises.start(sc.exercise - 1);
  const name = situationName(sc.situation);
  message(result.ok ? `${result.text} ${sc.exercise ? t('sc.openedExercise', { name, exercise: sc.exercise }) : t('sc.opened', { name })}`
    : result.text, !result.ok);
  trainer.scenario.state = result.ok ? 'ready' : 'failed';
}

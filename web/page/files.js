// The page's files: the virtual simulator folder, unit 2's saved flights (download, resume),
// the route file (edit, check, use, download) and flight plans imported into it.
import { api, cError, withCString } from './capi.js';
import { $, CFG_PATH, FLIGHT_PATH, RESUME_KEY, ROUTE_KEY, SIM_DIR, STATE_FILE, STATE_SIZE, setStatus, trainer } from './state.js';
import { LANGUAGE_EVENT, sayIn, t } from './words.js';
import './words_files.js';
import { wordMessage } from './words_messages.js';

// Samples per leg of the route the map draws (trainer_route's per_leg).
const PER_LEG = 32;
// Host event "the current flight was saved".
const EVENT_FLIGHT_SAVED = 38;
// Frames unit 2 gets to write its state after the save event.
const SAVE_WAIT_FRAMES = 200;

// The units' code, compiled off the main thread since the page began to load (index.html; a
// browser refuses to compile it synchronously when dlopen asks), is loaded into the program
// before it starts, where dlopen finds it (the loader's table of preloaded modules).
const UNIT_FILES = ['/q14_n1.so', '/q14_n2.so'];
function prepareUnits() {
  const Module = window.Module;
  const load = window.loadWebAssemblyModule;
  if (typeof load !== 'function' || !Module.preloadedWasm) {
    // A loader without that table: the units' files, loaded by the program's own preloading.
    for (const f of UNIT_FILES) Module.FS.createPreloadedFile('/', f.slice(1), f.slice(1).replace('.so', '.wasm'), true, false);
    return;
  }
  Module.addRunDependency('units');
  Promise.all(window.q14Early.units).then((modules) => {
    modules.forEach((m, i) => { Module.preloadedWasm[UNIT_FILES[i]] = load(m, { nodelete: true }); });
    Module.removeRunDependency('units');
  }).catch((e) => setStatus('status.startFailed', { error: e.message }, true));
}

export function prepareFiles() {
  const FS = window.Module.FS;
  FS.mkdirTree(SIM_DIR + '/gauges/q14_cfg');
  FS.mkdirTree(SIM_DIR + '/flights');
  prepareUnits();
  const edited = localStorage.getItem(ROUTE_KEY);
  if (edited !== null) FS.writeFile(CFG_PATH, edited);
  else FS.createPreloadedFile(SIM_DIR + '/gauges/q14_cfg', 'q14_ppm.cfg', 'q14_ppm.cfg', true, true);
  // A flight chosen for resuming: unit 2 restores it when it starts with this flight loaded.
  const resume = sessionStorage.getItem(RESUME_KEY);
  if (resume !== null) {
    sessionStorage.removeItem(RESUME_KEY);
    const bytes = Uint8Array.from(atob(resume), (c) => c.charCodeAt(0));
    if (bytes.length === STATE_SIZE) {
      FS.writeFile(STATE_FILE, bytes);
      trainer.resumed = true;
    }
  }
}

// Route 0 of a route file's text, for the map: its waypoints and the legs between them.
export function loadRoute(cfg) {
  const Module = window.Module;
  trainer.route = [];
  trainer.routePath = [];
  const n = withCString(cfg, (p, len) => Module._trainer_route(p, len, 0, PER_LEG));
  trainer.routeError = n ? '' : cError();
  const path = new Float64Array(Module.HEAPF64.buffer, api.trainer_route_path(), 2 * api.trainer_route_path_points());
  for (let i = 0; i < path.length; i += 2) trainer.routePath.push({ lat: path[i], lon: path[i + 1] });
  const legs = Math.max(0, n - 1);
  for (let i = 0; i < legs; ++i) trainer.route.push(trainer.routePath[i * (PER_LEG + 1)]);
  if (n) trainer.route.push(trainer.routePath[trainer.routePath.length - 1]);
}

// ---- saved flights -----------------------------------------------------------------------------------------

// Offers `data` (complete: the page never hands out a file it is still writing) as a download.
export function offerDownload(data, name, type) {
  const url = URL.createObjectURL(new Blob([data], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function fileMessage(id, values, isError) {
  sayIn($('filemsg'), id, values);
  $('filemsg').classList.toggle('error', !!isError);
}

// Unit 2 writes its state beside the current flight when the simulator saves it (event 38);
// the file appears some frames later and is offered as a download once complete.
function saveFlight() {
  const FS = window.Module.FS;
  try { FS.unlink(STATE_FILE); } catch (e) { /* none yet */ }
  withCString(FLIGHT_PATH, (p) => window.Module._trainer_raise_event(EVENT_FLIGHT_SAVED, p));
  fileMessage('flight.saving');
  trainer.saveWaitFrames = 0;
  trainer.pendingSave = true;
}

export function checkSave() {
  if (!trainer.pendingSave) return;
  let bytes = null;
  try { bytes = window.Module.FS.readFile(STATE_FILE); } catch (e) { bytes = null; }
  if (bytes && bytes.length === STATE_SIZE) {
    trainer.pendingSave = false;
    trainer.savedState = bytes;
    offerDownload(bytes, 'Trainer.FLT.insb', 'application/octet-stream');
    fileMessage(recordUnitOn(bytes) ? 'flight.saved' : 'flight.savedOff');
  } else if (++trainer.saveWaitFrames > SAVE_WAIT_FRAMES) {
    trainer.pendingSave = false;
    fileMessage('flight.notWritten', {}, true);
  }
}

// Runs fn on a copy of `bytes` in the program's memory.
function withBytes(bytes, fn) {
  const Module = window.Module;
  const p = Module._malloc(bytes.length);
  try {
    Module.HEAPU8.set(bytes, p);
    return fn(p);
  } finally {
    Module._free(p);
  }
}

// The values of a saved flight out of range (null when all are in range), checked against the
// record layout before unit 2 is handed the file.
function checkFlight(bytes) {
  const raw = withBytes(bytes, (p) => window.Module.UTF8ToString(api.trainer_check_flight(p, bytes.length)));
  return raw ? JSON.parse(raw) : null;
}

const recordUnitOn = (bytes) => withBytes(bytes, (p) => api.trainer_flight_unit_on(p, bytes.length)) === 1;

function resumeFlight(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  if (file.size !== STATE_SIZE) {
    fileMessage('flight.wrongSize', { name: file.name, size: file.size, want: STATE_SIZE }, true);
    return;
  }
  file.arrayBuffer().then((buf) => {
    const bytes = new Uint8Array(buf);
    const findings = checkFlight(bytes);
    if (findings) {
      fileMessage('flight.refused', { name: file.name, count: findings.count, findings: findings.findings }, true);
      return;
    }
    if (!window.confirm(t('flight.discard'))) return;
    let s = '';
    for (const b of bytes) s += String.fromCharCode(b);
    // The units restore a flight when they start with it loaded: start the page again.
    sessionStorage.setItem(RESUME_KEY, btoa(s));
    trainer.leaving = true;
    location.reload();
  });
}

// ---- route file ---------------------------------------------------------------------------------

// The route check's findings on a route file: errors (the units would misread it) and warnings,
// each {line, key, severity, message: {id, values}} (words_messages.js words the message).
function checkRoute(text) {
  const Module = window.Module;
  return JSON.parse(withCString(text, (p, len) => Module.UTF8ToString(Module._trainer_check_route(p, len))));
}

// The findings in the list under the route text, then a closing line (text id and values, or a
// function giving the text); worded again when the language changes.
let shown = { findings: [], ok: null };
function showFindings(findings, ok) {
  shown = { findings, ok };
  const list = $('cfgmsg');
  list.textContent = '';
  for (const f of findings) {
    const li = document.createElement('li');
    li.className = f.severity === 'warning' ? 'warning' : 'error';
    const where = [f.line ? t('route.line', { line: f.line }) : '', f.key].filter((x) => x).join(', ');
    const reason = f.message ? wordMessage(f.message) : f.words ? f.words() : t(f.id);
    li.textContent = `${where ? where + ': ' : ''}${f.severity === 'warning' ? t('route.warning') : ''}${reason}`;
    list.appendChild(li);
  }
  if (ok) {
    const li = document.createElement('li');
    li.className = 'ok';
    li.textContent = typeof ok === 'function' ? ok() : t(ok.id, ok.values);
    list.appendChild(li);
  }
}
document.addEventListener(LANGUAGE_EVENT, () => showFindings(shown.findings, shown.ok));

// A flight plan into one route of the text being edited, by the bench tool's import rules. The
// plan's bytes go over as they are (it may be UTF-16); the edited text changes only on success.
function importPlan(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  file.arrayBuffer().then((buf) => {
    const Module = window.Module;
    const bytes = new Uint8Array(buf);
    const p = Module._malloc(bytes.length + 1);
    let result;
    try {
      Module.HEAPU8.set(bytes, p);
      result = JSON.parse(Module.UTF8ToString(withCString($('cfgtext').value, (c, len) =>
        Module._trainer_import_plan(p, bytes.length, Number($('plnroute').value), c, len))));
    } finally {
      Module._free(p);
    }
    if (result.error) {
      showFindings([{ line: 0, key: '', severity: 'error',
        words: () => t('route.notImported', { name: file.name, why: wordMessage(result.error) }) }]);
      return;
    }
    $('cfgtext').value = result.text;
    const route = $('plnroute').value;
    showFindings(checkRoute($('cfgtext').value), () => t('route.imported', { route, name: file.name,
      notes: result.notes.map((n) => `; ${wordMessage(n)}`).join('') }));
  });
}

const unappliedEdits = () => $('cfgtext').value !== trainer.appliedRoute;

function bindRouteFile() {
  const Module = window.Module;
  $('cfgtext').value = trainer.appliedRoute = Module.FS.readFile(CFG_PATH, { encoding: 'utf8' });
  $('cfgcheck').addEventListener('click', () => {
    const findings = checkRoute($('cfgtext').value);
    showFindings(findings, findings.length ? null : { id: 'route.noFindings' });
  });
  $('cfgapply').addEventListener('click', () => {
    const text = $('cfgtext').value;
    const findings = checkRoute(text);
    // Route 0 must be flyable (the map draws it, the reload corner loads it).
    if (!withCString(text, (p, len) => Module._trainer_route_flyable(p, len))) {
      showFindings(findings.concat([{ line: 0, key: '', severity: 'error', id: 'route.unflyable' }]));
      return;
    }
    Module.FS.writeFile(CFG_PATH, text);
    trainer.appliedRoute = text;
    try { localStorage.setItem(ROUTE_KEY, text); } catch (e) { /* storage full or off: this page only */ }
    loadRoute(text);
    showFindings(findings, { id: 'route.applied' });
  });
  $('cfgdownload').addEventListener('click', () => offerDownload($('cfgtext').value, 'q14_ppm.cfg', 'text/plain'));
  $('plnfile').addEventListener('change', importPlan);
  $('cfgreset').addEventListener('click', () => {
    if (unappliedEdits() && !window.confirm(t('route.discardEdits'))) return;
    fetch('q14_ppm.cfg').then((r) => r.text()).then((t) => { $('cfgtext').value = t; showFindings([]); });
  });
}

export function bindFiles() {
  $('save').addEventListener('click', saveFlight);
  $('resume').addEventListener('change', resumeFlight);
  bindRouteFile();
  // Reloading or leaving the page would lose the session: the browser asks first.
  window.addEventListener('beforeunload', (ev) => {
    if (trainer.leaving || !trainer.ready) return;
    ev.preventDefault();
    ev.returnValue = t('page.leave');
  });
}

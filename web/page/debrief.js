// The debrief of an exercise: the time it took, the wrong entries (keys a unit showed no response
// to, numbers it refused on VVOD, entries cancelled with SBROS) and, when the aircraft flew, its
// true cross-track from the route leg at each waypoint passed; shown, and saved as a text report.
import { api, areaKey, F, PAGE, UVI } from './capi.js';
import { caption } from './caption_words.js';
import { focusHolder } from './focus.js';
import { aircraft } from './instructor.js';
import { shownLeg } from './map.js';
import { gaugeText, hasElement, needleAngle, walkAll } from './panels.js';
import { trainer } from './state.js';
import { lang, t } from './words.js';
import './words_debrief.js';

// The UVI keys whose presses are judged, by mouse area: a digit, or the caption of a function key.
const KEY_AREAS = { Key0: 0, Key1: 1, Key2: 2, Key3: 3, Key4: 4, Key5: 5, Key6: 6, Key7: 7, Key8: 8, Key9: 9,
  Enter: 'VVOD', Reset: 'SBROS', RouteChange: 'IZM_MARSH', Hold: 'OST_INDIK' };
// PC keys that end an entry, as the user guide lists them: Enter commits (VVOD), keypad minus cancels (SBROS).
const PC_CLOSING = { Enter: 'Enter', NumpadEnter: 'Enter', NumpadSubtract: 'Reset' };
// A coordinate as an entry line and the page show it ("  55*45,5'", " 037*36,2'").
const COORD = /^\s*\d{2,3}\*\d\d,\d'$/;

let run = null;       // the exercise being debriefed
let lastCode = '';    // the code of the last PC key pressed, to name a key a unit took
// Registered when the page loads, so it sees a key before the keyboard focus may swallow it.
window.addEventListener('keydown', (ev) => { lastCode = ev.code; }, true);

const frameNumber = () => api.trainer_frame_number();
const elapsed = () => (performance.now() - run.t0) / 1000;

// The bitmap element k of a gauge is drawn with (an icon's frame), -1 when it is hidden.
function bitmapOf(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields) if (s[b + F.Element] === k) return s[b + F.Bitmap];
  return -1;
}

// The page the mode knob of a UVI stands at (its pointer turns 30 degrees a page from 120).
export const knobPage = (uvi) => Math.round((needleAngle(uvi, UVI.el.ModeKnob) - 120) / 30);

// What unit u's UVI shows that a key can change.
function snap(u) {
  const g = trainer.units[u].gauges.Q14_UVI;
  return {
    enterLit: hasElement(g, UVI.el.EnterLamp), routeLit: hasElement(g, UVI.el.RouteLamp),
    holdLit: hasElement(g, UVI.el.HoldLamp), wheel: bitmapOf(g, UVI.el.Wheel),
    upper: gaugeText(g, UVI.el.UpperLine), lower: gaugeText(g, UVI.el.LowerLine),
    from: gaugeText(g, UVI.el.FromDigit), to: gaugeText(g, UVI.el.ToDigit), page: knobPage(g),
  };
}

// The entry being typed as the display shows it: the OT and DO digits of a leg, else its lines.
function entryText(b) {
  if (b.routeLit) return `${b.from}${b.to}`.trim();
  return [b.upper, b.lower].map((s) => s.trim()).filter(Boolean).join(' ');
}

// True when a VVOD left the unit's target as it was: a coordinate the page shows again differently
// after the commit (the unit keeps its old value for a number out of range), or a waypoint of the
// file chosen by a route digit the unit has not ("LAT PPM --").
function numberRefused(b, after) {
  if (/PPM --$/.test(b.upper)) return true;
  if (b.page !== after.page) return false;
  const line = COORD.test(b.upper) && !b.lower.trim() ? 'upper' : COORD.test(b.lower) && !b.upper.trim() ? 'lower' : '';
  return line !== '' && after[line] !== b[line];
}

const closing = (key) => (key.area ? { Enter: 'Enter', Reset: 'Reset' }[key.area] : PC_CLOSING[key.pc]);

// How a unit took a key pressed with its UVI showing `b`, now that it shows `after`: null when it
// responded, else [kind, the entry as typed]. With no entry open a key responds by lighting or
// dimming a lamp (an entry, a leg entry or a hold starts or ends) or turning the wheel; within an
// entry also by changing what the entry shows. A zero typed on zeros shows nothing new, so an
// entry of zeros alone is never judged; nor is a key while the display test at KONTR (a unit
// switched on) lights every lamp and segment.
const testShown = (o) => o.page === PAGE.Kontr && o.upper.trim() !== '';
function judge(key, b, after) {
  if (testShown(b) || testShown(after)) return null;
  const lampsOrWheel = ['enterLit', 'routeLit', 'holdLit', 'wheel'].some((k) => b[k] !== after[k]);
  if (!b.enterLit) return lampsOrWheel ? null : ['refused', ''];
  const typed = entryText(b);
  if (!after.enterLit) {
    if (closing(key) === 'Reset') return ['cancelled', typed];
    return numberRefused(b, after) ? ['rejected', typed] : null;
  }
  if (lampsOrWheel) return null;
  const changed = b.routeLit ? b.from !== after.from || b.to !== after.to : b.upper !== after.upper || b.lower !== after.lower;
  if (changed || (/\d/.test(typed) && !/[1-9]/.test(typed))) return null;
  return ['refused', typed];
}

// Judges every key pressed before the frame the units last ran (the display cycle has taken it).
function settle() {
  const now = frameNumber();
  run.pending = run.pending.filter((p) => {
    if (p.frame >= now) return true;
    const verdict = judge(p.key, p.before, snap(p.u));
    if (verdict) run.wrong.push({ at: p.at, u: p.u, key: p.key, kind: verdict[0], text: verdict[1] });
    return false;
  });
}

// Notes a key of unit u about to reach it, with what its UVI shows before.
function pressing(u, key) {
  if (!run || !run.units.includes(u)) return null;
  walkAll();
  settle();
  const p = { u, key, before: snap(u), frame: frameNumber(), at: elapsed() };
  run.pending.push(p);
  return p;
}

// Watches the clicks on the UVI keys and the PC keys a unit takes, through the program's calls,
// and runs the first frame after a key on its own, so that the key is judged on the display cycle
// that took it, whoever runs the frames.
function watchKeys() {
  if (run.watching || !api.trainer_click) return;
  const click = api.trainer_click, key = api.trainer_key, runFrames = window.Module._trainer_frames;
  const frames = (n) => {
    if (n > 0 && run && run.pending.length) {
      runFrames(1);
      walkAll();
      settle();
      --n;
    }
    if (n > 0) runFrames(n);
  };
  api.trainer_frames = frames;
  window.Module._trainer_frames = frames;
  api.trainer_click = (u, g, k) => {
    const gauge = trainer.units[u] && trainer.units[u].gauges.Q14_UVI;
    const area = gauge && gauge.g === g ? areaKey('Q14_UVI', k) : undefined;
    if (area in KEY_AREAS) pressing(u, { area });
    return click(u, g, k);
  };
  api.trainer_key = (scan, release) => {
    const u = release ? 0 : focusHolder();
    const p = u ? pressing(u, { pc: lastCode }) : null;
    const taken = key(scan, release);
    // A key the hook passed on never reached the unit.
    if (p && !taken) run.pending = run.pending.filter((x) => x !== p);
    return taken;
  };
  run.watching = true;
}

// Starts the debrief of exercise `n` (1-based) worked on `units`.
export function beginDebrief(n, units) {
  const watching = !!(run && run.watching);
  run = { n, units, watching, t0: performance.now(), sim0: null, pending: [], wrong: [], legs: [], leg: {}, legEntry: {},
    flew: false };
  observeDebrief();
}

// The waypoint unit u passed when its leg changed from `before` ("12") to `now`, and how far the
// aircraft was then from that leg of route 0 of the route file.
function passed(u, before, byHand, ac) {
  const from = Number(before[0]), to = Number(before[1]);
  const a = trainer.route[from - 1], b = trainer.route[to - 1];
  const xtKm = a && b && from !== to ? window.Module._debrief_cross_track_km(a.lat, a.lon, b.lat, b.lon, ac.lat, ac.lon) : null;
  return { u, from, to, byHand, xtKm, lat: ac.lat, lon: ac.lon };
}

// Follows the units after they ran or were clicked (their panels walked): keys taken, the flight,
// leg changes. A change that follows a lit IZM MARSH lamp was made by hand.
export function observeDebrief() {
  if (!run || !trainer.ready) return;
  watchKeys();
  settle();
  const ac = aircraft();
  if (run.sim0 === null) run.sim0 = ac.simTime;
  if (ac.fly) run.flew = true;
  for (const u of run.units) {
    if (hasElement(trainer.units[u].gauges.Q14_UVI, UVI.el.RouteLamp)) run.legEntry[u] = true;
    const leg = shownLeg(u);
    if (leg === null || !/^\d\d$/.test(leg)) continue;
    const before = run.leg[u];
    run.leg[u] = leg;
    if (before && /^\d\d$/.test(before) && before !== leg) run.legs.push(passed(u, before, !!run.legEntry[u], ac));
    run.legEntry[u] = false;
  }
}

// The debrief of the exercise just completed, titled `title`.
export function finishDebrief(title) {
  observeDebrief();
  const legs = run.flew ? run.legs : [];
  let largest = null;
  for (const l of legs) if (l.xtKm !== null && (!largest || Math.abs(l.xtKm) > Math.abs(largest.km))) largest = { km: l.xtKm, wp: l.to };
  run.units = [];  // done: its units' keys are no longer watched
  return { n: run.n, title, date: new Date().toISOString(), timeS: elapsed(), simS: aircraft().simTime - run.sim0,
    wrong: run.wrong.slice(), flew: run.flew, legs, largest };
}

// Seconds as m:ss (h:mm:ss from an hour).
export function clock(s) {
  const n = Math.max(0, Math.round(s));
  const mm = String(Math.floor(n / 60) % 60), ss = String(n % 60).padStart(2, '0');
  return n >= 3600 ? `${Math.floor(n / 3600)}:${mm.padStart(2, '0')}:${ss}` : `${mm}:${ss}`;
}
// Kilometres with two decimals in the page's language, signed when asked.
export function km(v, signed = false) {
  const s = (signed && v >= 0 ? '+' : '') + v.toFixed(2);
  return lang === 'ru' ? s.replace('.', ',').replace('-', '−') : s;
}

function keyName(key) {
  if (key.pc !== undefined) return t('debrief_pc_key', { code: key.pc || '?' });
  const k = KEY_AREAS[key.area];
  return typeof k === 'number' ? t('debrief_key', { d: k }) : caption(k);
}

// The debrief as lines of text: [text, indented].
function reportLines(r) {
  const lines = [[t('debrief_exercise', { n: r.n, title: r.title }), false],
    [t('debrief_completed', { date: r.date.substring(0, 16).replace('T', ' ') + ' UTC' }), false],
    [t('debrief_time', { time: clock(r.timeS), sim: clock(r.simS) }), false],
    [t('debrief_wrong', { n: r.wrong.length }), false]];
  for (const w of r.wrong)
    lines.push([t(`debrief_${w.kind}`, { at: clock(w.at), u: w.u, key: keyName(w.key), text: `"${w.text}"` }), true]);
  if (!r.flew) return lines;
  lines.push([t('debrief_xt_head'), false]);
  if (!r.legs.length) lines.push([t('debrief_xt_none'), true]);
  for (const l of r.legs) {
    const v = { wp: l.to, from: l.from, to: l.to, hand: l.byHand ? t('debrief_by_hand') : '' };
    lines.push([l.xtKm === null ? t('debrief_xt_off_route', v) : t('debrief_xt_row', { ...v, km: km(l.xtKm, true) }), true]);
  }
  if (r.largest) lines.push([t('debrief_largest', { km: km(r.largest.km, true), wp: r.largest.wp }), false]);
  return lines;
}

export function reportText(r) {
  return [t('debrief_file_title'), ''].concat(reportLines(r).map(([s, sub]) => (sub ? '  ' : '') + s)).join('\n') + '\n';
}

function saveReport(r) {
  const url = URL.createObjectURL(new Blob([reportText(r)], { type: 'text/plain;charset=utf-8' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = `q14_debrief_${r.n}.txt`;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// The debrief as the exercise list shows it, with its save button.
export function debriefView(r) {
  const box = document.createElement('div');
  box.className = 'debrief';
  const head = document.createElement('h4');
  head.textContent = t('debrief_title');
  box.appendChild(head);
  for (const [s, sub] of reportLines(r)) {
    const line = document.createElement('div');
    line.className = sub ? 'db-item' : 'db-line';
    line.textContent = s;
    box.appendChild(line);
  }
  const b = document.createElement('button');
  b.type = 'button';
  b.className = 'db-save';
  b.textContent = t('debrief_save');
  b.addEventListener('click', () => saveReport(r));
  box.appendChild(b);
  return box;
}

// Guided exercises of the trainer: procedures of the user guide as steps that tick themselves
// off from what the page observes of one unit (its knob and selector, lamps, display texts and
// named values), each only on the whole state it names. Steps tick in order; an exercise can be
// restarted at any time; a completed one shows its debrief and is kept in the progress. The words
// are in exercise_texts.js.
import { namedValue, PAGE, PUR, SEL, UVI } from './capi.js';
import { withCaptions } from './caption_words.js';
import { beginDebrief, debriefView, finishDebrief, knobPage, observeDebrief } from './debrief.js';
import { EXERCISE_LANGUAGES, EXERCISE_TEXTS, EXERCISE_WORDS } from './exercise_texts.js';
import { aircraft } from './instructor.js';
import { gaugeText, hasElement, needleAngle } from './panels.js';
import { bindProgress, progressNote, recordResult } from './progress.js';
import { trainer } from './state.js';

const AVT = -120;  // the AVT/RUCHN lever's angle at AVT
const FAULT_OFF_DEG = 0.2;  // the wrong start latitude of the alignment-fault exercise
const blank = (s) => !s || !s.trim();

// Degrees and tenths of minutes as the display shows them ("55*58,4'") and as keys ("5 5 5 8 4").
function dm(v, width) {
  const tenths = Math.round(Math.abs(v) * 600);
  const deg = String(Math.floor(tenths / 600)).padStart(width, '0');
  const min = String(Math.floor((tenths % 600) / 10)).padStart(2, '0');
  return { shown: `${deg}*${min},${tenths % 10}'`, keys: `${deg}${min}${tenths % 10}`.split('').join(' ') };
}
const reads = (line, text) => !!line && line.trim().replace(/^0+/, '') === text.replace(/^0+/, '');
// A display line ("55*58,4'") in tenths of minutes; NaN when it shows no position.
function tenthsOf(line) {
  const m = /(\d+)\*(\d+),(\d)/.exec(line || '');
  return m ? Number(m[1]) * 600 + Number(m[2]) * 10 + Number(m[3]) : NaN;
}
// How far the unit's phi/lambda lines are off a position, in tenths of minutes (north, east).
const offBy = (o, pos) => ({ north: tenthsOf(o.upper) - Math.round(Math.abs(pos.lat) * 600),
  east: tenthsOf(o.lower) - Math.round(Math.abs(pos.lon) * 600) });
// Within `steps` of the display's last digit (0,1') of the position in both lines.
const agrees = (o, pos, steps = 1) => { const d = offBy(o, pos); return Math.abs(d.north) <= steps && Math.abs(d.east) <= steps; };
const minutes = (t) => `${t < 0 ? '-' : '+'}${Math.floor(Math.abs(t) / 10)},${Math.abs(t) % 10}'`;

// The initial great-circle course from a to b, degrees 0..359.
function courseDeg(a, b) {
  const r = Math.PI / 180;
  const y = Math.sin((b.lon - a.lon) * r) * Math.cos(b.lat * r);
  const x = Math.cos(a.lat * r) * Math.sin(b.lat * r) - Math.sin(a.lat * r) * Math.cos(b.lat * r) * Math.cos((b.lon - a.lon) * r);
  return (Math.atan2(y, x) / r + 360) % 360;
}

// The values the texts give, from route 0 as loaded in the page: the start position (the aircraft
// starts at waypoint 1) and waypoint 2, the fix.
function exerciseValues() {
  const r = trainer.route;
  const start = r[0] || trainer.startPosition || { lat: 0, lon: 0 };
  const wp2 = r[1] || start;
  const fix = state.memory.fix || start;
  const v = {};
  const put = (name, lat, lon) => {
    const a = dm(lat, 2);
    const o = dm(lon, 3);
    Object.assign(v, { [name + 'Lat']: `${lat < 0 ? 'S' : 'N'} ${a.shown}`, [name + 'LatKeys']: a.keys, [name + 'LatShown']: a.shown,
      [name + 'Lon']: `${lon < 0 ? 'W' : 'E'} ${o.shown}`, [name + 'LonKeys']: o.keys, [name + 'LonShown']: o.shown });
  };
  put('start', start.lat, start.lon);
  put('wp2', wp2.lat, wp2.lon);
  put('wrong', start.lat - FAULT_OFF_DEG, start.lon);
  put('fix', fix.lat, fix.lon);
  v.off1 = v.off2 = '?';
  for (const [u, d] of Object.entries(state.memory.off || {})) v[`off${u}`] = `${minutes(d.north)} / ${minutes(d.east)}`;
  v.leg1Course = String(Math.round(courseDeg(start, wp2)));
  return v;
}

// What unit u shows now.
function observe(u) {
  const g = trainer.units[u].gauges;
  return {
    sel: Math.round(needleAngle(g.Q14_PUR, PUR.el.Knob) / 30),
    page: knobPage(g.Q14_UVI),
    lever: needleAngle(g.Q14_UVI, UVI.el.AutoLever),
    upper: gaugeText(g.Q14_UVI, UVI.el.UpperLine),
    lower: gaugeText(g.Q14_UVI, UVI.el.LowerLine),
    from: gaugeText(g.Q14_UVI, UVI.el.FromDigit),
    to: gaugeText(g.Q14_UVI, UVI.el.ToDigit),
    enterLit: hasElement(g.Q14_UVI, UVI.el.EnterLamp),
    routeLit: hasElement(g.Q14_UVI, UVI.el.RouteLamp),
    holdLit: hasElement(g.Q14_UVI, UVI.el.HoldLamp),
    lzpLit: hasElement(g.Q14_UVI, UVI.el.LzpLamp),
    negot: hasElement(g.Q14_PUR, PUR.el.Negot),
    vnim: hasElement(g.Q14_PUR, PUR.el.Vnim),
    pit: hasElement(g.Q14_PUR, PUR.el.Pit),
    ready: namedValue(`Q14_N${u}_GOT`) === 1,
  };
}
// What each unit an exercise uses shows now, by unit number.
const units = (ex) => Object.fromEntries([].concat(ex.unit).map((u) => [u, observe(u)]));

// Navigating: the selector at NAVIG and GOT published (GOT alone reads 1 before the first cycle).
const navig = (o) => o.sel === SEL.Navig && o.ready;
// The warm-up done: NEGOT lit with the selector off OTKL (before the first cycle every lamp shows).
const warmedUp = (o) => o.negot && o.sel !== SEL.Off;
// A whole entry within one step: the VVOD lamp lit, then dark again (m remembers the first).
const entryMade = (o, m) => {
  if (o.enterLit) m.opened = true;
  return !!m.opened && !o.enterLit;
};
const leg = (o, from, to) => o.from === from && o.to === to;
// Route 0 loaded into the unit: waypoint 2 on the PPM page shows the route's position.
const routeShown = (o, v) => o.page === PAGE.Ppm && reads(o.upper, v.wp2LatShown);

// Each exercise's id (its progress is kept under it), unit and steps' conditions, in the order of
// EXERCISE_TEXTS; a condition gets what the unit shows, the step's memory and the texts' values.
const EXERCISES = [
  { id: 'power-up', unit: 2, steps: [
    (o) => o.sel === SEL.WarmUp,
    warmedUp,
    (o) => o.sel === SEL.Align,
    (o, m, v) => o.page === PAGE.PhiLambda && !o.enterLit && reads(o.upper, v.startLatShown) && reads(o.lower, v.startLonShown),
    (o) => navig(o) && !o.negot,
  ] },
  { id: 'start-keypad', unit: 2, steps: [
    warmedUp,
    (o) => o.sel === SEL.Align && o.page === PAGE.PhiLambda,
    (o) => o.enterLit,
    (o, m, v) => !o.enterLit && reads(o.upper, v.startLatShown),
    (o, m, v) => !o.enterLit && reads(o.lower, v.startLonShown),
  ] },
  { id: 'waypoints', unit: 2, steps: [
    (o, m, v) => navig(o) && routeShown(o, v),
    (o) => o.page === PAGE.Ppm && o.enterLit,
    (o) => o.page === PAGE.Ppm && !o.enterLit && reads(o.upper, "55*45,5'"),
  ] },
  { id: 'leg-by-hand', unit: 2, steps: [
    (o, m, v) => navig(o) && leg(o, '1', '2') && routeShown(o, v),
    (o) => o.lever !== AVT,
    (o) => o.routeLit && o.enterLit,
    (o) => !o.routeLit && !o.enterLit && leg(o, '2', '3'),
    (o) => o.lever === AVT,
  ] },
  { id: 'fix-correction', unit: 2, steps: [
    (o) => navig(o) && o.page === PAGE.PhiLambda,
    (o) => o.holdLit,
    (o, m, v) => o.holdLit && !o.enterLit && reads(o.upper, v.wp2LatShown),
    (o, m, v) => o.holdLit && !o.enterLit && reads(o.lower, v.wp2LonShown),
    (o) => !o.holdLit,
  ] },
  { id: 'clock-airspeed', unit: 2, steps: [
    (o) => navig(o) && o.page === PAGE.Time,
    (o, m) => o.page === PAGE.Time && entryMade(o, m) && !blank(o.upper),
    (o) => o.page === PAGE.Wind && o.holdLit,
    (o, m) => o.page === PAGE.Wind && o.holdLit && entryMade(o, m),
    (o) => o.page === PAGE.Wind && !o.holdLit && !blank(o.lower),
  ] },
  { id: 'battery', unit: 2, steps: [
    navig,
    (o) => navig(o) && o.pit,
    (o) => navig(o) && !o.pit,
  ] },
  { id: 'align-faults', unit: 2, steps: [
    warmedUp,
    (o, m, v) => o.sel === SEL.Align && o.page === PAGE.PhiLambda && !o.enterLit && reads(o.upper, v.startLatShown),
    (o) => o.vnim,
    (o) => o.sel === SEL.Off && !o.vnim,
    (o, m, v) => o.sel === SEL.Align && o.page === PAGE.PhiLambda && !o.enterLit && reads(o.upper, v.wrongLatShown),
    (o) => o.vnim,
    (o) => o.sel === SEL.Off && !o.vnim,
    (o, m, v) => o.sel === SEL.Align && !o.enterLit && reads(o.upper, v.startLatShown),
    (o) => navig(o) && !o.vnim && !o.negot,
  ] },
  { id: 'autopilot-route', unit: 2, steps: [
    (o, m, v) => navig(o) && o.lever === AVT && leg(o, '1', '2') && routeShown(o, v),
    (o) => o.lever === AVT && leg(o, '2', '3') && o.lzpLit,
    (o) => !o.routeLit && leg(o, '3', '4'),
    (o) => o.lever === AVT && leg(o, '4', '5'),
  ] },
  { id: 'fix-both-units', unit: [1, 2], steps: [
    (o, m, v, all) => [1, 2].every((u) => navig(all[u]) && all[u].page === PAGE.PhiLambda),
    (o, m, v, all) => fixTaken(m, all),
    (o, m, v, all) => all[1].holdLit,
    (o, m, v, all) => all[1].holdLit && entryMade(all[1], m) && agrees(all[1], m.fix),
    (o, m, v, all) => !all[1].holdLit && agrees(all[1], m.fix),
    (o, m, v, all) => all[2].holdLit,
    (o, m, v, all) => all[2].holdLit && entryMade(all[2], m) && agrees(all[2], m.fix),
    (o, m, v, all) => !all[2].holdLit && agrees(all[2], m.fix),
  ] },
];

// The aircraft stopped over a fix with both units' phi/lambda lines plainly off it (beyond the
// display's rounding): the fix and how far each unit is off are kept for the texts.
function fixTaken(m, all) {
  const a = aircraft();
  if (a.fly || ![1, 2].every((u) => all[u].page === PAGE.PhiLambda && !agrees(all[u], a, 2))) return false;
  m.fix = { lat: a.lat, lon: a.lon };
  m.off = { 1: offBy(all[1], a), 2: offBy(all[2], a) };
  return true;
}

const state = { active: -1, done: 0, memory: {}, debrief: null };

function render() {
  const box = document.getElementById('exlist');
  const values = exerciseValues();
  state.captions = trainer.captions;
  box.textContent = '';
  EXERCISES.forEach((ex, i) => {
    const div = document.createElement('div');
    div.className = 'exercise';
    const head = document.createElement('div');
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = state.active === i ? EXERCISE_WORDS.restart : EXERCISE_WORDS.start;
    b.dataset.exercise = String(i);
    b.addEventListener('click', () => start(i));
    head.append(b, ` ${i + 1}. ${EXERCISE_TEXTS[i].title} (${EXERCISE_WORDS.unit(ex.unit)})`);
    const kept = progressNote(ex.id);
    if (kept) head.appendChild(kept);
    div.appendChild(head);
    if (state.active === i) {
      const ol = document.createElement('ol');
      ex.steps.forEach((cond, k) => {
        const li = document.createElement('li');
        li.className = 'ex-step' + (k < state.done ? ' done' : '');
        li.textContent = withCaptions(EXERCISE_TEXTS[i].steps[k]).replace(/\{(\w+)\}/g, (w, name) => values[name] || w);
        ol.appendChild(li);
      });
      if (state.done === ex.steps.length) {
        const p = document.createElement('p');
        p.className = 'ex-complete';
        p.textContent = EXERCISE_WORDS.complete;
        ol.appendChild(p);
      }
      div.appendChild(ol);
      if (state.done === ex.steps.length && state.debrief) div.appendChild(debriefView(state.debrief));
    }
    box.appendChild(div);
  });
}

function start(i) {
  state.active = i;
  state.done = 0;
  state.memory = {};
  state.debrief = null;
  beginDebrief(i + 1, [].concat(EXERCISES[i].unit));
  render();
  tick();
}

// Ticks off every step whose condition now holds, in order.
function tick() {
  if (state.active < 0) return;
  const ex = EXERCISES[state.active];
  const before = state.done;
  if (before < ex.steps.length) observeDebrief();
  const values = exerciseValues();
  while (state.done < ex.steps.length) {
    const all = units(ex);
    const o = all[Array.isArray(ex.unit) ? ex.unit[0] : ex.unit];
    if (!ex.steps[state.done](o, state.memory, values, all)) break;
    state.done++;
    state.memory.opened = false;
  }
  if (before < ex.steps.length && state.done === ex.steps.length) {
    state.debrief = finishDebrief(EXERCISE_TEXTS[state.active].title);
    recordResult(ex.id, state.debrief);
  }
  if (state.done !== before || state.captions !== trainer.captions) render();
}

export function bindExercises() {
  trainer.exercises = { list: EXERCISES, languages: EXERCISE_LANGUAGES, observe: tick, start, state, render };
}

// The list in the side panel, shown once the panels are first drawn (main.js).
export function showExercises() {
  if (!document.getElementById('exlist').firstChild) render();
  bindProgress(render);
}

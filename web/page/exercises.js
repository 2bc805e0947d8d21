// Guided exercises of the trainer: procedures of the user guide as steps that tick themselves
// off from what the host observes of one unit (its knob and selector, lamps, display texts and
// named values). Steps tick in order; an exercise can be restarted at any time.
import { namedValue, PAGE, PUR, SEL, UVI } from './capi.js';
import { gaugeText, hasElement, needleAngle } from './panels.js';
import { trainer } from './state.js';

const AVT = -120;  // the AVT/RUCHN lever's angle at AVT
const blank = (s) => !s || !s.trim();
const latitude = (s) => /^\s*\d+\*\d\d,\d'$/.test(s || '');

// What unit u shows now.
function observe(u) {
  const g = trainer.units[u].gauges;
  return {
    sel: Math.round(needleAngle(g.Q14_PUR, PUR.el.Knob) / 30),
    page: Math.round((needleAngle(g.Q14_UVI, UVI.el.ModeKnob) - 120) / 30),
    lever: needleAngle(g.Q14_UVI, UVI.el.AutoLever),
    upper: gaugeText(g.Q14_UVI, UVI.el.UpperLine),
    lower: gaugeText(g.Q14_UVI, UVI.el.LowerLine),
    from: gaugeText(g.Q14_UVI, UVI.el.FromDigit),
    to: gaugeText(g.Q14_UVI, UVI.el.ToDigit),
    enterLit: hasElement(g.Q14_UVI, UVI.el.EnterLamp),
    routeLit: hasElement(g.Q14_UVI, UVI.el.RouteLamp),
    holdLit: hasElement(g.Q14_UVI, UVI.el.HoldLamp),
    negot: hasElement(g.Q14_PUR, PUR.el.Negot),
    ready: namedValue(`Q14_N${u}_GOT`) === 1,
  };
}

// A whole entry within one step: the VVOD lamp lit, then dark again (m remembers the first).
const entryMade = (o, m) => {
  if (o.enterLit) m.opened = true;
  return !!m.opened && !o.enterLit;
};

const EXERCISES = [
  { title: 'Power-up and alignment', unit: 2, steps: [
    ['Turn the PUR selector to OBOGR (warm-up)', (o) => o.sel === SEL.WarmUp],
    ['Wait for the warm-up: NEGOT lights', (o) => o.negot],
    ['Turn the selector to VYST: the alignment starts', (o) => o.sel === SEL.Align],
    ['Turn PARAMETRY to phi/lambda and give the start position (keypad, or the SMENA LZP caption)', (o) => o.page === PAGE.PhiLambda && latitude(o.upper)],
    ['Wait for the end of the alignment (the shortcut over the right end of the display helps), then NAVIG: the unit is ready', (o) => o.sel === SEL.Navig && o.ready && !o.negot],
  ] },
  { title: 'Entering the start position by keypad', unit: 2, steps: [
    ['Selector to VYST (through OBOGR) and PARAMETRY to phi/lambda', (o) => o.sel === SEL.Align && o.page === PAGE.PhiLambda],
    ['Start the latitude: key 2 (N) or 8 (S); VVOD lights', (o) => o.enterLit],
    ['Five digits DD MM M, then VVOD: the latitude shows', (o) => !o.enterLit && latitude(o.upper)],
    ['Key 6 (E) or 4 (W), six digits DDD MM M, VVOD: the longitude shows', (o, m) => entryMade(o, m) && !blank(o.lower)],
  ] },
  { title: 'Programming waypoints from the file and by keypad', unit: 2, steps: [
    ['Navigate (exercise 1), then click the top-left screw: route 0 from the file, OT 1 DO 2', (o) => o.ready && o.from === '1' && o.to === '2'],
    ['PARAMETRY to PPM: the waypoint on the wheel shows', (o) => o.page === PAGE.Ppm],
    ['Turn the wheel to the waypoint to change and start an entry (2 or 8): VVOD lights', (o) => o.page === PAGE.Ppm && o.enterLit],
    ['Type the latitude and press VVOD: the waypoint takes it', (o) => o.page === PAGE.Ppm && !o.enterLit && latitude(o.upper)],
  ] },
  { title: 'Changing the leg by hand', unit: 2, steps: [
    ['Navigate with a route loaded (OT and DO show digits)', (o, m) => o.ready && /^\d$/.test(o.from) && /^\d$/.test(o.to) && (m.leg = o.from + o.to)],
    ['Switch to RUCHN (manual)', (o) => o.lever !== AVT],
    ['Press IZM MARSH: SMENA LZP lights', (o) => o.routeLit],
    ['Type the FROM and TO digits and VVOD: OT and DO show the new leg', (o, m) => !o.routeLit && /^\d$/.test(o.from) && /^\d$/.test(o.to) && o.from + o.to !== m.leg],
    ['Back to AVT', (o) => o.lever === AVT],
  ] },
  { title: 'Correcting the position over a fix', unit: 2, steps: [
    ['Navigate, PARAMETRY to phi/lambda', (o) => o.ready && o.page === PAGE.PhiLambda],
    ['Press OST INDIK over the fix: the page holds', (o) => o.holdLit],
    ['Enter the fix\'s latitude and/or longitude (2/8 or 6/4, digits, VVOD)', (o, m) => o.holdLit && entryMade(o, m)],
    ['Press OST INDIK again: the page runs on', (o) => !o.holdLit],
  ] },
  { title: 'Setting the clock and the airspeed to read the wind', unit: 2, steps: [
    ['Navigate with a route, PARAMETRY to T/t', (o) => o.ready && o.page === PAGE.Time],
    ['Set the clock: 2, HH MM, VVOD: the arrival time shows', (o) => o.page === PAGE.Time && !blank(o.upper)],
    ['PARAMETRY to delta/U and hold the page (OST INDIK)', (o) => o.page === PAGE.Wind && o.holdLit],
    ['Enter the true airspeed: 6, four digits, VVOD', (o, m) => o.page === PAGE.Wind && entryMade(o, m)],
    ['Release the page: the wind shows', (o) => o.page === PAGE.Wind && !o.holdLit && !blank(o.lower)],
  ] },
];

const state = { active: -1, done: 0, memory: {} };

function render() {
  const box = document.getElementById('exlist');
  box.textContent = '';
  EXERCISES.forEach((ex, i) => {
    const div = document.createElement('div');
    div.className = 'exercise';
    const head = document.createElement('div');
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = state.active === i ? 'Restart' : 'Start';
    b.dataset.exercise = String(i);
    b.addEventListener('click', () => start(i));
    head.append(b, ` ${i + 1}. ${ex.title} (unit ${ex.unit})`);
    div.appendChild(head);
    if (state.active === i) {
      const ol = document.createElement('ol');
      ex.steps.forEach(([text], k) => {
        const li = document.createElement('li');
        li.className = 'ex-step' + (k < state.done ? ' done' : '');
        li.textContent = text;
        ol.appendChild(li);
      });
      if (state.done === ex.steps.length) {
        const p = document.createElement('p');
        p.className = 'ex-complete';
        p.textContent = 'Exercise complete.';
        ol.appendChild(p);
      }
      div.appendChild(ol);
    }
    box.appendChild(div);
  });
}

function start(i) {
  state.active = i;
  state.done = 0;
  state.memory = {};
  render();
  tick();
}

// Ticks off every step whose condition now holds, in order.
function tick() {
  if (state.active < 0) return;
  const ex = EXERCISES[state.active];
  const before = state.done;
  while (state.done < ex.steps.length) {
    const o = observe(ex.unit);
    if (!ex.steps[state.done][1](o, state.memory)) break;
    state.done++;
    state.memory.opened = false;
  }
  if (state.done !== before) render();
}

export function bindExercises() {
  trainer.exercises = { list: EXERCISES, observe: tick, start, state };
  document.addEventListener('DOMContentLoaded', render);
  if (document.readyState !== 'loading') render();
}

// How the page fits the screen: both units beside the side column on a wide screen, fitted to its
// height; on a narrow one a unit at a time with a switch, panels fitted to the width and zoomable.
import { markAllDirty } from './panels.js';
import { showNames } from './controls.js';
import { trainer } from './state.js';
import { applyWords, LANGUAGE_EVENT, t } from './words.js';
import './words_screen.js';

const WIDE_MIN_PX = 1100;      // from this window width the side panels stand in a column at the right
const TWO_UNITS_MIN = 0.75;    // below this scale for both units side by side, one unit is shown at a time
const MAX_FIT = 1.6;
const ZOOMS = [0.5, 0.64, 0.8, 1, 1.25, 1.56, 1.95, 2.44];
// A unit at scale 1 (its panels and the row of small gauges under them) until the drawings say.
const UNIT_FALLBACK = { w: 383, h: 700 };
const UNIT_GAP_PX = 12, ROW_GAP_PX = 6, SLACK_PX = 10;
const UNIT_FRAME_PX = 14;      // a unit's padding and border, both sides (trainer.css .unit)
const HEADING_PX = 22;         // its "Unit N" heading before it is laid out

const view = { built: false, zoom: ZOOMS.indexOf(1), single: false, exercise: -1 };  // zoom: index into ZOOMS

function el(tag, attrs, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  e.append(...children);
  return e;
}

// A unit's size at scale 1 from its drawn gauges: what does not scale (heading, borders) apart.
function unitSize(unit) {
  const g = Object.values(unit.gauges);
  if (!g.length || g.some((x) => !x.width)) return { ...UNIT_FALLBACK, fixedW: UNIT_FRAME_PX, fixedH: UNIT_FRAME_PX + HEADING_PX };
  const main = g.filter((x) => x.name === 'Q14_UVI' || x.name === 'Q14_PUR');
  const row = g.filter((x) => !main.includes(x));
  const rowW = row.reduce((s, x) => s + x.width, 0);
  const h2 = unit.box.querySelector('h2');
  return {
    w: Math.max(...main.map((x) => x.width), rowW), h: main.reduce((s, x) => s + x.height, 0) + Math.max(0, ...row.map((x) => x.height)),
    fixedW: UNIT_FRAME_PX + Math.max(0, row.length - 1) * ROW_GAP_PX,
    fixedH: UNIT_FRAME_PX + ROW_GAP_PX + (h2 ? h2.offsetHeight + 4 : HEADING_PX) + SLACK_PX,
  };
}

function showUnit(u) {
  trainer.activeUnit = u;
  for (const v of [1, 2]) {
    trainer.units[v].box.classList.toggle('shown', v === u);
    view.switches[v].setAttribute('aria-pressed', String(v === u));
  }
}

function setZoom(i) {
  view.zoom = Math.max(0, Math.min(ZOOMS.length - 1, i));
  view.zoomOut.disabled = view.zoom === 0;
  view.zoomIn.disabled = view.zoom === ZOOMS.length - 1;
  layout();
}

// The running exercise's current step, as the exercise list words it, over the panels.
function followStep() {
  const ex = trainer.exercises;
  const i = ex ? ex.state.active : -1;
  let text = t('screen.noStep');
  if (i >= 0) {
    const total = ex.list[i].steps.length;
    const list = document.querySelectorAll('#exlist .exercise')[i];
    const now = list && list.querySelector('.ex-step:not(.done)');
    const end = list && list.querySelector('.ex-complete');
    // The heading's own words, "1. Power-up and alignment (unit 2)", without its button or progress note.
    const words = list && [...list.firstChild.childNodes].find((n) => n.nodeType === Node.TEXT_NODE);
    const title = words ? words.textContent.trim() : String(i + 1);
    text = now ? t('screen.step', { title, k: Math.min(ex.state.done + 1, total), total, text: now.textContent })
      : t('screen.stepDone', { title, text: end ? end.textContent : '' });
    if (i !== view.exercise) showUnit([].concat(ex.list[i].unit).pop());  // its unit comes to the screen
  }
  view.exercise = i;
  if (view.step.textContent !== text) {
    view.step.textContent = text;
    layout();
  }
}

function build() {
  view.built = true;
  view.building = true;   // the layout that builds lays out once, at its end
  const units = document.getElementById('units');
  view.switches = {};
  const unitSwitch = el('div', { class: 'unitswitch', role: 'group', 'data-t-label': 'screen.switch' });
  for (const u of [1, 2]) {
    view.switches[u] = el('button', { type: 'button', 'data-unit': u, 'data-t': 'screen.unit', 'data-t-values': JSON.stringify({ u }) });
    view.switches[u].addEventListener('click', () => { showUnit(u); layout(); });
    unitSwitch.append(view.switches[u]);
  }
  view.zoomOut = el('button', { type: 'button', class: 'zoomout', 'data-t-label': 'screen.zoomOut', 'data-t-title': 'screen.zoomOut' }, '−');
  view.zoomIn = el('button', { type: 'button', class: 'zoomin', 'data-t-label': 'screen.zoomIn', 'data-t-title': 'screen.zoomIn' }, '+');
  view.zoomFit = el('button', { type: 'button', class: 'zoomfit', 'data-t-label': 'screen.zoomFitLabel', 'data-t': 'screen.zoomFit' });
  view.zoomShown = el('output', { class: 'zoomshown' });
  view.zoomOut.addEventListener('click', () => setZoom(view.zoom - 1));
  view.zoomIn.addEventListener('click', () => setZoom(view.zoom + 1));
  view.zoomFit.addEventListener('click', () => setZoom(ZOOMS.indexOf(1)));
  const names = el('button', { type: 'button', class: 'namestoggle', 'aria-pressed': 'false', 'data-t': 'screen.names' });
  names.addEventListener('click', () => {
    const on = names.getAttribute('aria-pressed') !== 'true';
    names.setAttribute('aria-pressed', String(on));
    showNames(on);
  });
  const zoom = el('div', { class: 'zoom', role: 'group', 'data-t-label': 'screen.bar' }, view.zoomOut, view.zoomShown, view.zoomIn, view.zoomFit);
  view.step = el('div', { id: 'stepnow', role: 'status', 'data-t-label': 'screen.stepLabel' });
  const bar = el('div', { id: 'screenbar' }, el('div', { class: 'tools' }, unitSwitch, zoom, names), view.step);
  units.before(bar);
  applyWords(bar);
  document.addEventListener(LANGUAGE_EVENT, () => { followStep(); layout(); });
  showUnit(trainer.activeUnit || 1);
  setZoom(view.zoom);
  followStep();
  new MutationObserver(followStep).observe(document.getElementById('exlist'), { childList: true, subtree: true, characterData: true });
  view.building = false;
}

// Lays the page out for the window as it is now; called on resizing, zooming and when the
// panels' sizes become known.
export function layout() {
  if (!trainer.units[1] || view.building) return;
  if (!view.built) build();
  const body = document.body;
  body.classList.toggle('wide', window.innerWidth >= WIDE_MIN_PX);
  const units = document.getElementById('units');
  const size = unitSize(trainer.units[1]);
  trainer.sizesKnown = size.w !== UNIT_FALLBACK.w || size.h !== UNIT_FALLBACK.h;
  const availW = units.clientWidth - 2;
  const two = (availW - UNIT_GAP_PX - 2 * size.fixedW) / (2 * size.w);
  const single = two < TWO_UNITS_MIN;
  if (single && !view.single) showUnit(trainer.activeUnit || 1);  // the unit last used stays in view
  view.single = single;
  body.classList.toggle('one-unit', single);
  let fit = view.single ? (availW - size.fixedW) / size.w : two;
  if (body.classList.contains('wide')) {
    const availH = window.innerHeight - units.getBoundingClientRect().top - 8;
    fit = Math.min(fit, (availH - size.fixedH) / size.h);
  }
  fit = Math.max(0.3, Math.min(MAX_FIT, fit));
  const scale = fit * ZOOMS[view.zoom];
  view.zoomShown.textContent = `${Math.round(scale * 100)} %`;
  view.zoomShown.setAttribute('aria-label', t('screen.zoom', { pct: Math.round(scale * 100) }));
  if (Math.abs(scale - trainer.scale) > 0.005) {
    trainer.scale = scale;
    markAllDirty();
  }
}

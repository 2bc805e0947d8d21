// What the pilot does on the page: clicks and held buttons on the panels' mouse areas (PC keys:
// focus.js), and the aircraft's settings (speed, wind, heading, rate, pause).
import { api } from './capi.js';
import { areaName } from './captions.js';
import { bindFiles } from './files.js';
import { bindKeys, follow } from './focus.js';
import { drawPanels, walkAll } from './panels.js';
import { $, trainer } from './state.js';
import { t } from './words.js';

const ENGINES_RUNNING_PCT = 70;  // engine power of the Engines running box
const CURSORS = { 1: 'n-resize', 2: 's-resize', 5: 'pointer' };

function areaAt(gauge, ev) {
  const r = gauge.canvas.getBoundingClientRect();
  const x = ((ev.clientX - r.left) / r.width) * gauge.width;
  const y = ((ev.clientY - r.top) / r.height) * gauge.height;
  return gauge.areas.find((a) => x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h) || null;
}

export function bindMouse(gauge) {
  const c = gauge.canvas;
  let repeat = null;
  const stop = () => { if (repeat) { clearTimeout(repeat); repeat = null; } };
  c.addEventListener('pointerdown', (ev) => {
    if (ev.button !== 0) return;
    const a = areaAt(gauge, ev);
    if (!a) return;
    ev.preventDefault();
    click(gauge, a.k);
    if (a.repeats) {
      // Held down, the area repeats as the simulator repeats it.
      const again = () => { click(gauge, a.k); repeat = setTimeout(again, 150); };
      repeat = setTimeout(again, 400);
    }
  });
  c.addEventListener('pointerup', stop);
  c.addEventListener('pointerleave', () => { stop(); $('tip').hidden = true; c.style.cursor = ''; });
  c.addEventListener('pointermove', (ev) => {
    const a = areaAt(gauge, ev);
    c.style.cursor = a ? CURSORS[a.cursor] || 'default' : '';
    const tip = $('tip');
    const name = a && areaName(gauge, a.k);
    if (name) {
      tip.textContent = t('unit.tip', { u: gauge.u, name });
      tip.style.left = `${ev.clientX + 14}px`;
      tip.style.top = `${ev.clientY + 14}px`;
      tip.hidden = false;
    } else {
      tip.hidden = true;
    }
  });
}

function click(gauge, k) {
  api.trainer_click(gauge.u, gauge.g, k);
  walkAll();
  drawPanels();
  follow();
  if (trainer.exercises) trainer.exercises.observe();
}

export function applyAircraft() {
  const num = (id) => Number($(id).value);
  $('headingout').textContent = `${num('heading')}°`;
  api.trainer_set_aircraft(num('tas'), num('windto'), num('windkmh'), num('heading'), num('rate'),
    trainer.paused ? 1 : 0, $('fly').checked ? 1 : 0, $('coupled').checked ? 1 : 0);
  api.trainer_set_ext_power($('extpower').checked ? 1 : 0);
  api.trainer_set_engines($('engines').checked ? ENGINES_RUNNING_PCT : 0);
  trainer.fastForward = Math.max(1, Math.min(60, Number($('ff').value) || 1));
}

export function bindControls() {
  for (const id of ['tas', 'windto', 'windkmh', 'heading', 'coupled', 'fly', 'engines', 'extpower', 'rate', 'ff'])
    $(id).addEventListener('input', applyAircraft);
  $('pause').addEventListener('click', () => {
    trainer.paused = !trainer.paused;
    $('pause').textContent = trainer.paused ? 'Resume' : 'Pause';
    applyAircraft();
  });
  bindFiles();
  bindKeys();
}

export function aircraft() {
  const a = new Float64Array(window.Module.HEAPF64.buffer, api.trainer_aircraft(), 12);
  return { lat: a[0], lon: a[1], heading: a[2], tas: a[3], gsN: a[4], gsE: a[5], simTime: a[6], rate: a[7],
    paused: a[8] === 1, fly: a[9] === 1, coupled: a[10] === 1, bug: a[11] };
}

export function unitPosition(u) {
  const p = api.trainer_unit_position(u);
  if (!p) return null;
  const a = new Float64Array(window.Module.HEAPF64.buffer, p, 2);
  return { lat: a[0], lon: a[1] };
}

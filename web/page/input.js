// What the pilot does on the page: clicks and held buttons on the panels' mouse areas (PC keys:
// focus.js; the aircraft's settings: instructor.js).
import { api } from './capi.js';
import { areaName } from './captions.js';
import { bindFiles } from './files.js';
import { bindKeys, follow } from './focus.js';
import { drawPanels, walkAll } from './panels.js';
import { $, trainer } from './state.js';
import { t } from './words.js';

const CURSORS = { 1: 'n-resize', 2: 's-resize', 5: 'pointer' };

function areaAt(gauge, ev) {
  const r = gauge.canvas.getBoundingClientRect();
  const x = ((ev.clientX - r.left) / r.width) * gauge.width;
  const y = ((ev.clientY - r.top) / r.height) * gauge.height;
  return gauge.areas.find((a) => x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h) || null;
}

// Clicks area a of a gauge; an area that repeats while held goes on as the simulator repeats it
// until the returned function is called (the button, finger or key came up).
export function pressArea(gauge, a) {
  let repeat = null;
  click(gauge, a.k);
  if (a.repeats) {
    const again = () => { click(gauge, a.k); repeat = setTimeout(again, 150); };
    repeat = setTimeout(again, 400);
  }
  return () => { if (repeat) { clearTimeout(repeat); repeat = null; } };
}

// Mouse, pen and finger on a gauge: the events reach its box from the canvas and from the
// control buttons over it (controls.js), so each press acts once.
export function bindMouse(gauge) {
  const c = gauge.box;
  let release = null;
  const stop = () => { if (release) { release(); release = null; } };
  c.addEventListener('pointerdown', (ev) => {
    if (ev.button !== 0) return;
    const a = areaAt(gauge, ev);
    if (!a) return;
    ev.preventDefault();
    stop();
    trainer.activeUnit = gauge.u;
    release = pressArea(gauge, a);
  });
  c.addEventListener('pointerup', stop);
  c.addEventListener('pointercancel', stop);
  // A long press is a held control, never the page's menu.
  c.addEventListener('contextmenu', (ev) => ev.preventDefault());
  c.addEventListener('pointerleave', () => { stop(); $('tip').hidden = true; c.style.cursor = ''; });
  c.addEventListener('pointermove', (ev) => {
    const a = areaAt(gauge, ev);
    c.style.cursor = a ? CURSORS[a.cursor] || 'default' : '';
    const tip = $('tip');
    const name = ev.pointerType === 'mouse' && a && areaName(gauge, a.k);
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
  trainer.clicks++;  // the tests count a held control's repeats by it
  walkAll();
  drawPanels();
  follow();
  if (trainer.exercises) trainer.exercises.observe();
}

export function bindControls() {
  bindFiles();
  bindKeys();
}

// Panel controls as page elements: over each gauge's canvas one button per mouse area, in panel
// order for Tab, named for screen readers and shown by name on request; Enter or Space acts on it.
import { areaKey } from './capi.js';
import { withCaptions } from './caption_words.js';
import { areaName } from './captions.js';
import { focusHolder } from './focus.js';
import { pressArea } from './input.js';
import { trainer } from './state.js';
import { LANGUAGE_EVENT, t } from './words.js';
import './words_screen.js';

// The controls take the page language's names when the pilot chooses another.
document.addEventListener(LANGUAGE_EVENT, () => { for (const g of trainer.gauges) if (g.controls && g.width) nameControls(g); });

// Keys that turn the focused knob, lever or selector one step, by the way they turn it.
const TURN = { ArrowUp: 'Up', ArrowRight: 'Up', ArrowDown: 'Down', ArrowLeft: 'Down' };
const AVT_RUCHN = { Down: 'Auto', Up: 'Manual' };  // the lever's sides: AVT at the left
const LEVER = { Auto: AVT_RUCHN, Manual: AVT_RUCHN };
const EDGE = 0.25;  // names of controls this near a side of the gauge (a share of its width) start at it
const ROW_PX = 12;  // areas whose tops lie this close are one row of the panel, read left to right

// The gauge's controls in panel order: rows from the top, each from the left.
function panelOrder(areas) {
  return areas.slice().sort((a, b) => Math.round(a.y / ROW_PX) - Math.round(b.y / ROW_PX) || a.x - b.x);
}

function pct(v, whole) { return `${(100 * v) / whole}%`; }

// Builds the buttons of a gauge once its size is known (the first drawing), and renames them
// when the caption set changes.
export function placeControls(gauge) {
  const layer = gauge.controls;
  if (!layer.childElementCount) {
    for (const a of panelOrder(gauge.areas)) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'ctl';
      b.dataset.area = String(a.k);
      const name = areaKey(gauge.name, a.k);
      if (name) b.dataset.name = name;
      b.append(document.createElement('span'));
      layer.append(b);
      bindKeys(gauge, a, b);
    }
  }
  for (const b of layer.children) {
    const a = gauge.areas.find((x) => x.k === Number(b.dataset.area));
    Object.assign(b.style, { left: pct(a.x, gauge.width), top: pct(a.y, gauge.height),
      width: pct(a.w, gauge.width), height: pct(a.h, gauge.height) });
    // A name near the gauge's edge is written inwards from the control, not over the edge.
    const middle = (a.x + a.w / 2) / gauge.width;
    b.dataset.side = middle < EDGE ? 'left' : middle > 1 - EDGE ? 'right' : 'middle';
    // The two halves of a knob or wheel: the upper (or left) one named above it, the other below.
    const up = partner(gauge, a, 'Up');
    const other = up === a ? partner(gauge, a, 'Down') : up;
    if (other) b.dataset.place = a.y < other.y || (a.y === other.y && a.x < other.x) ? 'above' : 'below';
  }
  nameControls(gauge);
}

// Names every button as the chosen captions print the control (the hover names).
export function nameControls(gauge) {
  const gaugeName = withCaptions(t(`screen.gauge.${gauge.name}`));
  gauge.controls.setAttribute('aria-label', t('screen.controls', { u: gauge.u, gauge: gaugeName }));
  for (const b of gauge.controls.children) {
    const k = Number(b.dataset.area);
    const name = areaName(gauge, k) || t('screen.area', { k });
    b.setAttribute('aria-label', name);
    b.firstChild.textContent = name;
  }
}

// The area that turns a knob, wheel or lever one way ('Up' or 'Down') from either of its halves:
// ModeUp for ModeDown, the AVT/RUCHN lever's RUCHN side for its AVT side; null for a key.
function partner(gauge, a, way) {
  const name = areaKey(gauge.name, a.k);
  const m = name && /^(\w+?)(Up|Down)$/.exec(name);
  const target = LEVER[name] ? LEVER[name][way] : m && m[1] + way;
  if (!target) return null;
  const k = trainer.layout.gauges[gauge.name].areas[target];
  return gauge.areas.find((x) => x.k === k) || null;
}

function bindKeys(gauge, a, b) {
  let release = null;
  let pressing = false;  // a key press acted: the click it may bring acts no more
  const stop = () => { if (release) { release(); release = null; } };
  b.addEventListener('keydown', (ev) => {
    let target = null;
    if (ev.key === 'Enter' || ev.key === ' ') target = a;
    else if (TURN[ev.key] && !focusHolder()) target = partner(gauge, a, TURN[ev.key]);
    if (!target) return;
    ev.preventDefault();
    if (ev.repeat) return;  // a held key repeats as the area does, not as the keyboard does
    stop();
    pressing = true;
    trainer.activeUnit = gauge.u;
    release = pressArea(gauge, target);
  });
  b.addEventListener('keyup', (ev) => {
    if (!pressing) return;
    ev.preventDefault();
    stop();
    setTimeout(() => { pressing = false; }, 0);
  });
  b.addEventListener('blur', stop);
  // A click with no pointer behind it: a screen reader's or the browser's own activation.
  b.addEventListener('click', (ev) => {
    if (ev.detail !== 0 || pressing) return;
    trainer.activeUnit = gauge.u;
    pressArea(gauge, a)();
  });
}

// The "names" switch: every control's name written over the panels (touch has no hover).
export function showNames(on) {
  document.body.classList.toggle('names', on);
}

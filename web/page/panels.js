// The panels on the page: one canvas per shown gauge, drawn from the drawing steps the host
// stand-in walks from each gauge's element chain, and what an element shows (text, needle, lit).
import { api, F, KIND, UVI, latin1 } from './capi.js';
import { bitmap, drawBitmap, fonts } from './captions.js';
import { nameControls, placeControls } from './controls.js';
import { bindMouse } from './input.js';
import { layout } from './layout.js';
import { speak } from './live.js';
import { $, trainer } from './state.js';
import { onLanguage, t } from './words.js';

// Gauges shown per unit, in the module's gauge order (index into its Linkage).
const SHOWN = ['Q14_UVI', 'Q14_PUR', 'QN14_def_AP_Key', 'Koord_i', 'Koord_s', 'DigTest'];
const MAX_GAUGES = 8;
const SPOKEN = ['Q14_UVI', 'Q14_PUR'];  // the gauges whose lines and lamps live.js reads out

export function buildPanels() {
  const Module = window.Module;
  trainer.fields = api.trainer_step_fields();
  for (const u of [1, 2]) {
    const box = $('unit' + u);
    const row = document.createElement('div');
    row.className = 'row';
    const unit = { u, box, gauges: {} };
    trainer.units[u] = unit;
    for (let g = 0; g < MAX_GAUGES; ++g) {
      const p = api.trainer_gauge_name(u, g);
      if (!p) break;
      const name = Module.UTF8ToString(p);
      if (!SHOWN.includes(name)) continue;
      // The gauge's box: its canvas and, over it, its controls as buttons (controls.js).
      const gbox = document.createElement('div');
      gbox.className = 'gauge';
      const canvas = document.createElement('canvas');
      canvas.dataset.gauge = name;
      onLanguage(() => canvas.setAttribute('aria-label', t('unit.gauge', { u, name })));
      const controls = document.createElement('div');
      controls.className = 'controls';
      controls.setAttribute('role', 'group');
      gbox.append(canvas, controls);
      const gauge = { u, g, name, canvas, box: gbox, controls, ctx: canvas.getContext('2d'), steps: null, texts: [],
        dirty: true, width: 0, height: 0, areas: readAreas(u, g), hover: 0, unit };
      unit.gauges[name] = gauge;
      trainer.gauges.push(gauge);
      (name === 'Q14_UVI' || name === 'Q14_PUR' ? box : row).appendChild(gbox);
      bindMouse(gauge);
    }
    box.appendChild(row);
  }
  walkAll();
}

function readAreas(u, g) {
  const areas = [];
  for (let k = 1; ; ++k) {
    const p = api.trainer_mouse_area(u, g, k);
    if (!p) break;
    const a = new Int32Array(window.Module.HEAP32.buffer, p, 6);
    areas.push({ k, x: a[0], y: a[1], w: a[2], h: a[3], cursor: a[4], repeats: a[5] === 1 });
  }
  return areas;
}

// Walks every shown gauge; marks those whose drawing steps or texts changed.
export function walkAll() {
  const fields = trainer.fields;
  for (const gauge of trainer.gauges) {
    const n = api.trainer_walk(gauge.u, gauge.g);
    if (n < 0) continue;
    const view = new Float64Array(window.Module.HEAPF64.buffer, api.trainer_steps(), n * fields);
    const old = gauge.steps;
    let changed = !old || old.length !== view.length;
    if (!changed) for (let i = 0; i < view.length; ++i) if (old[i] !== view[i] && !(old[i] !== old[i] && view[i] !== view[i])) { changed = true; break; }
    const texts = [];
    for (let i = 0; i < n; ++i) {
      const b = i * fields;
      texts.push(view[b + F.Kind] === KIND.Text ? latin1(view[b + F.Text], view[b + F.TextLen]) : '');
    }
    if (!changed) for (let i = 0; i < n; ++i) if (texts[i] !== gauge.texts[i]) { changed = true; break; }
    if (changed) {
      gauge.steps = Float64Array.from(view);
      gauge.texts = texts;
      gauge.dirty = true;
      if (SPOKEN.includes(gauge.name)) gauge.unit.changed = true;  // the screen reader's lines and lamps (live.js)
    }
  }
}

export function markAllDirty() { for (const g of trainer.gauges) g.dirty = true; }

function bgr(c) { return `rgb(${c & 255},${(c >> 8) & 255},${(c >> 16) & 255})`; }

// DSEG7 has the digits, the letters, the minus and the degree mark; the other characters of
// the display come from its fourteen-segment sibling.
function sevenSegment(ch) { return /[0-9A-Za-z\-_:.!]/.test(ch); }

function drawSegmentText(ctx, text, x, y, w, h, chars, colour) {
  if (chars < 1) chars = text.length;
  if (chars < 1) return;
  ctx.font = '100px "DSEG7 Classic"';
  const cellEm = ctx.measureText('8').width / 100;
  const size = Math.min(h * 0.62, (w * 0.96) / (chars * cellEm));
  const cell = cellEm * size;
  const x0 = x + (w - cell * text.length) / 2;
  const baseline = y + h / 2 + size / 2;
  ctx.fillStyle = colour;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (c === ' ') continue;
    const glyph = c === '*' ? '\u00b0' : c;
    ctx.font = `${size}px "${c === '*' || sevenSegment(c) ? 'DSEG7 Classic' : 'DSEG14 Classic'}"`;
    ctx.fillText(glyph, x0 + cell * i, baseline);
  }
}

function drawPlainText(ctx, text, x, y, w, h, chars, colour) {
  if (chars < 1) chars = text.length || 1;
  const size = Math.min(h * 0.92, w / (chars * 0.6));
  ctx.font = `${size}px monospace`;
  ctx.fillStyle = colour;
  ctx.textBaseline = 'middle';
  ctx.fillText(text, x + (w - ctx.measureText(text).width) / 2, y + h / 2);
  ctx.textBaseline = 'alphabetic';
}

// A gauge's size is its face's (the first bitmap it draws); a new size has the layout measure the
// units again and the controls placed anew.
function sizeGauge(gauge, root) {
  if (gauge.width === root.width && gauge.height === root.height) return;
  gauge.width = root.width;
  gauge.height = root.height;
  gauge.placed = false;
  gauge.scaleDrawn = 0;   // its canvas takes the new size at the next drawing
  trainer.sizesKnown = false;
}

// The gauges' sizes from their faces, as soon as every face has loaded: the panels are then laid
// out before they are first drawn, at the scale they keep.
function sizeGauges() {
  const faces = trainer.gauges.map((g) => g.steps && g.steps.length && bitmap(g.steps[F.Bitmap], false));
  if (faces.every((f) => f)) {
    trainer.gauges.forEach((g, i) => sizeGauge(g, faces[i]));
    layout();
  }
}

function drawGauge(gauge) {
  const s = gauge.steps;
  const fields = trainer.fields;
  if (!s || !s.length) return;
  const root = bitmap(s[F.Bitmap], false);
  if (!root) return;
  const dpr = window.devicePixelRatio || 1;
  const scale = trainer.scale;
  sizeGauge(gauge, root);
  if (gauge.scaleDrawn !== scale * dpr) {
    gauge.scaleDrawn = scale * dpr;
    gauge.canvas.width = Math.ceil(root.width * scale * dpr);
    gauge.canvas.height = Math.ceil(root.height * scale * dpr);
    gauge.canvas.style.width = `${Math.ceil(root.width * scale)}px`;
    gauge.canvas.style.height = `${Math.ceil(root.height * scale)}px`;
  }
  const ctx = gauge.ctx;
  ctx.setTransform(scale * dpr, 0, 0, scale * dpr, 0, 0);
  let complete = true;
  for (let b = 0; b < s.length; b += fields) {
    const kind = s[b + F.Kind];
    if (kind === KIND.Text) {
      const x = s[b + F.X], y = s[b + F.Y], w = s[b + F.BoxW], h = s[b + F.BoxH];
      ctx.save();
      ctx.beginPath();
      ctx.rect(x, y, w, h);
      ctx.clip();
      ctx.fillStyle = bgr(s[b + F.BackColour]);
      ctx.fillRect(x, y, w, h);
      const text = gauge.texts[b / fields];
      if (s[b + F.SegmentFont]) drawSegmentText(ctx, text, x, y, w, h, s[b + F.Chars], bgr(s[b + F.TextColour]));
      else drawPlainText(ctx, text, x, y, w, h, s[b + F.Chars], bgr(s[b + F.TextColour]));
      ctx.restore();
      continue;
    }
    const img = bitmap(s[b + F.Bitmap], (s[b + F.Flags] & 1) !== 0);
    if (!img) { complete = false; continue; }
    if (kind === KIND.Needle) {
      ctx.save();
      ctx.translate(s[b + F.X], s[b + F.Y]);
      ctx.rotate((s[b + F.Angle] * Math.PI) / 180);
      ctx.imageSmoothingEnabled = (s[b + F.Flags] & 2) !== 0;
      drawBitmap(ctx, img, -s[b + F.PivotX], -s[b + F.PivotY]);
      ctx.restore();
    } else {
      ctx.imageSmoothingEnabled = false;
      drawBitmap(ctx, img, s[b + F.X], s[b + F.Y]);
    }
  }
  gauge.dirty = !complete || !fonts.ready;
  gauge.complete = complete && fonts.ready;
  trainer.redraws++;
}

// Draws the panels and settles what follows.
export function drawPanels() {
  drawGauges();
  settlePanels();
}

// Draws the gauges whose drawing changed; trainer.drawn when every gauge is drawn complete.
export function drawGauges() {
  // Nothing is drawn before the chosen caption set is settled.
  if (!trainer.captionsReady) return;
  if (!trainer.sizesKnown) sizeGauges();
  for (const g of trainer.gauges) if (g.dirty) drawGauge(g);
  trainer.drawn = trainer.gauges.every((g) => g.complete);
}

// What follows a drawing: the controls of gauges with a new size placed, the layout measured again
// when a size changed, the controls named for another caption set, the screen reader's lines.
export function settlePanels() {
  if (!trainer.captionsReady) return;
  for (const g of trainer.gauges) if (g.width && !g.placed) { placeControls(g); g.placed = true; }
  if (trainer.namedWith !== trainer.captions) {
    trainer.namedWith = trainer.captions;
    for (const g of trainer.gauges) if (g.width) nameControls(g);
    for (const u of [1, 2]) trainer.units[u].changed = true;
  }
  if (!trainer.sizesKnown && trainer.drawn) layout();
  speak();
  for (const u of [1, 2]) {
    const uvi = trainer.units[u].gauges.Q14_UVI;
    const focused = uvi && hasElement(uvi, UVI.el.Focus);
    trainer.units[u].box.classList.toggle('focused', !!focused);
  }
}

// True when element k of a gauge is drawn (a lamp: lit).
export function hasElement(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields) if (s[b + F.Element] === k) return true;
  return false;
}

// The angle needle k of a gauge shows (NaN when it is not drawn).
export function needleAngle(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields)
    if (s[b + F.Element] === k && s[b + F.Kind] === KIND.Needle) return s[b + F.Angle];
  return NaN;
}

export function gaugeText(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields) if (s[b + F.Element] === k) return gauge.texts[b / trainer.fields];
  return '';
}

// How the panels fit the window: layout.js (started from here by main.js).
export { layout };

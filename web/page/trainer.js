// The trainer page's script: it draws what the host stand-in (compiled to WebAssembly, with both
// units as side modules) reports, and hands clicks, keys and aircraft settings to it.
'use strict';

const FRAME_HZ = 18;                  // simulator frames per second of wall time
const MAX_FRAMES_PER_DRAW = 400;      // catching up after a stall stops here
const SIM_DIR = '/sim';
const CFG_PATH = SIM_DIR + '/gauges/q14_cfg/q14_ppm.cfg';
const FLIGHT_PATH = SIM_DIR + '/flights/Trainer.FLT';
const STATE_FILE = FLIGHT_PATH + '.insb';
const STATE_SIZE = 2048;              // unit 2's state record
const RESUME_KEY = 'q14.resume';      // a state file waiting for the next start (base64)
const ROUTE_KEY = 'q14.route';        // the route file as last edited
const CAPTIONS_KEY = 'q14.captions';  // the caption set last chosen

// Gauges shown per unit, in the module's gauge order (index into its Linkage).
const SHOWN = ['Q14_UVI', 'Q14_PUR', 'QN14_def_AP_Key', 'Koord_i', 'Koord_s', 'DigTest'];
// What each mouse area does, for the hover names (1-based, as the modules list them).
const AREA_NAMES = {
  Q14_UVI: ['Mode knob: turn left', 'Mode knob: turn right', 'Waypoint wheel: down', 'Waypoint wheel: up',
    'AVT (automatic)', 'RUCHN (manual)', 'Key 1', 'Key 2', 'Key 3', 'Key 4', 'Key 5', 'Key 6', 'Key 7', 'Key 8',
    'Key 9', 'VVOD (enter)', 'Key 0', 'SBROS (reset)', 'IZM MARSH (change leg)', 'OST IND (hold display)',
    'Route reload from the file', 'PC keyboard focus', 'Take the aircraft position', 'Alignment shortcut'],
  Q14_PUR: ['Selector: turn left', 'Selector: turn right', 'Lamp test'],
  QN14_def_AP_Key: ['Autopilot steering on/off'],
  Koord_i: ['True position: show or hide'],
  Koord_s: ['The unit\'s computed position: show or hide'],
};
// The caption words of the hover names as the Cyrillic panels write them.
const CYRILLIC_CAPTIONS = { 'IZM MARSH': 'ИЗМ МАРШ', 'OST IND': 'ОСТ ИНДИК', AVT: 'АВТ', RUCHN: 'РУЧН', VVOD: 'ВВОД',
  SBROS: 'СБРОС' };
const CURSORS = { 1: 'n-resize', 2: 's-resize', 5: 'pointer' };
// PC keys the units know, as scan codes (numeric keypad with NumLock on, Enter, minus, equals).
const SCAN_CODES = {
  Numpad7: 71, Numpad8: 72, Numpad9: 73, NumpadSubtract: 74, Numpad4: 75, Numpad5: 76, Numpad6: 77,
  NumpadAdd: 78, Numpad1: 79, Numpad2: 80, Numpad3: 81, Numpad0: 82, NumpadDecimal: 83, NumpadEnter: 28,
  Enter: 28, Minus: 12, Equal: 13,
};
// Drawing-step fields (trainer_api.cpp's StepField).
const F = { kind: 0, element: 1, bitmap: 2, x: 3, y: 4, px: 5, py: 6, angle: 7, flags: 8, boxW: 9, boxH: 10,
  colour: 11, back: 12, chars: 13, segment: 14, text: 15, textLen: 16 };
const KIND_NEEDLE = 1, KIND_TEXT = 2;
const UVI = { from: 3, to: 4, legLamp: 9, focus: 13 };

const trainer = {
  ready: false, drawn: false, error: '', frames: 0, units: [], gauges: [], scale: 1,
  fastForward: 1, paused: false, longestFrameMs: 0, redraws: 0,
  track: [], legChanges: [], route: [], routePath: [], lastLeg: {}, mapDraws: 0,
  // The caption set the panels are drawn with; "ready" once its bitmap list is known.
  captions: 'latin', captionsReady: false,
  // "?hold": the frames stand still until someone runs them (the tests do).
  hold: new URLSearchParams(location.search).has('hold'),
};
window.trainer = trainer;

var Module = {
  preRun: [prepareFiles],
  onRuntimeInitialized: start,
  print: (t) => console.log(t),
  printErr: (t) => console.warn(t),
};

function $(id) { return document.getElementById(id); }

function setStatus(text, isError) {
  $('status').textContent = text;
  $('status').classList.toggle('error', !!isError);
  if (isError) trainer.error = text;
}

// ---- the virtual simulator folder ------------------------------------------------------------

function prepareFiles() {
  const FS = Module.FS;
  FS.mkdirTree(SIM_DIR + '/gauges/q14_cfg');
  FS.mkdirTree(SIM_DIR + '/flights');
  // The units are compiled off the main thread before the program starts (a browser refuses
  // to compile them synchronously when dlopen asks).
  FS.createPreloadedFile('/', 'q14_n1.so', 'q14_n1.wasm', true, false);
  FS.createPreloadedFile('/', 'q14_n2.so', 'q14_n2.wasm', true, false);
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

// ---- C interface -------------------------------------------------------------------------------

const api = {};
function bindApi() {
  const raw = (name) => Module['_' + name];
  for (const name of ['trainer_frames', 'trainer_walk', 'trainer_steps', 'trainer_step_fields', 'trainer_mouse_area',
    'trainer_click', 'trainer_key', 'trainer_set_aircraft', 'trainer_aircraft', 'trainer_unit_position',
    'trainer_route_path', 'trainer_route_path_points', 'trainer_frame_number', 'trainer_error', 'trainer_gauge_name',
    'trainer_check_route'])
    api[name] = raw(name);
}

// Hands `text` to C as UTF-8 with a terminator; fn gets the address and the length in bytes
// (a NUL inside the text is kept, for the calls that take a length).
function withCString(text, fn) {
  const n = Module.lengthBytesUTF8(text) + 1;
  const p = Module._malloc(n);
  try {
    Module.stringToUTF8(text, p, n);
    return fn(p, n - 1);
  } finally {
    Module._free(p);
  }
}

function latin1(ptr, len) {
  let s = '';
  const heap = Module.HEAPU8;
  for (let i = 0; i < len; ++i) s += String.fromCharCode(heap[ptr + i]);
  return s;
}

function cError() { return Module.UTF8ToString(api.trainer_error()); }

function namedValue(name) { return withCString(name, (p) => Module._trainer_named(p)); }

// ---- start ---------------------------------------------------------------------------------------

function start() {
  bindApi();
  const cfg = Module.FS.readFile(CFG_PATH, { encoding: 'utf8' });
  loadRoute(cfg);
  const first = trainer.route[0] || { lat: 55.97, lon: 37.41 };
  const ok = withCString(FLIGHT_PATH, (fp) => Module._trainer_start(first.lat, first.lon, fp));
  if (!ok) {
    setStatus('The units could not be started: ' + cError(), true);
    return;
  }
  buildPanels();
  bindCaptions();
  bindControls();
  applyAircraft();
  window.addEventListener('resize', layout);
  layout();
  loadFonts();
  trainer.ready = true;
  setStatus(trainer.resumed ? 'Resuming the saved flight' : 'Running');
  trainer.lastTime = performance.now();
  requestAnimationFrame(tick);
}

function loadRoute(cfg) {
  trainer.route = [];
  trainer.routePath = [];
  const n = withCString(cfg, (p, len) => Module._trainer_route(p, len, 0, 32));
  trainer.routeError = n ? '' : cError();
  const path = new Float64Array(Module.HEAPF64.buffer, api.trainer_route_path(), 2 * api.trainer_route_path_points());
  for (let i = 0; i < path.length; i += 2) trainer.routePath.push({ lat: path[i], lon: path[i + 1] });
  const legs = Math.max(0, n - 1);
  for (let i = 0; i < legs; ++i) trainer.route.push(trainer.routePath[i * 33]);
  if (n) trainer.route.push(trainer.routePath[trainer.routePath.length - 1]);
}

// ---- panels --------------------------------------------------------------------------------------

function buildPanels() {
  const fields = api.trainer_step_fields();
  trainer.fields = fields;
  for (const u of [1, 2]) {
    const box = $('unit' + u);
    const row = document.createElement('div');
    row.className = 'row';
    const unit = { u, box, gauges: {} };
    trainer.units[u] = unit;
    for (let g = 0; g < 8; ++g) {
      const p = api.trainer_gauge_name(u, g);
      if (!p) break;
      const name = Module.UTF8ToString(p);
      if (!SHOWN.includes(name)) continue;
      const canvas = document.createElement('canvas');
      canvas.dataset.gauge = name;
      canvas.setAttribute('aria-label', `Unit ${u} ${name}`);
      const gauge = { u, g, name, canvas, ctx: canvas.getContext('2d'), steps: null, texts: [], dirty: true,
        width: 0, height: 0, areas: readAreas(u, g), hover: 0, unit };
      unit.gauges[name] = gauge;
      trainer.gauges.push(gauge);
      (name === 'Q14_UVI' || name === 'Q14_PUR' ? box : row).appendChild(canvas);
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
    const a = new Int32Array(Module.HEAP32.buffer, p, 6);
    areas.push({ k, x: a[0], y: a[1], w: a[2], h: a[3], cursor: a[4], repeats: a[5] === 1 });
  }
  return areas;
}

// Walks every shown gauge; marks those whose drawing steps or texts changed.
function walkAll() {
  const fields = trainer.fields;
  for (const gauge of trainer.gauges) {
    const n = api.trainer_walk(gauge.u, gauge.g);
    if (n < 0) continue;
    const view = new Float64Array(Module.HEAPF64.buffer, api.trainer_steps(), n * fields);
    const old = gauge.steps;
    let changed = !old || old.length !== view.length;
    if (!changed) for (let i = 0; i < view.length; ++i) if (old[i] !== view[i] && !(old[i] !== old[i] && view[i] !== view[i])) { changed = true; break; }
    const texts = [];
    for (let i = 0; i < n; ++i) {
      const b = i * fields;
      texts.push(view[b + F.kind] === KIND_TEXT ? latin1(view[b + F.text], view[b + F.textLen]) : '');
    }
    if (!changed) for (let i = 0; i < n; ++i) if (texts[i] !== gauge.texts[i]) { changed = true; break; }
    if (changed) {
      gauge.steps = Float64Array.from(view);
      gauge.texts = texts;
      gauge.dirty = true;
    }
  }
}

// ---- bitmaps and fonts ------------------------------------------------------------------------------

const images = new Map();   // address -> { img, loaded, ready, keyed }
const ownBitmaps = { latin: new Set() };  // caption set -> the bitmaps it has of its own
let fontsReady = false;

// The Latin set lies whole in art/; another set has only the bitmaps that differ in art/<set>/.
function bitmapUrl(id, set) { return ownBitmaps[set] && ownBitmaps[set].has(id) ? `art/${set}/${id}.png` : `art/${id}.png`; }

function image(url) {
  let e = images.get(url);
  if (!e) {
    e = { img: new Image(), loaded: false, keyed: null };
    e.ready = new Promise((resolve, reject) => {
      e.img.onload = () => { e.loaded = true; markAllDirty(); resolve(); };
      e.img.onerror = () => { setStatus(`bitmap ${url} could not be loaded`, true); reject(new Error(url)); };
    });
    e.ready.catch(() => {});
    e.img.src = url;
    images.set(url, e);
  }
  return e;
}

function bitmap(id, transparent) {
  const e = image(bitmapUrl(id, trainer.captions));
  if (!e.loaded) return null;
  if (!transparent) return e.img;
  if (!e.keyed) {
    // Pure black is transparent in elements that carry the flag.
    const c = document.createElement('canvas');
    c.width = e.img.width;
    c.height = e.img.height;
    const x = c.getContext('2d');
    x.drawImage(e.img, 0, 0);
    const d = x.getImageData(0, 0, c.width, c.height);
    for (let i = 0; i < d.data.length; i += 4)
      if (d.data[i] === 0 && d.data[i + 1] === 0 && d.data[i + 2] === 0) d.data[i + 3] = 0;
    x.putImageData(d, 0, 0);
    e.keyed = c;
  }
  return e.keyed;
}

function loadFonts() {
  const faces = [new FontFace('DSEG7 Classic', 'url(DSEG7Classic-Regular.ttf)'),
    new FontFace('DSEG14 Classic', 'url(DSEG14Classic-Regular.ttf)')];
  Promise.all(faces.map((f) => f.load())).then((loaded) => {
    for (const f of loaded) document.fonts.add(f);
    fontsReady = true;
    markAllDirty();
  }).catch(() => setStatus('the segment fonts could not be loaded', true));
}

function markAllDirty() { for (const g of trainer.gauges) g.dirty = true; }

// ---- caption sets ---------------------------------------------------------------------------------------

function captionSets() { return Array.from($('captions').options, (o) => o.value); }

// The set asked for on the address (?captions=cyrillic), else the one last chosen, else Latin.
function initialCaptions() {
  let stored = null;
  try { stored = localStorage.getItem(CAPTIONS_KEY); } catch (e) { /* storage off */ }
  const name = new URLSearchParams(location.search).get('captions') || stored;
  return captionSets().includes(name) ? name : 'latin';
}

// Switches both units' panels to caption set `name`: its own bitmaps (and the other sets'
// counterparts) are loaded first, so that every panel changes in one redraw. The units run on.
function chooseCaptions(name) {
  const want = trainer.captionsWanted = name;
  const list = ownBitmaps[name] ? Promise.resolve() : fetch(`art/${name}/index.json`)
    .then((r) => { if (!r.ok) throw new Error(`art/${name}/index.json: ${r.status}`); return r.json(); })
    .then((ids) => { ownBitmaps[name] = new Set(ids); });
  return list.then(() => {
    const ids = new Set();
    for (const own of Object.values(ownBitmaps)) for (const id of own) ids.add(id);
    return Promise.all(Array.from(ids, (id) => image(bitmapUrl(id, name)).ready));
  }).then(() => {
    if (trainer.captionsWanted !== want) return;   // another choice came since
    trainer.captions = name;
    trainer.captionsReady = true;
    $('captions').value = name;
    markAllDirty();
    drawPanels();
  }).catch((e) => {
    setStatus(`the ${name} captions could not be loaded: ${e.message}`, true);
    $('captions').value = trainer.captions;
    trainer.captionsReady = true;
  });
}

function bindCaptions() {
  const first = initialCaptions();
  $('captions').value = first;
  if (first === 'latin') trainer.captionsReady = true;
  else chooseCaptions(first);
  $('captions').addEventListener('change', () => {
    const name = $('captions').value;
    try { localStorage.setItem(CAPTIONS_KEY, name); } catch (e) { /* this page only */ }
    const query = new URLSearchParams(location.search);
    if (query.has('captions')) {
      query.set('captions', name);
      history.replaceState(null, '', `?${query.toString().replace(/=(&|$)/g, '$1')}`);
    }
    chooseCaptions(name);
  });
}

// The hover name of mouse area k, with the caption words as the chosen panels write them.
function areaName(gauge, k) {
  const names = AREA_NAMES[gauge.name];
  const name = names && names[k - 1];
  if (!name || trainer.captions !== 'cyrillic') return name;
  return name.replace(/^(IZM MARSH|OST IND|AVT|RUCHN|VVOD|SBROS)\b/, (w) => CYRILLIC_CAPTIONS[w]);
}

// ---- drawing ----------------------------------------------------------------------------------------

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

function drawGauge(gauge) {
  const s = gauge.steps;
  const fields = trainer.fields;
  if (!s || !s.length) return;
  const root = bitmap(s[F.bitmap], false);
  if (!root) return;
  const dpr = window.devicePixelRatio || 1;
  const scale = trainer.scale;
  if (gauge.width !== root.width || gauge.scaleDrawn !== scale * dpr) {
    gauge.width = root.width;
    gauge.height = root.height;
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
    const kind = s[b + F.kind];
    if (kind === KIND_TEXT) {
      const x = s[b + F.x], y = s[b + F.y], w = s[b + F.boxW], h = s[b + F.boxH];
      ctx.save();
      ctx.beginPath();
      ctx.rect(x, y, w, h);
      ctx.clip();
      ctx.fillStyle = bgr(s[b + F.back]);
      ctx.fillRect(x, y, w, h);
      const text = gauge.texts[b / fields];
      if (s[b + F.segment]) drawSegmentText(ctx, text, x, y, w, h, s[b + F.chars], bgr(s[b + F.colour]));
      else drawPlainText(ctx, text, x, y, w, h, s[b + F.chars], bgr(s[b + F.colour]));
      ctx.restore();
      continue;
    }
    const img = bitmap(s[b + F.bitmap], (s[b + F.flags] & 1) !== 0);
    if (!img) { complete = false; continue; }
    if (kind === KIND_NEEDLE) {
      ctx.save();
      ctx.translate(s[b + F.x], s[b + F.y]);
      ctx.rotate((s[b + F.angle] * Math.PI) / 180);
      ctx.imageSmoothingEnabled = (s[b + F.flags] & 2) !== 0;
      ctx.drawImage(img, -s[b + F.px], -s[b + F.py]);
      ctx.restore();
    } else {
      ctx.imageSmoothingEnabled = false;
      ctx.drawImage(img, s[b + F.x], s[b + F.y]);
    }
  }
  gauge.dirty = !complete || !fontsReady;
  gauge.complete = complete && fontsReady;
  trainer.redraws++;
}

function drawPanels() {
  // Nothing is drawn before the bitmap list of the chosen caption set is known.
  if (!trainer.captionsReady) return;
  for (const g of trainer.gauges) if (g.dirty) drawGauge(g);
  trainer.drawn = trainer.gauges.every((g) => g.complete);
  for (const u of [1, 2]) {
    const uvi = trainer.units[u].gauges.Q14_UVI;
    const focused = uvi && hasElement(uvi, UVI.focus);
    trainer.units[u].box.classList.toggle('focused', !!focused);
  }
}

function hasElement(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields) if (s[b + F.element] === k) return true;
  return false;
}

// The angle needle k of a gauge shows (NaN when it is not drawn).
function needleAngle(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields)
    if (s[b + F.element] === k && s[b + F.kind] === KIND_NEEDLE) return s[b + F.angle];
  return NaN;
}

function gaugeText(gauge, k) {
  const s = gauge.steps;
  for (let b = 0; s && b < s.length; b += trainer.fields) if (s[b + F.element] === k) return gauge.texts[b / trainer.fields];
  return '';
}

function layout() {
  // Both units side by side fill what the side panel leaves of the window.
  const side = Math.min(440, Math.max(320, window.innerWidth * 0.28));
  const avail = window.innerWidth - side - 60;
  const scale = Math.max(0.5, Math.min(1.6, avail / (2 * 383 + 40)));
  if (Math.abs(scale - trainer.scale) > 0.01) {
    trainer.scale = scale;
    markAllDirty();
  }
}

// ---- mouse --------------------------------------------------------------------------------------------

function areaAt(gauge, ev) {
  const r = gauge.canvas.getBoundingClientRect();
  const x = ((ev.clientX - r.left) / r.width) * gauge.width;
  const y = ((ev.clientY - r.top) / r.height) * gauge.height;
  return gauge.areas.find((a) => x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h) || null;
}

function bindMouse(gauge) {
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
      tip.textContent = `Unit ${gauge.u}: ${name}`;
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
  if (trainer.exercises) trainer.exercises.observe();
}

// ---- PC keyboard ------------------------------------------------------------------------------------------

function bindKeys() {
  const send = (ev, release) => {
    const scan = SCAN_CODES[ev.code];
    if (!scan || ev.target.closest('input, textarea, select')) return;
    // The keystroke goes through the units' keyboard hooks; the unit holding the focus takes it.
    if (api.trainer_key(scan, release ? 1 : 0)) ev.preventDefault();
    walkAll();
    drawPanels();
  };
  window.addEventListener('keydown', (ev) => send(ev, false));
  window.addEventListener('keyup', (ev) => send(ev, true));
}

// ---- aircraft -----------------------------------------------------------------------------------------------

function applyAircraft() {
  const num = (id) => Number($(id).value);
  $('headingout').textContent = `${num('heading')}°`;
  api.trainer_set_aircraft(num('tas'), num('windto'), num('windkmh'), num('heading'), num('rate'),
    trainer.paused ? 1 : 0, $('fly').checked ? 1 : 0, $('coupled').checked ? 1 : 0);
  trainer.fastForward = Math.max(1, Math.min(60, Number($('ff').value) || 1));
}

function bindControls() {
  for (const id of ['tas', 'windto', 'windkmh', 'heading', 'coupled', 'fly', 'rate', 'ff'])
    $(id).addEventListener('input', applyAircraft);
  $('pause').addEventListener('click', () => {
    trainer.paused = !trainer.paused;
    $('pause').textContent = trainer.paused ? 'Resume' : 'Pause';
    applyAircraft();
  });
  $('save').addEventListener('click', saveFlight);
  $('resume').addEventListener('change', resumeFlight);
  bindRouteFile();
  bindKeys();
}

function aircraft() {
  const a = new Float64Array(Module.HEAPF64.buffer, api.trainer_aircraft(), 12);
  return { lat: a[0], lon: a[1], heading: a[2], tas: a[3], gsN: a[4], gsE: a[5], simTime: a[6], rate: a[7],
    paused: a[8] === 1, fly: a[9] === 1, coupled: a[10] === 1, bug: a[11] };
}

function unitPosition(u) {
  const p = api.trainer_unit_position(u);
  if (!p) return null;
  const a = new Float64Array(Module.HEAPF64.buffer, p, 2);
  return { lat: a[0], lon: a[1] };
}

// ---- saved flights -----------------------------------------------------------------------------------------

// Offers `data` (complete: the page never hands out a file it is still writing) as a download.
function offerDownload(data, name, type) {
  const url = URL.createObjectURL(new Blob([data], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function fileMessage(text, isError) {
  $('filemsg').textContent = text;
  $('filemsg').classList.toggle('error', !!isError);
}

// Unit 2 writes its state beside the current flight when the simulator saves it (event 38);
// the file appears some frames later and is offered as a download once complete.
function saveFlight() {
  const FS = Module.FS;
  try { FS.unlink(STATE_FILE); } catch (e) { /* none yet */ }
  withCString(FLIGHT_PATH, (p) => Module._trainer_raise_event(38, p));
  fileMessage('Saving…');
  trainer.saveWaitFrames = 0;
  trainer.pendingSave = true;
}

function checkSave() {
  if (!trainer.pendingSave) return;
  let bytes = null;
  try { bytes = Module.FS.readFile(STATE_FILE); } catch (e) { bytes = null; }
  if (bytes && bytes.length === STATE_SIZE) {
    trainer.pendingSave = false;
    trainer.savedState = bytes;
    offerDownload(bytes, 'Trainer.FLT.insb', 'application/octet-stream');
    fileMessage('Flight saved (Trainer.FLT.insb).');
  } else if (++trainer.saveWaitFrames > 200) {
    trainer.pendingSave = false;
    fileMessage('Unit 2 did not write its state: is it powered?', true);
  }
}

function resumeFlight(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  if (file.size !== STATE_SIZE) {
    fileMessage(`"${file.name}" is not a saved flight of unit 2: it has ${file.size} bytes, not ${STATE_SIZE}.`, true);
    return;
  }
  file.arrayBuffer().then((buf) => {
    const bytes = new Uint8Array(buf);
    let s = '';
    for (const b of bytes) s += String.fromCharCode(b);
    // The units restore a flight when they start with it loaded: start the page again.
    sessionStorage.setItem(RESUME_KEY, btoa(s));
    location.reload();
  });
}

// ---- route file ---------------------------------------------------------------------------------

// The route check's findings on a route file: errors (the units would misread it) and warnings.
function checkRoute(text) {
  const raw = withCString(text, (p, len) => Module.UTF8ToString(Module._trainer_check_route(p, len)));
  return raw.split('\n').filter((l) => l).map((l) => {
    const [line, key, severity, reason] = l.split('\t');
    return { line: Number(line), key, severity, reason };
  });
}

function showFindings(findings, okText) {
  const list = $('cfgmsg');
  list.textContent = '';
  for (const f of findings) {
    const li = document.createElement('li');
    li.className = f.severity === 'warning' ? 'warning' : 'error';
    const where = [f.line ? `line ${f.line}` : '', f.key].filter((x) => x).join(', ');
    li.textContent = `${where ? where + ': ' : ''}${f.severity === 'warning' ? '(warning) ' : ''}${f.reason}`;
    list.appendChild(li);
  }
  if (okText) {
    const li = document.createElement('li');
    li.className = 'ok';
    li.textContent = okText;
    list.appendChild(li);
  }
}

// A flight plan into one route of the text being edited, by the bench tool's import rules. The
// plan's bytes go over as they are (it may be UTF-16); the edited text changes only on success.
function importPlan(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  file.arrayBuffer().then((buf) => {
    const bytes = new Uint8Array(buf);
    const p = Module._malloc(bytes.length + 1);
    let result;
    try {
      Module.HEAPU8.set(bytes, p);
      result = withCString($('cfgtext').value, (c, len) =>
        Module._trainer_import_plan(p, bytes.length, Number($('plnroute').value), c, len));
      result = result ? Module.UTF8ToString(result) : null;
    } finally {
      Module._free(p);
    }
    if (result === null) {
      showFindings([{ line: 0, key: '', severity: 'error', reason: `"${file.name}" was not imported: ${cError()}` }]);
      return;
    }
    const cut = result.lastIndexOf('\n--\n');
    $('cfgtext').value = result.substring(0, cut);
    const notes = result.substring(cut + 4).split('\n').filter((l) => l);
    showFindings(checkRoute($('cfgtext').value), `Route ${$('plnroute').value} imported from "${file.name}"` +
      (notes.length ? `; ${notes.join('; ')}` : '') + '. Check, then use it in the units or download it.');
  });
}

function bindRouteFile() {
  $('cfgtext').value = Module.FS.readFile(CFG_PATH, { encoding: 'utf8' });
  $('cfgcheck').addEventListener('click', () => {
    const findings = checkRoute($('cfgtext').value);
    showFindings(findings, findings.length ? '' : 'No findings.');
  });
  $('cfgapply').addEventListener('click', () => {
    const text = $('cfgtext').value;
    const findings = checkRoute(text);
    // Route 0 must be flyable (the map draws it, the reload corner loads it).
    if (!withCString(text, (p, len) => Module._trainer_route_flyable(p, len))) {
      showFindings(findings.concat([{ line: 0, key: '', severity: 'error',
        reason: 'route 0 cannot be flown: the file was not put into the units\' folder' }]));
      return;
    }
    Module.FS.writeFile(CFG_PATH, text);
    try { localStorage.setItem(ROUTE_KEY, text); } catch (e) { /* storage full or off: this page only */ }
    loadRoute(text);
    showFindings(findings, 'In the units\' folder now: click a UVI\'s route reload corner (top left) to load route 0.');
  });
  $('cfgdownload').addEventListener('click', () => offerDownload($('cfgtext').value, 'q14_ppm.cfg', 'text/plain'));
  $('plnfile').addEventListener('change', importPlan);
  $('cfgreset').addEventListener('click', () => {
    fetch('q14_ppm.cfg').then((r) => r.text()).then((t) => { $('cfgtext').value = t; showFindings([]); });
  });
}

// ---- map -------------------------------------------------------------------------------------------------------

function drawMap() {
  const c = $('map');
  const ctx = c.getContext('2d');
  const pts = trainer.routePath.concat(trainer.track.slice(-1));
  const ac = aircraft();
  pts.push({ lat: ac.lat, lon: ac.lon });
  let minLat = Infinity, maxLat = -Infinity, minLon = Infinity, maxLon = -Infinity;
  for (const p of pts) {
    minLat = Math.min(minLat, p.lat); maxLat = Math.max(maxLat, p.lat);
    minLon = Math.min(minLon, p.lon); maxLon = Math.max(maxLon, p.lon);
  }
  const midLat = (minLat + maxLat) / 2;
  const k = Math.cos((midLat * Math.PI) / 180) || 1;
  const spanX = Math.max((maxLon - minLon) * k, 0.05), spanY = Math.max(maxLat - minLat, 0.05);
  const scale = Math.min((c.width - 40) / spanX, (c.height - 40) / spanY);
  const cx = (minLon + maxLon) / 2, cy = midLat;
  const X = (p) => c.width / 2 + (p.lon - cx) * k * scale;
  const Y = (p) => c.height / 2 - (p.lat - cy) * scale;
  ctx.fillStyle = '#10161c';
  ctx.fillRect(0, 0, c.width, c.height);
  // Graticule: a round step that gives a handful of lines.
  const span = Math.max(spanX / k, spanY);
  const step = [0.05, 0.1, 0.25, 0.5, 1, 2, 5, 10, 15, 30].find((s) => span / s <= 6) || 30;
  ctx.strokeStyle = '#2a3a48';
  ctx.fillStyle = '#6a7a88';
  ctx.font = '10px sans-serif';
  ctx.lineWidth = 1;
  const lonFrom = cx - c.width / 2 / (k * scale), lonTo = cx + c.width / 2 / (k * scale);
  const latFrom = cy - c.height / 2 / scale, latTo = cy + c.height / 2 / scale;
  for (let lat = Math.ceil(latFrom / step) * step; lat <= latTo; lat += step) {
    const y = Y({ lat, lon: 0 });
    ctx.beginPath(); ctx.moveTo(0, y); ctx.lineTo(c.width, y); ctx.stroke();
    ctx.fillText(`${lat.toFixed(2)}°`, 2, y - 2);
  }
  for (let lon = Math.ceil(lonFrom / step) * step; lon <= lonTo; lon += step) {
    const x = X({ lat: 0, lon });
    ctx.beginPath(); ctx.moveTo(x, 0); ctx.lineTo(x, c.height); ctx.stroke();
    ctx.fillText(`${lon.toFixed(2)}°`, x + 2, c.height - 2);
  }
  const line = (list, colour, width) => {
    if (list.length < 2) return;
    ctx.strokeStyle = colour; ctx.lineWidth = width;
    ctx.beginPath();
    list.forEach((p, i) => (i ? ctx.lineTo(X(p), Y(p)) : ctx.moveTo(X(p), Y(p))));
    ctx.stroke();
  };
  line(trainer.routePath, '#c0c0c0', 1.5);
  ctx.fillStyle = '#c0c0c0';
  trainer.route.forEach((p, i) => { ctx.fillRect(X(p) - 3, Y(p) - 3, 6, 6); ctx.fillText(String(i + 1), X(p) + 5, Y(p) - 5); });
  line(trainer.track, '#40c0ff', 2);
  for (const l of trainer.legChanges) {
    ctx.fillStyle = l.u === 1 ? '#ffb040' : '#60ff60';
    ctx.fillText(`${l.u}: ${l.from}→${l.to}`, X(l) + 4, Y(l) + (l.u === 1 ? -4 : 12));
    ctx.beginPath(); ctx.arc(X(l), Y(l), 3, 0, 2 * Math.PI); ctx.fill();
  }
  // The aircraft, heading up its nose.
  ctx.save();
  ctx.translate(X(ac), Y(ac));
  ctx.rotate((ac.heading * Math.PI) / 180);
  ctx.fillStyle = '#40c0ff';
  ctx.beginPath(); ctx.moveTo(0, -8); ctx.lineTo(5, 6); ctx.lineTo(-5, 6); ctx.closePath(); ctx.fill();
  ctx.restore();
  for (const [u, colour] of [[1, '#ffb040'], [2, '#60ff60']]) {
    const p = unitPosition(u);
    if (!p) continue;
    ctx.strokeStyle = colour; ctx.lineWidth = 2;
    ctx.beginPath(); ctx.arc(X(p), Y(p), 6, 0, 2 * Math.PI); ctx.stroke();
  }
}

// What the map remembers between draws: the true track and the leg changes of each unit.
function recordFlight() {
  const ac = aircraft();
  const last = trainer.track[trainer.track.length - 1];
  if (ac.fly && (!last || ac.simTime - last.t >= 2)) {
    trainer.track.push({ lat: ac.lat, lon: ac.lon, t: ac.simTime });
    if (trainer.track.length > 20000) trainer.track.splice(0, 10000);
  }
  for (const u of [1, 2]) {
    const uvi = trainer.units[u].gauges.Q14_UVI;
    // OT and DO show the unit's leg only while the IZM MARSH lamp is dark: lit, they show the
    // digits of a leg being typed (perhaps never entered) or, at KONTR, the test's 8s.
    if (hasElement(uvi, UVI.legLamp)) continue;
    const leg = `${gaugeText(uvi, UVI.from)}${gaugeText(uvi, UVI.to)}`;
    const before = trainer.lastLeg[u];
    if (/^\d\d$/.test(leg) && before && before !== leg && /^\d\d$/.test(before))
      trainer.legChanges.push({ u, from: leg[0], to: leg[1], lat: ac.lat, lon: ac.lon });
    trainer.lastLeg[u] = leg;
  }
  trainer.frames = api.trainer_frame_number();
  const clock = new Date(ac.simTime * 1000).toISOString().substring(11, 19);
  $('clock').textContent = `sim ${clock}  frame ${trainer.frames}`;
  $('acstate').textContent = `${ac.lat.toFixed(4)}° ${ac.lon.toFixed(4)}°, heading ${ac.heading.toFixed(1)}°` +
    (ac.coupled ? ` (bug ${ac.bug.toFixed(0)}°)` : '');
  if (!$('coupled').checked) return;
  $('heading').value = String(Math.round(ac.heading) % 360);
  $('headingout').textContent = `${Math.round(ac.heading) % 360}°`;
}

// ---- the frame loop ---------------------------------------------------------------------------------------------

let mapDue = 0;
function tick(now) {
  const t0 = performance.now();
  let due = Math.min(((now - trainer.lastTime) / 1000) * FRAME_HZ, MAX_FRAMES_PER_DRAW / trainer.fastForward);
  trainer.carry = (trainer.carry || 0) + due;
  trainer.lastTime = now;
  let n = Math.floor(trainer.carry);
  trainer.carry -= n;
  n *= trainer.fastForward;
  if (trainer.hold) {
    n = 0;
    walkAll();
    if (trainer.exercises) trainer.exercises.observe();
  }
  if (n > 0) {
    api.trainer_frames(n);
    trainer.frames = api.trainer_frame_number();
    walkAll();
    if (trainer.exercises) trainer.exercises.observe();
  }
  checkSave();
  drawPanels();
  if (now >= mapDue) {
    recordFlight();
    drawMap();
    trainer.mapDraws++;
    mapDue = now + 250;
  }
  trainer.longestFrameMs = Math.max(trainer.longestFrameMs, performance.now() - t0);
  requestAnimationFrame(tick);
}

// Used by the tests: where mouse area k of a gauge lies on the page (its middle).
trainer.areaPoint = (u, name, k) => {
  const g = trainer.units[u].gauges[name];
  const a = g.areas[k - 1];
  const r = g.canvas.getBoundingClientRect();
  return { x: r.left + ((a.x + a.w / 2) / g.width) * r.width, y: r.top + ((a.y + a.h / 2) / g.height) * r.height };
};
trainer.text = (u, name, k) => { walkAll(); return gaugeText(trainer.units[u].gauges[name], k); };
trainer.shows = (u, name, k) => { walkAll(); return hasElement(trainer.units[u].gauges[name], k); };
trainer.named = namedValue;
// For the exercises: what a gauge shows as of the last walk.
trainer.needle = needleAngle;
trainer.gaugeText = gaugeText;
trainer.lit = hasElement;
// Runs a session script (host/session_script.h) on the units as they are; returns its trace.
trainer.runScript = (script) => {
  const p = withCString(script, (c) => Module._trainer_run_script(c));
  if (!p) throw new Error(cError());
  walkAll();
  return Module.UTF8ToString(p);
};

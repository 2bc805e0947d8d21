// The panels' bitmaps and segment fonts, the caption sets they come in (Latin, Cyrillic) and
// the hover names of the mouse areas, worded with the captions the chosen panels show.
import { areaKey } from './capi.js';
import { withCaptions } from './caption_words.js';
import { $, CAPTIONS_KEY, setStatus, trainer } from './state.js';
import { drawPanels, markAllDirty } from './panels.js';

// What each mouse area does, for the hover names, by the area's name in the panel map.
const AREA_NAMES = {
  Q14_UVI: { ModeDown: 'Mode knob: turn left', ModeUp: 'Mode knob: turn right', WheelDown: 'Waypoint wheel: down',
    WheelUp: 'Waypoint wheel: up', Auto: '{AVT} (automatic)', Manual: '{RUCHN} (manual)', Key1: 'Key 1', Key2: 'Key 2',
    Key3: 'Key 3', Key4: 'Key 4', Key5: 'Key 5', Key6: 'Key 6', Key7: 'Key 7', Key8: 'Key 8', Key9: 'Key 9',
    Enter: '{VVOD} (enter)', Key0: 'Key 0', Reset: '{SBROS} (reset)', RouteChange: '{IZM_MARSH} (change leg)',
    Hold: '{OST_INDIK} (hold display)', RouteReload: 'Route reload from the file', FocusArea: 'PC keyboard focus',
    TakePosition: 'Take the aircraft position', AlignShortcut: 'Alignment shortcut' },
  Q14_PUR: { SelectorDown: 'Selector: turn left', SelectorUp: 'Selector: turn right', LampTest: 'Lamp test' },
  QN14_def_AP_Key: { Toggle: 'Autopilot steering on/off' },
};
// The read-outs are outside the panel map: their areas by number, 1-based.
const READOUT_NAMES = {
  Koord_i: ['True position: show or hide'],
  Koord_s: ['The unit\'s computed position: show or hide'],
};

const images = new Map();   // address -> { img, loaded, ready, opaque }
const ownBitmaps = { latin: new Set() };  // caption set -> the bitmaps it has of its own
export const fonts = { ready: false };

// The Latin set lies whole in art/; another set has only the bitmaps that differ in art/<set>/.
function bitmapUrl(id, set) { return ownBitmaps[set] && ownBitmaps[set].has(id) ? `art/${set}/${id}.png` : `art/${id}.png`; }

function image(url) {
  let e = images.get(url);
  if (!e) {
    e = { img: new Image(), loaded: false, opaque: null };
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

// The PNG files carry pure black as clear, as elements with the transparency flag draw it; an
// element without the flag gets it on black (the same pixels as the bitmap).
export function bitmap(id, transparent) {
  const e = image(bitmapUrl(id, trainer.captions));
  if (!e.loaded) return null;
  if (transparent) return e.img;
  if (!e.opaque) {
    const c = document.createElement('canvas');
    c.width = e.img.width;
    c.height = e.img.height;
    const x = c.getContext('2d');
    x.fillStyle = '#000';
    x.fillRect(0, 0, c.width, c.height);
    x.drawImage(e.img, 0, 0);
    e.opaque = c;
  }
  return e.opaque;
}

export function loadFonts() {
  const faces = [new FontFace('DSEG7 Classic', 'url(DSEG7Classic-Regular.ttf)'),
    new FontFace('DSEG14 Classic', 'url(DSEG14Classic-Regular.ttf)')];
  Promise.all(faces.map((f) => f.load())).then((loaded) => {
    for (const f of loaded) document.fonts.add(f);
    fonts.ready = true;
    markAllDirty();
  }).catch(() => setStatus('the segment fonts could not be loaded', true));
}

function captionSets() { return Array.from($('captions').options, (o) => o.value); }

// The set asked for on the address (?captions=cyrillic), else the one last chosen, else Latin.
export function initialCaptions() {
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

export function bindCaptions() {
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
export function areaName(gauge, k) {
  const names = AREA_NAMES[gauge.name];
  const readout = READOUT_NAMES[gauge.name];
  const name = names ? names[areaKey(gauge.name, k)] : readout && readout[k - 1];
  return name && withCaptions(name);
}

// The panels' bitmaps and segment fonts, the caption sets they come in (Latin, Cyrillic) and
// the hover names of the mouse areas, worded with the captions the chosen panels show.
import { areaKey } from './capi.js';
import { withCaptions } from './caption_words.js';
import { $, CAPTIONS_KEY, setStatus, trainer } from './state.js';
import { hasWords, lang, LANGUAGE_EVENT, t } from './words.js';
import './words_captions.js';
import { drawPanels, markAllDirty } from './panels.js';

// The hover names are in words_captions.js: 'area.<gauge>.<area>', the keys 'area.Q14_UVI.Key'
// with the key's number, the read-outs (outside the panel map) 'area.<gauge>.<number>'.
const READOUTS = ['Koord_i', 'Koord_s'];

const images = new Map();   // address -> { img, loaded, ready, pieces }
const ownBitmaps = { latin: new Set() };  // caption set -> the bitmaps it has of its own
export const fonts = { ready: false };

// The Latin set lies whole in art/; another set has only the bitmaps that differ in art/<set>/.
function bitmapUrl(id, set) { return ownBitmaps[set] && ownBitmaps[set].has(id) ? `art/${set}/${id}.png` : `art/${id}.png`; }

function image(url) {
  let e = images.get(url);
  if (!e) {
    e = { img: new Image(), loaded: false, pieces: null };
    e.ready = new Promise((resolve, reject) => {
      e.img.onload = () => { e.loaded = true; markAllDirty(); resolve(); };
      e.img.onerror = () => { setStatus('status.bitmap', { url }, true); reject(new Error(url)); };
    });
    e.ready.catch(() => {});
    e.img.src = url;
    images.set(url, e);
  }
  return e;
}

// The bitmaps every set shares lie in one file, art/atlas.png (art/atlas.json: number -> [x, y,
// width, height]); the others are files of their own.
const atlas = { image: null, places: null, pieces: new Map() };

// Resolves once the atlas's places are known (what bitmap() needs to tell where a bitmap lies);
// `places` resolves to art/atlas.json's contents.
export function loadAtlas(places) {
  atlas.image = image('art/atlas.png');
  return places.then((p) => { atlas.places = p; markAllDirty(); })
    .catch(() => setStatus('status.bitmap', { url: 'art/atlas.json' }, true));
}

// Asks at once for the bitmaps the Latin set has as files of its own (art/index.json lists them).
export function askLatinBitmaps(ids) { for (const id of ids) image(bitmapUrl(id, 'latin')); }

// What drawBitmap draws: the part [sx, sy, width, height] of an image, on black unless clear.
const piece = (source, [sx, sy, width, height], onBlack) => ({ source, sx, sy, width, height, onBlack });

// The PNG files carry pure black as clear, as elements with the transparency flag draw it; an
// element without the flag gets it on black (the same pixels as the bitmap). Null until loaded.
export function bitmap(id, transparent) {
  const own = ownBitmaps[trainer.captions] && ownBitmaps[trainer.captions].has(id);
  if (!own && !atlas.places) return null;
  const place = own ? null : atlas.places[id];
  const e = place ? atlas.image : image(bitmapUrl(id, trainer.captions));
  // An image the browser has whole (from its cache) is drawn before its load event comes.
  if (!e.loaded && !(e.img.complete && e.img.naturalWidth > 0)) return null;
  const key = (place ? id * 2 : 0) + (transparent ? 1 : 0);
  const pieces = place ? atlas.pieces : (e.pieces = e.pieces || new Map());
  if (!pieces.has(key)) pieces.set(key, piece(e.img, place || [0, 0, e.img.width, e.img.height], !transparent));
  return pieces.get(key);
}

export function drawBitmap(ctx, b, x, y) {
  if (b.onBlack) {
    ctx.fillStyle = '#000';
    ctx.fillRect(x, y, b.width, b.height);
  }
  ctx.drawImage(b.source, b.sx, b.sy, b.width, b.height, x, y, b.width, b.height);
}

export function loadFonts() {
  const faces = [new FontFace('DSEG7 Classic', 'url(DSEG7Classic-Regular.ttf)'),
    new FontFace('DSEG14 Classic', 'url(DSEG14Classic-Regular.ttf)')];
  Promise.all(faces.map((f) => f.load())).then((loaded) => {
    for (const f of loaded) document.fonts.add(f);
    fonts.ready = true;
    markAllDirty();
  }).catch(() => setStatus('status.fonts', {}, true));
}

function captionSets() { return Array.from($('captions').options, (o) => o.value); }

// The set asked for on the address (?captions=cyrillic), else the one last chosen; null if none.
function askedCaptions() {
  let stored = null;
  try { stored = localStorage.getItem(CAPTIONS_KEY); } catch (e) { /* storage off */ }
  const name = new URLSearchParams(location.search).get('captions') || stored;
  return captionSets().includes(name) ? name : null;
}
const languageCaptions = () => (lang === 'ru' ? 'cyrillic' : 'latin');
// The set the page starts with: the one asked for, else the page language's (Cyrillic for Russian).
export function initialCaptions() { return askedCaptions() || languageCaptions(); }

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
    setStatus('status.captions', { name, error: e.message }, true);
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
  // A pilot who never chose a set gets the new language's.
  document.addEventListener(LANGUAGE_EVENT, () => {
    if (!askedCaptions() && trainer.captionsWanted !== languageCaptions()) chooseCaptions(languageCaptions());
  });
}

// The hover name of mouse area k, with the caption words as the chosen panels write them.
export function areaName(gauge, k) {
  const area = READOUTS.includes(gauge.name) ? String(k) : areaKey(gauge.name, k);
  if (!area) return undefined;
  const key = /^Key(\d)$/.exec(area);
  const id = key ? 'area.Q14_UVI.Key' : `area.${gauge.name}.${area}`;
  return hasWords(id) ? withCaptions(t(id, key ? { n: key[1] } : {})) : undefined;
}

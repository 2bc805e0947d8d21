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

export const fonts = { ready: false };

// The bitmaps lie in sheets: those every caption set shares in art/atlas.png, those a set has of
// its own in art/own.png (Latin) or art/<set>/own.png; art/places.json gives their places, per
// sheet ('shared' or the set's name) a number's [x, y, width, height].
const sheets = {};   // 'shared' or a set's name -> { img, loaded, places, pieces, ready }
const sheetImage = (key) => (key === 'shared' ? 'art/atlas.png' : key === 'latin' ? 'art/own.png' : `art/${key}/own.png`);
let allPlaces = null;   // resolves to art/places.json's contents

// Asks for sheet `key` (once); resolves once its image and places are in.
function loadSheet(key) {
  let s = sheets[key];
  if (!s) {
    const url = sheetImage(key);
    s = sheets[key] = { img: new Image(), loaded: false, places: null, pieces: new Map() };
    const image = new Promise((resolve, reject) => {
      s.img.onload = () => { s.loaded = true; markAllDirty(); resolve(); };
      s.img.onerror = () => reject(new Error(url));
    });
    s.img.src = url;
    const known = allPlaces.then((p) => {
      if (!p[key]) throw new Error(`art/places.json: ${key}`);
      s.places = p[key];
      markAllDirty();
    });
    s.ready = Promise.all([image, known]);
    s.ready.catch((e) => setStatus('status.bitmap', { url: e.message }, true));
  }
  return s.ready;
}

// Asks for the shared sheet and that of set `name`; `places` resolves to art/places.json's
// contents (index.html asks for it first thing).
export function loadBitmaps(places, name) {
  allPlaces = places;
  loadSheet('shared');
  loadSheet(name);
}

// What drawBitmap draws: the part [sx, sy, width, height] of an image, on black unless clear.
const piece = (source, [sx, sy, width, height], onBlack) => ({ source, sx, sy, width, height, onBlack });

// The PNG files carry pure black as clear, as elements with the transparency flag draw it; an
// element without the flag gets it on black (the same pixels as the bitmap). Null until loaded.
export function bitmap(id, transparent) {
  const own = sheets[trainer.captions];
  const s = own && own.places && own.places[id] ? own : sheets.shared;
  const place = s && s.places && s.places[id];
  // An image the browser has whole (from its cache) is drawn before its load event comes.
  if (!place || !(s.loaded || (s.img.complete && s.img.naturalWidth > 0))) return null;
  const key = id * 2 + (transparent ? 1 : 0);
  if (!s.pieces.has(key)) s.pieces.set(key, piece(s.img, place, !transparent));
  return s.pieces.get(key);
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

// Switches both units' panels to caption set `name`: its own bitmaps are loaded first, so that
// every panel changes in one redraw. The units run on.
function chooseCaptions(name) {
  const want = trainer.captionsWanted = name;
  return loadSheet(name).then(() => {
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

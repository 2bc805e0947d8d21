// Completed exercises and their best results, kept in the browser between visits (versioned; a
// store that cannot be read is ignored and replaced on the next completion), and forgotten on request.
import { clock, km } from './debrief.js';
import { $, PROGRESS_KEY } from './state.js';
import { t } from './words.js';
import './words_debrief.js';

const VERSION = 1;
const count = (v) => Number.isInteger(v) && v >= 0;
const size = (v) => typeof v === 'number' && Number.isFinite(v) && v >= 0;
// One exercise's record: times completed, shortest time (s), fewest wrong entries and, for
// flights, the smallest largest cross-track (km).
const valid = (e) => !!e && typeof e === 'object' && count(e.n) && e.n >= 1 && size(e.timeS) && count(e.wrong) &&
  (e.xtKm === undefined || size(e.xtKm));

// The records kept, by exercise id; those that cannot be read are left out.
export function loadProgress() {
  let kept = null;
  try {
    kept = JSON.parse(localStorage.getItem(PROGRESS_KEY));
  } catch (e) {
    return {};
  }
  if (!kept || kept.version !== VERSION || !kept.exercises || typeof kept.exercises !== 'object') return {};
  const out = {};
  for (const [id, e] of Object.entries(kept.exercises)) {
    if (!valid(e)) continue;
    out[id] = { n: e.n, timeS: e.timeS, wrong: e.wrong };
    if (e.xtKm !== undefined) out[id].xtKm = e.xtKm;
  }
  return out;
}

function store(exercises) {
  try {
    localStorage.setItem(PROGRESS_KEY, JSON.stringify({ version: VERSION, exercises }));
  } catch (e) { /* no storage (private mode, full): the progress is not kept */ }
}

const least = (a, b) => (a === undefined ? b : b === undefined ? a : Math.min(a, b));

// Keeps a completion of exercise `id` with its debrief `r`.
export function recordResult(id, r) {
  const all = loadProgress();
  const was = all[id] || {};
  const e = { n: (was.n || 0) + 1, timeS: least(was.timeS, Math.round(r.timeS * 10) / 10), wrong: least(was.wrong, r.wrong.length) };
  const xt = least(was.xtKm, r.largest ? Math.round(Math.abs(r.largest.km) * 1000) / 1000 : undefined);
  if (xt !== undefined) e.xtKm = xt;
  all[id] = e;
  store(all);
}

// What the exercise list says of exercise `id`, or null when it was never completed here.
export function progressNote(id) {
  const e = loadProgress()[id];
  if (!e) return null;
  const span = document.createElement('span');
  span.className = 'ex-progress';
  span.textContent = ` ✔ ${t('progress_note', { n: e.n, time: clock(e.timeS), wrong: e.wrong, xt: e.xtKm === undefined ? undefined : km(e.xtKm) })}`;
  return span;
}

// The button that forgets every completion, after the exercise list; `changed` redraws the list.
export function bindProgress(changed) {
  if ($('exclear')) return;
  const b = document.createElement('button');
  b.type = 'button';
  b.id = 'exclear';
  b.dataset.t = 'progress_clear';
  b.textContent = t('progress_clear');
  b.addEventListener('click', () => {
    if (!window.confirm(t('progress_clear_ask'))) return;
    try { localStorage.removeItem(PROGRESS_KEY); } catch (e) { /* nothing was kept */ }
    changed();
  });
  $('exlist').after(b);
}

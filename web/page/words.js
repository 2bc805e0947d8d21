// The page's words for the pilot in English and Russian: each feature registers its table here and
// looks its texts up by identifier with their values; the language comes from ?lang=, then memory.
const LANGUAGES = ['en', 'ru'];
const STORE_KEY = 'q14.lang';
const tables = { en: {}, ru: {} };

function chosenLanguage() {
  const asked = new URLSearchParams(location.search).get('lang');
  if (LANGUAGES.includes(asked)) {
    try { localStorage.setItem(STORE_KEY, asked); } catch (e) { /* private mode: not remembered */ }
    return asked;
  }
  let kept = null;
  try { kept = localStorage.getItem(STORE_KEY); } catch (e) { /* no storage */ }
  return LANGUAGES.includes(kept) ? kept : 'en';
}

export const lang = chosenLanguage();

// A feature's words: { en: { id: text }, ru: { id: text } }. A text is a string with {name}
// places for its values, or a function of the values (for plurals and numbers).
export function addWords(table) {
  for (const l of LANGUAGES) Object.assign(tables[l], table[l] || {});
}

// The text `id` in the page's language with its values filled in; the English one when the
// language lacks it, the identifier itself when no language has it (a test looks for those).
export function t(id, values = {}) {
  const s = tables[lang][id] ?? tables.en[id];
  if (s === undefined) return id;
  if (typeof s === 'function') return s(values);
  return s.replace(/\{(\w+)\}/g, (m, k) => (k in values ? String(values[k]) : m));
}

// Words every element under root that names its text by identifier: data-t for its text,
// data-t-label for its accessible name, data-t-title for its hover title.
export function applyWords(root = document) {
  document.documentElement.lang = lang;
  for (const e of root.querySelectorAll('[data-t]')) e.textContent = t(e.dataset.t);
  for (const e of root.querySelectorAll('[data-t-label]')) e.setAttribute('aria-label', t(e.dataset.tLabel));
  for (const e of root.querySelectorAll('[data-t-title]')) e.title = t(e.dataset.tTitle);
}

// Chooses the page language and opens the page again in it (the session is kept by the caller).
export function setLanguage(l) {
  if (!LANGUAGES.includes(l)) return;
  try { localStorage.setItem(STORE_KEY, l); } catch (e) { /* not remembered */ }
  const u = new URL(location.href);
  u.searchParams.set('lang', l);
  location.replace(u.toString());
}

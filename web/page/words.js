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

// The page's language; it changes in place when the pilot chooses another (setLanguage).
export let lang = chosenLanguage();
export const LANGUAGE_EVENT = 'q14-language';

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
// data-t-label for its accessible name, data-t-title for its hover title, their values (JSON) in
// data-t-values. A feature that builds elements so has them worded again when the language changes.
// Only what changes is written: the page as served is in English, and an unchanged text costs the
// browser no new layout.
export function applyWords(root = document) {
  if (document.documentElement.lang !== lang) document.documentElement.lang = lang;
  const values = (e) => (e.dataset.tValues ? JSON.parse(e.dataset.tValues) : {});
  const put = (e, attr, text) => { if (e.getAttribute(attr) !== text) e.setAttribute(attr, text); };
  for (const e of root.querySelectorAll('[data-t]')) {
    const text = t(e.dataset.t, values(e));
    if (e.textContent !== text) e.textContent = text;
  }
  for (const e of root.querySelectorAll('[data-t-label]')) put(e, 'aria-label', t(e.dataset.tLabel, values(e)));
  for (const e of root.querySelectorAll('[data-t-title]')) put(e, 'title', t(e.dataset.tTitle, values(e)));
  for (const e of root.querySelectorAll('[data-t-placeholder]')) put(e, 'placeholder', t(e.dataset.tPlaceholder));
}

// Chooses the page language and words the page in it in place, so the session runs on: the
// static texts here, the rest by the features listening for LANGUAGE_EVENT. A ?lang= on the
// address follows the choice.
export function setLanguage(l) {
  if (!LANGUAGES.includes(l) || l === lang) return;
  lang = l;
  try { localStorage.setItem(STORE_KEY, l); } catch (e) { /* not remembered */ }
  const query = new URLSearchParams(location.search);
  if (query.has('lang')) {
    query.set('lang', l);
    history.replaceState(null, '', `?${query.toString().replace(/=(&|$)/g, '$1')}`);
  }
  applyWords(document);
  document.dispatchEvent(new CustomEvent(LANGUAGE_EVENT, { detail: l }));
}

// Calls fn now and whenever the page language changes.
export function onLanguage(fn) {
  fn();
  document.addEventListener(LANGUAGE_EVENT, () => fn());
}

// Every identifier a language lacks that the other has (the tests list them).
export function missingWords() {
  const out = [];
  for (const l of LANGUAGES)
    for (const other of LANGUAGES)
      for (const id of Object.keys(tables[other])) if (!(id in tables[l])) out.push(`${l}:${id}`);
  return out;
}

// Whether `id` has words in every language.
export function hasWords(id) { return LANGUAGES.every((l) => id in tables[l]); }

// Puts text `id` with its values into element el, and words it again when the language changes.
const said = new Map();
export function sayIn(el, id, values = {}) {
  said.set(el, { id, values });
  el.textContent = t(id, values);
}
document.addEventListener(LANGUAGE_EVENT, () => { for (const [el, s] of said) el.textContent = t(s.id, s.values); });

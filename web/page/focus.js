// PC keys and the units' keyboard focus: while a unit holds the focus (its HOOK named value) a key
// goes first through the units' keyboard hooks, and a key a hook takes reaches nothing on the page.
import { api, namedValue } from './capi.js';
import { drawPanels, walkAll } from './panels.js';
import { $, trainer } from './state.js';
import { LANGUAGE_EVENT, t } from './words.js';

// What the page last said of the keyboard (words_page.js), worded again in a new language.
let said = null;
function say(id, values = {}) {
  said = { id, values };
  $('focusmsg').textContent = t(id, values);
}

// PC scan codes (set 1) of the keys by their place on the keyboard. The units' hooks decide which
// they take; keys left out here have scan codes of 70 or less outside 12, 13 and 28.
const SCAN_CODES = {
  Minus: 12, Equal: 13, Enter: 28, NumpadEnter: 28,
  Numpad7: 71, Home: 71, Numpad8: 72, ArrowUp: 72, Numpad9: 73, PageUp: 73, NumpadSubtract: 74,
  Numpad4: 75, ArrowLeft: 75, Numpad5: 76, Numpad6: 77, ArrowRight: 77, NumpadAdd: 78,
  Numpad1: 79, End: 79, Numpad2: 80, ArrowDown: 80, Numpad3: 81, PageDown: 81,
  Numpad0: 82, Insert: 82, NumpadDecimal: 83, Delete: 83,
  F11: 87, F12: 88, MetaLeft: 91, MetaRight: 92, ContextMenu: 93,
};

// The unit holding the keyboard focus now (0: none), read from the units' own named values.
export function focusHolder() {
  for (const u of [1, 2]) if (namedValue(`Q14_N${u}_HOOK`) === 1) return u;
  return 0;
}

const taken = new Set();  // keys a hook took, whose releases stay off the page too

function swallow(ev) {
  ev.preventDefault();
  ev.stopImmediatePropagation();
}

function onKey(ev, release) {
  const scan = SCAN_CODES[ev.code];
  if (!trainer.ready || !scan) return;
  if (release) {
    if (!taken.delete(ev.code)) return;
    api.trainer_key(scan, 1);
    swallow(ev);
    return;
  }
  if (!focusHolder()) return;
  if (!api.trainer_key(scan, 0)) return;
  taken.add(ev.code);
  swallow(ev);
  walkAll();
  drawPanels();
  follow();
  if (trainer.exercises) trainer.exercises.observe();
}

let holder = 0;
// Follows the focus after the units ran or were clicked: a page field gives up the keyboard when
// a unit takes it, and the page says where keys go when the focus comes, moves or lapses.
export function follow() {
  const now = focusHolder();
  if (now === holder) return;
  if (now) {
    // A panel control keeps the page's focus: Tab goes on from it, and keys reach it only when no hook took them.
    const a = document.activeElement;
    if (a && a !== document.body && a.blur && !a.classList.contains('ctl')) a.blur();
    if (holder) say('focus.moved', { from: holder, to: now });
    else say('focus.holds', { u: now });
  } else {
    say('focus.lapsed', { u: holder });
  }
  $('focusmsg').classList.toggle('unitkeys', !!now);
  holder = now;
  trainer.keyboardUnit = now;
}

export function bindKeys() {
  say('focus.none');
  document.addEventListener(LANGUAGE_EVENT, () => say(said.id, said.values));
  trainer.keyboardUnit = 0;
  // The capture phase of the window comes before any page field or button sees the key.
  window.addEventListener('keydown', (ev) => onKey(ev, false), true);
  window.addEventListener('keyup', (ev) => onKey(ev, true), true);
}

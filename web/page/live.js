// What a screen reader hears of the active unit: its selector, display lines, leg digits and lit
// lamps in a polite live region, written again only when the unit's panels changed.
import { caption } from './caption_words.js';
import { PUR, SEL, UVI } from './capi.js';
import { gaugeText, hasElement, needleAngle } from './panels.js';
import { trainer } from './state.js';
import { LANGUAGE_EVENT, t } from './words.js';
import './words_screen.js';

// The lamps by panel element, with the caption (or the word) they are read by.
const LAMPS = [
  { gauge: 'Q14_PUR', el: 'Pit', caption: 'PIT' }, { gauge: 'Q14_PUR', el: 'Otkaz', caption: 'OTKAZ' },
  { gauge: 'Q14_PUR', el: 'Kv', caption: 'KV' }, { gauge: 'Q14_PUR', el: 'Vnim', caption: 'VNIM' },
  { gauge: 'Q14_PUR', el: 'Negot', caption: 'NEGOT' },
  { gauge: 'Q14_UVI', el: 'EnterLamp', caption: 'VVOD' }, { gauge: 'Q14_UVI', el: 'RouteLamp', caption: 'IZM_MARSH' },
  { gauge: 'Q14_UVI', el: 'HoldLamp', caption: 'OST_INDIK' }, { gauge: 'Q14_UVI', el: 'LzpLamp', caption: 'SMENA_LZP' },
  { gauge: 'Q14_UVI', el: 'Focus', word: 'screen.focusLamp' },
];
const SELECTOR_CAPTIONS = { Off: 'OTKL', WarmUp: 'OBOGR', Align: 'VYST', Navig: 'NAVIG', Kv: 'KV' };
const PANELS = { Q14_UVI: UVI, Q14_PUR: PUR };
const SELECTOR_STEP_DEG = 30;

let region = null;
let spoken = 0;  // the unit the region speaks of
// Another page language: the region speaks again, in it, after the next drawing.
document.addEventListener(LANGUAGE_EVENT, () => { spoken = 0; });

// A display text as it is read: the degree mark for the segment font's star, blanks trimmed.
function readable(text) {
  const s = (text || '').replace(/\*/g, '°').trim();
  return s || t('screen.blank');
}

function selectorName(pur) {
  const pos = Math.round(needleAngle(pur, PUR.el.Knob) / SELECTOR_STEP_DEG);
  const name = Object.keys(SEL).find((n) => SEL[n] === pos);
  return name ? caption(SELECTOR_CAPTIONS[name]) : '?';
}

function linesOf(u, g) {
  const uvi = g.Q14_UVI;
  return t('screen.lines', { u, sel: selectorName(g.Q14_PUR), upper: readable(gaugeText(uvi, UVI.el.UpperLine)),
    lower: readable(gaugeText(uvi, UVI.el.LowerLine)), OT: caption('OT'), DO: caption('DO'),
    from: readable(gaugeText(uvi, UVI.el.FromDigit)), to: readable(gaugeText(uvi, UVI.el.ToDigit)) });
}

function lampsOf(g) {
  const lit = LAMPS.filter((l) => hasElement(g[l.gauge], PANELS[l.gauge].el[l.el]))
    .map((l) => (l.word ? t(l.word) : caption(l.caption)));
  return lit.length ? t('screen.lamps', { lamps: lit.join(', ') }) : t('screen.noLamps');
}

function build() {
  region = document.createElement('div');
  region.id = 'live';
  region.className = 'sr-only';
  region.setAttribute('aria-live', 'polite');
  region.append(document.createElement('p'), document.createElement('p'));
  document.getElementById('units').after(region);
}

// Called after every drawing; does nothing unless the active unit's panels changed.
export function speak() {
  const u = trainer.activeUnit || 1;
  const unit = trainer.units[u];
  if (!unit || (!unit.changed && u === spoken) || !unit.gauges.Q14_UVI.steps) return;
  if (!region) build();
  unit.changed = false;
  if (u !== spoken) region.setAttribute('aria-label', t('screen.liveLabel', { u }));
  spoken = u;
  const [lines, lamps] = region.children;
  const l = linesOf(u, unit.gauges);
  if (lines.textContent !== l) lines.textContent = l;
  const m = lampsOf(unit.gauges);
  if (lamps.textContent !== m) lamps.textContent = m;
}

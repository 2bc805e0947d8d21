// The starting situations: each a script of instructor settings, panel clicks (by their names in
// the panel map) and frames (host/session_script.h), flown on the units in fast time as the page
// starts, then left running. A situation may also fly on until the units show a leg.
import { UVI } from './capi.js';
import { runUnits } from './instructor.js';
import { drawPanels, gaugeText, hasElement, walkAll } from './panels.js';
import { trainer } from './state.js';
import { t } from './words.js';
import './words_instructor.js';

// Parked at the start of route 0 (where the page puts the aircraft) on external power, engines
// stopped, both selectors at OTKL.
const COLD = `
aircraft 0 0 0 0 1 0 0 0
power 1
engines 0
frames 2`;

// Both units through OBOGR to VYST, the aircraft's position taken as the start position, the
// whole alignment, NAVIG, and route 0 from the route file.
const RUNWAY = `${COLD}
click 1 Q14_PUR SelectorUp
click 1 Q14_PUR SelectorUp
click 2 Q14_PUR SelectorUp
click 2 Q14_PUR SelectorUp
frames 185
click 1 Q14_UVI ModeUp
click 1 Q14_UVI TakePosition
click 2 Q14_UVI ModeUp
click 2 Q14_UVI TakePosition
frames 5560
click 1 Q14_PUR SelectorUp
click 2 Q14_PUR SelectorUp
click 1 Q14_UVI RouteReload
click 2 Q14_UVI RouteReload
frames 5`;

// Unit 2 steers the heading; the knobs to S/Z; airborne at 450 km/h, 16 times as fast, until
// both units fly leg 3 (waypoint 3 to 4), a little way into it, and back to real time.
const EN_ROUTE = `${RUNWAY}
click 2 QN14_def_AP_Key Toggle
click 1 Q14_UVI ModeUp
click 1 Q14_UVI ModeUp
click 1 Q14_UVI ModeUp
click 1 Q14_UVI ModeUp
click 2 Q14_UVI ModeUp
click 2 Q14_UVI ModeUp
click 2 Q14_UVI ModeUp
click 2 Q14_UVI ModeUp
aircraft 450 0 0 0 16 0 1 1`;
const EN_ROUTE_AFTER = `
frames 40
aircraft 450 0 0 0 1 0 1 1`;

// Each situation: its name (words), its steps: a script, or { leg, units, limit } to fly on
// until those units show that leg (at most `limit` frames, looked at every LOOK_EVERY).
export const SITUATIONS = [
  { id: 'cold', steps: [COLD] },
  { id: 'runway', steps: [RUNWAY] },
  { id: 'enroute', steps: [EN_ROUTE, { leg: '34', units: [1, 2], limit: 20000, expect: 900 }, EN_ROUTE_AFTER] },
];
const CHUNK_FRAMES = 400;  // frames run between two looks at the page
const LOOK_EVERY = 20;

export const situationName = (id) => t('sit.' + id);
export const situation = (id) => SITUATIONS.find((s) => s.id === id);

// A CRC-32 of the situation's steps: a scenario made with other steps would not open the same.
export function situationDigest(id) {
  const s = situation(id);
  return s ? crc32(new TextEncoder().encode(JSON.stringify(s.steps))) : 0;
}

export function crc32(bytes) {
  let c = ~0;
  for (const b of bytes) {
    c ^= b;
    for (let k = 0; k < 8; ++k) c = (c >>> 1) ^ (0xedb88320 & -(c & 1));
  }
  return ~c >>> 0;
}

// A script cut into pieces of at most CHUNK_FRAMES frames each, each piece with its frame count.
function pieces(script) {
  const out = [];
  let lines = [], frames = 0;
  const flush = () => { if (lines.length) out.push({ script: lines.join('\n'), frames }); lines = []; frames = 0; };
  for (const line of script.split('\n')) {
    const m = /^\s*frames\s+(\d+)\s*$/.exec(line);
    if (!m) { lines.push(line); continue; }
    for (let left = Number(m[1]); left > 0;) {
      const n = Math.min(left, CHUNK_FRAMES - frames);
      lines.push(`frames ${n}`);
      frames += n;
      left -= n;
      if (frames >= CHUNK_FRAMES) flush();
    }
  }
  flush();
  return out;
}

const onLeg = (u, leg) => {
  const uvi = trainer.units[u].gauges.Q14_UVI;
  return !hasElement(uvi, UVI.el.RouteLamp) && gaugeText(uvi, UVI.el.FromDigit) + gaugeText(uvi, UVI.el.ToDigit) === leg;
};
const nextDraw = () => new Promise((r) => requestAnimationFrame(() => r()));

// Flies the units into situation `id`, showing progress(text, fraction) between pieces; the
// frames of the page stand still meanwhile. Resolves to { ok, text } in the page's words.
export async function flySituation(id, progress) {
  const s = situation(id);
  const name = situationName(id);
  const plan = [];
  for (const step of s.steps) {
    if (typeof step === 'string') plan.push(...pieces(step));
    else plan.push(step);
  }
  const total = plan.reduce((n, p) => n + (p.frames || p.expect), 0);
  const held = trainer.hold;
  trainer.hold = true;
  let done = 0;
  const show = () => {
    walkAll();
    drawPanels();
    progress(t('sc.running', { name, frame: window.Module._trainer_frame_number() }), Math.min(0.99, done / total));
  };
  try {
    for (const p of plan) {
      if (p.script !== undefined) {
        runUnits(p.script);
        done += p.frames;
      } else {
        let n = 0;
        for (walkAll(); !p.units.every((u) => onLeg(u, p.leg)); walkAll()) {
          if (n >= p.limit) {
            const unit = p.units.find((u) => !onLeg(u, p.leg));
            return { ok: false, text: t('sc.notReached', { name, frames: n, unit, leg: `${p.leg[0]}-${p.leg[1]}` }) };
          }
          runUnits(`frames ${LOOK_EVERY}`);
          n += LOOK_EVERY;
          if (n % CHUNK_FRAMES === 0) { done = Math.min(done + CHUNK_FRAMES, total); show(); await nextDraw(); }
        }
        continue;
      }
      show();
      await nextDraw();
    }
    return { ok: true, text: t('sc.reached', { name, frame: window.Module._trainer_frame_number() }) };
  } catch (e) {
    return { ok: false, text: t('sc.scriptFailed', { name, why: e.message }) };
  } finally {
    trainer.hold = held;
    trainer.frames = window.Module._trainer_frame_number();
    walkAll();
    drawPanels();
  }
}

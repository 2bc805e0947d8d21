// The instructor's panel (#flight): what the simulator would set for the units — external power,
// engine power, airspeed, wind, heading, position, time acceleration — written into the host's
// aircraft between frames, so the units read it on the next frame as they read the simulator.
import { api, withCString } from './capi.js';
import { $, trainer } from './state.js';
import { applyWords, t } from './words.js';
import './words_instructor.js';

// The panel's fields: the setting each one holds and the kind of control ('box' a checkbox).
const FIELDS = [
  { id: 'extpower', key: 'extPower', box: true },
  { id: 'engines', key: 'engines', box: true },
  { id: 'enginepct', key: 'enginePct' },
  { id: 'tas', key: 'tas' },
  { id: 'windto', key: 'windTo' },
  { id: 'windkmh', key: 'windKmh' },
  { id: 'heading', key: 'heading' },
  { id: 'coupled', key: 'coupled', box: true },
  { id: 'fly', key: 'fly', box: true },
  { id: 'rate', key: 'rate' },
  { id: 'ff', key: 'ff' },
];
// The settings a shared scenario carries: the conditions the instructor gives the aircraft. Where
// it stands, its heading and whether it flies come from the situation the scenario starts in.
export const CONDITIONS = ['extPower', 'engines', 'enginePct', 'tas', 'windTo', 'windKmh', 'rate'];
export const isBoxSetting = (key) => FIELDS.some((f) => f.key === key && f.box);
const MAX_FAST_FORWARD = 60;

const number = (v, fallback) => (Number.isFinite(Number(v)) && v !== '' ? Number(v) : fallback);

function message(text, isError) {
  $('instructormsg').textContent = text;
  $('instructormsg').classList.toggle('error', !!isError);
}

// The panel as it stands: every field by its setting's name, and whether the frames are paused.
export function instructorPanel() {
  const p = { paused: trainer.paused };
  for (const f of FIELDS) p[f.key] = f.box ? $(f.id).checked : number($(f.id).value, 0);
  return p;
}

// Sets the panel's fields that `p` names; the others stay.
function fillPanel(p) {
  for (const f of FIELDS) {
    if (!(f.key in p)) continue;
    if (f.box) $(f.id).checked = !!p[f.key];
    else $(f.id).value = String(p[f.key]);
  }
  if ('paused' in p) trainer.paused = !!p.paused;
}

// Sets the panel's fields that `p` names and hands the whole panel to the host.
export function setInstructorPanel(p) {
  fillPanel(p);
  applyInstructor();
}

// The panel into the host's aircraft: the units see it on their next frame.
export function applyInstructor() {
  const p = instructorPanel();
  $('headingout').textContent = `${p.heading}°`;
  $('pause').textContent = t(trainer.paused ? 'ins.resume' : 'ins.pause');
  api.trainer_set_aircraft(p.tas, p.windTo, p.windKmh, p.heading, p.rate, trainer.paused ? 1 : 0, p.fly ? 1 : 0, p.coupled ? 1 : 0);
  api.trainer_set_ext_power(p.extPower ? 1 : 0);
  api.trainer_set_engines(p.engines ? p.enginePct : 0);
  trainer.fastForward = Math.max(1, Math.min(MAX_FAST_FORWARD, p.ff || 1));
}

// What the host holds now (after a script changed it), by the setting names of the panel.
function hostState() {
  return JSON.parse(window.Module.UTF8ToString(window.Module._instructor_state()));
}

// Reads the panel back from the host after a situation's script has set the aircraft (the host
// keeps what it holds: the heading field, in whole degrees, only shows it).
export function readInstructorPanel() {
  const h = hostState();
  const engines = h.enginePct > 0;
  fillPanel({ extPower: h.extPower === 1, engines, ...(engines ? { enginePct: h.enginePct } : {}), tas: h.tas,
    windTo: h.windTo, windKmh: h.windKmh, heading: Math.round(h.heading) % 360, rate: h.rate, fly: h.fly === 1,
    coupled: h.coupled === 1 });
  $('headingout').textContent = `${$('heading').value}°`;
  showPosition(h, true);
}

// The position fields follow the aircraft until the instructor starts editing them.
let editing = false;
function showPosition(ac, always) {
  if (!always && (editing || ['placelat', 'placelon'].includes(document.activeElement && document.activeElement.id))) return;
  $('placelat').value = ac.lat.toFixed(4);
  $('placelon').value = ac.lon.toFixed(4);
}

function placeAircraft() {
  const lat = number($('placelat').value, NaN), lon = number($('placelon').value, NaN);
  if (!window.Module._instructor_place(lat, lon)) {
    message(t('ins.placeRefused'), true);
    return;
  }
  editing = false;
  const ac = aircraft();
  showPosition(ac, true);
  message(t('ins.placed', { lat: ac.lat.toFixed(4), lon: ac.lon.toFixed(4) }));
}

// The aircraft as the host flies it: true position, heading, speeds, clock and autopilot.
export function aircraft() {
  const a = new Float64Array(window.Module.HEAPF64.buffer, api.trainer_aircraft(), 12);
  return { lat: a[0], lon: a[1], heading: a[2], tas: a[3], gsN: a[4], gsE: a[5], simTime: a[6], rate: a[7],
    paused: a[8] === 1, fly: a[9] === 1, coupled: a[10] === 1, bug: a[11] };
}

// Unit u's computed position as its Koord_s read-out shows it; null while it shows none.
export function unitPosition(u) {
  const p = api.trainer_unit_position(u);
  if (!p) return null;
  const a = new Float64Array(window.Module.HEAPF64.buffer, p, 2);
  return { lat: a[0], lon: a[1] };
}

// The aircraft's state under the panel, and the heading field following a coupled autopilot.
export function showAircraft(ac) {
  $('acstate').textContent = t('ins.now', { lat: ac.lat.toFixed(4), lon: ac.lon.toFixed(4), heading: ac.heading.toFixed(1) }) +
    (ac.coupled ? t('ins.bug', { bug: ac.bug.toFixed(0) }) : '');
  showPosition(ac, false);
  if (!$('coupled').checked) return;
  $('heading').value = String(Math.round(ac.heading) % 360);
  $('headingout').textContent = `${Math.round(ac.heading) % 360}°`;
}

export function bindInstructor() {
  applyWords($('flight'));
  for (const f of FIELDS) $(f.id).addEventListener('input', applyInstructor);
  $('pause').addEventListener('click', () => {
    trainer.paused = !trainer.paused;
    applyInstructor();
  });
  for (const id of ['placelat', 'placelon']) $(id).addEventListener('input', () => { editing = true; });
  $('placego').addEventListener('click', placeAircraft);
  trainer.instructor = { panel: instructorPanel, set: setInstructorPanel };
  applyInstructor();
  showPosition(aircraft(), true);
}

// A script (host/session_script.h) run on the units without a trace; throws with the line that stopped it.
export function runUnits(script) {
  if (!withCString(script, (p) => window.Module._instructor_run(p)))
    throw new Error(window.Module.UTF8ToString(window.Module._instructor_error()));
}

// The trainer's C interface (web/trainer_api.cpp): its functions, strings across the boundary,
// and the layout the C++ exports at start-up (panel map, drawing-step fields, settings table).
import { trainer } from './state.js';
import { addMessageWords } from './words_messages.js';

export const api = {};
// Filled from trainer_layout() by bindApi: the drawing-step fields and kinds, each panel's
// chain elements and mouse areas by name, the pages, the selector positions and the settings.
export const F = {};
export const KIND = {};
export const UVI = { el: {}, area: {} };
export const PUR = { el: {}, area: {} };
export const AP_KEY = { el: {}, area: {} };
export const PAGE = {};
export const SEL = {};
export const SETTINGS = [];
const GAUGES = { Q14_UVI: UVI, Q14_PUR: PUR, QN14_def_AP_Key: AP_KEY };

export function bindApi() {
  const Module = window.Module;
  const raw = (name) => Module['_' + name];
  for (const name of ['trainer_frames', 'trainer_walk', 'trainer_steps', 'trainer_step_fields', 'trainer_mouse_area',
    'trainer_click', 'trainer_key', 'trainer_set_aircraft', 'trainer_aircraft', 'trainer_unit_position',
    'trainer_route_start', 'trainer_route_path', 'trainer_route_path_points', 'trainer_frame_number', 'trainer_error', 'trainer_gauge_name',
    'trainer_check_route', 'trainer_layout', 'trainer_set_ext_power', 'trainer_set_engines', 'trainer_check_flight', 'trainer_flight_unit_on'])
    api[name] = raw(name);
  const layout = JSON.parse(Module.UTF8ToString(api.trainer_layout()));
  trainer.layout = layout;
  Object.assign(F, layout.stepFields);
  Object.assign(KIND, layout.stepKinds);
  for (const [name, g] of Object.entries(GAUGES)) {
    Object.assign(g.el, layout.gauges[name].elements);
    Object.assign(g.area, layout.gauges[name].areas);
  }
  Object.assign(PAGE, layout.pages);
  Object.assign(SEL, layout.selector);
  SETTINGS.push(...layout.settings);
  addMessageWords(layout.messages);
}

// The name mouse area k of a gauge has in the layout (undefined for gauges outside it).
export function areaKey(gaugeName, k) {
  const g = GAUGES[gaugeName];
  return g && Object.keys(g.area).find((n) => g.area[n] === k);
}

// Hands `text` to C as UTF-8 with a terminator; fn gets the address and the length in bytes
// (a NUL inside the text is kept, for the calls that take a length).
export function withCString(text, fn) {
  const Module = window.Module;
  const n = Module.lengthBytesUTF8(text) + 1;
  const p = Module._malloc(n);
  try {
    Module.stringToUTF8(text, p, n);
    return fn(p, n - 1);
  } finally {
    Module._free(p);
  }
}

export function latin1(ptr, len) {
  let s = '';
  const heap = window.Module.HEAPU8;
  for (let i = 0; i < len; ++i) s += String.fromCharCode(heap[ptr + i]);
  return s;
}

export function cError() { return window.Module.UTF8ToString(api.trainer_error()); }

export function namedValue(name) { return withCString(name, (p) => window.Module._trainer_named(p)); }

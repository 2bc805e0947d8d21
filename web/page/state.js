// The trainer page's shared state and settings: the `trainer` object (also window.trainer, which
// the tests and the benchmark read), the virtual simulator folder's paths and the storage keys.
import { LANGUAGE_EVENT, t } from './words.js';
import './words_page.js';

export const FRAME_HZ = 18;                  // simulator frames per second of wall time
export const MAX_FRAMES_PER_DRAW = 400;      // catching up after a stall stops here
export const SIM_DIR = '/sim';
export const CFG_PATH = SIM_DIR + '/gauges/q14_cfg/q14_ppm.cfg';
export const FLIGHT_PATH = SIM_DIR + '/flights/Trainer.FLT';
export const STATE_FILE = FLIGHT_PATH + '.insb';
export const STATE_SIZE = 2048;              // unit 2's state record
export const RESUME_KEY = 'q14.resume';      // a state file waiting for the next start (base64)
export const ROUTE_KEY = 'q14.route';        // the route file as last edited
export const CAPTIONS_KEY = 'q14.captions';  // the caption set last chosen
export const PROGRESS_KEY = 'q14.progress';  // completed exercises and their best results

export const trainer = {
  ready: false, drawn: false, error: '', frames: 0, units: [], gauges: [], scale: 1,
  fastForward: 1, paused: false, longestFrameMs: 0, redraws: 0, clicks: 0,
  track: [], legChanges: [], route: [], routePath: [], lastLeg: {}, mapDraws: 0,
  // The caption set the panels are drawn with; "ready" once its bitmap list is known.
  captions: 'latin', captionsReady: false,
  // "?hold": the frames stand still until someone runs them (the tests do).
  hold: new URLSearchParams(location.search).has('hold'),
};
window.trainer = trainer;

export function $(id) { return document.getElementById(id); }

// Shows status `id` (words.js) with its values, worded again when the language changes; a
// text no words file knows shows as it is.
let shownStatus = null;
export function setStatus(id, values = {}, isError = false) {
  if (typeof values === 'boolean') [values, isError] = [{}, values];
  shownStatus = { id, values, isError };
  const text = t(id, values);
  $('status').textContent = text;
  $('status').classList.toggle('error', !!isError);
  if (isError) trainer.error = text;
}
document.addEventListener(LANGUAGE_EVENT, () => { if (shownStatus) setStatus(shownStatus.id, shownStatus.values, shownStatus.isError); });

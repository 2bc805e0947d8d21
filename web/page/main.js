// The trainer page's start-up and frame loop: readies the Emscripten program (q14_web.js, the
// host stand-in with both units as side modules), starts the units and runs and draws frames.
import { api, bindApi, cError, withCString } from './capi.js';
import { bindCaptions, initialCaptions, loadBitmaps, loadFonts } from './captions.js';
import { bindExercises, showExercises } from './exercises.js';
import { follow } from './focus.js';
import { checkSave, loadRoute, prepareFiles } from './files.js';
import { bindHooks } from './hooks.js';
import { bindLanguage, wordFileFields } from './language.js';
import { bindControls } from './input.js';
import { bindInstructor } from './instructor.js';
import { drawMap, recordFlight } from './map.js';
import { buildPanel as showScenarioPanel, openScenario, prepareScenario } from './scenario.js';
import { startOffline } from './offline.js';
import { bindSession } from './session.js';
import { buildPanels, drawGauges, layout, settlePanels, walkAll } from './panels.js';
import { CFG_PATH, FLIGHT_PATH, FRAME_HZ, MAX_FRAMES_PER_DRAW, setStatus, trainer } from './state.js';

const MAP_EVERY_MS = 250;
// Where the units start without a route: the sample route's first waypoint.
const PARKED = { lat: 55.97, lon: 37.41 };

// Until both units are drawn the first time, each drawing comes before the frames then due; the
// first complete one ends the start-up the benchmark times. What else the page shows (the panels'
// controls, the side panels' lists) waited for it.
function drawFirst() {
  drawGauges();
  if (!trainer.drawn) return;
  trainer.readyMarked = true;
  performance.mark('q14-ready');
  loadRoute(window.Module.FS.readFile(CFG_PATH, { encoding: 'utf8' }));
  settlePanels();
  showScenarioPanel();
  showExercises();
  wordFileFields();
  startOffline();
}

function start() {
  const Module = window.Module;
  bindApi();
  openScenario();
  // The aircraft starts at route 0's first waypoint; the whole route, for the map and the
  // exercises, is checked once the units are drawn.
  const at = withCString(CFG_PATH, (p) => api.trainer_route_start(p));
  const first = at ? { lat: Module.HEAPF64[at / 8], lon: Module.HEAPF64[at / 8 + 1] } : PARKED;
  trainer.startPosition = first;
  const ok = withCString(FLIGHT_PATH, (fp) => Module._trainer_start(first.lat, first.lon, fp));
  if (!ok) {
    setStatus('status.startFailed', { error: cError() }, true);
    return;
  }
  buildPanels();
  bindCaptions();
  bindControls();
  bindSession();
  bindInstructor();
  window.addEventListener('resize', layout);
  layout();
  trainer.ready = true;
  setStatus(trainer.resumed ? 'status.resuming' : 'status.running');
  trainer.lastTime = performance.now();
  requestAnimationFrame(tick);
}

let mapDue = 0;
function tick(now) {
  const t0 = performance.now();
  const starting = !trainer.readyMarked;
  if (starting) drawFirst();
  const due = Math.min(((now - trainer.lastTime) / 1000) * FRAME_HZ, MAX_FRAMES_PER_DRAW / trainer.fastForward);
  trainer.carry = (trainer.carry || 0) + due;
  trainer.lastTime = now;
  let n = Math.floor(trainer.carry);
  trainer.carry -= n;
  n *= trainer.fastForward;
  if (trainer.hold) {
    n = 0;
    walkAll();
    if (trainer.exercises) trainer.exercises.observe();
  }
  if (n > 0) {
    api.trainer_frames(n);
    trainer.frames = api.trainer_frame_number();
    walkAll();
    if (trainer.exercises) trainer.exercises.observe();
  }
  follow();
  checkSave();
  if (!starting || trainer.readyMarked) {
    drawGauges();
    settlePanels();
  }
  // The map waits for the panels' first drawing, which comes first at start-up.
  if (trainer.readyMarked && now >= mapDue) {
    recordFlight();
    drawMap();
    trainer.mapDraws++;
    mapDue = now + MAP_EVERY_MS;
  }
  trainer.longestFrameMs = Math.max(trainer.longestFrameMs, performance.now() - t0);
  requestAnimationFrame(tick);
}

window.Module = {
  preRun: [prepareFiles, prepareScenario],
  onRuntimeInitialized: start,
  // The program's code, compiled since the page began to load (index.html).
  instantiateWasm: (imports, done) => {
    window.q14Early.program.then((module) => WebAssembly.instantiate(module, imports).then((instance) => done(instance, module)))
      .catch((e) => setStatus('status.startFailed', { error: e.message }, true));
    return {};
  },
  print: (t) => console.log(t),
  printErr: (t) => console.warn(t),
};
bindLanguage();
bindHooks();
bindExercises();
// The segment fonts, the bitmaps every caption set shares and those of the set the panels start
// with load while the program does, not once the panels ask for them (index.html names the
// program after this script, so that it finds window.Module, and asks for the large files and the
// bitmaps' places early). Another caption set loads its own bitmaps when the panels choose it.
loadFonts();
loadBitmaps(window.q14Early.places, initialCaptions());

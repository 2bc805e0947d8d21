// The trainer page's start-up and frame loop: readies the Emscripten program (q14_web.js, the
// host stand-in with both units as side modules), starts the units and runs and draws frames.
import { api, bindApi, cError, withCString } from './capi.js';
import { bindCaptions, bitmap, initialCaptions, loadAtlas, loadFonts } from './captions.js';
import { bindExercises } from './exercises.js';
import { follow } from './focus.js';
import { checkSave, loadRoute, prepareFiles } from './files.js';
import { bindHooks } from './hooks.js';
import { bindLanguage, wordFileFields } from './language.js';
import { bindControls } from './input.js';
import { bindInstructor } from './instructor.js';
import { drawMap, recordFlight } from './map.js';
import { openScenario, prepareScenario } from './scenario.js';
import { startOffline } from './offline.js';
import { bindSession } from './session.js';
import { buildPanels, drawPanels, layout, walkAll } from './panels.js';
import { CFG_PATH, FLIGHT_PATH, FRAME_HZ, MAX_FRAMES_PER_DRAW, setStatus, trainer } from './state.js';

const MAP_EVERY_MS = 250;
// Where the units start without a route: the sample route's first waypoint.
const PARKED = { lat: 55.97, lon: 37.41 };

function start() {
  const Module = window.Module;
  bindApi();
  openScenario();
  const cfg = Module.FS.readFile(CFG_PATH, { encoding: 'utf8' });
  loadRoute(cfg);
  const first = trainer.route[0] || PARKED;
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
  wordFileFields();
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
  drawPanels();
  if (trainer.drawn && !trainer.readyMarked) {
    // Both units drawn the first time: the start-up the benchmark times is over.
    trainer.readyMarked = true;
    performance.mark('q14-ready');
    startOffline();
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
  // The program's code, compiled since the page began to load (index.html), served as a server
  // that names its type wrongly would not let it compile while it streams.
  instantiateWasm: (imports, done) => {
    window.q14Program.catch(() => fetch('q14_web.wasm').then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b)))
      .then((module) => WebAssembly.instantiate(module, imports).then((instance) => done(instance, module)))
      .catch((e) => setStatus('status.startFailed', { error: e.message }, true));
    return {};
  },
  print: (t) => console.log(t),
  printErr: (t) => console.warn(t),
};
bindLanguage();
bindHooks();
bindExercises();
// The segment fonts, the bitmaps every caption set shares and, when the panels start with the
// Latin captions, all their bitmaps (listed in art/index.json) load while the program does, not
// once the panels ask for them (index.html names the program after this module, so that it finds
// window.Module, and asks for the large files early). Another caption set loads its own bitmaps
// when the panels choose it.
loadFonts();
const shared = loadAtlas();
if (initialCaptions() === 'latin') {
  Promise.all([fetch('art/index.json').then((r) => r.json()), shared]).then(([ids]) => { for (const id of ids) bitmap(id, false); })
    .catch(() => { /* the panels ask for their bitmaps as they draw */ });
}

// The page's files: the virtual simulator folder, unit 2's saved flights (download, resume),
// the route file (edit, check, use, download) and flight plans imported into it.
import { api, cError, withCString } from './capi.js';
import { $, CFG_PATH, FLIGHT_PATH, RESUME_KEY, ROUTE_KEY, SIM_DIR, STATE_FILE, STATE_SIZE, trainer } from './state.js';

// Samples per leg of the route the map draws (trainer_route's per_leg).
const PER_LEG = 32;
// Host event "the current flight was saved".
const EVENT_FLIGHT_SAVED = 38;
// Frames unit 2 gets to write its state after the save event.
const SAVE_WAIT_FRAMES = 200;

// Words for the pilot about saved flights and edits that would be lost.
const WORDS = {
  saved: 'Flight saved (Trainer.FLT.insb).',
  savedOff: 'Flight saved (Trainer.FLT.insb), with unit 2 switched off: resuming it brings unit 2 back off.',
  refused: (name, n, lines) => `"${name}" is not resumed: ${n} value${n === 1 ? '' : 's'} out of range, so it is damaged or not unit 2's. ${lines.join('; ')}. The running session goes on.`,
  discardSession: 'Resume the saved flight? The page starts again: both units, the aircraft and the exercise as they are now are lost.',
  discardEdits: 'Replace the route text with the bundled sample? Your edits that were not used in the units are lost.',
  leave: 'Leave the trainer? The running session is lost.',
};

export function prepareFiles() {
  const FS = window.Module.FS;
  FS.mkdirTree(SIM_DIR + '/gauges/q14_cfg');
  FS.mkdirTree(SIM_DIR + '/flights');
  // The units are compiled off the main thread before the program starts (a browser refuses
  // to compile them synchronously when dlopen asks).
  FS.createPreloadedFile('/', 'q14_n1.so', 'q14_n1.wasm', true, false);
  FS.createPreloadedFile('/', 'q14_n2.so', 'q14_n2.wasm', true, false);
  const edited = localStorage.getItem(ROUTE_KEY);
  if (edited !== null) FS.writeFile(CFG_PATH, edited);
  else FS.createPreloadedFile(SIM_DIR + '/gauges/q14_cfg', 'q14_ppm.cfg', 'q14_ppm.cfg', true, true);
  // A flight chosen for resuming: unit 2 restores it when it starts with this flight loaded.
  const resume = sessionStorage.getItem(RESUME_KEY);
  if (resume !== null) {
    sessionStorage.removeItem(RESUME_KEY);
    const bytes = Uint8Array.from(atob(resume), (c) => c.charCodeAt(0));
    if (bytes.length === STATE_SIZE) {
      FS.writeFile(STATE_FILE, bytes);
      trainer.resumed = true;
    }
  }
}

// Route 0 of a route file's text, for the map: its waypoints and the legs between them.
export function loadRoute(cfg) {
  const Module = window.Module;
  trainer.route = [];
  trainer.routePath = [];
  const n = withCString(cfg, (p, len) => Module._trainer_route(p, len, 0, PER_LEG));
  trainer.routeError = n ? '' : cError();
  const path = new Float64Array(Module.HEAPF64.buffer, api.trainer_route_path(), 2 * api.trainer_route_path_points());
  for (let i = 0; i < path.length; i += 2) trainer.routePath.push({ lat: path[i], lon: path[i + 1] });
  const legs = Math.max(0, n - 1);
  for (let i = 0; i < legs; ++i) trainer.route.push(trainer.routePath[i * (PER_LEG + 1)]);
  if (n) trainer.route.push(trainer.routePath[trainer.routePath.length - 1]);
}

// ---- saved flights -----------------------------------------------------------------------------------------

// Offers `data` (complete: the page never hands out a file it is still writing) as a download.
export function offerDownload(data, name, type) {
  const url = URL.createObjectURL(new Blob([data], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function fileMessage(text, isError) {
  $('filemsg').textContent = text;
  $('filemsg').classList.toggle('error', !!isError);
}

// Unit 2 writes its state beside the current flight when the simulator saves it (event 38);
// the file appears some frames later and is offered as a download once complete.
function saveFlight() {
  const FS = window.Module.FS;
  try { FS.unlink(STATE_FILE); } catch (e) { /* none yet */ }
  withCString(FLIGHT_PATH, (p) => window.Module._trainer_raise_event(EVENT_FLIGHT_SAVED, p));
  fileMessage('Saving…');
  trainer.saveWaitFrames = 0;
  trainer.pendingSave = true;
}

export function checkSave() {
  if (!trainer.pendingSave) return;
  let bytes = null;
  try { bytes = window.Module.FS.readFile(STATE_FILE); } catch (e) { bytes = null; }
  if (bytes && bytes.length === STATE_SIZE) {
    trainer.pendingSave = false;
    trainer.savedState = bytes;
    offerDownload(bytes, 'Trainer.FLT.insb', 'application/octet-stream');
    fileMessage(recordUnitOn(bytes) ? WORDS.saved : WORDS.savedOff);
  } else if (++trainer.saveWaitFrames > SAVE_WAIT_FRAMES) {
    trainer.pendingSave = false;
    fileMessage('Unit 2 did not write its state: is it powered?', true);
  }
}

// Runs fn on a copy of `bytes` in the program's memory.
function withBytes(bytes, fn) {
  const Module = window.Module;
  const p = Module._malloc(bytes.length);
  try {
    Module.HEAPU8.set(bytes, p);
    return fn(p);
  } finally {
    Module._free(p);
  }
}

// The values of a saved flight out of range (null when all are in range), checked against the
// record layout before unit 2 is handed the file.
function checkFlight(bytes) {
  const raw = withBytes(bytes, (p) => window.Module.UTF8ToString(api.trainer_check_flight(p, bytes.length)));
  if (!raw) return null;
  const [count, rest] = raw.split('\t');
  return { count: Number(count), lines: rest.split('\n').filter((l) => l) };
}

const recordUnitOn = (bytes) => withBytes(bytes, (p) => api.trainer_flight_unit_on(p, bytes.length)) === 1;

function resumeFlight(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  if (file.size !== STATE_SIZE) {
    fileMessage(`"${file.name}" is not a saved flight of unit 2: it has ${file.size} bytes, not ${STATE_SIZE}.`, true);
    return;
  }
  file.arrayBuffer().then((buf) => {
    const bytes = new Uint8Array(buf);
    const findings = checkFlight(bytes);
    if (findings) {
      fileMessage(WORDS.refused(file.name, findings.count, findings.lines), true);
      return;
    }
    if (!window.confirm(WORDS.discardSession)) return;
    let s = '';
    for (const b of bytes) s += String.fromCharCode(b);
    // The units restore a flight when they start with it loaded: start the page again.
    sessionStorage.setItem(RESUME_KEY, btoa(s));
    trainer.leaving = true;
    location.reload();
  });
}

// ---- route file ---------------------------------------------------------------------------------

// The route check's findings on a route file: errors (the units would misread it) and warnings.
function checkRoute(text) {
  const Module = window.Module;
  const raw = withCString(text, (p, len) => Module.UTF8ToString(Module._trainer_check_route(p, len)));
  return raw.split('\n').filter((l) => l).map((l) => {
    const [line, key, severity, reason] = l.split('\t');
    return { line: Number(line), key, severity, reason };
  });
}

function showFindings(findings, okText) {
  const list = $('cfgmsg');
  list.textContent = '';
  for (const f of findings) {
    const li = document.createElement('li');
    li.className = f.severity === 'warning' ? 'warning' : 'error';
    const where = [f.line ? `line ${f.line}` : '', f.key].filter((x) => x).join(', ');
    li.textContent = `${where ? where + ': ' : ''}${f.severity === 'warning' ? '(warning) ' : ''}${f.reason}`;
    list.appendChild(li);
  }
  if (okText) {
    const li = document.createElement('li');
    li.className = 'ok';
    li.textContent = okText;
    list.appendChild(li);
  }
}

// A flight plan into one route of the text being edited, by the bench tool's import rules. The
// plan's bytes go over as they are (it may be UTF-16); the edited text changes only on success.
function importPlan(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  file.arrayBuffer().then((buf) => {
    const Module = window.Module;
    const bytes = new Uint8Array(buf);
    const p = Module._malloc(bytes.length + 1);
    let result;
    try {
      Module.HEAPU8.set(bytes, p);
      result = withCString($('cfgtext').value, (c, len) =>
        Module._trainer_import_plan(p, bytes.length, Number($('plnroute').value), c, len));
      result = result ? Module.UTF8ToString(result) : null;
    } finally {
      Module._free(p);
    }
    if (result === null) {
      showFindings([{ line: 0, key: '', severity: 'error', reason: `"${file.name}" was not imported: ${cError()}` }]);
      return;
    }
    const cut = result.lastIndexOf('\n--\n');
    $('cfgtext').value = result.substring(0, cut);
    const notes = result.substring(cut + 4).split('\n').filter((l) => l);
    showFindings(checkRoute($('cfgtext').value), `Route ${$('plnroute').value} imported from "${file.name}"` +
      (notes.length ? `; ${notes.join('; ')}` : '') + '. Check, then use it in the units or download it.');
  });
}

const unappliedEdits = () => $('cfgtext').value !== trainer.appliedRoute;

function bindRouteFile() {
  const Module = window.Module;
  $('cfgtext').value = trainer.appliedRoute = Module.FS.readFile(CFG_PATH, { encoding: 'utf8' });
  $('cfgcheck').addEventListener('click', () => {
    const findings = checkRoute($('cfgtext').value);
    showFindings(findings, findings.length ? '' : 'No findings.');
  });
  $('cfgapply').addEventListener('click', () => {
    const text = $('cfgtext').value;
    const findings = checkRoute(text);
    // Route 0 must be flyable (the map draws it, the reload corner loads it).
    if (!withCString(text, (p, len) => Module._trainer_route_flyable(p, len))) {
      showFindings(findings.concat([{ line: 0, key: '', severity: 'error',
        reason: 'route 0 cannot be flown: the file was not put into the units\' folder' }]));
      return;
    }
    Module.FS.writeFile(CFG_PATH, text);
    trainer.appliedRoute = text;
    try { localStorage.setItem(ROUTE_KEY, text); } catch (e) { /* storage full or off: this page only */ }
    loadRoute(text);
    showFindings(findings, 'In the units\' folder now: click a UVI\'s route reload corner (top left) to load route 0.');
  });
  $('cfgdownload').addEventListener('click', () => offerDownload($('cfgtext').value, 'q14_ppm.cfg', 'text/plain'));
  $('plnfile').addEventListener('change', importPlan);
  $('cfgreset').addEventListener('click', () => {
    if (unappliedEdits() && !window.confirm(WORDS.discardEdits)) return;
    fetch('q14_ppm.cfg').then((r) => r.text()).then((t) => { $('cfgtext').value = t; showFindings([]); });
  });
}

export function bindFiles() {
  $('save').addEventListener('click', saveFlight);
  $('resume').addEventListener('change', resumeFlight);
  bindRouteFile();
  // Reloading or leaving the page would lose the session: the browser asks first.
  window.addEventListener('beforeunload', (ev) => {
    if (trainer.leaving || !trainer.ready) return;
    ev.preventDefault();
    ev.returnValue = WORDS.leave;
  });
}

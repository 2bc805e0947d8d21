// Whole sessions: the program's memory (both units, the host stand-in and its aircraft, clock and
// rate) with the page's own state (aircraft panel, route file, exercise and its progress, map),
// kept in one file with the build's identity and a checksum, and put back into the running page.
import { $, CFG_PATH, trainer } from './state.js';
import { loadRoute } from './files.js';
import { instructorPanel, setInstructorPanel } from './instructor.js';
import { walkAll, drawPanels } from './panels.js';
import { sayIn, t } from './words.js';
import './words_files.js';

// A refusal worded for the pilot: the text's id (words_files.js) and its values.
class Refusal extends Error {
  constructor(id, values) { super(id); this.id = id; this.values = values; }
}

const MAGIC = 'Q14SESSION1\n';
const PROGRAM_FILES = ['q14_web.wasm', 'q14_n1.wasm', 'q14_n2.wasm'];

function message(id, values, isError) {
  sayIn($('sessionmsg'), id, values);
  $('sessionmsg').classList.toggle('error', !!isError);
}

const hex = (buf) => Array.from(new Uint8Array(buf), (b) => b.toString(16).padStart(2, '0')).join('');
const sha256 = (bytes) => crypto.subtle.digest('SHA-256', bytes).then(hex);

// The build's identity: the digest of the program and both units as this page loaded them.
let buildId = null;
function build() {
  if (!buildId) {
    buildId = Promise.all(PROGRAM_FILES.map((f) => fetch(f).then((r) => r.arrayBuffer())))
      .then((parts) => new Blob(parts).arrayBuffer()).then(sha256);
  }
  return buildId;
}

const squeeze = (bytes, how) => new Response(new Blob([bytes]).stream().pipeThrough(how)).arrayBuffer();

function pageState() {
  const ex = trainer.exercises.state;
  return {
    instructor: instructorPanel(),
    situation: trainer.situation,
    route: window.Module.FS.readFile(CFG_PATH, { encoding: 'utf8' }),
    routeText: $('cfgtext').value,
    exercise: { active: ex.active, done: ex.done, memory: ex.memory },
    frames: trainer.frames, track: trainer.track, legChanges: trainer.legChanges, lastLeg: trainer.lastLeg,
  };
}

// The session as a file: MAGIC, a header line {build, sha256, memoryBytes}, then the gzip of
// (page state JSON length as 4 bytes little-endian, the page state JSON, the program's memory).
async function saveSession() {
  message('session.saving');
  const memory = window.Module.HEAPU8;
  const page = new TextEncoder().encode(JSON.stringify(pageState()));
  const raw = new Uint8Array(4 + page.length + memory.length);
  new DataView(raw.buffer).setUint32(0, page.length, true);
  raw.set(page, 4);
  raw.set(memory, 4 + page.length);
  const body = new Uint8Array(await squeeze(raw, new CompressionStream('gzip')));
  const head = JSON.stringify({ build: await build(), sha256: await sha256(body), memoryBytes: memory.length });
  const file = new Blob([MAGIC, head, '\n', body]);
  trainer.sessionBytes = file.size;
  const url = URL.createObjectURL(file);
  const a = document.createElement('a');
  a.href = url;
  a.download = 'trainer.q14session';
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
  message('session.saved', { kb: Math.ceil(file.size / 1024) });
}

// Reads a session file; throws a Refusal when it cannot be resumed here.
async function readSession(file) {
  const name = { name: file.name };
  const bytes = new Uint8Array(await file.arrayBuffer());
  const text = new TextDecoder('latin1').decode(bytes.subarray(0, Math.min(bytes.length, 1024)));
  const end = text.indexOf('\n', MAGIC.length);
  if (!text.startsWith(MAGIC) || end < 0) throw new Refusal('session.notSession', name);
  let head;
  try { head = JSON.parse(text.substring(MAGIC.length, end)); } catch (e) { throw new Refusal('session.notSession', name); }
  const body = bytes.subarray(end + 1);
  if ((await sha256(body)) !== head.sha256) throw new Refusal('session.damaged', name);
  if (head.build !== await build()) throw new Refusal('session.otherBuild', name);
  let raw;
  try { raw = new Uint8Array(await squeeze(body, new DecompressionStream('gzip'))); } catch (e) { throw new Refusal('session.damaged', name); }
  const n = new DataView(raw.buffer).getUint32(0, true);
  const memory = raw.subarray(4 + n);
  if (memory.length !== head.memoryBytes) throw new Refusal('session.damaged', name);
  return { page: JSON.parse(new TextDecoder().decode(raw.subarray(4, 4 + n))), memory };
}

function restore({ page, memory }) {
  const Module = window.Module;
  // The same build grows its memory in the same steps: grow to the saved size, then copy.
  const missing = memory.length - Module.HEAPU8.length;
  if (missing > 0) Module._free(Module._malloc(missing));
  Module.HEAPU8.set(memory);
  Module.FS.writeFile(CFG_PATH, page.route);
  loadRoute(page.route);
  $('cfgtext').value = page.routeText;
  trainer.appliedRoute = page.route;
  Object.assign(trainer, { frames: page.frames, track: page.track, legChanges: page.legChanges, lastLeg: page.lastLeg,
    situation: page.situation });
  setInstructorPanel(page.instructor);
  const ex = trainer.exercises;
  if (page.exercise.active >= 0) ex.start(page.exercise.active);
  Object.assign(ex.state, { done: page.exercise.done, memory: page.exercise.memory });
  ex.render();
  walkAll();
  drawPanels();
}

function resumeSession(ev) {
  const file = ev.target.files && ev.target.files[0];
  ev.target.value = '';
  if (!file) return;
  readSession(file).then((session) => {
    if (!window.confirm(t('session.discard'))) return;
    restore(session);
    message('session.resumed', { name: file.name });
  }, (e) => message(e.id || e.message, e.values, true));
}

export function bindSession() {
  $('savesession').addEventListener('click', () => { saveSession().catch((e) => message(e.message, {}, true)); });
  $('resumesession').addEventListener('change', resumeSession);
}

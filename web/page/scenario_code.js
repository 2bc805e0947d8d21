// A scenario as text, for a link or a small file: "<format>.<data>.<checksum>", the data being
// the deflated JSON of the scenario in base64url and the checksum a CRC-32 of what precedes it.
// Reading refuses, with the reason's words, what another format wrote, a damaged text, and a
// scenario whose situation has changed since or that names what this trainer lacks.
import { CONDITIONS, isBoxSetting } from './instructor.js';
import { crc32, situation, situationDigest, situationName } from './situations.js';

// The scenario format. It changes when the fields below or their meaning change (or the
// exercises are renumbered); a link of another format is refused, never guessed at. A change of
// the build alone keeps links working: a scenario holds only what the instructor chose and is
// reached again by flying, and a changed situation is caught by its digest.
export const SCENARIO_FORMAT = 1;
export const FILE_HEAD = 'q14 trainer scenario';
export const FILE_NAME = 'trainer.q14scenario';

// Why a text is refused: the words' identifier and their values.
export class Refusal extends Error {
  constructor(id, values = {}) {
    super(id);
    this.id = id;
    this.values = values;
  }
}

const toBase64url = (bytes) => btoa(String.fromCharCode(...bytes)).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
function fromBase64url(text) {
  const s = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(s, (c) => c.charCodeAt(0));
}
const through = async (bytes, stream) => new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(stream)).arrayBuffer());
const hex8 = (n) => n.toString(16).padStart(8, '0');
const checksum = (text) => hex8(crc32(new TextEncoder().encode(text)));

// Base64url pieces join into one text only when each but the last is a multiple of 3 bytes long.
const PIECE = 0x7ffe;

// { situation, route (the route file's text), conditions (instructor settings), exercise (its
// number from 1, 0 none) } as text.
export async function encodeScenario(sc) {
  const json = JSON.stringify({ s: sc.situation, d: situationDigest(sc.situation), r: sc.route, c: sc.conditions, x: sc.exercise });
  const packed = await through(new TextEncoder().encode(json), new CompressionStream('deflate-raw'));
  let data = '';
  for (let i = 0; i < packed.length; i += PIECE) data += toBase64url(packed.subarray(i, i + PIECE));
  const head = `${SCENARIO_FORMAT}.${data}`;
  return `${head}.${checksum(head)}`;
}

const isNumber = (v) => typeof v === 'number' && Number.isFinite(v);

// The scenario a text holds; throws a Refusal. `exercises`: how many the trainer has.
export async function decodeScenario(text, exercises) {
  const s = String(text).trim();
  const format = /^(\d+)\./.exec(s);
  if (!format) throw new Refusal('sc.notScenario');
  if (Number(format[1]) !== SCENARIO_FORMAT) throw new Refusal('sc.otherVersion', { theirs: format[1], ours: SCENARIO_FORMAT });
  const m = /^(\d+\.([A-Za-z0-9_-]+))\.([0-9a-f]{8})$/.exec(s);
  if (!m || checksum(m[1]) !== m[3]) throw new Refusal('sc.damaged');
  let v;
  try {
    v = JSON.parse(new TextDecoder('utf-8', { fatal: true }).decode(await through(fromBase64url(m[2]), new DecompressionStream('deflate-raw'))));
  } catch (e) {
    throw new Refusal('sc.damaged');
  }
  const c = v && v.c;
  if (typeof v.r !== 'string' || !c || typeof c !== 'object' || !Number.isInteger(v.x) || !isNumber(v.d) ||
      !CONDITIONS.every((k) => (isBoxSetting(k) ? typeof c[k] === 'boolean' : isNumber(c[k]))))
    throw new Refusal('sc.damaged');
  if (!situation(v.s) || v.x < 0 || v.x > exercises) throw new Refusal('sc.unknown');
  if (situationDigest(v.s) !== v.d) throw new Refusal('sc.situationChanged', { name: situationName(v.s) });
  return { situation: v.s, route: v.r, conditions: Object.fromEntries(CONDITIONS.map((k) => [k, c[k]])), exercise: v.x };
}

// The file form: its head line, then the text.
export const scenarioFile = (text) => `${FILE_HEAD}\n${text}\n`;
export function fromScenarioFile(content) {
  const [head, text] = String(content).split(/\r?\n/);
  if (head !== FILE_HEAD || !text) throw new Refusal('sc.notScenario');
  return text;
}

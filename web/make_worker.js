// Build step of the trainer site: writes its service worker, sw.js, from offline_worker.js with
// the list of the site's files and a version that is a hash of them, so each new build is new to
// the browsers. Usage: node make_worker.js <site dir> <offline_worker.js>
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');

const WORKER = 'sw.js';
// Build-step leftovers, not part of the site.
const NOT_SERVED = new Set([WORKER, 'art/stamp']);

function siteFiles(root, dir = '') {
  const found = [];
  for (const e of fs.readdirSync(path.join(root, dir), { withFileTypes: true })) {
    const rel = dir ? `${dir}/${e.name}` : e.name;
    if (e.isDirectory()) found.push(...siteFiles(root, rel));
    else if (!NOT_SERVED.has(rel)) found.push(rel);
  }
  return found.sort();
}

function workerText(root, template) {
  const code = fs.readFileSync(template, 'utf8');
  const files = siteFiles(root);
  const hash = crypto.createHash('sha256');
  for (const f of files) hash.update(`${f}\0`).update(fs.readFileSync(path.join(root, f))).update('\0');
  hash.update(code);
  return `const VERSION = '${hash.digest('hex').slice(0, 16)}';\nconst FILES = ${JSON.stringify(files, null, 1)};\n${code}`;
}

if (require.main === module) {
  const [root, template] = process.argv.slice(2);
  if (!root || !template) {
    console.error('usage: node make_worker.js <site dir> <offline_worker.js>');
    process.exit(2);
  }
  const out = path.join(root, WORKER);
  const text = workerText(root, template);
  // Written only when it changed: an unchanged build keeps its worker and its date.
  if (!fs.existsSync(out) || fs.readFileSync(out, 'utf8') !== text) fs.writeFileSync(out, text);
}

// A static file server for the trainer site on 127.0.0.1: `node serve.js <site dir> [port]`
// (port 0 or none: any free port). Prints "serving <url>" once it listens.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.ttf': 'font/ttf', '.cfg': 'text/plain; charset=utf-8' };

function serve(root, port) {
  root = path.resolve(root);
  const server = http.createServer((req, res) => {
    let rel;
    try { rel = decodeURIComponent(new URL(req.url, 'http://x').pathname); } catch (e) { rel = null; }
    const file = rel === null ? null : path.join(root, rel.endsWith('/') ? rel + 'index.html' : rel);
    // Nothing outside the site.
    if (!file || (file !== root && !file.startsWith(root + path.sep))) { res.writeHead(400); res.end(); return; }
    fs.readFile(file, (err, data) => {
      if (err) { res.writeHead(404); res.end('not found'); return; }
      res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache' });
      res.end(data);
    });
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

module.exports = { serve };

if (require.main === module) {
  const [root, port] = process.argv.slice(2);
  serve(root || '.', Number(port) || 0).then((s) => {
    console.log(`serving http://127.0.0.1:${s.address().port}/`);
  });
}

// A static file server for the trainer site on 127.0.0.1: `node serve.js <site dir> [port]`
// (port 0 or none: any free port). Prints "serving <url>" once it listens.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.ttf': 'font/ttf', '.cfg': 'text/plain; charset=utf-8',
  '.json': 'application/json', '.webmanifest': 'application/manifest+json' };

// Serves the files under root. Every answer must be checked again (no-cache) and carries a tag
// of the file's size and time, so that a browser holding the file gets "not modified" instead of
// its bytes. server.bytesSent counts the bodies sent (the benchmark weighs the page with it).
function serve(root, port) {
  root = path.resolve(root);
  const server = http.createServer((req, res) => {
    let rel;
    try { rel = decodeURIComponent(new URL(req.url, 'http://x').pathname); } catch (e) { rel = null; }
    const file = rel === null ? null : path.join(root, rel.endsWith('/') ? rel + 'index.html' : rel);
    // Nothing outside the site.
    if (!file || (file !== root && !file.startsWith(root + path.sep))) { res.writeHead(400); res.end(); return; }
    fs.stat(file, (statErr, st) => {
      if (statErr || !st.isFile()) { res.writeHead(404); res.end('not found'); return; }
      const tag = `"${st.size.toString(16)}-${Math.floor(st.mtimeMs).toString(16)}"`;
      const headers = { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache', ETag: tag };
      if (req.headers['if-none-match'] === tag) { res.writeHead(304, headers); res.end(); return; }
      fs.readFile(file, (err, data) => {
        if (err) { res.writeHead(404); res.end('not found'); return; }
        res.writeHead(200, headers);
        server.bytesSent += data.length;
        res.end(data);
      });
    });
  });
  server.bytesSent = 0;
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

// Stops a server now, its open connections too (a browser keeps them alive).
function stop(server) {
  return new Promise((resolve) => { server.close(() => resolve()); server.closeAllConnections(); });
}

module.exports = { serve, stop };

if (require.main === module) {
  const [root, port] = process.argv.slice(2);
  serve(root || '.', Number(port) || 0).then((s) => {
    console.log(`serving http://127.0.0.1:${s.address().port}/`);
  });
}

// The trainer's service worker: keeps every file of one build of the site so that the trainer
// opens and runs without the network; a new build installs beside it and waits for the page's word.
// make_worker.js writes it into the site as sw.js, VERSION and FILES (the site's files) before it.
/* global VERSION, FILES */
'use strict';
const CACHE = `q14-${VERSION}`;

// The whole build, asked of the server again (a browser's copy may be of another build).
self.addEventListener('install', (ev) => {
  ev.waitUntil(caches.open(CACHE).then((c) => c.addAll(FILES.map((f) => new Request(f, { cache: 'no-cache' })))));
});

// Earlier builds go once this one takes over; pages opened before it are served by it from now on.
self.addEventListener('activate', (ev) => {
  ev.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith('q14-') && k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// The page accepted the reload into this build.
self.addEventListener('message', (ev) => { if (ev.data === 'take-over') self.skipWaiting(); });

// The site's files from this build's copy whatever the address asks (?lang=ru, ?hold), the page
// itself for the site's folder; anything else from the network.
self.addEventListener('fetch', (ev) => {
  const req = ev.request;
  if (req.method !== 'GET') return;
  const url = new URL(req.url);
  if (url.origin !== self.location.origin) return;
  const folder = new URL(self.registration.scope).pathname;
  const key = req.mode === 'navigate' && url.pathname === folder ? 'index.html' : req;
  ev.respondWith(caches.open(CACHE).then((c) => c.match(key, { ignoreSearch: true })).then((hit) => hit || fetch(req)));
});

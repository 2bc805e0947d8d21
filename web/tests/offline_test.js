// Browser tests of the trainer kept for use offline: after one visit it opens and runs with the
// server stopped and the browser offline, and a newer build served later is offered as a reload.
// Each case serves the site itself, so that it can stop the server or serve another build.
// Usage: node offline_test.js <site dir> <report.xml>
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { test, check, open, bothUnitsDrawn, run } = require('./harness.js');
const { serve, stop } = require('../serve.js');

const [siteDir, reportPath] = process.argv.slice(2);

// Waits until the service worker serves the page (it takes over the page of the first visit).
const controlled = (page) => page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 60000 });
const workerVersion = (dir) => /const VERSION = '(\w+)'/.exec(fs.readFileSync(path.join(dir, 'sw.js'), 'utf8'))[1];

// The page's units run on the clock and every panel of both is drawn with its artwork.
async function unitsRun(page, what) {
  const f0 = await page.evaluate(() => Module._trainer_frame_number());
  await page.waitForFunction((f) => Module._trainer_frame_number() > f + 18, f0, { timeout: 15000 })
    .catch(() => { throw new Error(`${what}: the frames stand still at ${f0}`); });
  await bothUnitsDrawn(page, what);
  check(page.errors.length === 0, `${what}: ${page.errors.join('; ')}`);
}

// One request to the site's server: its status, type, tag and the length of its body.
function get(port, file, headers = {}) {
  return new Promise((resolve, reject) => {
    http.get({ host: '127.0.0.1', port, path: `/${file}`, headers }, (res) => {
      let bytes = 0;
      res.on('data', (d) => { bytes += d.length; });
      res.on('end', () => resolve({ status: res.statusCode, type: res.headers['content-type'], tag: res.headers.etag, bytes }));
    }).on('error', reject);
  });
}

test('the server gives the manifest, the worker and the icons their types, and "not modified" for a tag it gave', async () => {
  const server = await serve(siteDir, 0);
  const port = server.address().port;
  try {
    for (const [file, type] of [['manifest.webmanifest', 'application/manifest+json'], ['sw.js', 'text/javascript'],
      ['icon-192.png', 'image/png'], ['art/places.json', 'application/json'], ['', 'text/html; charset=utf-8']]) {
      const first = await get(port, file);
      check(first.status === 200 && first.type === type && first.bytes > 0, `/${file}: ${JSON.stringify(first)}, not ${type}`);
      const again = await get(port, file, { 'If-None-Match': first.tag });
      check(again.status === 304 && again.bytes === 0, `/${file} with its tag: ${JSON.stringify(again)}`);
      const other = await get(port, file, { 'If-None-Match': '"0-0"' });
      check(other.status === 200 && other.bytes === first.bytes, `/${file} with another tag: ${JSON.stringify(other)}`);
    }
    check((await get(port, '..%2Foutside')).status === 400, 'a path outside the site is not refused');
  } finally {
    await stop(server);
  }
});

test('installable: the manifest parses without errors, its icons load, the browser finds nothing missing', async (ctx) => {
  const page = await open(ctx);
  await controlled(page);
  const cdp = await page.context().newCDPSession(page);
  const manifest = await cdp.send('Page.getAppManifest');
  check(manifest.url.endsWith('/manifest.webmanifest'), `the page names no manifest (${manifest.url})`);
  check(manifest.errors.length === 0, `manifest errors: ${JSON.stringify(manifest.errors)}`);
  const icons = await page.evaluate(() => fetch('manifest.webmanifest').then((r) => r.json()).then((m) => Promise.all(
    m.icons.map((i) => new Promise((resolve) => {
      const img = new Image();
      img.onload = () => resolve({ sizes: i.sizes, got: `${img.naturalWidth}x${img.naturalHeight}` });
      img.onerror = () => resolve({ sizes: i.sizes, got: 'not loaded' });
      img.src = i.src;
    })))));
  check(icons.length >= 2, `${icons.length} icons`);
  for (const i of icons) check(i.sizes === i.got, `icon of ${i.sizes} is ${i.got}`);
  // The test's browser context is a private one, where nothing installs whatever the site.
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  const missing = installabilityErrors.filter((e) => e.errorId !== 'in-incognito');
  check(missing.length === 0, `not installable: ${JSON.stringify(missing)}`);
  await page.close();
});

test('after one visit an offline reload runs the units, in English and in Russian with the Cyrillic captions', async (ctx) => {
  const server = await serve(siteDir, 0);
  const url = `http://127.0.0.1:${server.address().port}/`;
  let page;
  try {
    page = await open({ browser: ctx.browser, url });
    await controlled(page);
  } finally {
    await stop(server);
  }
  await ctx.browser.setOffline(true);
  page.on('dialog', (d) => d.accept());
  await page.reload();
  await page.waitForFunction(() => window.trainer && (window.trainer.drawn || window.trainer.error), null, { timeout: 30000 });
  await unitsRun(page, 'offline reload');
  // The Cyrillic artwork was never shown on the first visit: the worker keeps the whole build.
  await page.goto(`${url}?lang=ru&captions=cyrillic`);
  await page.waitForFunction(() => window.trainer && window.trainer.captions === 'cyrillic' && window.trainer.drawn, null, { timeout: 30000 });
  await unitsRun(page, 'offline, Russian, Cyrillic captions');
  const art = await page.evaluate(() => performance.getEntriesByType('resource').filter((e) => e.name.includes('/art/cyrillic/')).length);
  check(art > 0, 'no Cyrillic artwork was loaded');
  await page.close();
});

test('a newer build served later is offered as a reload, in the page\'s language, and accepting it brings that build', async (ctx) => {
  // The next build: one page text changed, its worker made again by the build's own step.
  const next = fs.mkdtempSync(path.join(os.tmpdir(), 'q14-next-build-'));
  fs.cpSync(siteDir, next, { recursive: true });
  const index = path.join(next, 'index.html');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace(/<title[^>]*>[^<]*<\/title>/, '<title>q14 next build</title>'));
  execFileSync(process.execPath, [path.join(__dirname, '..', 'make_worker.js'), next, path.join(__dirname, '..', 'offline_worker.js')]);
  const [oldVersion, newVersion] = [workerVersion(siteDir), workerVersion(next)];
  check(oldVersion !== newVersion, `the changed build keeps the worker version ${oldVersion}`);

  let server = await serve(siteDir, 0);
  const port = server.address().port;
  const url = `http://127.0.0.1:${port}/?lang=ru`;
  try {
    const page = await open({ browser: ctx.browser, url: url });
    page.on('dialog', (d) => d.accept());
    await controlled(page);
    const title = await page.title();
    await stop(server);
    server = await serve(next, port);
    // Opened again, the page is the build it keeps; the browser finds the newer one meanwhile.
    await page.reload();
    await page.waitForFunction(() => window.trainer && window.trainer.drawn, null, { timeout: 30000 });
    check(await page.title() === title, `the kept build was not served whole (title "${await page.title()}")`);
    await page.waitForSelector('#update button', { timeout: 60000 });
    const offer = await page.textContent('#update');
    check(/[а-яё]{4}/i.test(offer) && !/[a-z]{4}/i.test(offer), `the offer is not in Russian: "${offer}"`);
    await Promise.all([page.waitForNavigation({ timeout: 30000 }), page.click('#update button')]);
    await page.waitForFunction(() => window.trainer && window.trainer.drawn, null, { timeout: 30000 });
    check(await page.title() === 'q14 next build', `after the reload the page is "${await page.title()}"`);
    const kept = await page.evaluate(() => caches.keys());
    check(kept.length === 1 && kept[0] === `q14-${newVersion}`, `the worker keeps ${kept.join(', ')}, not only build ${newVersion}`);
    await unitsRun(page, 'the newer build');
    await page.close();
  } finally {
    await stop(server);
    fs.rmSync(next, { recursive: true, force: true });
  }
});

run(siteDir, reportPath, 'browser_offline');

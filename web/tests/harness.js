// Shared harness of the browser tests: a fresh page of the trainer, frames, clicks on the panel map's
// areas and the runner that serves the site, drives headless Chromium and writes the JUnit report.
'use strict';
const fs = require('fs');
const { launchChromium } = require('./chromium.js');
const { serve } = require('../serve.js');

const cases = [];
function test(name, fn) { cases.push({ name, fn }); }
function check(cond, what) { if (!cond) throw new Error(what); }

// Opens the trainer in a fresh page; `query` goes on the address ("?hold" keeps the frames still).
async function open(ctx, query = '', size = { width: 1400, height: 950 }) {
  const page = await ctx.browser.newPage();
  await page.setViewportSize(size);
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.goto(`${ctx.url}${query}`);
  await page.waitForFunction(() => window.trainer && (window.trainer.drawn || window.trainer.error), null, { timeout: 15000 });
  const error = await page.evaluate(() => window.trainer.error);
  check(!error, `the page reports: ${error}`);
  return page;
}

// Runs frames in the page without waiting for the clock.
const frames = (page, n) => page.evaluate((k) => { Module._trainer_frames(k); }, n);
const text = (page, u, gauge, k) => page.evaluate(([a, b, c]) => window.trainer.text(a, b, c), [u, gauge, k]);
const redraw = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
// Waits until the page has looked at the units for its map (leg changes) once more.
const mapSeen = (page) => page.evaluate(() => new Promise((r) => {
  const n = window.trainer.mapDraws;
  const wait = () => (window.trainer.mapDraws > n ? r() : requestAnimationFrame(wait));
  wait();
}));
// What the page fetched, as the browser counts it (the server does not compress).
const fetched = (page) => page.evaluate(() => performance.getEntriesByType('navigation').concat(
  performance.getEntriesByType('resource')).map((e) => ({ name: e.name, bytes: e.decodedBodySize })));
// Every shown gauge of both units is drawn complete, and unit 1's UVI is not one flat colour
// (the face, keys and legends show). `what` names the page in the messages.
async function bothUnitsDrawn(page, what = 'the page') {
  const shown = await page.evaluate(() => window.trainer.gauges.map((g) => `${g.u}:${g.name}:${g.complete}`));
  for (const u of [1, 2])
    for (const g of ['Q14_UVI', 'Q14_PUR', 'QN14_def_AP_Key', 'Koord_i', 'Koord_s', 'DigTest'])
      check(shown.includes(`${u}:${g}:true`), `${what}: unit ${u} ${g} not drawn (${shown})`);
  const colours = await page.evaluate(() => {
    const c = window.trainer.units[1].gauges.Q14_UVI.canvas;
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const seen = new Set();
    for (let i = 0; i < d.length; i += 4 * 97) seen.add((d[i] << 16) | (d[i + 1] << 8) | d[i + 2]);
    return seen.size;
  });
  check(colours > 20, `${what}: the UVI shows only ${colours} colours`);
}

// Chooses a caption set in the page header and waits until the panels are drawn with it.
async function chooseCaptions(page, set) {
  await page.selectOption('#captions', set);
  await page.waitForFunction((s) => window.trainer.captions === s && window.trainer.drawn, set, { timeout: 15000 });
  await redraw(page);
}

async function clickArea(page, u, gauge, area) {
  const p = await page.evaluate(([a, b, c]) => window.trainer.areaPoint(a, b, c), [u, gauge, area]);
  await page.mouse.click(p.x, p.y);
}

// Powers unit u up and aligns it with the shortcut, then navigates (as the keypad scenarios do).
async function navigate(page, u) {
  await frames(page, 2);
  await clickArea(page, u, 'Q14_PUR', 'SelectorUp');
  await clickArea(page, u, 'Q14_PUR', 'SelectorUp');
  await frames(page, 185);
  await clickArea(page, u, 'Q14_UVI', 'ModeUp');  // knob to phi/lambda (from KONTR)
  await clickArea(page, u, 'Q14_UVI', 'TakePosition');  // take the aircraft position
  await clickArea(page, u, 'Q14_UVI', 'AlignShortcut');  // alignment shortcut
  await frames(page, 560);
  await clickArea(page, u, 'Q14_PUR', 'SelectorUp');  // NAVIG
  await frames(page, 3);
}

async function toPpmPage(page, u) {
  for (let i = 0; i < 2; ++i) await clickArea(page, u, 'Q14_UVI', 'ModeUp');  // phi/lambda -> PPM
  await clickArea(page, u, 'Q14_UVI', 'WheelUp');  // wheel to 2
  await frames(page, 2);
}
// Clicks unit u's keys, "VVOD" for the enter key, a frame after each.
async function keys(page, u, seq) {
  for (const k of seq.split(' ')) {
    await clickArea(page, u, 'Q14_UVI', k === 'VVOD' ? 'Enter' : `Key${k}`);
    await frames(page, k === 'VVOD' ? 3 : 1);
  }
}
const lit = (page, u, gauge, element) => page.evaluate(([a, b, c]) => window.trainer.shows(a, b, c), [u, gauge, element]);
const routeReload = async (page) => { await clickArea(page, 2, 'Q14_UVI', 'RouteReload'); await frames(page, 3); };
async function turnMode(page, n) { for (let i = 0; i < n; ++i) await clickArea(page, 2, 'Q14_UVI', 'ModeUp'); await frames(page, 1); }
// Runs frames until the exercise has ticked `want` steps (at most `limit` frames); false if never.
async function flyUntil(page, want, limit) {
  for (let n = 0; n < limit; n += 50) {
    await frames(page, 50);
    await redraw(page);
    if (await page.$$eval('#exlist .ex-step.done', (l) => l.length) >= want) return true;
  }
  return false;
}

function xmlEscape(s) { return String(s).replace(/[<>&"]/g, (c) => ({ '<': '&lt;', '>': '&gt;', '&': '&amp;', '"': '&quot;' }[c])); }

// Runs the registered cases (only those matching Q14_BROWSER_ONLY, when set) against the site in
// siteDir, one browser context each, and writes the JUnit report of suite `suite` to reportPath.
async function run(siteDir, reportPath, suite = 'browser') {
  const server = await serve(siteDir, 0);
  const browser = await launchChromium();
  const url = `http://127.0.0.1:${server.address().port}/`;
  const results = [];
  const only = process.env.Q14_BROWSER_ONLY ? new RegExp(process.env.Q14_BROWSER_ONLY) : null;
  for (const c of cases) {
    if (only && !only.test(c.name)) continue;
    const notes = [];
    const ctx = await browser.newContext({ acceptDownloads: true });
    const t0 = Date.now();
    let error = null;
    try {
      await c.fn({ browser: ctx, url, note: (n) => notes.push(n) });
    } catch (e) {
      error = e;
    }
    await ctx.close();
    results.push({ name: c.name, error, ms: Date.now() - t0 });
    console.log(`${error ? 'FAIL' : 'ok  '} ${c.name}${notes.length ? ' (' + notes.join('; ') + ')' : ''}`);
    if (error) console.log(`     ${error.message}`);
  }
  await browser.close();
  server.close();
  const xml = ['<?xml version="1.0" encoding="UTF-8"?>', `<testsuites><testsuite name="${xmlEscape(suite)}" tests="${results.length}">`];
  for (const r of results) {
    xml.push(`<testcase name="${xmlEscape(r.name)}" time="${r.ms / 1000}">` +
      (r.error ? `<failure message="${xmlEscape(r.error.message)}"/>` : '') + '</testcase>');
  }
  xml.push('</testsuite></testsuites>');
  if (reportPath) fs.writeFileSync(reportPath, xml.join('\n') + '\n');
  process.exit(results.some((r) => r.error) ? 1 : 0);
}

module.exports = {
  test, check, open, frames, text, redraw, mapSeen, fetched, bothUnitsDrawn, chooseCaptions, clickArea, navigate,
  toPpmPage, keys, lit, routeReload, turnMode, flyUntil, run,
};
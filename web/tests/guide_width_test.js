// The packaged HTML user guides on a phone's screen, 390 px wide, in the system's Chromium: the
// page does not scroll sideways and nothing is cut; only wide tables and code blocks scroll,
// inside themselves. Prints "FAILED: ..." for each finding; exits non-zero on any.
// Usage: node guide_width_test.js <USER_GUIDE.html>...
'use strict';
const path = require('path');
const { launchChromium } = require('./chromium.js');

const WIDTH = 390;
const guides = process.argv.slice(2);

// In the page: what sticks out of the screen (elements outside a scrolling box), the boxes that
// clip their content without scrolling, and the pictures that did not load or do not fit.
function findings(width) {
  const found = [];
  const root = document.documentElement;
  if (root.scrollWidth > root.clientWidth) found.push(`the page scrolls sideways (${root.scrollWidth} px wide)`);
  const scrolls = (e) => ['auto', 'scroll'].includes(getComputedStyle(e).overflowX);
  const name = (e) => e.tagName.toLowerCase() + (e.id ? '#' + e.id : '') + ` "${(e.textContent || '').trim().slice(0, 40)}"`;
  for (const e of document.body.querySelectorAll('*')) {
    let inside = false;
    for (let a = e.parentElement; a && a !== document.body; a = a.parentElement) if (scrolls(a)) inside = true;
    if (inside) continue;
    const r = e.getBoundingClientRect();
    if (r.width > 0 && (r.right > width + 0.5 || r.left < -0.5)) found.push(`${name(e)} reaches ${Math.round(r.left)}..${Math.round(r.right)} px`);
    if (getComputedStyle(e).overflowX === 'hidden' && e.scrollWidth > e.clientWidth + 1) found.push(`${name(e)} cuts its content`);
  }
  for (const img of document.images) {
    if (!img.complete || img.naturalWidth === 0) found.push(`picture ${img.getAttribute('src')} not shown`);
  }
  return found;
}

(async () => {
  if (guides.length === 0) {
    console.error('usage: node guide_width_test.js <USER_GUIDE.html>...');
    process.exit(2);
  }
  const browser = await launchChromium();
  let failed = 0;
  for (const guide of guides) {
    const page = await browser.newPage({ viewport: { width: WIDTH, height: 844 } });
    await page.goto('file://' + path.resolve(guide), { waitUntil: 'load' });
    const result = await page.evaluate(findings, WIDTH);
    // Every table is inside a box that scrolls, and a table wider than the screen does scroll.
    const tables = await page.evaluate(() => [...document.querySelectorAll('table')].map((t) => {
      const box = t.parentElement;
      return { scrolls: ['auto', 'scroll'].includes(getComputedStyle(box).overflowX), wide: t.offsetWidth > box.clientWidth };
    }));
    tables.forEach((t, i) => { if (!t.scrolls) result.push(`table ${i + 1} is not in a scrolling box`); });
    const wide = tables.filter((t) => t.wide).length;
    for (const f of result) console.log(`FAILED: ${guide} at ${WIDTH} px: ${f}`);
    console.log(`${guide}: ${tables.length} tables (${wide} wider than the screen, scrolling inside), ${result.length} findings`);
    failed += result.length;
    await page.close();
  }
  await browser.close();
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});

// Browser tests of the trainer: the built site served as run-trainer serves it, opened in the
// system's Chromium (headless) through Playwright. Writes a JUnit report that run-tests counts.
// Usage: node browser_test.js <site dir> <report.xml> [screenshot.png] [native session trace] [q14bench]
'use strict';
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const {
  test, check, open, frames, text, redraw, mapSeen, fetched, bothUnitsDrawn, chooseCaptions, clickArea, navigate,
  toPpmPage, keys, lit, routeReload, turnMode, flyUntil, run,
} = require('./harness.js');

const [siteDir, reportPath, screenshotPath, nativeTrace, benchPath] = process.argv.slice(2);
const MAX_PAYLOAD = 1.5 * 1024 * 1024;


test('both units drawn from their element chains, and everything the page loads, both caption sets, within 1.5 MB', async (ctx) => {
  const page = await open(ctx);
  await bothUnitsDrawn(page);
  await page.waitForTimeout(500);
  const latin = (await fetched(page)).reduce((a, e) => a + e.bytes, 0);
  // The Cyrillic artwork loads only when chosen; counted on top, the page's worst case.
  await chooseCaptions(page, 'cyrillic');
  const loaded = await fetched(page);
  const bytes = loaded.reduce((a, e) => a + e.bytes, 0);
  let onDisk = 0;
  const walk = (d) => { for (const f of fs.readdirSync(d, { withFileTypes: true })) f.isDirectory() ? walk(path.join(d, f.name)) : (onDisk += fs.statSync(path.join(d, f.name)).size); };
  walk(siteDir);
  ctx.note(`page payload ${latin} bytes with the Latin captions, ${bytes} bytes in ${loaded.length} files with both sets, site ${onDisk} bytes`);
  for (const f of ['q14_web.wasm', 'q14_n1.wasm', 'q14_n2.wasm', 'q14_web.js', 'art/own.png', 'art/cyrillic/own.png'])
    check(loaded.some((e) => e.name.endsWith('/' + f) && e.bytes > 0), `${f} not counted among ${loaded.length} files`);
  check(bytes <= MAX_PAYLOAD, `the page loads ${bytes} bytes, more than ${MAX_PAYLOAD}`);
  check(onDisk <= MAX_PAYLOAD, `the site holds ${onDisk} bytes, more than ${MAX_PAYLOAD}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('a click on a keypad digit reaches the display; the map marks only real leg changes', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await toPpmPage(page, 2);
  const before = await text(page, 2, 'Q14_UVI', 'UpperLine');
  for (const d of [2, 5, 5, 4, 5]) {
    await clickArea(page, 2, 'Q14_UVI', `Key${d}`);
    await frames(page, 1);
  }
  await redraw(page);
  const after = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(after === '  05*54,5\'', `the upper line shows "${after}" (before "${before}")`);
  // Unit 1, never touched, shows nothing of it.
  check((await text(page, 1, 'Q14_UVI', 'UpperLine')) !== after, 'unit 1 shows unit 2\'s entry');
  // The map marks real leg changes only: not a leg typed under IZM MARSH and reset, nor the
  // knob passing KONTR (OT and DO show 8 8 there), nor a route load; one entered with VVOD.
  const typeLeg = async (from, to, end) => {
    await clickArea(page, 2, 'Q14_UVI', 'RouteChange');  // IZM MARSH
    await frames(page, 2);
    for (const d of [from, to]) {
      await clickArea(page, 2, 'Q14_UVI', `Key${d}`);
      await frames(page, 1);
    }
    await mapSeen(page);
    await clickArea(page, 2, 'Q14_UVI', end);
    await frames(page, 2);
    await mapSeen(page);
  };
  await clickArea(page, 2, 'Q14_UVI', 'Reset');  // SBROS ends the latitude entry
  await clickArea(page, 2, 'Q14_UVI', 'Manual');  // RUCHN: legs change by hand
  await frames(page, 2);
  await mapSeen(page);
  await typeLeg(3, 4, 'Reset');
  for (let i = 0; i < 3; ++i) { await clickArea(page, 2, 'Q14_UVI', 'ModeDown'); await frames(page, 1); }
  await mapSeen(page);
  check((await text(page, 2, 'Q14_UVI', 'FromDigit')) === '8', 'the knob is not at KONTR');
  for (let i = 0; i < 3; ++i) { await clickArea(page, 2, 'Q14_UVI', 'ModeUp'); await frames(page, 1); }
  await clickArea(page, 2, 'Q14_UVI', 'RouteReload');  // route reload
  await frames(page, 3);
  await mapSeen(page);
  const marks = () => page.evaluate(() => window.trainer.legChanges.map((l) => `${l.u}:${l.from}${l.to}`).join());
  check((await marks()) === '', `leg changes marked where none was made: ${await marks()}`);
  await typeLeg(2, 3, 'Enter');                      // VVOD
  check((await text(page, 2, 'Q14_UVI', 'FromDigit')) === '2', 'the leg entered by hand did not take');
  check((await marks()) === '2:23', `the leg entered by hand is marked as "${await marks()}"`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('the Cyrillic captions redraw both units\' panels at once, the units running on, and stay chosen', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 1);
  await navigate(page, 2);
  const PANELS = ['Q14_UVI', 'Q14_PUR', 'QN14_def_AP_Key'];
  // The state of the units as the page shows it, and the pixels of the panels.
  const state = () => page.evaluate(() => ({ frame: Module._trainer_frame_number(),
    texts: [1, 2].map((u) => ['UpperLine', 'LowerLine', 'FromDigit', 'ToDigit'].map((k) => window.trainer.text(u, 'Q14_UVI', k)).join('|')).join(' / ') }));
  const pixels = () => page.evaluate((names) => [1, 2].flatMap((u) => names.map((n) => {
    const c = window.trainer.units[u].gauges[n].canvas;
    return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);
  })), PANELS);
  // The frames ran outside the page's loop: let it walk and draw them before the snapshot.
  await redraw(page);
  const before = await state();
  check(/\d/.test(before.texts), `the units do not navigate: ${before.texts}`);
  const latin = await pixels();
  await chooseCaptions(page, 'cyrillic');
  const cyrillic = await pixels();
  const after = await state();
  check(after.frame === before.frame && after.texts === before.texts,
    `the units did not run on through the switch: ${JSON.stringify(before)} then ${JSON.stringify(after)}`);
  // Every panel drawn again from the Cyrillic artwork: each of the six differs from its Latin drawing.
  cyrillic.forEach((p, i) => {
    const changed = p.reduce((n, v, k) => n + (v !== latin[i][k] ? 1 : 0), 0);
    check(changed > 100, `unit ${1 + Math.floor(i / 3)} ${PANELS[i % 3]} changed in ${changed} pixel values only`);
  });
  const urls = (await fetched(page)).map((e) => e.name);
  check(urls.some((u) => u.endsWith('/art/cyrillic/own.png')), 'art/cyrillic/own.png was not loaded');
  const hover = await page.evaluate(() => window.trainer.areaPoint(1, 'Q14_UVI', 'Auto'));
  await page.mouse.move(hover.x, hover.y);
  check(/АВТ/.test(await page.textContent('#tip')), `the hover name is "${await page.textContent('#tip')}"`);
  // Back to Latin: the very drawing of before.
  await page.mouse.move(1, 1);
  await chooseCaptions(page, 'latin');
  const again = await pixels();
  check(again.every((p, i) => p.length === latin[i].length && p.every((v, k) => v === latin[i][k])),
    'the Latin panels do not draw as before');
  await frames(page, 50);
  const later = await state();
  check(later.frame === before.frame + 50, `the frame count went from ${before.frame} to ${later.frame}`);
  // The choice stays: a page opened later starts with the Cyrillic artwork, without the Latin faces.
  await chooseCaptions(page, 'cyrillic');
  const next = await open(ctx);
  check((await next.inputValue('#captions')) === 'cyrillic', 'the caption choice was not remembered');
  const loaded = (await fetched(next)).map((e) => e.name);
  check(loaded.some((u) => u.endsWith('/art/cyrillic/own.png')) && !loaded.some((u) => u.endsWith('/art/own.png')),
    `a page opened in Cyrillic loaded ${loaded.filter((u) => u.includes('own.')).join(', ')}`);
  check(page.errors.length === 0 && next.errors.length === 0, page.errors.concat(next.errors).join('; '));
  await next.close();
  await page.close();
});

test('PC keys reach a unit only while it holds the keyboard focus, and the focus shows', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await toPpmPage(page, 2);
  const typeNorth = async () => {
    for (const key of ['Numpad8', 'Numpad5', 'Numpad5', 'Numpad4', 'Numpad5', 'Numpad5']) {
      await page.keyboard.press(key);
      await frames(page, 1);
    }
    await redraw(page);
  };
  const line0 = await text(page, 2, 'Q14_UVI', 'UpperLine');
  await typeNorth();
  check((await text(page, 2, 'Q14_UVI', 'UpperLine')) === line0, 'keys reached the unit without the focus');
  check(!(await page.$eval('#unit2', (e) => e.classList.contains('focused'))), 'focus shown before it was taken');
  await clickArea(page, 2, 'Q14_UVI', 'FocusArea');  // take the keyboard
  await frames(page, 20);                            // the lamp follows on the next system cycle
  await redraw(page);
  check(await page.$eval('#unit2', (e) => e.classList.contains('focused')), 'the focus does not show on unit 2');
  check(await page.evaluate(() => window.trainer.shows(2, 'Q14_UVI', 'Focus')), 'the focus lamp is dark');
  await typeNorth();
  const entered = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(entered === '  55*45,5\'', `with the focus the upper line shows "${entered}"`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('keys follow the units\' focus: a page field had the keyboard, yet the keypad reaches the unit alone; page buttons and passed keys still work', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await toPpmPage(page, 2);
  const tas0 = await page.inputValue('#tas');
  await page.click('#tas');                          // a page field has the keyboard
  await clickArea(page, 2, 'Q14_UVI', 'FocusArea');  // then unit 2 takes it
  await frames(page, 2);
  check(await page.evaluate(() => window.trainer.named('Q14_N2_HOOK')) === 1, 'unit 2 does not hold the focus');
  check(/Unit 2 holds the keyboard/.test(await page.textContent('#focusmsg')), `the page says "${await page.textContent('#focusmsg')}"`);
  for (const key of ['Numpad8', 'Numpad5', 'Numpad5', 'Numpad4', 'Numpad5', 'Numpad5', 'ArrowUp', 'Minus']) {
    await page.keyboard.press(key);
    await frames(page, 1);
  }
  await redraw(page);
  check(await page.inputValue('#tas') === tas0, `the airspeed field took the keys: ${tas0} -> ${await page.inputValue('#tas')}`);
  const entered = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(entered === '  55*45,5\'', `the unit shows "${entered}" after the keypad`);
  // A page button by mouse while the unit holds the focus.
  await page.click('#pause');
  check(await page.evaluate(() => window.trainer.paused) && (await page.textContent('#pause')) === 'Resume', 'the pause button did nothing');
  await page.click('#pause');
  // Keys the unit passes on reach the page: a letter and Tab, which moves the page's focus.
  await page.evaluate(() => { window.seenKeys = []; document.addEventListener('keydown', (e) => window.seenKeys.push(e.code)); });
  await page.keyboard.press('KeyA');
  await page.keyboard.press('Numpad7');
  await page.keyboard.press('Tab');
  const seen = await page.evaluate(() => window.seenKeys);
  check(seen.join(',') === 'KeyA,Tab', `the page saw the keys ${seen}`);
  check(await page.evaluate(() => document.activeElement !== document.body), 'Tab did not move the page\'s focus');
  // The focus lapses after 1080 cycles without a key, and the page says so; the keypad then types in the field.
  await frames(page, 1100);
  await redraw(page);
  check(await page.evaluate(() => window.trainer.named('Q14_N2_HOOK')) === 0, 'the focus did not lapse');
  check(/no longer holds the keyboard/.test(await page.textContent('#focusmsg')), `after the lapse the page says "${await page.textContent('#focusmsg')}"`);
  check(!(await page.$eval('#unit2', (e) => e.classList.contains('focused'))), 'unit 2 still shown focused');
  await page.click('#tas');
  await page.keyboard.press('ArrowUp');
  check(Number(await page.inputValue('#tas')) === Number(tas0) + 10, `without a unit's focus the field shows "${await page.inputValue('#tas')}"`);
  // The focus moving from one unit to the other shows too.
  await clickArea(page, 2, 'Q14_UVI', 'FocusArea');
  await frames(page, 2);
  await clickArea(page, 1, 'Q14_UVI', 'FocusArea');
  await frames(page, 2);
  await redraw(page);
  check(/moved from unit 2 to unit 1/.test(await page.textContent('#focusmsg')), `after the move the page says "${await page.textContent('#focusmsg')}"`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('a saved flight of the wrong size, a damaged one and an all-zero one are refused with what is wrong; the running session goes on', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  const before = await text(page, 2, 'Q14_UVI', 'UpperLine');
  const tmp = fs.mkdtempSync('/tmp/q14_web_test_');
  let asked = 0;
  page.on('dialog', (d) => { asked++; d.dismiss(); });
  const short = path.join(tmp, 'short.insb');
  fs.writeFileSync(short, Buffer.alloc(100, 1));
  await page.locator('#files summary').click();
  await page.setInputFiles('#resume', short);
  await page.waitForFunction(() => document.getElementById('filemsg').textContent.includes('not a saved flight'));
  // Right size, hostile content: every double a NaN, infinity or huge.
  const hostile = Buffer.alloc(2048);
  for (let i = 0; i < 2048; i += 8) {
    const v = [NaN, Infinity, -Infinity, 1e308, -1e308, 2 ** 53][(i / 8) % 6];
    hostile.writeDoubleLE(v, i);
  }
  const zero = Buffer.alloc(2048);
  for (const [name, bytes, want] of [['hostile.insb', hostile, /waypoint latitude 1 = inf .*waypoint longitude 2 = nan/], ['zero.insb', zero, /battery_capacity = 0 \(1\.\.10800\)/]]) {
    const file = path.join(tmp, name);
    fs.writeFileSync(file, bytes);
    await page.evaluate(() => { document.getElementById('filemsg').textContent = ''; });
    await page.setInputFiles('#resume', file);
    await page.waitForFunction(() => document.getElementById('filemsg').textContent !== '');
    const msg = await page.textContent('#filemsg');
    check(/is not resumed: \d+ values? out of range/.test(msg) && want.test(msg) && /The running session goes on/.test(msg), `${name}: the page says "${msg}"`);
  }
  check(asked === 0, 'a refused file still asked to discard the session');
  check(!(await page.evaluate(() => window.trainer.resumed)), 'the page started again');
  await frames(page, 20);
  check((await text(page, 2, 'Q14_UVI', 'UpperLine')).trim() !== '' && before.trim() !== '', 'unit 2 stopped navigating');
  check(page.errors.length === 0, page.errors.join('; '));
  fs.rmSync(tmp, { recursive: true, force: true });
  await page.close();
});

test('a saved flight downloads and resumes through unit 2\'s own restore', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await toPpmPage(page, 2);
  for (const d of [8, 5, 5, 4, 5, 5]) {           // waypoint 2 at 55 45.5 N, then VVOD
    await clickArea(page, 2, 'Q14_UVI', `Key${d}`);
    await frames(page, 1);
  }
  await clickArea(page, 2, 'Q14_UVI', 'Enter');
  await frames(page, 2);
  const entered = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(entered === '  55*45,5\'', `the entry shows "${entered}"`);
  await page.locator('#files summary').click();
  const download = page.waitForEvent('download');
  await page.click('#save');
  await frames(page, 19);                           // unit 2 writes on the 19th frame
  const file = await (await download).path();
  check(fs.statSync(file).size === 2048, 'the download is not a 2048-byte state record');
  check(/Flight saved \(Trainer\.FLT\.insb\)\.$/.test(await page.textContent('#filemsg')), `after the save: "${await page.textContent('#filemsg')}"`);
  const answers = [false, true];
  const asked = [];
  page.on('dialog', (d) => { asked.push(d.message()); if (answers.shift()) d.accept(); else d.dismiss(); });
  await page.setInputFiles('#resume', file);           // asked, and refused: the session stays
  await page.waitForFunction(() => true);
  await redraw(page);
  check(asked.length === 1 && /are lost/.test(asked[0]) && !(await page.evaluate(() => window.trainer.resumed)), `the first resume: asked ${asked}`);
  await page.setInputFiles('#resume', file);
  await page.waitForLoadState('load');
  await page.waitForFunction(() => window.trainer && window.trainer.drawn && window.trainer.resumed, null, { timeout: 15000 });
  const fresh = await text(page, 2, 'Q14_UVI', 'UpperLine');
  await frames(page, 60);                           // the unit restores on its 20th cycle
  // Restored as saved: navigating, the knob at PPM, the wheel at 2, the waypoint entered.
  const again = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(fresh !== entered, `the fresh page shows "${fresh}" before any restore`);
  check(again === entered, `after resuming waypoint 2 shows "${again}", saved "${entered}"`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('a flight saved with unit 2 off says so; unapplied route edits and the running session are not dropped without asking', async (ctx) => {
  const page = await open(ctx, '?hold');
  await frames(page, 5);
  await page.locator('#files summary').click();
  const download = page.waitForEvent('download');
  await page.click('#save');
  await frames(page, 19);
  await download;
  await redraw(page);
  const msg = await page.textContent('#filemsg');
  check(/unit 2 switched off/.test(msg), `saved with unit 2 off, the page says "${msg}"`);
  await page.locator('#routefile summary').click();
  await page.fill('#cfgtext', 'ppm_01=55*0,37*0\n');
  const answers = [false, true];
  const asked = [];
  page.on('dialog', (d) => { asked.push(d.type()); if (answers.shift()) d.accept(); else d.dismiss(); });
  await page.click('#cfgreset');
  await redraw(page);
  check((await page.inputValue('#cfgtext')) === 'ppm_01=55*0,37*0\n', 'the edits went without asking, or despite the answer');
  await page.click('#cfgreset');
  await page.waitForFunction(() => /ppm_02=/.test(document.getElementById('cfgtext').value));
  check(asked.join() === 'confirm,confirm', `asked ${asked}`);
  // Reloading asks too (the browser's own question before the page goes).
  const reload = page.evaluate(() => new Promise((r) => {
    window.addEventListener('beforeunload', (e) => r(e.defaultPrevented), { once: true });
    window.dispatchEvent(new Event('beforeunload', { cancelable: true }));
  }));
  check(await reload, 'leaving the page does not ask');
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('a saved session brings back both units, the aircraft, the route and the exercise; a damaged one or another build\'s is refused', async (ctx) => {
  const page = await open(ctx, '?hold');
  await page.locator('#exercises summary').click();
  await page.click('button[data-exercise="1"]');
  await frames(page, 2);
  await clickArea(page, 1, 'Q14_PUR', 'SelectorUp');   // unit 1 warms up too
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await frames(page, 185);
  await page.fill('#tas', '700');
  await page.check('#fly');
  await frames(page, 100);
  const snapshot = () => page.evaluate(() => {
    const a = new Float64Array(Module.HEAPF64.buffer, Module._trainer_aircraft(), 12);
    const t = window.trainer;
    return JSON.stringify({ lat: a[0], lon: a[1], heading: a[2], tas: a[3], time: a[6], fly: a[9],
      negot1: t.shows(1, 'Q14_PUR', 'Negot'), negot2: t.shows(2, 'Q14_PUR', 'Negot'), upper2: t.text(2, 'Q14_UVI', 'UpperLine'),
      ticks: t.exercises.state.done, active: t.exercises.state.active, tasField: document.getElementById('tas').value,
      route: document.getElementById('cfgtext').value.length });
  });
  await redraw(page);
  const saved = await snapshot();
  check(JSON.parse(saved).ticks === 1 && JSON.parse(saved).negot1, `before the save: ${saved}`);
  await page.locator('#files summary').click();
  const download = page.waitForEvent('download');
  await page.click('#savesession');
  const file = await (await download).path();
  const size = fs.statSync(file).size;
  ctx.note(`a saved session is ${size} bytes`);
  // The session moves on: unit 2 off, the aircraft slower and on the ground, more frames.
  await clickArea(page, 2, 'Q14_PUR', 'SelectorDown');
  await page.fill('#tas', '300');
  await page.uncheck('#fly');
  await frames(page, 300);
  await redraw(page);
  const moved = await snapshot();
  check(moved !== saved, 'the session did not change');
  const asked = [];
  page.on('dialog', (d) => { asked.push(d.message()); d.accept(); });
  // Damaged (a byte of the body changed) and another build's (the identity changed): refused.
  const bytes = fs.readFileSync(file);
  const damaged = Buffer.from(bytes);
  damaged[damaged.length - 100] ^= 0xff;
  const other = Buffer.from(bytes.toString('latin1').replace(/"build":"[0-9a-f]{4}/, '"build":"0000'), 'latin1');
  const tmp = fs.mkdtempSync('/tmp/q14_web_test_');
  for (const [name, data, want] of [['damaged.q14session', damaged, /is damaged/], ['other.q14session', other, /another build/],
    ['flight.q14session', Buffer.alloc(2048), /is not a trainer session/]]) {
    fs.writeFileSync(path.join(tmp, name), data);
    await page.evaluate(() => { document.getElementById('sessionmsg').textContent = ''; });
    await page.setInputFiles('#resumesession', path.join(tmp, name));
    await page.waitForFunction(() => document.getElementById('sessionmsg').textContent !== '');
    const msg = await page.textContent('#sessionmsg');
    check(want.test(msg), `${name}: the page says "${msg}"`);
  }
  await redraw(page);
  check(asked.length === 0 && (await snapshot()) === moved, 'a refused session changed the running one, or asked');
  await page.setInputFiles('#resumesession', file);
  await page.waitForFunction(() => /resumed/.test(document.getElementById('sessionmsg').textContent));
  await redraw(page);
  const back = await snapshot();
  check(asked.length === 1, `asked ${asked.length} times before resuming`);
  check(back === saved, `resumed ${back}, saved ${saved}`);
  // The resumed session runs on: the exercise ticks its next step from the restored units.
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');
  await frames(page, 2);
  await redraw(page);
  check((await page.$$eval('#exlist .ex-step.done', (l) => l.length)) === 2, 'the resumed exercise does not go on');
  check(page.errors.length === 0, page.errors.join('; '));
  fs.rmSync(tmp, { recursive: true, force: true });
  await page.close();
});

test('a hostile route file gets messages by line and leaves the units running', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await page.locator('#routefile summary').click();
  // Route 0 flyable; the other routes hold what the units would misread, and junk all round.
  const hostile = ['[PPM]', 'ppm_01=55*0,37*0', 'ppm_02=56*0,37*0', 'ppm_11=nan*0,37*0', 'ppm_12=55*1e999,37*0',
    'ppm_13=' + '9'.repeat(5000) + '*0,1*0', 'ppm_21=55*0;37*0', '\u00ff[[[', 'ppm_22=', 'x'.repeat(20000)]
    .concat([3, 4, 5, 6, 7, 8, 9].map((w) => `ppm_0${w}=99*0,999*0`)).join('\n');
  await page.fill('#cfgtext', hostile);
  await page.click('#cfgcheck');
  const messages = await page.$$eval('#cfgmsg li', (l) => l.map((e) => e.textContent));
  for (const want of ['line 4, ppm_11', 'line 5, ppm_12', 'line 6, ppm_13', 'line 7, ppm_21'])
    check(messages.some((m) => m.startsWith(want)), `no message "${want}…" among ${JSON.stringify(messages)}`);
  await page.click('#cfgapply');
  check(await page.evaluate(() => Module.FS.readFile('/sim/gauges/q14_cfg/q14_ppm.cfg', { encoding: 'utf8' }).startsWith('[PPM]')),
    `the route file was not written to the units' folder: ${await page.$eval('#cfgmsg', (e) => e.textContent)}`);
  // The unit reads it: route 0 from the file, the leg shows 1 to 2.
  await clickArea(page, 2, 'Q14_UVI', 'RouteReload');
  await frames(page, 5);
  check((await text(page, 2, 'Q14_UVI', 'FromDigit')) === '1' && (await text(page, 2, 'Q14_UVI', 'ToDigit')) === '2', 'route 0 did not load');
  // A NUL byte is read past as the units read it (their name and value end there): written,
  // with a warning on its line.
  await page.fill('#cfgtext', hostile.replace('[[[', '\u0000[[['));
  await page.click('#cfgapply');
  const nul = await page.$eval('#cfgmsg', (e) => e.textContent);
  check(/line 8: \(warning\) the line holds a NUL byte/.test(nul) && /In the units' folder now/.test(nul),
    `a NUL byte was not read past with a warning: ${nul}`);
  // A file whose route 0 cannot be flown is refused with a message naming the key.
  await page.fill('#cfgtext', '[PPM]\nppm_01=junk\n');
  await page.click('#cfgapply');
  const refused = await page.$$eval('#cfgmsg li', (l) => l.map((e) => e.textContent).join(' '));
  check(/route 0 cannot be flown/.test(refused) && /ppm_01/.test(refused), `no refusal message naming ppm_01: ${refused}`);
  check(await page.evaluate(() => Module.FS.readFile('/sim/gauges/q14_cfg/q14_ppm.cfg', { encoding: 'utf8' }).includes('ppm_02=56*0')),
    'a refused file replaced the units\' route file');
  await frames(page, 100);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('the aircraft starts at route 0\'s first waypoint as the units read the route file, else parked', async (ctx) => {
  // Each file as the pilot last edited it (kept by the page), read before the units start.
  const files = [
    { name: 'lower-case names, blanks, CR LF', text: '[ppm]\r\n PPM_01 = 54*30.0,36*15.3 \r\nppm_02=56*0,38*0\r\n', at: { lat: 54 + 30 / 60, lon: 36 + 15.3 / 60 } },
    { name: 'southern and western', text: '[PPM]\nppm_01=-12*1.5,-77*6.5\nppm_02=-13*0,-76*0\n', at: { lat: -12 - 1.5 / 60, lon: -77 - 6.5 / 60 } },
    { name: 'no route 0', text: '[SYS]\nq14_kp=1\n', at: null },
    { name: 'waypoint 1 not a position', text: '[PPM]\nppm_01=junk\nppm_02=56*0,38*0\n', at: null },
    // Only the first [PPM] is read: its waypoint 1 is missing, the second section's is not read.
    { name: 'waypoint 1 in a repeated section', text: '[PPM]\nppm_02=56*0,38*0\n[PPM]\nppm_01=50*0,30*0\n', at: null },
  ];
  const page = await open(ctx, '?hold');
  const starts = [];
  for (const f of files) {
    await page.evaluate((t) => localStorage.setItem('q14.route', t), f.text);
    await page.reload();
    await page.waitForFunction(() => window.trainer && (window.trainer.drawn || window.trainer.error), null, { timeout: 15000 });
    starts.push(await page.evaluate(() => {
      const a = new Float64Array(Module.HEAPF64.buffer, Module._trainer_aircraft(), 2);
      return { lat: a[0], lon: a[1] };
    }));
  }
  const parked = starts[files.findIndex((f) => !f.at)];
  files.forEach((f, i) => {
    const want = f.at || parked;
    check(Math.abs(starts[i].lat - want.lat) < 1e-9 && Math.abs(starts[i].lon - want.lon) < 1e-9,
      `${f.name}: the aircraft started at ${JSON.stringify(starts[i])}, not ${f.at ? JSON.stringify(f.at) : 'where it parks without a route'}`);
  });
  check(files.every((f) => !f.at || Math.abs(f.at.lat - parked.lat) > 0.1), 'the parked place is one of the waypoints');
  check(page.errors.length === 0, page.errors.join('; '));
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('a server that gives the code another type than application/wasm still has the units run', async (ctx) => {
  const page = await ctx.browser.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  let retyped = 0;
  await page.route('**/*.wasm', async (route) => {
    const r = await route.fetch();
    retyped++;
    await route.fulfill({ response: r, headers: { ...r.headers(), 'content-type': 'application/octet-stream' } });
  });
  await page.goto(`${ctx.url}?hold`);
  await page.waitForFunction(() => window.trainer && (window.trainer.drawn || window.trainer.error), null, { timeout: 15000 });
  check(!(await page.evaluate(() => window.trainer.error)), `the page reports: ${await page.evaluate(() => window.trainer.error)}`);
  const before = await page.evaluate(() => Module._trainer_frame_number());
  await frames(page, 10);
  check((await page.evaluate(() => Module._trainer_frame_number())) === before + 10 && retyped >= 3,
    `the units did not run (${retyped} code files served as application/octet-stream)`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('exercise 1, power-up and alignment, ticks off step by step through clicks and completes', async (ctx) => {
  const page = await open(ctx, '?hold');
  await page.locator('#exercises summary').click();
  await page.click('button[data-exercise="0"]');
  const ticked = () => page.$$eval('#exlist .ex-step.done', (l) => l.length);
  const tickedAfter = async () => { await redraw(page); return ticked(); };
  await frames(page, 2);                              // OTKL arms the alignment
  check((await tickedAfter()) === 0, 'steps ticked before anything was done');
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');  // OBOGR
  await frames(page, 1);
  check((await tickedAfter()) === 1, 'the selector step did not tick');
  await frames(page, 185);
  check((await tickedAfter()) === 2, 'the warm-up step did not tick');
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');  // VYST
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');  // phi/lambda
  await frames(page, 1);
  check((await tickedAfter()) === 3, 'the alignment start did not tick, or the position ticked too early');
  await clickArea(page, 2, 'Q14_UVI', 'TakePosition');  // take the position
  await frames(page, 2);
  check((await tickedAfter()) === 4, 'the start position did not tick');
  await clickArea(page, 2, 'Q14_UVI', 'AlignShortcut');  // shortcut
  await frames(page, 560);
  check((await tickedAfter()) === 4, 'the last step ticked before NAVIG');
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');  // NAVIG
  await frames(page, 3);
  check((await tickedAfter()) === 5, 'NAVIG did not tick the last step');
  check(await page.$eval('#exlist', (e) => e.textContent.includes('Exercise complete.')), 'not shown as complete');
  await page.click('button[data-exercise="0"]');      // restart: the unit already navigates
  await redraw(page);
  check((await ticked()) <= 1, 'a restarted exercise kept its ticks');
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

const upperShows = (want) => async (page) => (await text(page, 2, 'Q14_UVI', 'UpperLine')).trim() === want;
const lowerShows = (want) => async (page) => (await text(page, 2, 'Q14_UVI', 'LowerLine')).trim().replace(/^0+/, '') === want;
const lamp = (gauge, element, on = true) => async (page) => (await lit(page, 2, gauge, element)) === on;
const legShows = (from, to) => async (page) => (await text(page, 2, 'Q14_UVI', 'FromDigit')) === from && (await text(page, 2, 'Q14_UVI', 'ToDigit')) === to;

// The phi/lambda lines of unit u; the fix's keys and lines as exercise 10 gives them.
const fixLines = async (p, u) => ({ upper: (await text(p, u, 'Q14_UVI', 'UpperLine')).trim(), lower: (await text(p, u, 'Q14_UVI', 'LowerLine')).trim() });
const fixKeys = (p) => p.$eval('#exlist', (e) => /key 2, ([\d ]+), \S+, key 6, ([\d ]+), /.exec(e.textContent).slice(1, 3));
// Unit u shows the fix, to the digit or (`slack`, a unit that runs on) within the last digit.
const tenths = (line) => { const m = /(\d+)\*(\d+),(\d)/.exec(line); return m ? m[1] * 600 + m[2] * 10 + +m[3] : NaN; };
const showsFix = (u, slack = 0) => async (p) => {
  const want = await p.$eval('#exlist', (e) => /show (\d+\*\d+,\d') and (\d+\*\d+,\d')/.exec(e.textContent).slice(1, 3));
  const got = await fixLines(p, u);
  const off = Math.max(Math.abs(tenths(got.upper) - tenths(want[0])), Math.abs(tenths(got.lower) - tenths(want[1])));
  check(off <= slack, `unit ${u} shows ${got.upper} ${got.lower}, not the fix ${want.join(' ')}`);
  return true;
};
const unitLamp = (u, element) => async (p) => lit(p, u, 'Q14_UVI', element);

// Each exercise by clicks and keys: [what the pilot does, the steps ticked after it, what the
// step names, seen on the panel]. Partial entries and missing routes must leave the tick alone.
const EXERCISE_RUNS = [
  { index: 1, runs: [
    [async (p) => { await frames(p, 2); await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await frames(p, 100); }, 0],
    [(p) => frames(p, 85), 1, lamp('Q14_PUR', 'Negot')],
    [async (p) => { await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await turnMode(p, 1); }, 2],
    [(p) => keys(p, 2, '2'), 3, lamp('Q14_UVI', 'EnterLamp')],
    [(p) => keys(p, 2, '5 5 5 8'), 3],
    [(p) => keys(p, 2, '4 VVOD'), 4, upperShows("55*58,4'")],
    [(p) => keys(p, 2, '6 0 3 7 2 4'), 4],
    [(p) => keys(p, 2, '9 VVOD'), 5, lowerShows("37*24,9'")],
  ] },
  { index: 2, runs: [
    [async (p) => { await navigate(p, 2); await toPpmPage(p, 2); }, 0],     // no route loaded yet
    [routeReload, 1, upperShows("55*35,6'")],
    [(p) => keys(p, 2, '2'), 2, lamp('Q14_UVI', 'EnterLamp')],
    [(p) => keys(p, 2, '5 5 4 5'), 2],
    [(p) => keys(p, 2, '5 VVOD'), 3, upperShows("55*45,5'")],
  ] },
  { index: 3, runs: [
    [async (p) => { await navigate(p, 2); await toPpmPage(p, 2); }, 0],     // no route loaded yet
    [routeReload, 1, legShows('1', '2')],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Manual').then(() => frames(p, 1)), 2],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'RouteChange').then(() => frames(p, 2)), 3, lamp('Q14_UVI', 'RouteLamp')],
    [(p) => keys(p, 2, '2'), 3],
    [(p) => keys(p, 2, '3 VVOD'), 4, legShows('2', '3')],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Auto').then(() => frames(p, 1)), 5],
  ] },
  { index: 4, runs: [
    [async (p) => { await routeReload(p); await navigate(p, 2); }, 1],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Hold').then(() => frames(p, 2)), 2, lamp('Q14_UVI', 'HoldLamp')],
    [(p) => keys(p, 2, '2 5 5 3'), 2],
    [(p) => keys(p, 2, '5 6 VVOD'), 3, upperShows("55*35,6'")],
    [(p) => keys(p, 2, '6 0 3 7 1 5 9 VVOD'), 4, lowerShows("37*15,9'")],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Hold').then(() => frames(p, 2)), 5, lamp('Q14_UVI', 'HoldLamp', false)],
  ] },
  { index: 5, runs: [
    [async (p) => { await navigate(p, 2); await routeReload(p); await p.check('#fly'); await p.fill('#windto', '90');
      await p.fill('#windkmh', '60'); await frames(p, 40); await turnMode(p, 6); }, 1],
    [(p) => keys(p, 2, '2 1 2'), 1],
    [(p) => keys(p, 2, '3 0 VVOD'), 2],
    [async (p) => { await turnMode(p, 1); await clickArea(p, 2, 'Q14_UVI', 'Hold'); await frames(p, 2); }, 3, lamp('Q14_UVI', 'HoldLamp')],
    [(p) => keys(p, 2, '6 0 6'), 3],
    [(p) => keys(p, 2, '0 0 VVOD'), 4],
    [async (p) => { await clickArea(p, 2, 'Q14_UVI', 'Hold'); await frames(p, 20); }, 5, async (p) => (await text(p, 2, 'Q14_UVI', 'LowerLine')).trim() !== ''],
  ] },
  { index: 6, runs: [
    [(p) => navigate(p, 2), 1],
    [async (p) => { await p.uncheck('#extpower'); await frames(p, 5000); }, 1, lamp('Q14_PUR', 'Pit', false)],
    [(p) => frames(p, 600), 2, lamp('Q14_PUR', 'Pit')],
    [async (p) => { await p.check('#extpower'); await frames(p, 3); }, 3, lamp('Q14_PUR', 'Pit', false)],
  ] },
  { index: 7, runs: [
    [async (p) => { await frames(p, 2); await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await frames(p, 185); }, 1, lamp('Q14_PUR', 'Negot')],
    [async (p) => { await p.check('#engines'); await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await turnMode(p, 1);
      await keys(p, 2, '2 5 5 5 8 4 VVOD 6 0 3 7 2 4 9 VVOD'); }, 2, upperShows("55*58,4'")],
    [(p) => frames(p, 3000), 2, lamp('Q14_PUR', 'Vnim', false)],   // the count not yet below 30
    [(p) => frames(p, 1500), 3, lamp('Q14_PUR', 'Vnim')],
    [async (p) => { for (let i = 0; i < 2; ++i) await clickArea(p, 2, 'Q14_PUR', 'SelectorDown'); await frames(p, 2); }, 4, lamp('Q14_PUR', 'Vnim', false)],
    [async (p) => { await p.uncheck('#engines'); for (let i = 0; i < 2; ++i) await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await frames(p, 185);
      await keys(p, 2, '2 5 5 4 6 4 VVOD'); }, 5, upperShows("55*46,4'")],
    [(p) => frames(p, 3000), 6, lamp('Q14_PUR', 'Vnim')],
    [async (p) => { for (let i = 0; i < 2; ++i) await clickArea(p, 2, 'Q14_PUR', 'SelectorDown'); await frames(p, 2); }, 7, lamp('Q14_PUR', 'Vnim', false)],
    [async (p) => { for (let i = 0; i < 2; ++i) await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await frames(p, 185);
      await keys(p, 2, '2 5 5 5 8 4 VVOD 6 0 3 7 2 4 9 VVOD'); }, 8, upperShows("55*58,4'")],
    [async (p) => { await clickArea(p, 2, 'Q14_UVI', 'AlignShortcut'); await frames(p, 560); await clickArea(p, 2, 'Q14_PUR', 'SelectorUp'); await frames(p, 3); },
      9, lamp('Q14_PUR', 'Vnim', false)],
  ] },
  { index: 8, runs: [
    [async (p) => { await navigate(p, 2); await toPpmPage(p, 2); await routeReload(p); }, 1, legShows('1', '2')],
    [async (p) => { const course = await p.$eval('#exlist', (e) => /course, (\d+)°/.exec(e.textContent)[1]);
      await p.fill('#heading', course); await clickArea(p, 2, 'QN14_def_AP_Key', 'Toggle'); await p.check('#coupled'); await p.check('#fly');
      check(await flyUntil(p, 2, 12000), 'the leg never changed to 2-3 by itself'); }, 2, legShows('2', '3')],
    [async (p) => { await clickArea(p, 2, 'Q14_UVI', 'Manual'); await clickArea(p, 2, 'Q14_UVI', 'RouteChange'); await frames(p, 2);
      await keys(p, 2, '3 4 VVOD'); }, 3, legShows('3', '4')],
    [async (p) => { await clickArea(p, 2, 'Q14_UVI', 'Auto'); check(await flyUntil(p, 4, 12000), 'the leg never changed to 4-5 by itself'); },
      4, legShows('4', '5')],
  ] },
  { index: 9, runs: [
    [async (p) => { await navigate(p, 1); await navigate(p, 2); }, 1, async (p) => (await fixLines(p, 1)).upper !== '' && (await fixLines(p, 2)).upper !== ''],
    [async (p) => { await p.fill('#heading', '90'); await p.selectOption('#rate', '16');
      for (let i = 0; i < 30 && (await p.$$eval('#exlist .ex-step.done', (l) => l.length)) < 2; ++i) {
        await p.check('#fly'); await frames(p, 400); await p.uncheck('#fly'); await frames(p, 2); await redraw(p);
      } }, 2, async (p) => !(await p.$eval('#exlist', (e) => e.textContent.includes('off by ?')))],
    [(p) => clickArea(p, 1, 'Q14_UVI', 'Hold').then(() => frames(p, 2)), 3, unitLamp(1, 'HoldLamp')],
    [async (p) => keys(p, 1, `2 ${(await fixKeys(p))[0]}`), 3, unitLamp(1, 'EnterLamp')],   // no VVOD yet
    [async (p) => keys(p, 1, `VVOD 6 ${(await fixKeys(p))[1]} VVOD`), 4, showsFix(1)],
    [(p) => clickArea(p, 1, 'Q14_UVI', 'Hold').then(() => frames(p, 20)), 5, showsFix(1)],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Hold').then(() => frames(p, 2)), 6, unitLamp(2, 'HoldLamp')],
    [async (p) => { const [lat, lon] = await fixKeys(p); await keys(p, 2, `2 ${lat} VVOD 6 ${lon} VVOD`); }, 7, showsFix(2)],
    [(p) => clickArea(p, 2, 'Q14_UVI', 'Hold').then(() => frames(p, 20)), 8, showsFix(2, 1)],
  ] },
];

for (const ex of EXERCISE_RUNS) {
  test(`exercise ${ex.index + 1} completes by clicks and keys, each step ticking only on the state it names`, async (ctx) => {
    const page = await open(ctx, '?hold');
    await page.locator('#exercises summary').click();
    await page.click(`button[data-exercise="${ex.index}"]`);
    const ticked = async () => { await redraw(page); return page.$$eval('#exlist .ex-step.done', (l) => l.length); };
    for (const [k, [act, want, see]] of ex.runs.entries()) {
      await act(page);
      const n = await ticked();
      const steps = await page.$$eval('#exlist .ex-step', (l) => l.map((e) => e.textContent));
      check(n === want, `after action ${k + 1} ${n} steps ticked, not ${want} (next: "${steps[n] || ''}"; upper "${await text(page, 2, 'Q14_UVI', 'UpperLine')}", lower "${await text(page, 2, 'Q14_UVI', 'LowerLine')}")`);
      if (see) check(await see(page), `after action ${k + 1} the panel does not show what step ${want} names`);
    }
    check(await page.$eval('#exlist', (e) => e.textContent.includes('Exercise complete.')), 'not shown as complete');
    check(page.errors.length === 0, page.errors.join('; '));
    await page.close();
  });
}

test('the exercises name the controls as the chosen captions print them', async (ctx) => {
  const page = await open(ctx, '?hold');
  await page.locator('#exercises summary').click();
  await page.click('button[data-exercise="3"]');
  const steps = () => page.$$eval('#exlist .ex-step', (l) => l.map((e) => e.textContent).join(' | '));
  check(/RUCHN/.test(await steps()) && /IZM MARSH/.test(await steps()), `the Latin texts: ${await steps()}`);
  await chooseCaptions(page, 'cyrillic');
  await frames(page, 1);
  await redraw(page);
  const cyr = await steps();
  check(/РУЧН/.test(cyr) && /ИЗМ МАРШ/.test(cyr) && /ВВОД/.test(cyr) && !/RUCHN|IZM MARSH|VVOD/.test(cyr), `the Cyrillic texts: ${cyr}`);
  await page.click('button[data-exercise="1"]');
  const values = await steps();
  check(/55\*58,4'/.test(values) && /5 5 5 8 4/.test(values) && /0 3 7 2 4 9/.test(values), `exercise 2 gives no start position: ${values}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('a flight plan imports into a route through the browser\'s XML parser; one that is not a plan is refused', async (ctx) => {
  const page = await open(ctx, '?hold');
  await page.locator('#routefile summary').click();
  const tmp = fs.mkdtempSync('/tmp/q14_web_pln_');
  const plan = path.join(tmp, 'plan.pln');
  const wp = (id, pos) => `<ATCWaypoint id="${id}"><ATCWaypointType>Airport</ATCWaypointType><WorldPosition>${pos}</WorldPosition></ATCWaypoint>`;
  fs.writeFileSync(plan, '<?xml version="1.0" encoding="UTF-8"?>\n<SimBase.Document Type="AceXML"><FlightPlan.FlightPlan>' +
    wp('UUEE', 'N55\u00b0 58\' 24.00",E37\u00b0 24\' 54.00",+000630.00') + wp('ULLI', 'N59\u00b0 48\' 0.00",E30\u00b0 15\' 0.00",+000078.00') +
    '</FlightPlan.FlightPlan></SimBase.Document>\n');
  const before = await page.inputValue('#cfgtext');
  await page.selectOption('#plnroute', '2');
  await page.setInputFiles('#plnfile', plan);
  await page.waitForFunction(() => document.getElementById('cfgmsg').textContent.includes('imported'));
  const after = await page.inputValue('#cfgtext');
  check(/ppm_21=55\*58\.4000,37\*24\.9000/.test(after) && /ppm_22=59\*48\.0000,30\*15\.0000/.test(after) && /ppm_23=99\*0,999\*0/.test(after),
    `route 2 not written as the bench tool writes it: ${after.split('\n').filter((l) => l.startsWith('ppm_2')).join(' ')}`);
  check(after.split('\n').filter((l) => l.startsWith('ppm_0')).join() === before.split('\n').filter((l) => l.startsWith('ppm_0')).join(),
    'route 0 changed');
  // Not XML that parses, and XML that is no plan: refused, the text as it was.
  for (const [name, body, want] of [['broken.pln', '<SimBase.Document><FlightPlan.FlightPlan><ATCWaypoint>', 'not well-formed XML'],
    ['other.pln', '<?xml version="1.0"?><html><body/></html>', 'not a simulator flight plan'],
    ['binary.pln', '\u0000\u0001\u0002', 'not imported']]) {
    fs.writeFileSync(path.join(tmp, name), body);
    await page.setInputFiles('#plnfile', path.join(tmp, name));
    await page.waitForFunction((w) => document.getElementById('cfgmsg').textContent.includes(w), want);
    check((await page.inputValue('#cfgtext')) === after, `${name} changed the route text`);
  }
  fs.rmSync(tmp, { recursive: true, force: true });
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

// Where a panel call names an element or a mouse area by number: the call's last argument
// holds a number literal. Panel calls of the page, the tests and the benchmark are scanned.
const PANEL_CALLS = /\b(hasElement|needleAngle|gaugeText|areaPoint|clickArea|text|shows|click|_?trainer_click|trainer_mouse_area)\(/g;
function panelNumbers(source) {
  const found = [];
  for (let m; (m = PANEL_CALLS.exec(source));) {
    let depth = 1, i = m.index + m[0].length, last = i;
    for (; i < source.length && depth > 0; ++i) {
      const c = source[i];
      if (c === '(' || c === '[' || c === '{') ++depth;
      else if (c === ')' || c === ']' || c === '}') --depth;
      else if (c === ',' && depth === 1) last = i + 1;
    }
    // Digits inside quotes are words (a CSS selector); a template literal counts by its ${} parts.
    const arg = source.substring(last, i - 1).replace(/'(?:\\.|[^'\\])*'|"(?:\\.|[^"\\])*"/g, "''")
      .replace(/`(?:\\.|[^`\\])*`/g, (t) => (t.match(/\$\{[^}]*\}/g) || []).join(' '));
    if (/(^|[^\w$.])\d/.test(arg)) found.push(`${source.substring(m.index, i).replace(/\s+/g, ' ')} (line ${source.substring(0, m.index).split('\n').length})`);
  }
  return found;
}

test('the page and its tests name panel elements and mouse areas from the map the C++ exports, never by number', async (ctx) => {
  const files = fs.readdirSync(path.join(__dirname, '..', 'page')).filter((f) => f.endsWith('.js'))
    .map((f) => path.join(__dirname, '..', 'page', f)).concat([__filename, path.join(__dirname, '..', 'bench.js')]);
  const found = files.flatMap((f) => panelNumbers(fs.readFileSync(f, 'utf8')).map((c) => `${path.basename(f)}: ${c}`));
  check(found.length === 0, `panel calls with numbers: ${found.join('; ')}`);
  // The scan itself (the call names split, so that this file passes it).
  check(panelNumbers('await click' + 'Area(page, 2, "Q14_UVI", 6 + d);').length === 1 &&
    panelNumbers('trainer.te' + 'xt(u, "Q14_UVI", `${3}`)').length === 1 && panelNumbers('cli' + 'ck(\'[data-x="0"]\')').length === 0,
  'the scan misses a number or takes a quoted digit for one');
  // The map arrives from the C++ whole: every table the page names, the step fields counted.
  const page = await open(ctx, '?hold');
  const layout = await page.evaluate(() => ({ l: window.trainer.layout, fields: Module._trainer_step_fields() }));
  check(Object.keys(layout.l.stepFields).length === layout.fields, 'the step fields differ from the C++ count');
  check(layout.l.gauges.Q14_UVI.areas.AlignShortcut > 0 && layout.l.pages.Wind > 0 && layout.l.selector.Navig > 0 &&
    layout.l.settings.some((k) => k.key === 'q14_bank_time' && k.default === '3.5' && k.hi > k.lo), 'the layout lacks a table');
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

// Flight plans both importers read: a long one (dropped and left-out waypoints, a comment, names),
// names only, UTF-16 with Cyrillic names, the FS9 text form, and a broken position.
function planCorpus() {
  const dms = (v, pos, neg) => {
    const a = Math.abs(v), d = Math.floor(a), m = (a - d) * 60, mi = Math.floor(m);
    return `${v < 0 ? neg : pos}${d}\u00b0 ${mi}' ${((m - mi) * 60).toFixed(2)}"`;
  };
  const wp = (id, type, lat, lon, descr) => `    <ATCWaypoint id="${id}">\n      <ATCWaypointType>${type}</ATCWaypointType>\n` +
    `      <WorldPosition>${dms(lat, 'N', 'S')},${dms(lon, 'E', 'W')},+000500.00</WorldPosition>\n` +
    (descr ? `      <Descr>${descr}</Descr>\n` : '') + `      <ICAO><ICAOIdent>${id}</ICAOIdent></ICAO>\n    </ATCWaypoint>\n`;
  const xml = (body, encoding = 'UTF-8') => `<?xml version="1.0" encoding="${encoding}"?>\n<SimBase.Document Type="AceXML" version="1,0">\n` +
    `  <FlightPlan.FlightPlan>\n    <Title>corpus</Title>\n    <!-- <ATCWaypoint id="NOT"> in a comment -->\n${body}  </FlightPlan.FlightPlan>\n</SimBase.Document>\n`;
  const long = [['LEBL', 'Airport', 41.2969, 2.0783, 'Barcelona &amp; El Prat'], ['RW25R', 'User', 41.303, 2.088],
    ['DUNES', 'Intersection', 41.25, 1.9167], ['SLL', 'VOR', 41.52, 2.105, 'Sabadell'], ['SLL2', 'VOR', 41.52, 2.105],
    ['GIR', 'VOR', 41.9333, 2.7667], ['LATEK', 'Intersection', 42.5, 3.1667], ['PPG', 'VOR', 42.7, 2.8667],
    ['FJR', 'VOR', 43.5833, 3.9667], ['MTL', 'VOR', 44.55, 4.7833], ['LSA', 'VOR', 45.6667, 5.0833],
    ['BELUS', 'Intersection', 46.0, 5.6667], ['PAS', 'VOR', 46.1667, 6.0], ['GVA', 'VOR', 46.255, 6.1333],
    ['LSGG', 'Airport', 46.2381, 6.1089, 'Gen\u00e8ve']].map((w) => wp(...w)).join('');
  const cyrillic = wp('UUEE', 'Airport', 55.9728, 37.415, '\u0428\u0435\u0440\u0435\u043c\u0435\u0442\u044c\u0435\u0432\u043e') +
    wp('ULLI', 'Airport', 59.8003, 30.2625, '\u041f\u0443\u043b\u043a\u043e\u0432\u043e');
  return [
    ['long.pln', Buffer.from(xml(long))],
    ['names-only.pln', Buffer.from(xml('    <ATCWaypoint id="LEBL">\n      <ATCWaypointType>Airport</ATCWaypointType>\n' +
      '      <ICAO><ICAOIdent>LEBL</ICAOIdent></ICAO>\n    </ATCWaypoint>\n'))],
    ['utf16.pln', Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(xml(cyrillic, 'UTF-16'), 'utf16le')])],
    ['fs9.pln', Buffer.from('[flightplan]\r\ntitle=LSGG to LFSB\r\nwaypoint.1=, GVA, , GVA, V, N46* 15.30\', E6* 8.00\', +000000.00,\r\n' +
      'waypoint.0=, LSGG, , LSGG, A, N46* 13.91\', E6* 6.49\', +001410.99,\r\n; a comment\r\n' +
      'waypoint.2=, , , LFSB, A, N47* 35.40\', E7* 31.80\', +000885.00,\r\n', 'latin1')],
    ['bad-position.pln', Buffer.from(xml(wp('UUEE', 'Airport', 55.9728, 37.415) +
      '    <ATCWaypoint id="ULLI">\n      <WorldPosition>N59 48,E30 15</WorldPosition>\n    </ATCWaypoint>\n'))],
  ];
}

if (benchPath) {
  test('the page imports every plan of a corpus as q14bench import-pln does: the same route text and messages', async (ctx) => {
    const page = await open(ctx, '?hold');
    await page.locator('#routefile summary').click();
    await page.selectOption('#plnroute', '2');
    const start = await page.inputValue('#cfgtext');
    const tmp = fs.mkdtempSync('/tmp/q14_web_corpus_');
    for (const [name, bytes] of planCorpus()) {
      const plan = path.join(tmp, name), cfg = path.join(tmp, `${name}.cfg`);
      fs.writeFileSync(plan, bytes);
      fs.writeFileSync(cfg, start);
      const bench = spawnSync(benchPath, ['import-pln', plan, '--cfg', cfg, '--route', '2'], { encoding: 'utf8' });
      await page.fill('#cfgtext', start);
      await page.evaluate(() => { document.getElementById('cfgmsg').textContent = ''; });
      await page.setInputFiles('#plnfile', plan);
      await page.waitForFunction(() => document.getElementById('cfgmsg').textContent !== '');
      const shown = await page.$$eval('#cfgmsg li', (l) => l.map((e) => ({ kind: e.className, text: e.textContent })));
      if (bench.status !== 0) {
        const error = bench.stderr.trim().replace(`q14bench import-pln: ${plan}: `, '');
        const want = `"${name}" was not imported: ${error}`;
        check(shown.length === 1 && shown[0].text === want, `${name}: the page says ${JSON.stringify(shown)}, q14bench "${error}"`);
        check((await page.inputValue('#cfgtext')) === start, `${name}: refused, yet the route text changed`);
        ctx.note(`${name}: refused alike (${error.substring(0, 60)}...)`);
        continue;
      }
      const notes = bench.stdout.split('\n').filter((l) => /^(dropped|left out) /.test(l));
      const want = `Route 2 imported from "${name}"${notes.length ? '; ' + notes.join('; ') : ''}. Check, then use it in the units or download it.`;
      const ok = shown.find((e) => e.kind === 'ok');
      check(ok && ok.text === want, `${name}: the page says "${ok && ok.text}", q14bench "${want}"`);
      const text = await page.inputValue('#cfgtext');
      check(text === fs.readFileSync(cfg, 'utf8'), `${name}: the route text differs from q14bench's:\n${text}\n----\n${fs.readFileSync(cfg, 'utf8')}`);
      ctx.note(`${name}: ${notes.length} note(s), the same route text`);
    }
    fs.rmSync(tmp, { recursive: true, force: true });
    check(page.errors.length === 0, page.errors.join('; '));
    await page.close();
  });
}

if (nativeTrace) {
  test('same units, same answers: the scripted session agrees with the native stand-in frame by frame', async (ctx) => {
    const page = await open(ctx, '?hold');
    const script = fs.readFileSync(path.join(__dirname, '..', 'session.txt'), 'utf8');
    const browser = await page.evaluate((s) => window.trainer.runScript(s), script);
    const native = fs.existsSync(nativeTrace) ? fs.readFileSync(nativeTrace, 'utf8') : '';
    const diff = compareTraces(native, browser);
    ctx.note(diff.summary);
    check(diff.ok, diff.summary);
    await page.close();
  });
}

// Trace lines "F <frame> T <texts and lamps> N <name=value ...>": everything up to N must agree
// exactly, the values after it within 1e-9 of their size (at least 1e-9): the two maths libraries
// differ in the last bits, and a cross-track distance of 40 km carries that into its 1e-8 m.
function compareTraces(a, b) {
  const la = a.trim().split('\n'), lb = b.trim().split('\n');
  if (la.length !== lb.length || la.length < 1000)
    return { ok: false, summary: `native ${la.length} frames, browser ${lb.length}` };
  let worst = 0;
  for (let i = 0; i < la.length; ++i) {
    const [ta, na = ''] = la[i].split(' N '), [tb, nb = ''] = lb[i].split(' N ');
    if (ta !== tb) return { ok: false, summary: `frame line ${i + 1} differs:\n native  ${ta}\n browser ${tb}` };
    const va = na.trim().split(' '), vb = nb.trim().split(' ');
    if (va.length !== vb.length) return { ok: false, summary: `frame line ${i + 1}: the named values differ in number` };
    for (let k = 0; k < va.length; ++k) {
      const [ka, xa] = va[k].split('='), [kb, xb] = vb[k].split('=');
      const x = Number(xa), y = Number(xb);
      const d = Number.isNaN(x) && Number.isNaN(y) ? 0 : Math.abs(x - y) / Math.max(1, Math.abs(x));
      if (ka !== kb || !(d <= 1e-9)) return { ok: false, summary: `frame line ${i + 1}: ${va[k]} native, ${vb[k]} browser` };
      worst = Math.max(worst, d);
    }
  }
  return { ok: true, summary: `${la.length} frames agree; largest relative difference of a value ${worst.toExponential(2)}` };
}

if (screenshotPath) {
  test('screenshot of both units in navigation for the documentation', async (ctx) => {
    const page = await open(ctx, '?hold');
    await navigate(page, 1);
    await navigate(page, 2);
    for (const u of [1, 2]) await clickArea(page, u, 'Q14_UVI', 'RouteReload');  // route from the file
    await frames(page, 40);
    await page.mouse.move(1, 1);                       // no hover name in the picture
    await redraw(page);
    await page.screenshot({ path: screenshotPath });
    check(fs.statSync(screenshotPath).size > 10000, 'the screenshot is empty');
    await page.close();
  });
}

run(siteDir, reportPath, 'browser');

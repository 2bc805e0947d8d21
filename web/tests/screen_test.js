// Browser tests of the trainer on any screen, by touch and by keyboard: the page at a desktop, a
// tablet and a phone size (screenshots into the reports), a finger on the panels, the panels worked
// by keyboard alone and what the screen reader region says. Usage: node screen_test.js <site> <report.xml>
'use strict';
const path = require('path');
const { test, check, open, frames, text, redraw, run } = require('./harness.js');

const [siteDir, reportPath] = process.argv.slice(2);
const shots = reportPath ? path.dirname(reportPath) : null;
const DESKTOP = { width: 1280, height: 800 }, TABLET = { width: 820, height: 1180 }, PHONE = { width: 390, height: 844 };
const NARROWEST = { width: 360, height: 740 };

// A page in a browser context that has a touch screen (the case's own context has none).
async function touchPage(ctx, query, size) {
  const touch = await ctx.browser.browser().newContext({ hasTouch: true, isMobile: true, viewport: size });
  const page = await open({ browser: touch, url: ctx.url }, query, size);
  page.closeAll = () => touch.close();
  return page;
}

// What sticks out: the page's sideways scroll, and the boxes outside the window or their column.
const fits = (page) => page.evaluate(() => {
  const root = document.documentElement;
  return { sideways: root.scrollWidth - root.clientWidth, height: window.innerHeight, width: window.innerWidth };
});
const rectOf = (page, selector) => page.$eval(selector, (e) => { const r = e.getBoundingClientRect(); return { top: r.top, bottom: r.bottom, left: r.left, right: r.right }; });
const inside = (r, size) => r.top >= 0 && r.left >= 0 && r.bottom <= size.height && r.right <= size.width;
const live = (page) => page.textContent('#live');
const pointOf = (page, u, gauge, area) => page.evaluate(([a, b, c]) => window.trainer.areaPoint(a, b, c), [u, gauge, area]);

test('at 1280×800 the active unit\'s display and keypad, the current exercise step and the read-outs show whole; no sideways scroll at a tablet\'s and a phone\'s size either (screenshots)', async (ctx) => {
  const page = await open(ctx, '', DESKTOP);
  await page.click('#exercises summary');
  await page.click('#exlist button[data-exercise="0"]');
  await redraw(page);
  const step = await page.textContent('#stepnow');
  check(/^1\. Power-up and alignment \(unit 2\), step 1 of 5: Turn the PUR selector from OTKL to OBOGR/.test(step), `the step strip says "${step}"`);
  for (const sel of ['#stepnow', '#unit2 canvas[data-gauge="Q14_UVI"]', '#unit2 canvas[data-gauge="Q14_PUR"]',
    '#unit2 canvas[data-gauge="Koord_s"]', '#unit2 canvas[data-gauge="DigTest"]', '#unit1 canvas[data-gauge="Koord_s"]']) {
    const r = await rectOf(page, sel);
    check(inside(r, DESKTOP), `${sel} lies at ${JSON.stringify(r)}, not whole in the window`);
  }
  const units = await page.$eval('#units', (e) => ({ h: e.scrollHeight - e.clientHeight, w: e.scrollWidth - e.clientWidth }));
  check(units.h <= 0 && units.w <= 0, `the units' column scrolls by ${JSON.stringify(units)}`);
  check((await fits(page)).sideways <= 0, 'the page scrolls sideways at 1280×800');
  if (shots) await page.screenshot({ path: path.join(shots, 'screen_1280x800.png') });
  await page.close();
  for (const [size, name, langs] of [[DESKTOP, '1280x800', ['ru']], [TABLET, 'tablet_820x1180', ['en', 'ru']],
    [PHONE, 'phone_390x844', ['en', 'ru']], [NARROWEST, 'phone_360x740', ['en']]]) {
    for (const lang of langs) {
      const p = size === DESKTOP ? await open(ctx, `?lang=${lang}`, size) : await touchPage(ctx, `?lang=${lang}`, size);
      const f = await fits(p);
      check(f.sideways <= 0 && f.width === size.width, `the ${name} page (${lang}) scrolls sideways by ${f.sideways} px`);
      const uvi = await rectOf(p, '#unit1 canvas[data-gauge="Q14_UVI"]');
      check(uvi.left >= 0 && uvi.right <= size.width, `unit 1's UVI is cut at ${name}: ${JSON.stringify(uvi)}`);
      if (shots) await p.screenshot({ path: path.join(shots, `screen_${name}${lang === 'ru' ? '_ru' : ''}.png`) });
      check(p.errors.length === 0, p.errors.join('; '));
      await (p.closeAll ? p.closeAll() : p.close());
    }
  }
});

test('a phone (390×844, touch): one unit at a time with a switch, a tap acts once, a held finger repeats, the names show and the zoom scrolls inside its column', async (ctx) => {
  const page = await touchPage(ctx, '?hold', PHONE);
  const shown = () => page.evaluate(() => [1, 2].filter((u) => window.trainer.units[u].box.offsetParent !== null));
  check((await shown()).join() === '1', `the phone shows units ${await shown()}`);
  await page.tap('#screenbar button[data-unit="2"]');
  check((await shown()).join() === '2', `after the switch the phone shows units ${await shown()}`);
  // A tap on the selector's right half turns it one step: one click, no more.
  const clicks0 = await page.evaluate(() => window.trainer.clicks);
  const sel = await pointOf(page, 2, 'Q14_PUR', 'SelectorUp');
  await page.touchscreen.tap(sel.x, sel.y);
  await frames(page, 2);
  await redraw(page);
  check(await page.evaluate(() => window.trainer.clicks) === clicks0 + 1, 'a tap did not act exactly once');
  check(/selector OBOGR/.test(await live(page)), `after the tap unit 2 says "${await live(page)}"`);
  // A finger held on the mode knob turns it on and on, and stops when lifted.
  const knob = await pointOf(page, 2, 'Q14_UVI', 'ModeUp');
  const cdp = await page.context().newCDPSession(page);
  const touch = (type) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x: knob.x, y: knob.y }] });
  const held0 = await page.evaluate(() => window.trainer.clicks);
  await touch('touchStart');
  await page.waitForTimeout(1300);
  await touch('touchEnd');
  const held = await page.evaluate(() => window.trainer.clicks) - held0;
  await page.waitForTimeout(500);
  const after = await page.evaluate(() => window.trainer.clicks) - held0;
  check(held >= 4 && after === held, `the held knob acted ${held} times, ${after} with the finger lifted`);
  check(await page.$eval('.ctl', (b) => !b.dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true }))),
    'a long press would open the page menu');
  // The names switch writes every control's name on the panel.
  await page.tap('#screenbar .namestoggle');
  const names = await page.$$eval('#unit2 .ctl span', (l) => l.filter((s) => s.offsetWidth > 0).map((s) => s.textContent));
  check(names.includes('Mode knob: turn right') && names.includes('Key 5') && names.includes('Lamp test'),
    `the names shown: ${names.join(', ')}`);
  if (shots) await page.screenshot({ path: path.join(shots, 'screen_phone_390x844_names.png') });
  // Zoomed in, the panels scroll inside their column, never the page.
  const scale0 = await page.evaluate(() => window.trainer.scale);
  await page.tap('#screenbar .zoomin');
  await page.tap('#screenbar .zoomin');
  await redraw(page);
  const scale1 = await page.evaluate(() => window.trainer.scale);
  const units = await page.$eval('#units', (e) => e.scrollWidth - e.clientWidth);
  check(scale1 > scale0 * 1.5 && units > 0 && (await fits(page)).sideways <= 0,
    `zoomed from ${scale0} to ${scale1}: the column scrolls by ${units} px, the page by ${(await fits(page)).sideways}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.closeAll();
});

// Moves the page's focus with Tab (or Shift+Tab, whichever is nearer) until `selector` has it;
// fails if Tab never reaches it. Returns the names of the panel controls passed on the way.
async function tabTo(page, selector) {
  const { way, count } = await page.evaluate((s) => {
    const all = Array.from(document.querySelectorAll('button, input, select, textarea, summary'))
      .filter((e) => !e.disabled && e.checkVisibility());
    const from = all.indexOf(document.activeElement);
    return { way: from < 0 ? 1 : all.indexOf(document.querySelector(s)) - from, count: all.length };
  }, selector);
  const passed = [];
  for (let n = 0; n < count + 10; ++n) {
    if (await page.$eval(selector, (e) => e === document.activeElement)) return passed;
    await page.keyboard.press(way < 0 ? 'Shift+Tab' : 'Tab');
    passed.push(await page.evaluate(() => {
      const a = document.activeElement;
      return a.classList.contains('ctl') ? `${a.closest('.unit').dataset.unit}:${a.closest('.gauge').firstChild.dataset.gauge}:${a.dataset.name}` : a.tagName;
    }));
  }
  throw new Error(`Tab does not reach ${selector}`);
}
const control = (u, gauge, name) => `#unit${u} canvas[data-gauge="${gauge}"] + .controls .ctl[data-name="${name}"]`;
// Tabs to a control of unit 2 and presses a key on it, then lets the unit run a cycle.
async function press(page, gauge, name, key = 'Enter') {
  await tabTo(page, control(2, gauge, name));
  await page.keyboard.press(key);
  await frames(page, 1);
}
async function typeDigits(page, keys) { for (const d of keys.split(' ')) await press(page, 'Q14_UVI', `Key${d}`); }

test('power-up, alignment and a waypoint entry by keyboard alone, no mouse event: Tab in panel order, Enter, arrows; the live region reads the lines', async (ctx) => {
  const page = await open(ctx, '?hold', DESKTOP);
  await page.evaluate(() => {
    window.mouseEvents = [];
    for (const type of ['mousedown', 'mouseup', 'pointerdown', 'pointerup', 'touchstart'])
      window.addEventListener(type, (e) => window.mouseEvents.push(type), true);
  });
  // Tab from the page's start runs through unit 1's controls, then unit 2's, each panel in its order.
  const passed = await tabTo(page, control(2, 'Q14_PUR', 'SelectorUp'));
  const order = (u, g) => passed.filter((p) => p.startsWith(`${u}:${g}:`)).map((p) => p.split(':')[2]);
  const uvi = order(1, 'Q14_UVI');
  for (const [a, b] of [['FocusArea', 'Key1'], ['Key1', 'Key2'], ['Key3', 'Key4'], ['Key9', 'Enter'], ['Enter', 'Key0'], ['Key0', 'Reset'], ['Reset', 'RouteChange'], ['ModeDown', 'ModeUp']])
    check(uvi.indexOf(a) >= 0 && uvi.indexOf(a) < uvi.indexOf(b), `Tab reaches unit 1's ${b} before ${a}: ${uvi.join(' ')}`);
  check(uvi.length === 24 && order(1, 'Q14_PUR').length === 3 && order(2, 'Q14_UVI').length === 24,
    `Tab passed ${uvi.length} UVI and ${order(1, 'Q14_PUR').length} PUR controls of unit 1, ${order(2, 'Q14_UVI').length} UVI controls of unit 2`);
  check(passed.indexOf('1:Q14_PUR:SelectorUp') < passed.indexOf('2:Q14_UVI:ModeUp'), 'unit 2 comes before unit 1 in Tab order');
  // The exercise, started by keyboard, ticks as the pilot goes.
  await tabTo(page, '#exercises summary');
  await page.keyboard.press('Enter');
  await tabTo(page, '#exlist button[data-exercise="0"]');
  await page.keyboard.press('Enter');
  const values = await page.evaluate(() => {
    const r = window.trainer.route[0];
    const dm = (v, w) => { const t = Math.round(Math.abs(v) * 600); return `${String(Math.floor(t / 600)).padStart(w, '0')}${String(Math.floor((t % 600) / 10)).padStart(2, '0')}${t % 10}`.split('').join(' '); };
    return { lat: dm(r.lat, 2), lon: dm(r.lon, 3) };
  });
  await frames(page, 2);                                    // OTKL arms the alignment
  await press(page, 'Q14_PUR', 'SelectorUp', 'ArrowUp');  // OTKL -> OBOGR
  await frames(page, 200);                                  // the warm-up
  await press(page, 'Q14_PUR', 'SelectorDown', 'ArrowRight');  // -> VYST: either half turns it
  await press(page, 'Q14_UVI', 'ModeDown', 'ArrowUp');      // KONTR -> phi/lambda
  await press(page, 'Q14_UVI', 'Key2');                     // N: the latitude entry opens
  await typeDigits(page, values.lat);
  await press(page, 'Q14_UVI', 'Enter');
  await press(page, 'Q14_UVI', 'Key6');                     // E
  await typeDigits(page, values.lon);
  await press(page, 'Q14_UVI', 'Enter');
  await frames(page, 3);
  await press(page, 'Q14_UVI', 'AlignShortcut', ' ');       // Space acts as Enter does
  await frames(page, 560);
  await press(page, 'Q14_PUR', 'SelectorUp', 'ArrowUp');    // NAVIG
  await frames(page, 3);
  await redraw(page);
  const done = await page.$$eval('#exlist .ex-step.done', (l) => l.length);
  check(done === 5 && (await page.$('#exlist .ex-complete')), `exercise 1 ticked ${done} of 5 steps by keyboard`);
  check(/\(unit 2\): Exercise complete\.$/.test(await page.textContent('#stepnow')), `the step strip says "${await page.textContent('#stepnow')}"`);
  // A waypoint: route 0 from the file, PPM page, wheel to 2, N 55*45,5' and VVOD.
  await press(page, 'Q14_UVI', 'RouteReload');
  await frames(page, 3);
  await press(page, 'Q14_UVI', 'ModeUp', 'ArrowUp');
  await press(page, 'Q14_UVI', 'ModeUp', 'ArrowUp');
  await press(page, 'Q14_UVI', 'WheelDown', 'ArrowUp');
  await press(page, 'Q14_UVI', 'Key2');
  await typeDigits(page, '5 5 4 5 5');
  await press(page, 'Q14_UVI', 'Enter');
  await frames(page, 3);
  await redraw(page);
  const upper = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(upper === '  55*45,5\'', `waypoint 2 shows "${upper}"`);
  const said = await live(page);
  check(/^Unit 2, selector NAVIG: upper line 55°45,5'; lower line \d+°\d+,\d'; OT 1, DO 2\.No lamp lit\.$/.test(said),
    `the live region says "${said}"`);
  if (shots) await page.screenshot({ path: path.join(shots, 'screen_keyboard_1280x800.png') });  // the focused control shows
  const mouse = await page.evaluate(() => window.mouseEvents);
  check(mouse.length === 0, `mouse events: ${mouse.join(', ')}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('the live region speaks of the active unit only when its lines or lamps change, and names its lamps', async (ctx) => {
  const page = await open(ctx, '?hold', DESKTOP);
  await frames(page, 2);
  await redraw(page);
  await page.evaluate(() => {
    window.liveChanges = 0;
    new MutationObserver((m) => { window.liveChanges += m.length; }).observe(document.getElementById('live'), { childList: true, subtree: true, characterData: true });
  });
  for (let i = 0; i < 20; ++i) await redraw(page);  // frames drawn, nothing changed
  check(await page.evaluate(() => window.liveChanges) === 0, 'the live region was written with nothing changed');
  // The lamp test lights every lamp of unit 1 (the active unit until another is used).
  const lamp = await pointOf(page, 1, 'Q14_PUR', 'SelectorUp');
  await page.mouse.click(lamp.x, lamp.y);
  await frames(page, 200);
  await redraw(page);
  await page.focus(control(1, 'Q14_PUR', 'LampTest'));
  const clicks0 = await page.evaluate(() => window.trainer.clicks);
  await page.keyboard.down('Enter');
  await frames(page, 2);
  await redraw(page);
  const lit = await live(page);
  await page.waitForTimeout(900);                  // held, the lamp test repeats as under the mouse
  await page.keyboard.up('Enter');
  const held = await page.evaluate(() => window.trainer.clicks) - clicks0;
  check(held >= 4, `the held Enter pressed the lamp test ${held} times`);
  check(/^Unit 1, selector OBOGR: .*Lit: .*NEGOT/.test(lit), `during the lamp test unit 1 says "${lit}"`);
  check(await page.evaluate(() => window.liveChanges) > 0, 'the live region did not follow');
  // Using unit 2 makes it the one spoken of; a screen reader's activation (a click without a
  // pointer) acts once.
  const before = await page.evaluate(() => window.trainer.clicks);
  await page.$eval(control(2, 'Q14_PUR', 'SelectorUp'), (b) => b.click());
  check(await page.evaluate(() => window.trainer.clicks) === before + 1, 'a screen reader\'s click did not act once');
  await frames(page, 2);
  await redraw(page);
  check(/^Unit 2, selector OBOGR/.test(await live(page)), `after unit 2 was used the region says "${await live(page)}"`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

run(siteDir, reportPath, 'browser_screen');

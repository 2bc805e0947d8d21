// Browser tests of the exercise debrief and the progress kept between visits: a scripted flight with
// a known cross-track at its waypoint and wrong entries of every kind, the saved report, and the
// progress across reloads, a damaged store and its clearing.
// Usage: node debrief_test.js <site dir> <report.xml> (the debrief's screenshot goes beside the report)
'use strict';
const fs = require('fs');
const path = require('path');
const { test, check, open, frames, text, redraw, clickArea, navigate, toPpmPage, keys, routeReload, run } = require('./harness.js');

const [siteDir, reportPath] = process.argv.slice(2);

// The sphere the stand-in flies its aircraft over: a meridian quadrant of 10001.75 km.
const R_KM = (10001.75 * 2) / Math.PI;
const RAD = Math.PI / 180;
function bearing(a, b) {
  const y = Math.sin((b.lon - a.lon) * RAD) * Math.cos(b.lat * RAD);
  const x = Math.cos(a.lat * RAD) * Math.sin(b.lat * RAD) - Math.sin(a.lat * RAD) * Math.cos(b.lat * RAD) * Math.cos((b.lon - a.lon) * RAD);
  return Math.atan2(y, x);
}
function angularDistance(a, b) {
  const h = Math.sin(((b.lat - a.lat) * RAD) / 2) ** 2 + Math.cos(a.lat * RAD) * Math.cos(b.lat * RAD) * Math.sin(((b.lon - a.lon) * RAD) / 2) ** 2;
  return 2 * Math.asin(Math.sqrt(h));
}
// Distance of p from the great circle a -> b, km, + right: the textbook haversine and bearing form.
const crossTrackKm = (a, b, p) => Math.asin(Math.sin(angularDistance(a, p)) * Math.sin(bearing(a, p) - bearing(a, b))) * R_KM;

const aircraft = (page) => page.evaluate(() => {
  const a = new Float64Array(Module.HEAPF64.buffer, Module._trainer_aircraft(), 2);
  return { lat: a[0], lon: a[1] };
});
const leg = async (page) => `${await text(page, 2, 'Q14_UVI', 'FromDigit')}${await text(page, 2, 'Q14_UVI', 'ToDigit')}`;
const ticked = async (page) => { await redraw(page); return page.$$eval('#exlist .ex-step.done', (l) => l.length); };
const showExercises = (page) => page.$eval('#exercises', (d) => { d.open = true; });
const startExercise = async (page, i) => { await showExercises(page); await page.click(`button[data-exercise="${i}"]`); };
async function reload(page, query = '?hold') {
  await page.goto(page.url().replace(/\?.*$/, '') + query);
  await page.waitForFunction(() => window.trainer && (window.trainer.drawn || window.trainer.error), null, { timeout: 15000 });
  await redraw(page);
}

const TAS_KMH = 600, WIND_KMH = 60;

test('the debrief of a scripted flight: its time, each kind of wrong entry, the cross-track a known crosswind gives at the waypoint, and the saved report', async (ctx) => {
  const page = await open(ctx, '?hold');
  await startExercise(page, 8);               // the autopilot along the whole route
  await navigate(page, 2);
  await toPpmPage(page, 2);
  await routeReload(page);
  check((await ticked(page)) === 1, 'the first step did not tick');
  // On the PPM page, waypoint 2: a key that starts nothing, a latitude of 90 degrees, a digit past
  // the five a latitude takes and an entry cancelled; a right entry in between is no wrong one.
  await keys(page, 2, '9');
  await keys(page, 2, '2 9 0 0 0 0 VVOD');
  await keys(page, 2, '2 5 5 3 5 6 VVOD');
  await keys(page, 2, '2 5 5 3 5 6 7');
  await clickArea(page, 2, 'Q14_UVI', 'Reset');
  await frames(page, 2);
  // From the PC keyboard with the unit's focus: keypad 9 starts nothing either.
  await clickArea(page, 2, 'Q14_UVI', 'FocusArea');
  await frames(page, 1);
  await page.keyboard.press('Numpad9');
  await frames(page, 1);
  await clickArea(page, 2, 'Q14_UVI', 'FocusArea');
  await frames(page, 1);
  check((await text(page, 2, 'Q14_UVI', 'UpperLine')).trim() === "55*35,6'", 'the wrong entries changed waypoint 2');

  // Leg 1 flown uncoupled on the course rounded to the degree, with the wind blowing square to the
  // right of the heading: the track lies atan(wind / airspeed) right of the heading.
  const heading = Number(await page.$eval('#exlist', (e) => /course, (\d+)°/.exec(e.textContent)[1]));
  await page.fill('#heading', String(heading));
  await page.fill('#windto', String((heading + 90) % 360));
  await page.fill('#windkmh', String(WIND_KMH));
  await page.selectOption('#rate', '16');
  await page.check('#fly');
  let seen = null;
  for (let n = 0; n < 2000 && !seen; n += 10) {
    await frames(page, 10);
    await redraw(page);
    if ((await leg(page)) === '23') seen = await aircraft(page);
  }
  check(seen, 'the unit never switched from leg 1-2 to 2-3');
  check((await ticked(page)) === 2, 'the automatic leg change did not tick');
  const [wp1, wp2] = await page.evaluate(() => window.trainer.route.slice(0, 2));
  const expected = crossTrackKm(wp1, wp2, seen);
  // The cross-track the crosswind makes after the distance flown, the heading's rounding to the
  // degree taken in. Within 0.1 km: a constant heading is a rhumb line, and the leg's great circle
  // turns by its longitude difference times the sine of the latitude (0.13 degrees), which over
  // the 40 km flown puts the aircraft about 0.04 km further off than the flat triangle says.
  const track = heading * RAD + Math.atan2(WIND_KMH, TAS_KMH);
  const predicted = angularDistance(wp1, seen) * R_KM * Math.sin(track - bearing(wp1, wp2));
  check(expected > 1 && Math.abs(expected - predicted) < 0.1, `cross-track ${expected.toFixed(3)} km at the leg change, the crosswind predicts ${predicted.toFixed(3)} km`);

  // The rest of the exercise: leg 3-4 by hand, then coupled to the autopilot to waypoint 4.
  await page.fill('#windkmh', '0');
  await clickArea(page, 2, 'Q14_UVI', 'Manual');
  await clickArea(page, 2, 'Q14_UVI', 'RouteChange');
  await frames(page, 2);
  await keys(page, 2, '3 4 VVOD');
  await clickArea(page, 2, 'Q14_UVI', 'Auto');
  await clickArea(page, 2, 'QN14_def_AP_Key', 'Toggle');
  await page.check('#coupled');
  for (let n = 0; n < 6000 && (await ticked(page)) < 4; n += 20) await frames(page, 20);
  check((await ticked(page)) === 4, 'the exercise did not complete');

  const r = await page.evaluate(() => window.trainer.exercises.state.debrief);
  check(r && r.n === 9 && r.flew, `no debrief of a flight for exercise 9: ${JSON.stringify(r)}`);
  const kinds = r.wrong.map((w) => `${w.kind} ${w.key.area || w.key.pc} ${w.text}`);
  const want = ['refused Key9 ', "rejected Enter 90*00,0'", "refused Key7 55*35,6'", "cancelled Reset 55*35,6'", 'refused Numpad9 '];
  check(JSON.stringify(kinds) === JSON.stringify(want), `wrong entries ${JSON.stringify(kinds)}, not ${JSON.stringify(want)}`);
  check(r.simS > 60 && r.timeS > 0, `times ${r.timeS} s, simulated ${r.simS} s`);
  const passed = r.legs.map((l) => `${l.to}${l.byHand ? ' by hand' : ''}`);
  check(JSON.stringify(passed) === JSON.stringify(['2', '3 by hand', '4']), `waypoints passed ${JSON.stringify(passed)}`);
  check(Math.abs(r.legs[0].xtKm - expected) < 0.005, `the debrief gives ${r.legs[0].xtKm} km at waypoint 2, the independent check ${expected}`);
  const largest = r.legs.reduce((m, l) => (Math.abs(l.xtKm) > Math.abs(m.xtKm) ? l : m));
  check(r.largest.wp === largest.to && r.largest.km === largest.xtKm, `largest ${JSON.stringify(r.largest)} of ${JSON.stringify(r.legs)}`);

  // As the list shows it and as the saved report has it.
  const shown = await page.$eval('#exlist .debrief', (e) => e.innerText);
  const row = `waypoint 2 (leg 1→2): +${expected.toFixed(2)} km`;
  for (const s of ['Wrong entries: 5', 'unit 2, key 9: the unit did not take the key', 'unit 2, PC key Numpad9: the unit did not take the key', `VVOD: the unit refused the number "90*00,0'"`,
    `SBROS: the entry "55*35,6'" cancelled`, row, 'waypoint 3 (leg 2→3), changed by hand', `Largest: ${r.largest.km >= 0 ? '+' : ''}${r.largest.km.toFixed(2)} km at waypoint ${r.largest.wp}`])
    check(shown.includes(s), `the debrief does not show "${s}":\n${shown}`);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#exlist .debrief .db-save')]);
  check(download.suggestedFilename() === 'q14_debrief_9.txt', `report named ${download.suggestedFilename()}`);
  const report = fs.readFileSync(await download.path(), 'utf8');
  check(report.startsWith('q14 trainer: debrief\n') && report.includes(`  ${row}\n`) && report.includes('Wrong entries: 5\n'), `the report:\n${report}`);
  ctx.note(`cross-track at waypoint 2 ${expected.toFixed(3)} km`);

  await page.mouse.move(1, 1);
  await page.$eval('#exlist .debrief', (e) => e.scrollIntoView({ block: 'center' }));
  await redraw(page);
  const shot = path.join(path.dirname(reportPath), 'debrief.png');
  await page.screenshot({ path: shot });
  fs.writeFileSync(path.join(path.dirname(reportPath), 'debrief.txt'), report);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

// Exercise 1 by clicks, after `wrong` clicks on a key of the unit while it is still off, all in
// one frame and followed at once by the power-up: the frame after them, not the warm-up, tells.
async function powerUp(page, wrong) {
  await startExercise(page, 0);
  await frames(page, 2);
  for (let i = 0; i < wrong; ++i) await clickArea(page, 2, 'Q14_UVI', 'Key5');
  await frames(page, 1);
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await frames(page, 1);
  await redraw(page);  // the page looks at the steps once a drawn frame, as between a pilot's clicks
  await frames(page, 185);
  await redraw(page);
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');
  await frames(page, 1);
  await redraw(page);
  await clickArea(page, 2, 'Q14_UVI', 'TakePosition');
  await clickArea(page, 2, 'Q14_UVI', 'AlignShortcut');
  await frames(page, 560);
  await redraw(page);
  await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await frames(page, 3);
  check((await ticked(page)) === 5, 'exercise 1 did not complete');
}
const note = (page, i) => page.$eval(`button[data-exercise="${i}"]`, (b) => { const s = b.parentNode.querySelector('.ex-progress'); return s ? s.textContent : ''; });
const kept = (page) => page.evaluate(() => localStorage.getItem('q14.progress'));

test('progress kept: a completed exercise and its best results stay across reloads, in either language; a damaged store is ignored; clearing forgets it', async (ctx) => {
  const page = await open(ctx, '?hold');
  await powerUp(page, 2);
  check((await page.evaluate(() => window.trainer.exercises.state.debrief.wrong.length)) === 2, 'the keys on the unit switched off are not wrong entries');
  check(/done 1×, best time \d+:\d\d, fewest wrong entries 2$/.test(await note(page, 0)), `after one completion: "${await note(page, 0)}"`);
  check((await note(page, 1)) === '', 'exercise 2 shows progress it never had');

  await reload(page);
  await showExercises(page);
  check(/done 1×, .*fewest wrong entries 2$/.test(await note(page, 0)), `after a reload: "${await note(page, 0)}"`);
  await powerUp(page, 0);
  const both = await note(page, 0);
  check(/done 2×, .*fewest wrong entries 0$/.test(both), `after a second completion: "${both}"`);
  const store = JSON.parse(await kept(page));
  check(store.version === 1 && store.exercises['power-up'].n === 2 && store.exercises['power-up'].wrong === 0, `kept ${JSON.stringify(store)}`);

  await reload(page, '?hold&lang=ru');
  check(/выполнено 2 раза, лучшее время \d+:\d\d, меньше всего неверных вводов: 0$/.test(await note(page, 0)), `in Russian: "${await note(page, 0)}"`);

  // Damaged or foreign stores: the page starts, shows no progress from them, keeps what is sound.
  const good = JSON.stringify(store);
  for (const [bad, expect] of [['{"version":1,"exercises":{"power-up":', ''], ['{"version":2,"exercises":{"power-up":{"n":3,"timeS":1,"wrong":0}}}', ''],
    ['"power-up"', ''], ['{"version":1,"exercises":{"power-up":{"n":-1,"timeS":1,"wrong":0},"battery":{"n":1,"timeS":"x","wrong":0},"waypoints":{"n":1,"timeS":61,"wrong":3}}}', 'waypoints']]) {
    await page.evaluate((s) => localStorage.setItem('q14.progress', s), bad);
    await reload(page, '?hold&lang=en');
    await showExercises(page);
    const shown = await page.$$eval('#exlist .exercise', (l) => l.map((e, i) => (e.querySelector('.ex-progress') ? i : -1)).filter((i) => i >= 0));
    check(JSON.stringify(shown) === JSON.stringify(expect ? [2] : []), `store ${bad}: progress shown for exercises ${shown}`);
    check(page.errors.length === 0, `store ${bad}: ${page.errors.join('; ')}`);
  }
  check(/done 1×, best time 1:01, fewest wrong entries 3$/.test(await note(page, 2)), `the sound entry reads "${await note(page, 2)}"`);

  await page.evaluate((s) => localStorage.setItem('q14.progress', s), good);
  await reload(page);
  await showExercises(page);
  page.once('dialog', (d) => d.accept());
  await page.click('#exclear');
  check((await note(page, 0)) === '' && (await kept(page)) === null, 'clearing left the progress');
  await reload(page);
  await showExercises(page);
  check((await note(page, 0)) === '', 'cleared progress came back after a reload');
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

run(siteDir, reportPath, 'browser_debrief');

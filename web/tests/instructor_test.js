// Browser tests of the instructor's panel, the starting situations and the shared scenarios: what
// the instructor sets reaches the units as the simulator's variables would, scenarios open the same
// from a link or a file in a fresh page, and damaged or foreign ones are refused, changing nothing.
// Usage: node instructor_test.js <site dir> <report.xml>  (screenshots go beside the report)
'use strict';
const path = require('path');
const zlib = require('zlib');
const { test, check, open, frames, text, lit, clickArea, navigate, run } = require('./harness.js');

const [siteDir, reportPath] = process.argv.slice(2);
const shots = path.dirname(reportPath || '.');

// The battery holds 10800 frames; the PIT lamp shows when less than half is left.
const BATTERY_FRAMES = 10800;
// The whole alignment: 5550 countdown frames after the 180-frame warm-up.
const ALIGN_FRAMES = 5550;

const hostState = (page) => page.evaluate(() => JSON.parse(Module.UTF8ToString(Module._instructor_state())));
const frameNumber = (page) => page.evaluate(() => Module._trainer_frame_number());
const named = (page, name) => page.evaluate((n) => window.trainer.named(n), name);
const routeInUnits = (page) => page.evaluate(() => Module.FS.readFile('/sim/gauges/q14_cfg/q14_ppm.cfg', { encoding: 'utf8' }));
const leg = async (page, u) => `${await text(page, u, 'Q14_UVI', 'FromDigit')}${await text(page, u, 'Q14_UVI', 'ToDigit')}`;

// A page whose scenario (in its address) has been flown; confirms every question it asks.
async function openScenario(ctx, query) {
  const page = await open(ctx, query);
  page.on('dialog', (d) => d.accept());
  await page.waitForFunction(() => window.trainer.scenario && window.trainer.scenario.state !== 'flying', null, { timeout: 60000 });
  const state = await page.evaluate(() => window.trainer.scenario.state);
  check(state === 'ready', `the scenario ended ${state}: ${await page.textContent('#scenariomsg')}`);
  return page;
}

// Everything the units and the page show now, without running a frame: both units' display
// lines, leg digits and lamps, the published values, the frame, the aircraft, the route file in
// the units' folder, the exercise and the instructor's panel.
const SHOWN = { Q14_UVI: ['UpperLine', 'LowerLine', 'FromDigit', 'ToDigit', 'EnterLamp', 'RouteLamp', 'HoldLamp', 'LzpLamp'],
  Q14_PUR: ['Pit', 'Otkaz', 'Kv', 'Vnim', 'Negot'] };
const snapshot = (page) => page.evaluate((shown) => {
  const tr = window.trainer;
  const units = [1, 2].map((u) => Object.entries(shown).map(([g, list]) => list.map((e) =>
    (/Line|Digit/.test(e) ? tr.text(u, g, e) : tr.shows(u, g, e))).join('|')).join(' '));
  const values = ['GOT', 'LBU', 'LBU_DIF', 'PU_DELTA', 'OST_IND', 'HOOK'].map((n) => [1, 2].map((u) => tr.named(`Q14_N${u}_${n}`)));
  return JSON.stringify({ units, values, frame: Module._trainer_frame_number(), host: Module.UTF8ToString(Module._instructor_state()),
    route: Module.FS.readFile('/sim/gauges/q14_cfg/q14_ppm.cfg', { encoding: 'utf8' }),
    exercise: [tr.exercises.state.active, tr.exercises.state.done], panel: tr.instructor.panel() });
}, SHOWN);

// A scenario text made here, outside the page, in the format the page reads: "<format>.<data>.<crc>".
function craft(fields, format = 1) {
  const data = zlib.deflateRawSync(Buffer.from(JSON.stringify(fields))).toString('base64url');
  const head = `${format}.${data}`;
  return `${head}.${zlib.crc32(head).toString(16).padStart(8, '0')}`;
}
// The fields of a scenario the page made (its data taken apart the same way).
function fieldsOf(scenarioText) {
  return JSON.parse(zlib.inflateRawSync(Buffer.from(scenarioText.split('.')[1], 'base64url')).toString());
}
const linkText = (link) => decodeURIComponent(new URL(link).hash.replace('#scenario=', ''));

// Unit 2 through OBOGR to VYST, its start position the aircraft's, the knob on IK/PG, whose lower
// line shows the alignment's stage.
async function alignUnit2(page) {
  await frames(page, 2);
  for (let i = 0; i < 2; ++i) await clickArea(page, 2, 'Q14_PUR', 'SelectorUp');
  await frames(page, 185);
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');
  await clickArea(page, 2, 'Q14_UVI', 'TakePosition');
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');
}
// Frames one by one until the stage shown is at most `stop` (or `limit` frames): the stage of
// the frame before VNIM first lit and of the frame it lit, and the last stage seen.
const alignFrames = (page, stop, limit) => page.evaluate(([s, n]) => {
  const out = { litStage: null, stageBefore: null, last: null, frames: 0 };
  for (let i = 0; i < n; ++i) {
    Module._trainer_frames(1);
    out.frames++;
    const stage = parseInt(window.trainer.text(2, 'Q14_UVI', 'LowerLine'), 10);
    if (out.litStage === null && window.trainer.shows(2, 'Q14_PUR', 'Vnim')) Object.assign(out, { litStage: stage, stageBefore: out.last });
    out.last = stage;
    if (stage <= s) break;
  }
  return out;
}, [stop, limit]);

// The PUR is drawn before the system gauge runs in each frame (the module lists UVI, PUR, SYS), so
// a lamp shows what the system cycle decided one frame before.
const PANEL_LAG = 1;

// Steps of one timeline: [frames since the change, unit 2's PIT shown, unit 2's GOT, an action after].
const POWER_TIMELINES = {
  'runs its battery down': [
    [BATTERY_FRAMES / 2 + PANEL_LAG, false, 1],   // the 5401st cycle on the battery is the first below half
    [BATTERY_FRAMES / 2 + 1 + PANEL_LAG, true, 1],
    [BATTERY_FRAMES - 1, true, 1],
    [BATTERY_FRAMES + 1, false, 0],                 // empty: no power, the unit resets; GOT lags a cycle
  ],
  'is charged again': [
    [BATTERY_FRAMES / 2 + 1 + PANEL_LAG, true, 1, 'on'],
    [BATTERY_FRAMES / 2 + 2 + PANEL_LAG, true, 1],  // the first cycle on external power has not been drawn yet
    [BATTERY_FRAMES / 2 + 3 + PANEL_LAG, false, 1],
    [BATTERY_FRAMES + BATTERY_FRAMES / 2, false, 1],
  ],
};
for (const [name, steps] of Object.entries(POWER_TIMELINES)) {
  test(`external power off in the panel: a unit switched on runs on its battery from the next frame, PIT lights with half of it gone, and it ${name}`, async (ctx) => {
    const page = await open(ctx, '?hold');
    await navigate(page, 2);           // unit 2 navigates, unit 1 stays at OTKL
    await page.uncheck('#extpower');
    check((await hostState(page)).extPower === 0, 'the panel did not reach the host');
    let ran = 0;
    for (const [at, pit, got, then] of steps) {
      await frames(page, at - ran);
      ran = at;
      check(await lit(page, 2, 'Q14_PUR', 'Pit') === pit, `unit 2's PIT ${pit ? 'dark' : 'lit'} ${at} frames after the power went off`);
      check(await named(page, 'Q14_N2_GOT') === got, `unit 2 ${got ? 'no longer' : 'still'} navigating ${at} frames after the power went off`);
      if (then === 'on') await page.check('#extpower');
    }
    // Unit 1 stood at OTKL all the while: its battery did not drain, it holds half of it now.
    if (!(await hostState(page)).extPower) {
      await clickArea(page, 1, 'Q14_PUR', 'SelectorUp');
      await frames(page, BATTERY_FRAMES / 2 + PANEL_LAG);
      check(!(await lit(page, 1, 'Q14_PUR', 'Pit')) && await lit(page, 1, 'Q14_PUR', 'Negot'), 'unit 1\'s battery was not full');
      await frames(page, 1);
      check(await lit(page, 1, 'Q14_PUR', 'Pit'), 'unit 1\'s PIT dark with half its battery gone');
    }
    check(page.errors.length === 0, page.errors.join('; '));
    await page.close();
  });
}

// [engine power, when the engines start: 'aligning' with the alignment, or at stage `late`,
//  the stage VNIM lights at (null: it never does)]
const VIBRATION = [
  { pct: '70', late: null, litStage: 29 },  // the accumulator far above 100 once the stage is below 30
  { pct: '5', late: null, litStage: null },  // below 6 % an engine counts as stopped
  { pct: '100', late: 11, litStage: null },  // started at stage 11: the accumulator no longer grows
  { pct: '100', late: 25, litStage: 'later' },  // started at stage 25, it passes 100 before stage 12
];
for (const v of VIBRATION) {
  test(`engines at ${v.pct} % from the panel ${v.late ? `at stage ${v.late}` : 'through the alignment'}: VNIM ${v.litStage === null ? 'stays dark' : 'lights'} as the vibration rule says`, async (ctx) => {
    const page = await open(ctx, '?hold');
    await page.fill('#enginepct', v.pct);
    if (!v.late) await page.check('#engines');
    await alignUnit2(page);
    let r = { litStage: null };
    if (v.late) {
      r = await alignFrames(page, v.late, ALIGN_FRAMES);
      check(r.last === v.late && r.litStage === null, `stage ${r.last} reached, VNIM lit at ${r.litStage}, before the engines started`);
      await page.check('#engines');
    }
    const after = await alignFrames(page, 0, ALIGN_FRAMES);
    const litStage = r.litStage ?? after.litStage;
    if (v.litStage === null) {
      check(litStage === null, `VNIM lit at stage ${litStage}`);
      check(after.last <= 1, `the alignment stopped at stage ${after.last}`);
    } else if (v.litStage === 'later') {
      check(litStage !== null && litStage < v.late && litStage > 11, `VNIM lit at stage ${litStage}`);
    } else {
      check(litStage === v.litStage && after.stageBefore === v.litStage + 1, `VNIM lit at stage ${litStage}, the frame before showed ${after.stageBefore}`);
    }
    if (litStage !== null) {  // the fault stops the countdown
      await frames(page, 200);
      check(parseInt(await text(page, 2, 'Q14_UVI', 'LowerLine'), 10) === litStage, 'the countdown went on after the fault');
    }
    check(page.errors.length === 0, page.errors.join('; '));
    await page.close();
  });
}

test('the position and heading set in the panel reach the units\' own position (unit 2 follows the aircraft); a position off the globe is refused', async (ctx) => {
  const page = await open(ctx, '?hold');
  await navigate(page, 2);
  await frames(page, 5);
  const before = await hostState(page);
  for (const [lat, lon, ok] of [['95', '37', false], ['', '37', false], ['55.5', '38.25', true]]) {
    await page.fill('#placelat', lat);
    await page.fill('#placelon', lon);
    await page.click('#placego');
    const h = await hostState(page);
    const moved = h.lat !== before.lat || h.lon !== before.lon;
    check(moved === ok, `(${lat}, ${lon}) ${ok ? 'not taken' : 'taken'}: the aircraft is at ${h.lat}, ${h.lon}`);
    check(await page.$eval('#instructormsg', (e) => e.classList.contains('error')) === !ok, `(${lat}, ${lon}): the message does not say so`);
  }
  // Unit 2 navigates on the aircraft's position plus its small drift: its read-out follows the move.
  await frames(page, 5);
  const p = await page.evaluate(() => { const a = new Float64Array(Module.HEAPF64.buffer, Module._trainer_unit_position(2), 2); return [a[0], a[1]]; });
  check(Math.abs(p[0] - 55.5) < 0.01 && Math.abs(p[1] - 38.25) < 0.01, `unit 2 shows ${p}`);
  await page.fill('#heading', '123');
  await clickArea(page, 2, 'Q14_UVI', 'ModeUp');  // IK/PG: the heading on the upper line
  await frames(page, 2);
  const shown = await text(page, 2, 'Q14_UVI', 'UpperLine');
  check(shown.includes('123'), `unit 2 shows the heading as "${shown}"`);
  await page.close();
});

// Each situation, opened from its link in a fresh page: what the units show there, and that they
// were flown there (the frames of its script ran).
const SITUATION_FACTS = {
  cold: async (p) => (await frameNumber(p)) === 2 && (await named(p, 'Q14_N2_GOT')) === 0 && !(await hostState(p)).fly,
  runway: async (p) => (await frameNumber(p)) === 2 + 185 + 5560 + 5 && (await named(p, 'Q14_N1_GOT')) === 1 &&
    (await named(p, 'Q14_N2_GOT')) === 1 && (await leg(p, 2)) === '12' && !(await lit(p, 2, 'Q14_PUR', 'Negot')) && !(await hostState(p)).fly,
  enroute: async (p) => { const h = await hostState(p);
    return (await leg(p, 1)) === '34' && (await leg(p, 2)) === '34' && h.fly === 1 && h.coupled === 1 && h.rate === 1 &&
      (await lit(p, 2, 'QN14_def_AP_Key', 'Button')) && (await named(p, 'Q14_N2_GOT')) === 1; },
};

test('every starting situation is reached by flying the units there, from a link made in the panel', async (ctx) => {
  const page = await open(ctx, '?hold');
  let link = '';
  for (const [id, holds] of Object.entries(SITUATION_FACTS)) {
    await page.selectOption('#scsituation', id);
    await page.click('#scshare');
    await page.waitForFunction((before) => document.getElementById('sclink').value !== before, link);
    link = await page.inputValue('#sclink');
    const there = await openScenario(ctx, `?hold#${new URL(link).hash.slice(1)}`);
    check(await holds(there), `situation ${id}: not there (${await snapshot(there)})`);
    check(there.errors.length === 0, there.errors.join('; '));
    await there.close();
  }
  await page.close();
});

test('a scenario link round trip: the instructor starts a scenario, its link opens the same situation, route, conditions and exercise in a fresh browser, and so does its file', async (ctx) => {
  const a = await open(ctx, '?hold');
  a.on('dialog', (d) => d.accept());
  // A route file of the instructor's own: route 0 ends at waypoint 4, the vibration check off.
  await a.click('#routefile summary');
  const route = (await a.inputValue('#cfgtext')).replace(/^ppm_05=.*$/m, 'ppm_05=99*0,999*0').replace('vibr_kontrol=1', 'vibr_kontrol=0');
  await a.fill('#cfgtext', route);
  await a.click('#cfgapply');
  for (const [id, v] of [['#tas', '520'], ['#windto', '90'], ['#windkmh', '40'], ['#enginepct', '35']]) await a.fill(id, v);
  await a.uncheck('#extpower');
  await a.check('#engines');
  await a.selectOption('#rate', '2');
  await a.selectOption('#scsituation', 'runway');
  await a.selectOption('#scexercise', '8');
  await a.click('#scshare');
  await a.waitForFunction(() => document.getElementById('sclink').value !== '');
  const link = await a.inputValue('#sclink');
  const f = fieldsOf(linkText(link));
  check(f.s === 'runway' && f.x === 8 && f.r === route && f.c.windKmh === 40 && f.c.extPower === false, `the link holds ${JSON.stringify(f)}`);
  // The instructor starts it here: the page starts again with it.
  await Promise.all([a.waitForNavigation(), a.click('#scstart')]);
  await a.waitForFunction(() => window.trainer && window.trainer.scenario && window.trainer.scenario.state !== 'flying', null, { timeout: 60000 });
  const here = await snapshot(a);
  const [download] = await Promise.all([a.waitForEvent('download'), a.click('#scdownload')]);
  const file = await download.path();
  // A fresh browser (nothing stored) opens the link.
  const fresh = { browser: await ctx.browser.browser().newContext(), url: ctx.url };
  const b = await openScenario(fresh, `?hold#${new URL(link).hash.slice(1)}`);
  const there = await snapshot(b);
  check(there === here, `the link opened otherwise:\n here  ${here}\n there ${there}`);
  const s = JSON.parse(there);
  check(s.route === route && s.exercise[0] === 7 && s.panel.windKmh === 40 && s.panel.rate === 2 && !s.panel.extPower &&
    s.panel.engines && s.panel.enginePct === 35, `not the instructor's scenario: ${there}`);
  check(await b.$eval('#exlist', (e) => e.textContent.includes('8.')), 'exercise 8 not shown');
  // ... and the file, opened in a running page there, the same.
  await Promise.all([b.waitForNavigation(), b.setInputFiles('#scfile', file)]);
  await b.waitForFunction(() => window.trainer && window.trainer.scenario && window.trainer.scenario.state !== 'flying', null, { timeout: 60000 });
  const again = await snapshot(b);
  check(again === here, `the file opened otherwise:\n here  ${here}\n there ${again}`);
  check(a.errors.length === 0 && b.errors.length === 0, a.errors.concat(b.errors).join('; '));
  await fresh.browser.close();
});

// Texts that must be refused, each with the words of its reason.
function refusals(good) {
  const f = fieldsOf(good);
  const [format, data, crc] = good.split('.');
  const flip = data[40] === 'A' ? 'B' : 'A';
  return [
    ['a character changed', `${format}.${data.slice(0, 40)}${flip}${data.slice(41)}.${crc}`, 'damaged'],
    ['cut short', good.slice(0, -12), 'damaged'],
    ['its checksum cut off', `${format}.${data}`, 'damaged'],
    ['another format', craft(f, 2), 'another version'],
    ['not a scenario', 'hello', 'not a scenario'],
    ['a situation this trainer lacks', craft({ ...f, s: 'hangar' }), 'does not have'],
    ['an exercise this trainer lacks', craft({ ...f, x: 99 }), 'does not have'],
    ['a situation changed since', craft({ ...f, d: (f.d + 1) >>> 0 }), 'has changed'],
    ['a route that cannot be flown', craft({ ...f, r: '[PPM]\nppm_01=55*58.4,37*24.9\n' }), 'cannot be flown'],
    ['conditions missing', craft({ ...f, c: { tas: 1 } }), 'damaged'],
  ];
}

test('a damaged or foreign scenario link is refused in plain words and leaves the running session alone', async (ctx) => {
  const page = await open(ctx, '?hold');
  page.on('dialog', (d) => { page.asked = true; d.dismiss(); });
  await page.click('#scshare');
  await page.waitForFunction(() => document.getElementById('sclink').value !== '');
  const good = linkText(await page.inputValue('#sclink'));
  await navigate(page, 2);
  await page.fill('#windkmh', '25');
  await page.evaluate(() => { window.stillHere = true; });
  const before = await snapshot(page);
  // [what, text, words of the reason, opened as a file]
  const cases = refusals(good).concat([['a damaged file', `q14 trainer scenario\n${refusals(good)[0][1]}\n`, 'damaged', true],
    ['a file of another kind', `[PPM]\n${good}\n`, 'not a scenario', true]]);
  for (const [what, bad, says, file] of cases) {
    await page.evaluate(() => { document.getElementById('scenariomsg').textContent = ''; });
    if (file) await page.setInputFiles('#scfile', { name: 'trainer.q14scenario', mimeType: 'text/plain', buffer: Buffer.from(bad) });
    else await page.evaluate((t) => { location.hash = `scenario=${t}`; }, bad);
    await page.waitForFunction(() => document.getElementById('scenariomsg').textContent !== '', null, { timeout: 10000 });
    const msg = await page.textContent('#scenariomsg');
    check(msg.includes(says) && msg.includes('Nothing was changed') && await page.$eval('#scenariomsg', (e) => e.classList.contains('error')),
      `${what}: the page says "${msg}"`);
    check(await page.evaluate(() => window.stillHere === true) && !page.asked, `${what}: the page started again`);
    check(await snapshot(page) === before, `${what}: the running session changed`);
    check(await page.evaluate(() => location.hash) === '', `${what}: the refused link stays in the address`);
  }
  // Opened as a fresh page, a damaged link leaves the page as it starts without one.
  const fresh = await open(ctx, `?hold#scenario=${refusals(good)[0][1]}`);
  await fresh.waitForFunction(() => document.getElementById('scenariomsg').textContent.includes('damaged'));
  check(await frameNumber(fresh) === 0 && (await routeInUnits(fresh)) === JSON.parse(before).route && !(await fresh.evaluate(() => window.trainer.scenario)),
    'the damaged link changed the fresh page');
  check(page.errors.length === 0 && fresh.errors.length === 0, page.errors.concat(fresh.errors).join('; '));
  await page.close();
  await fresh.close();
});

test('a saved session keeps the instructor\'s panel: power, engines, wind, airspeed, position and time acceleration come back with it', async (ctx) => {
  const page = await open(ctx, '?hold');
  page.on('dialog', (d) => d.accept());
  for (const [id, v] of [['#enginepct', '45'], ['#tas', '480'], ['#windto', '270'], ['#windkmh', '55'], ['#placelat', '56.1'], ['#placelon', '36.9']])
    await page.fill(id, v);
  await page.click('#placego');
  await page.uncheck('#extpower');
  await page.check('#engines');
  await page.selectOption('#rate', '8');
  await frames(page, 3);
  const saved = JSON.stringify([await hostState(page), await page.evaluate(() => window.trainer.instructor.panel())]);
  await page.locator('#files summary').click();
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#savesession')]);
  const file = await download.path();
  await page.check('#extpower');
  await page.uncheck('#engines');
  for (const [id, v] of [['#enginepct', '10'], ['#tas', '200'], ['#windkmh', '0'], ['#placelat', '50'], ['#placelon', '30']]) await page.fill(id, v);
  await page.click('#placego');
  await page.selectOption('#rate', '1');
  await page.setInputFiles('#resumesession', file);
  await page.waitForFunction(() => /resumed/.test(document.getElementById('sessionmsg').textContent));
  const back = JSON.stringify([await hostState(page), await page.evaluate(() => window.trainer.instructor.panel())]);
  check(back === saved, `resumed ${back}, saved ${saved}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('screenshots: the instructor panel, and a scenario just opened', async (ctx) => {
  const page = await open(ctx, '?hold');
  await page.selectOption('#scsituation', 'enroute');
  await page.selectOption('#scexercise', '9');
  await page.click('#scshare');
  await page.waitForFunction(() => document.getElementById('sclink').value !== '');
  await page.screenshot({ path: path.join(shots, 'instructor_panel.png'), clip: await page.$eval('#side', (e) => {
    const r = e.getBoundingClientRect();
    return { x: r.x, y: r.y, width: r.width, height: Math.min(r.height, 900) };
  }) });
  const link = await page.inputValue('#sclink');
  const there = await openScenario(ctx, `?hold#${new URL(link).hash.slice(1)}`);
  await there.mouse.move(1, 1);
  await there.screenshot({ path: path.join(shots, 'scenario_opened.png') });
  console.log(`scenario link: ${link}`);
  await page.close();
  await there.close();
});

run(siteDir, reportPath, 'browser_instructor');

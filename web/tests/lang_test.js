// Browser tests of the page's languages: the Russian page with no English text left (after the
// route check, a plan import, an exercise and the file messages too), the English page as it was,
// the choice remembered, and the Cyrillic captions by default for Russian.
'use strict';
const fs = require('fs');
const path = require('path');
const { check, clickArea, frames, open, redraw, run, test } = require('./harness.js');

const [siteDir, reportPath] = process.argv.slice(2);

// Names that stay Latin in the Russian page: the trainer's and the units' own names, the gauges
// and the read-outs as the guide writes them, file names and their parts, the route file's
// sections and keys, text encodings and formats, key names of the PC keyboard, the language
// choice's own "English", and the hemisphere letters of positions and keys (2 (N), 6 (E)).
const ALLOWED = new Set(['q14', 'Q14_UVI', 'Q14_PUR', 'QN14_def_AP_Key', 'Koord_i', 'Koord_s', 'DigTest', 'UVI', 'PUR',
  'English', 'Enter', 'N', 'S', 'E', 'W', 'PPM', 'SYS', 'NUL', 'UTF', 'XML', 'INI', 'ICAO', 'windows', 'ISO',
  'q14_ppm.cfg', 'cfg', 'Trainer.FLT.insb', 'trainer.q14session', 'pln', 'PLN', 'insb', 'q14session',
  'q14_kp', 'q14_kd', 'q14_bank_time', 'vibr_kontrol', 'perc_pogr', 'N46', 'E6', 'WorldPosition', 'ATCWaypoint',
  // the names the test's own route file and plans bring
  'other', 'AAA', 'BBB', 'CCC', 'DDD']);
// Also the route keys, the plan's waypoint keys and the saved record's field names (snake_case).
const allowed = (w) => ALLOWED.has(w) || /^(ppm_\w*(\.\.ppm_\d+)?|waypoint\.\d+|[a-z0-9]+(_[a-z0-9]+)+)$/i.test(w) || /\.pln$/i.test(w);

// Every text of the page a pilot meets, with where it stands: text nodes (the route text itself
// left out),
// accessible names, titles, placeholders, and the title of the page.
function pageTexts() {
  const out = [{ where: 'title', text: document.title }];
  const skip = (n) => n.closest && (n.closest('script') || n.closest('textarea'));
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode())
    if (n.textContent.trim() && !skip(n.parentElement)) out.push({ where: n.parentElement.id || n.parentElement.tagName, text: n.textContent });
  for (const e of document.querySelectorAll('[aria-label], [title], [placeholder]')) {
    if (skip(e)) continue;
    for (const a of ['aria-label', 'title', 'placeholder']) if (e.getAttribute(a)) out.push({ where: `${e.id || e.tagName}@${a}`, text: e.getAttribute(a) });
  }
  return out;
}

// The Latin words of the texts that are not allowed, with their texts.
function english(texts) {
  const bad = [];
  for (const { where, text } of texts)
    // Texts «quoted» are the file's own (values, file names).
    for (const w of text.replace(/«[^»]*»/g, '').replace(/\d[\d.,]*e[+-]?\d+/gi, '').match(/[A-Za-z][A-Za-z0-9_.]*[A-Za-z0-9_]|[A-Za-z]/g) || [])
      if (!allowed(w)) bad.push(`${where}: "${w}" in "${text.slice(0, 120)}"`);
  return bad;
}

// A page's texts after the things that bring messages: a hover name, a route check with
// problems, a plan import with notes and one refused, a started exercise, a saved flight and a
// session file refused, and the keyboard focus taken.
async function everyText(page, tmp) {
  const texts = [];
  const take = async () => texts.push(...await page.evaluate(pageTexts));
  for (const d of await page.$$('details')) await d.evaluate((e) => { e.open = true; });
  // A hover name.
  const p = await page.evaluate(() => window.trainer.areaPoint(1, 'Q14_UVI', 'Hold'));
  await page.mouse.move(p.x, p.y);
  await take();
  // The focus message after a unit took the keyboard.
  await clickArea(page, 1, 'Q14_UVI', 'FocusArea');
  await frames(page, 2);
  await redraw(page);
  await take();
  // The route check with problems of many kinds.
  await page.fill('#cfgtext', ['x', '[PPM] tail', 'ppm_01=55*0,37*0', 'ppm_02=-0*5,91*75', 'ppm_03=55*0;37*0', 'ppm_04=95*0,37*0',
    'ppm_05=55*0,37*0 ; note', 'ppm_06=99*0,37*0', 'ppm_0x=1', 'ppm_1=1', '[SYS]', 'q14_kp=abc', 'q14_kd=1,5', 'vibr_kontrol=2.5',
    'perc_pogr=900', 'q14_bank_time', 'other=1', '[PPM]', 'ppm_01=1*0,1*0'].join('\n'));
  await page.click('#cfgcheck');
  await take();
  await page.click('#cfgapply');
  await take();
  // A plan that drops a waypoint at the same place and one too close, imported; then one refused.
  const wp = (id, pos) => `<ATCWaypoint id="${id}"><ATCWaypointType>Intersection</ATCWaypointType><WorldPosition>${pos}</WorldPosition></ATCWaypoint>`;
  const plan = path.join(tmp, 'plan.pln');
  fs.writeFileSync(plan, '<?xml version="1.0" encoding="UTF-8"?>\n<SimBase.Document><FlightPlan.FlightPlan>' +
    wp('AAA', 'N55° 0\' 0.00",E37° 0\' 0.00",+000000.00') + wp('BBB', 'N55° 0\' 0.00",E37° 0\' 0.00",+000000.00') +
    wp('CCC', 'N55° 0\' 30.00",E37° 0\' 0.00",+000000.00') + wp('DDD', 'N56° 0\' 0.00",E38° 0\' 0.00",+000000.00') +
    '</FlightPlan.FlightPlan></SimBase.Document>\n');
  await page.selectOption('#plnroute', '1');
  await page.setInputFiles('#plnfile', plan);
  await page.waitForFunction(() => document.querySelector('#cfgmsg li.ok'));
  await take();
  for (const [name, body] of [['bad.pln', '[flightplan]\nwaypoint.0=R, AAA, , AAA, I, X46* 13.91\', E6* 6.49\', +0,'],
    ['nul.pln', '\u0000\u0001']]) {
    fs.writeFileSync(path.join(tmp, name), body);
    await page.evaluate(() => { document.getElementById('cfgmsg').textContent = ''; });
    await page.setInputFiles('#plnfile', path.join(tmp, name));
    await page.waitForFunction(() => document.getElementById('cfgmsg').textContent !== '');
    await take();
  }
  // An exercise with its steps, a flight file of the wrong size, a file that is no session.
  await page.click('#exlist button[data-exercise="9"]');
  fs.writeFileSync(path.join(tmp, 'short.insb'), 'short');
  await page.setInputFiles('#resume', path.join(tmp, 'short.insb'));
  await take();
  // A saved flight of the right size with values out of range: huge waypoints, zero fields.
  const bad = Buffer.alloc(2048);
  for (let i = 0; i < 2048; i += 8) bad.writeDoubleLE([1e300, NaN, Infinity][(i / 8) % 3], i);
  fs.writeFileSync(path.join(tmp, 'bad.insb'), bad);
  await page.evaluate(() => { document.getElementById('filemsg').textContent = ''; });
  await page.setInputFiles('#resume', path.join(tmp, 'bad.insb'));
  await page.waitForFunction(() => document.getElementById('filemsg').textContent !== '');
  fs.writeFileSync(path.join(tmp, 'no.q14session'), 'no session');
  await page.setInputFiles('#resumesession', path.join(tmp, 'no.q14session'));
  await page.waitForFunction(() => document.getElementById('sessionmsg').textContent !== '');
  await take();
  return texts;
}

test('the Russian page has no English text left, messages and exercises included', async (ctx) => {
  const page = await open(ctx, '?hold&lang=ru');
  const tmp = fs.mkdtempSync('/tmp/q14_lang_');
  const texts = await everyText(page, tmp);
  fs.rmSync(tmp, { recursive: true, force: true });
  const bad = english(texts);
  check(bad.length === 0, `English left on the Russian page:\n${[...new Set(bad)].slice(0, 40).join('\n')}`);
  // The messages that came were worded (Cyrillic), not left out.
  const list = texts.filter((x) => x.where === 'cfgmsg' || x.where === 'LI').map((x) => x.text).join('\n');
  for (const want of ['блоки читают', 'выброшена точка BBB', 'не записан', 'строка 2'])
    check(list.includes(want), `no message with "${want}" among:\n${list.slice(0, 2000)}`);
  const flight = texts.filter((x) => x.where === 'filemsg').map((x) => x.text).join('\n');
  check(/не возобновлён: \d+ значени[йея]? вне/.test(flight) && /(широта|долгота) ППМ \d/.test(flight),
    `the refused flight was not worded: ${flight}`);
  check(await page.evaluate(() => document.documentElement.lang) === 'ru', 'the page does not say it is Russian');
  // A file field shows the browser's own words ("Choose File"): none may be seen.
  const fields = await page.$$eval('input[type=file]', (l) => l.filter((e) => e.getClientRects().length).map((e) => e.id));
  check(fields.length === 0, `file fields with the browser's words: ${fields.join(', ')}`);
  check(page.errors.length === 0, page.errors.join('; '));
  await page.close();
});

test('every text and every message of the C++ has both languages', async (ctx) => {
  const page = await open(ctx, '?hold');
  const missing = await page.evaluate(() => window.trainer.words.missing());
  check(missing.length === 0, `texts lacking a language: ${missing.join(', ')}`);
  const unworded = await page.evaluate(() => window.trainer.words.unworded());
  check(unworded.length === 0, `messages of the C++ the page cannot word in Russian: ${unworded.join(', ')}`);
  check(await page.evaluate(() => Object.keys(window.trainer.layout.messages).length) > 100, 'the C++ exported too few messages');
  // Each exercise has its title and as many steps in Russian as it has conditions.
  const shapes = await page.evaluate(() => {
    const { languages: EXERCISE_LANGUAGES } = window.trainer.exercises;
    return window.trainer.exercises.list.map((ex, i) => [ex.steps.length, EXERCISE_LANGUAGES.en[i].steps.length,
      EXERCISE_LANGUAGES.ru[i].steps.length, !!EXERCISE_LANGUAGES.ru[i].title]);
  });
  shapes.forEach(([n, en, ru, title], i) => check(n === en && n === ru && title, `exercise ${i + 1}: ${n} steps, ${en} in English, ${ru} in Russian`));
  await page.close();
});

test('the English page keeps its words and has no Russian beyond the choices', async (ctx) => {
  const page = await open(ctx, '?hold');
  const tmp = fs.mkdtempSync('/tmp/q14_lang_');
  const texts = await everyText(page, tmp);
  fs.rmSync(tmp, { recursive: true, force: true });
  const russian = texts.filter((x) => /[А-Яа-яЁё]/.test(x.text) && !/^(Русский|Cyrillic \(УВИ, ПУР\))$/.test(x.text.trim()));
  check(russian.length === 0, `Russian on the English page: ${russian.slice(0, 10).map((x) => `${x.where}: ${x.text}`).join('\n')}`);
  const all = texts.map((x) => x.text).join('\n');
  for (const want of ['Check', 'Use in the units', 'line 2: (warning) the units read the section [PPM] and ignore \'tail\' after its \']\'',
    'dropped BBB (line 2): the same place as AAA before it', 'Route 1 imported from "plan.pln"',
    '"nul.pln" was not imported: byte 0 is a NUL character', 'is not a saved flight of unit 2', 'is not a trainer session',
    'Unit 1 holds the keyboard', 'Unit 1: OST INDIK (hold display)'])
    check(all.includes(want), `the English page lacks "${want}"`);
  await page.close();
});

test('the language is chosen in place, the session running on, and remembered across a reload', async (ctx) => {
  const page = await open(ctx, '?hold');
  await frames(page, 30);
  const frame = await page.evaluate(() => Module._trainer_frame_number());
  await page.selectOption('#lang', 'ru');
  await page.waitForFunction(() => window.trainer.captions === 'cyrillic' && window.trainer.drawn, null, { timeout: 15000 });
  check(await page.$eval('#cfgcheck', (e) => e.textContent) === 'Проверить', 'the buttons were not worded in Russian');
  await redraw(page);
  const left = english(await page.evaluate(pageTexts));
  check(left.length === 0, `English left after choosing Russian in place:\n${[...new Set(left)].slice(0, 40).join('\n')}`);
  check(await page.evaluate(() => Module._trainer_frame_number()) === frame, 'choosing the language restarted the units');
  await page.goto(page.url().replace(/\?.*$/, '?hold'));
  await page.waitForFunction(() => window.trainer && window.trainer.drawn, null, { timeout: 15000 });
  check(await page.$eval('#lang', (e) => e.value) === 'ru' && await page.$eval('h1', (e) => e.textContent) === 'Тренажёр q14',
    'the Russian choice was not remembered');
  check(await page.evaluate(() => window.trainer.captions) === 'cyrillic', 'the Cyrillic captions did not come with Russian');
  await page.selectOption('#lang', 'en');
  check(await page.$eval('#cfgcheck', (e) => e.textContent) === 'Check', 'English did not come back');
  await page.waitForFunction(() => window.trainer.captions === 'latin', null, { timeout: 15000 });
  await page.close();
});

test('?lang=ru draws the Cyrillic captions unless the pilot chose captions before', async (ctx) => {
  const page = await open(ctx, '?hold&lang=ru');
  check(await page.evaluate(() => window.trainer.captions) === 'cyrillic', 'Russian did not bring the Cyrillic captions');
  await page.selectOption('#captions', 'latin');
  await page.waitForFunction(() => window.trainer.captions === 'latin');
  await page.goto(page.url().replace(/\?.*$/, '?hold&lang=ru'));
  await page.waitForFunction(() => window.trainer && window.trainer.drawn, null, { timeout: 15000 });
  check(await page.evaluate(() => window.trainer.captions) === 'latin', 'the Latin captions chosen before were replaced');
  await page.close();
});

run(siteDir, reportPath, 'browser_lang');

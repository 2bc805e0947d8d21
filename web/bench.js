// Benchmark of the browser trainer, beside the native frame benchmark (figures, not a test):
// page load to both units drawn, one frame of both units in WebAssembly and natively
// (q14_bench_frame, BM_StandinFrame/0: stand-in and both units, in navigation), the heap in a
// steady frame, and the longest main-thread task over 60 s at 16x with fast-forward and the map.
// Usage: node bench.js <site dir> <q14_bench_frame> [seconds of the long-task run, default 60]
'use strict';
const { execFileSync } = require('child_process');
const { chromium } = require('playwright-core');
const { serve } = require('./serve.js');

const [siteDir, benchFrame, seconds = '60'] = process.argv.slice(2);
const median = (v) => v.slice().sort((a, b) => a - b)[Math.floor(v.length / 2)];

function nativeFrameUs() {
  const out = execFileSync(benchFrame, ['--benchmark_filter=BM_StandinFrame/0$', '--benchmark_repetitions=5',
    '--benchmark_report_aggregates_only=true', '--benchmark_format=json'], { encoding: 'utf8' });
  const runs = JSON.parse(out).benchmarks.filter((b) => b.aggregate_name === 'median');
  return { wall: runs[0].real_time / 1000, cpu: runs[0].cpu_time / 1000 };
}

(async () => {
  const server = await serve(siteDir, 0);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run'] });
  const page = await browser.newPage();
  const t0 = Date.now();
  await page.goto(`${url}?hold`);
  await page.waitForFunction(() => window.trainer && window.trainer.drawn);
  const loadMs = Date.now() - t0;
  // Both units into navigation on route 0, the aircraft flying, unit 2 steering (as the native
  // benchmark sets them up), then frames timed in blocks.
  const wasm = await page.evaluate(() => {
    const click = (u, g, k) => Module._trainer_click(u, g, k);
    // Gauges 0, 1 and 2 of a unit: UVI, PUR and the autopilot key; their areas from the panel map.
    const { Q14_UVI: { areas: uvi }, Q14_PUR: { areas: pur }, QN14_def_AP_Key: { areas: ap } } = window.trainer.layout.gauges;
    Module._trainer_frames(2);
    for (const u of [1, 2]) { click(u, 1, pur.SelectorUp); click(u, 1, pur.SelectorUp); }
    Module._trainer_frames(185);
    for (const u of [1, 2]) { click(u, 0, uvi.ModeUp); click(u, 0, uvi.TakePosition); click(u, 0, uvi.AlignShortcut); }
    Module._trainer_frames(560);
    for (const u of [1, 2]) { click(u, 1, pur.SelectorUp); click(u, 0, uvi.RouteReload); }
    click(2, 2, ap.Toggle);
    Module._trainer_set_aircraft(600, 0, 0, 0, 1, 0, 1, 1);
    Module._trainer_frames(200);
    const heapBefore = Module._trainer_heap_in_use();
    const us = [];
    for (let rep = 0; rep < 7; ++rep) {
      const t = performance.now();
      Module._trainer_frames(20000);
      us.push(((performance.now() - t) / 20000) * 1000);
    }
    return { us, heapBefore, heapAfter: Module._trainer_heap_in_use() };
  });
  const native = nativeFrameUs();
  // The long-task run: the page as a learner uses it, frames on the clock.
  await page.goto(url);
  await page.waitForFunction(() => window.trainer && window.trainer.drawn);
  const longTasks = await page.evaluate((s) => new Promise((resolve) => {
    let longest = 0, count = 0;
    new PerformanceObserver((l) => { for (const e of l.getEntries()) { longest = Math.max(longest, e.duration); count++; } })
      .observe({ type: 'longtask' });
    const set = (id, v) => { const e = document.getElementById(id); if (e.type === 'checkbox') e.checked = v; else e.value = v; e.dispatchEvent(new Event('input')); };
    set('rate', '16'); set('ff', '20'); set('fly', true);
    window.trainer.longestFrameMs = 0;
    const f0 = Module._trainer_frame_number();
    setTimeout(() => resolve({ count, longest, longestDraw: window.trainer.longestFrameMs,
      frames: Module._trainer_frame_number() - f0 }), s * 1000);
  }), Number(seconds));
  await browser.close();
  server.close();
  const w = median(wasm.us);
  console.log(`page load to both units drawn: ${loadMs} ms`);
  console.log(`frame of both units, WebAssembly: median ${w.toFixed(2)} us (${wasm.us.map((x) => x.toFixed(2)).join(' ')})`);
  console.log(`frame of both units, native:      median ${native.wall.toFixed(2)} us wall, ${native.cpu.toFixed(2)} us CPU`);
  console.log(`ratio WebAssembly/native: ${(w / native.wall).toFixed(2)} (wall), ${(w / native.cpu).toFixed(2)} (CPU)`);
  console.log(`heap in use before and after 140000 steady frames: ${wasm.heapBefore} and ${wasm.heapAfter} bytes`);
  console.log(`${seconds} s at 16x, fast-forward 20: ${longTasks.frames} frames, ${longTasks.count} long tasks, ` +
    `longest ${longTasks.longest.toFixed(1)} ms; longest frame callback ${longTasks.longestDraw.toFixed(1)} ms`);
})();

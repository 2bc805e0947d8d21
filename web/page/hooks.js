// What the tests reach through window.trainer: where a mouse area lies on the page, what an
// element shows, named values and session scripts. Elements and areas go by their names in
// the panel map the C++ exports, never by number.
import { cError, namedValue, withCString } from './capi.js';
import { gaugeText, hasElement, walkAll } from './panels.js';
import { trainer } from './state.js';

// Number of element or mouse area `name` ('elements' or 'areas') of a gauge in the panel map.
function mapped(gaugeName, table, name) {
  const g = trainer.layout.gauges[gaugeName];
  const k = g && g[table][name];
  if (k === undefined) throw new Error(`${gaugeName} has no ${table === 'areas' ? 'mouse area' : 'element'} ${name}`);
  return k;
}

export function bindHooks() {
  // Where a mouse area of a gauge lies on the page (its middle).
  trainer.areaPoint = (u, gaugeName, area) => {
    const g = trainer.units[u].gauges[gaugeName];
    const k = mapped(gaugeName, 'areas', area);
    const a = g.areas.find((x) => x.k === k);
    g.canvas.scrollIntoView({ block: 'nearest', inline: 'nearest' });  // a point the mouse can reach
    const r = g.canvas.getBoundingClientRect();
    return { x: r.left + ((a.x + a.w / 2) / g.width) * r.width, y: r.top + ((a.y + a.h / 2) / g.height) * r.height };
  };
  trainer.text = (u, gaugeName, element) => {
    walkAll();
    return gaugeText(trainer.units[u].gauges[gaugeName], mapped(gaugeName, 'elements', element));
  };
  trainer.shows = (u, gaugeName, element) => {
    walkAll();
    return hasElement(trainer.units[u].gauges[gaugeName], mapped(gaugeName, 'elements', element));
  };
  trainer.named = namedValue;
  // Runs a session script (host/session_script.h) on the units as they are; returns its trace.
  trainer.runScript = (script) => {
    const p = withCString(script, (c) => window.Module._trainer_run_script(c));
    if (!p) throw new Error(cError());
    walkAll();
    return window.Module.UTF8ToString(p);
  };
}

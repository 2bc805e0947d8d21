// The map beside the panels: route 0 of the route file, the aircraft's true track and each
// unit's computed position, with the leg changes each unit made on the way.
import { api, UVI } from './capi.js';
import { aircraft, showAircraft, unitPosition } from './instructor.js';
import { gaugeText, hasElement } from './panels.js';
import { $, trainer } from './state.js';
import { t } from './words.js';

export function drawMap() {
  const c = $('map');
  const ctx = c.getContext('2d');
  const pts = trainer.routePath.concat(trainer.track.slice(-1));
  const ac = aircraft();
  pts.push({ lat: ac.lat, lon: ac.lon });
  let minLat = Infinity, maxLat = -Infinity, minLon = Infinity, maxLon = -Infinity;
  for (const p of pts) {
    minLat = Math.min(minLat, p.lat); maxLat = Math.max(maxLat, p.lat);
    minLon = Math.min(minLon, p.lon); maxLon = Math.max(maxLon, p.lon);
  }
  const midLat = (minLat + maxLat) / 2;
  const k = Math.cos((midLat * Math.PI) / 180) || 1;
  const spanX = Math.max((maxLon - minLon) * k, 0.05), spanY = Math.max(maxLat - minLat, 0.05);
  const scale = Math.min((c.width - 40) / spanX, (c.height - 40) / spanY);
  const cx = (minLon + maxLon) / 2, cy = midLat;
  const X = (p) => c.width / 2 + (p.lon - cx) * k * scale;
  const Y = (p) => c.height / 2 - (p.lat - cy) * scale;
  ctx.fillStyle = '#10161c';
  ctx.fillRect(0, 0, c.width, c.height);
  // Graticule: a round step that gives a handful of lines.
  const span = Math.max(spanX / k, spanY);
  const step = [0.05, 0.1, 0.25, 0.5, 1, 2, 5, 10, 15, 30].find((s) => span / s <= 6) || 30;
  ctx.strokeStyle = '#2a3a48';
  ctx.fillStyle = '#6a7a88';
  ctx.font = '10px sans-serif';
  ctx.lineWidth = 1;
  const lonFrom = cx - c.width / 2 / (k * scale), lonTo = cx + c.width / 2 / (k * scale);
  const latFrom = cy - c.height / 2 / scale, latTo = cy + c.height / 2 / scale;
  for (let lat = Math.ceil(latFrom / step) * step; lat <= latTo; lat += step) {
    const y = Y({ lat, lon: 0 });
    ctx.beginPath(); ctx.moveTo(0, y); ctx.lineTo(c.width, y); ctx.stroke();
    ctx.fillText(`${lat.toFixed(2)}°`, 2, y - 2);
  }
  for (let lon = Math.ceil(lonFrom / step) * step; lon <= lonTo; lon += step) {
    const x = X({ lat: 0, lon });
    ctx.beginPath(); ctx.moveTo(x, 0); ctx.lineTo(x, c.height); ctx.stroke();
    ctx.fillText(`${lon.toFixed(2)}°`, x + 2, c.height - 2);
  }
  const line = (list, colour, width) => {
    if (list.length < 2) return;
    ctx.strokeStyle = colour; ctx.lineWidth = width;
    ctx.beginPath();
    list.forEach((p, i) => (i ? ctx.lineTo(X(p), Y(p)) : ctx.moveTo(X(p), Y(p))));
    ctx.stroke();
  };
  line(trainer.routePath, '#c0c0c0', 1.5);
  ctx.fillStyle = '#c0c0c0';
  trainer.route.forEach((p, i) => { ctx.fillRect(X(p) - 3, Y(p) - 3, 6, 6); ctx.fillText(String(i + 1), X(p) + 5, Y(p) - 5); });
  line(trainer.track, '#40c0ff', 2);
  for (const l of trainer.legChanges) {
    ctx.fillStyle = l.u === 1 ? '#ffb040' : '#60ff60';
    ctx.fillText(`${l.u}: ${l.from}→${l.to}`, X(l) + 4, Y(l) + (l.u === 1 ? -4 : 12));
    ctx.beginPath(); ctx.arc(X(l), Y(l), 3, 0, 2 * Math.PI); ctx.fill();
  }
  // The aircraft, heading up its nose.
  ctx.save();
  ctx.translate(X(ac), Y(ac));
  ctx.rotate((ac.heading * Math.PI) / 180);
  ctx.fillStyle = '#40c0ff';
  ctx.beginPath(); ctx.moveTo(0, -8); ctx.lineTo(5, 6); ctx.lineTo(-5, 6); ctx.closePath(); ctx.fill();
  ctx.restore();
  for (const [u, colour] of [[1, '#ffb040'], [2, '#60ff60']]) {
    const p = unitPosition(u);
    if (!p) continue;
    ctx.strokeStyle = colour; ctx.lineWidth = 2;
    ctx.beginPath(); ctx.arc(X(p), Y(p), 6, 0, 2 * Math.PI); ctx.stroke();
  }
}

// The leg unit u's OT and DO digits show ("12"; blanks when not navigating), or null while they
// show something else: with the IZM MARSH lamp lit they show the digits of a leg being typed
// (perhaps never entered) or, at KONTR, the test's 8s.
export function shownLeg(u) {
  const uvi = trainer.units[u].gauges.Q14_UVI;
  if (hasElement(uvi, UVI.el.RouteLamp)) return null;
  return `${gaugeText(uvi, UVI.el.FromDigit)}${gaugeText(uvi, UVI.el.ToDigit)}`;
}

// What the map remembers between draws: the true track and the leg changes of each unit.
export function recordFlight() {
  const ac = aircraft();
  const last = trainer.track[trainer.track.length - 1];
  if (ac.fly && (!last || ac.simTime - last.t >= 2)) {
    trainer.track.push({ lat: ac.lat, lon: ac.lon, t: ac.simTime });
    if (trainer.track.length > 20000) trainer.track.splice(0, 10000);
  }
  for (const u of [1, 2]) {
    const leg = shownLeg(u);
    if (leg === null) continue;
    const before = trainer.lastLeg[u];
    if (/^\d\d$/.test(leg) && before && before !== leg && /^\d\d$/.test(before))
      trainer.legChanges.push({ u, from: leg[0], to: leg[1], lat: ac.lat, lon: ac.lon });
    trainer.lastLeg[u] = leg;
  }
  trainer.frames = api.trainer_frame_number();
  const clock = new Date(ac.simTime * 1000).toISOString().substring(11, 19);
  $('clock').textContent = t('clock', { clock, frame: trainer.frames });
  showAircraft(ac);
}

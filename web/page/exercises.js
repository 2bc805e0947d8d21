// Guided exercises of the trainer: procedures of the user guide as steps that tick themselves
// off from what the host observes of one unit (its knob and selector, lamps, display texts and
// named values). Steps tick in order; an exercise can be restarted at any time.
'use strict';

(function () {
  const t = window.trainer;
  // Chain positions (tools/panel_map.h).
  const UVI_UPPER = 1, UVI_LOWER = 2, UVI_FROM = 3, UVI_TO = 4, UVI_KNOB = 6, UVI_LEVER = 7;
  const UVI_ENTER = 8, UVI_ROUTE = 9, UVI_HOLD = 10;
  const PUR_KNOB = 2, PUR_NEGOT = 8;
  const AVT = -120;
  const SEL = { OTKL: 0, OBOGR: 1, VYST: 2, NAVIG: 3 };
  const PAGE = { KONTR: 1, PHI: 2, IKPG: 3, PPM: 4, T: 8, WIND: 9 };
  const blank = (s) => !s || !s.trim();
  const latitude = (s) => /^\s*\d+\*\d\d,\d'$/.test(s || '');

  // What unit u shows now.
  function observe(u) {
    const g = t.units[u].gauges;
    return {
      sel: Math.round(t.needle(g.Q14_PUR, PUR_KNOB) / 30),
      page: Math.round((t.needle(g.Q14_UVI, UVI_KNOB) - 120) / 30),
      lever: t.needle(g.Q14_UVI, UVI_LEVER),
      upper: t.gaugeText(g.Q14_UVI, UVI_UPPER),
      lower: t.gaugeText(g.Q14_UVI, UVI_LOWER),
      from: t.gaugeText(g.Q14_UVI, UVI_FROM),
      to: t.gaugeText(g.Q14_UVI, UVI_TO),
      enterLit: t.lit(g.Q14_UVI, UVI_ENTER),
      routeLit: t.lit(g.Q14_UVI, UVI_ROUTE),
      holdLit: t.lit(g.Q14_UVI, UVI_HOLD),
      negot: t.lit(g.Q14_PUR, PUR_NEGOT),
      ready: t.named(`Q14_N${u}_GOT`) === 1,
    };
  }

  // A whole entry within one step: the VVOD lamp lit, then dark again (m remembers the first).
  const entryMade = (o, m) => {
    if (o.enterLit) m.opened = true;
    return !!m.opened && !o.enterLit;
  };

  const EXERCISES = [
    { title: 'Power-up and alignment', unit: 2, steps: [
      ['Turn the PUR selector to OBOGR (warm-up)', (o) => o.sel === SEL.OBOGR],
      ['Wait for the warm-up: NEGOT lights', (o) => o.negot],
      ['Turn the selector to VYST: the alignment starts', (o) => o.sel === SEL.VYST],
      ['Turn PARAMETRY to phi/lambda and give the start position (keypad, or the SMENA LZP caption)', (o) => o.page === PAGE.PHI && latitude(o.upper)],
      ['Wait for the end of the alignment (the shortcut over the right end of the display helps), then NAVIG: the unit is ready', (o) => o.sel === SEL.NAVIG && o.ready && !o.negot],
    ] },
    { title: 'Entering the start position by keypad', unit: 2, steps: [
      ['Selector to VYST (through OBOGR) and PARAMETRY to phi/lambda', (o) => o.sel === SEL.VYST && o.page === PAGE.PHI],
      ['Start the latitude: key 2 (N) or 8 (S); VVOD lights', (o) => o.enterLit],
      ['Five digits DD MM M, then VVOD: the latitude shows', (o) => !o.enterLit && latitude(o.upper)],
      ['Key 6 (E) or 4 (W), six digits DDD MM M, VVOD: the longitude shows', (o, m) => entryMade(o, m) && !blank(o.lower)],
    ] },
    { title: 'Programming waypoints from the file and by keypad', unit: 2, steps: [
      ['Navigate (exercise 1), then click the top-left screw: route 0 from the file, OT 1 DO 2', (o) => o.ready && o.from === '1' && o.to === '2'],
      ['PARAMETRY to PPM: the waypoint on the wheel shows', (o) => o.page === PAGE.PPM],
      ['Turn the wheel to the waypoint to change and start an entry (2 or 8): VVOD lights', (o) => o.page === PAGE.PPM && o.enterLit],
      ['Type the latitude and press VVOD: the waypoint takes it', (o) => o.page === PAGE.PPM && !o.enterLit && latitude(o.upper)],
    ] },
    { title: 'Changing the leg by hand', unit: 2, steps: [
      ['Navigate with a route loaded (OT and DO show digits)', (o, m) => o.ready && /^\d$/.test(o.from) && /^\d$/.test(o.to) && (m.leg = o.from + o.to)],
      ['Switch to RUCHN (manual)', (o) => o.lever !== AVT],
      ['Press IZM MARSH: SMENA LZP lights', (o) => o.routeLit],
      ['Type the FROM and TO digits and VVOD: OT and DO show the new leg', (o, m) => !o.routeLit && /^\d$/.test(o.from) && /^\d$/.test(o.to) && o.from + o.to !== m.leg],
      ['Back to AVT', (o) => o.lever === AVT],
    ] },
    { title: 'Correcting the position over a fix', unit: 2, steps: [
      ['Navigate, PARAMETRY to phi/lambda', (o) => o.ready && o.page === PAGE.PHI],
      ['Press OST INDIK over the fix: the page holds', (o) => o.holdLit],
      ['Enter the fix\'s latitude and/or longitude (2/8 or 6/4, digits, VVOD)', (o, m) => o.holdLit && entryMade(o, m)],
      ['Press OST INDIK again: the page runs on', (o) => !o.holdLit],
    ] },
    { title: 'Setting the clock and the airspeed to read the wind', unit: 2, steps: [
      ['Navigate with a route, PARAMETRY to T/t', (o) => o.ready && o.page === PAGE.T],
      ['Set the clock: 2, HH MM, VVOD: the arrival time shows', (o) => o.page === PAGE.T && !blank(o.upper)],
      ['PARAMETRY to delta/U and hold the page (OST INDIK)', (o) => o.page === PAGE.WIND && o.holdLit],
      ['Enter the true airspeed: 6, four digits, VVOD', (o, m) => o.page === PAGE.WIND && entryMade(o, m)],
      ['Release the page: the wind shows', (o) => o.page === PAGE.WIND && !o.holdLit && !blank(o.lower)],
    ] },
  ];

  const state = { active: -1, done: 0, memory: {} };

  function render() {
    const box = document.getElementById('exlist');
    box.textContent = '';
    EXERCISES.forEach((ex, i) => {
      const div = document.createElement('div');
      div.className = 'exercise';
      const head = document.createElement('div');
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = state.active === i ? 'Restart' : 'Start';
      b.dataset.exercise = String(i);
      b.addEventListener('click', () => start(i));
      head.append(b, ` ${i + 1}. ${ex.title} (unit ${ex.unit})`);
      div.appendChild(head);
      if (state.active === i) {
        const ol = document.createElement('ol');
        ex.steps.forEach(([text], k) => {
          const li = document.createElement('li');
          li.className = 'ex-step' + (k < state.done ? ' done' : '');
          li.textContent = text;
          ol.appendChild(li);
        });
        if (state.done === ex.steps.length) {
          const p = document.createElement('p');
          p.className = 'ex-complete';
          p.textContent = 'Exercise complete.';
          ol.appendChild(p);
        }
        div.appendChild(ol);
      }
      box.appendChild(div);
    });
  }

  function start(i) {
    state.active = i;
    state.done = 0;
    state.memory = {};
    render();
    tick();
  }

  // Ticks off every step whose condition now holds, in order.
  function tick() {
    if (state.active < 0) return;
    const ex = EXERCISES[state.active];
    const before = state.done;
    while (state.done < ex.steps.length) {
      const o = observe(ex.unit);
      if (!ex.steps[state.done][1](o, state.memory)) break;
      state.done++;
      state.memory.opened = false;
    }
    if (state.done !== before) render();
  }

  t.exercises = { list: EXERCISES, observe: tick, start, state };
  document.addEventListener('DOMContentLoaded', render);
  if (document.readyState !== 'loading') render();
})();

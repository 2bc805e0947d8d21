// JavaScript library of the trainer's main program: pulls in Emscripten's Browser object, whose
// preload plugin compiles the units' side modules asynchronously before the program starts, and
// reads flight plans' XML with the browser's own parser.
mergeInto(LibraryManager.library, {
  trainer_preload_plugins__deps: ['$Browser'],
  trainer_preload_plugins: function() { Browser.init(); },

  // The parts of an XML flight plan the import takes (web/plan_xml_web.cpp), in a malloc'ed text:
  // "E<US><line><US><message>" for XML that is not well-formed, "N" without a flight plan
  // element, else "P" and per <ATCWaypoint> "<RS>id<US>ICAOIdent<US>ICAOName<US>has ICAO (0/1)<US>
  // ATCWaypointType<US>Descr<US>has WorldPosition (0/1)<US>WorldPosition<US>its line<US>the
  // WorldPosition's line".
  plan_xml_parts_js: function(text, length) {
    var US = '\x1f', RS = '\x1e';
    var str = UTF8ToString(text, length);
    var doc = new DOMParser().parseFromString(str, 'application/xml');
    var bad = doc.getElementsByTagName('parsererror')[0];
    var child = function(e, name) {
      return e ? Array.from(e.children).find(function(c) { return c.tagName === name; }) : undefined;
    };
    var value = function(e) { return e ? e.textContent : ''; };
    // The line each element starts on, as the native reader counts them: start tags in
    // document order, outside comments, CDATA sections, processing instructions and declarations.
    var starts = [];
    for (var i = 0, line = 1; i < str.length;) {
      var skipTo = function(end) {
        var j = str.indexOf(end, i);
        j = j < 0 ? str.length : j + end.length;
        for (; i < j; ++i) if (str.charCodeAt(i) === 10) ++line;
      };
      var c = str.charCodeAt(i);
      if (c === 10) ++line;
      if (c !== 60) { ++i; continue; }
      if (str.startsWith('<!--', i)) skipTo('-->');
      else if (str.startsWith('<![CDATA[', i)) skipTo(']]>');
      else if (str.startsWith('<?', i)) skipTo('?>');
      else if (str.startsWith('<!', i)) skipTo('>');
      else { if (str.charCodeAt(i + 1) !== 47) starts.push(line); ++i; }
    }
    var order = new Map();
    var lineOf = function(e) {
      if (!order.size) Array.from(doc.getElementsByTagName('*')).forEach(function(x, k) { order.set(x, k); });
      return e && order.has(e) ? String(starts[order.get(e)] || 0) : '0';
    };
    var out;
    if (bad) {
      var m = /line (\d+)/.exec(bad.textContent);
      out = 'E' + US + (m ? m[1] : '0') + US + bad.textContent.replace(/\s+/g, ' ').trim();
    } else {
      var root = doc.documentElement;
      var plan = root && root.tagName === 'SimBase.Document' ? child(root, 'FlightPlan.FlightPlan') : undefined;
      if (!plan) {
        out = 'N';
      } else {
        out = 'P';
        Array.from(plan.children).forEach(function(w) {
          if (w.tagName !== 'ATCWaypoint') return;
          var pos = child(w, 'WorldPosition');
          var icao = child(w, 'ICAO');
          out += RS + [w.getAttribute('id') || '', value(child(icao, 'ICAOIdent')), value(child(icao, 'ICAOName')),
            icao ? '1' : '0', value(child(w, 'ATCWaypointType')), value(child(w, 'Descr')), pos ? '1' : '0', value(pos),
            lineOf(w), lineOf(pos)].join(US);
        });
      }
    }
    var n = lengthBytesUTF8(out) + 1;
    var p = _malloc(n);
    stringToUTF8(out, p, n);
    return p;
  },
});

// JavaScript library of the trainer's main program: pulls in Emscripten's Browser object, whose
// preload plugin compiles the units' side modules asynchronously before the program starts, and
// reads flight plans' XML with the browser's own parser.
mergeInto(LibraryManager.library, {
  trainer_preload_plugins__deps: ['$Browser'],
  trainer_preload_plugins: function() { Browser.init(); },

  // The parts of an XML flight plan the import takes (web/plan_xml_web.cpp), in a malloc'ed text:
  // "E<US><line><US><message>" for XML that is not well-formed, "N" without a flight plan
  // element, else "P" and per <ATCWaypoint> "<RS>id<US>ICAOIdent<US>ATCWaypointType<US>has
  // WorldPosition (0/1)<US>WorldPosition".
  plan_xml_parts_js: function(text, length) {
    var US = '\x1f', RS = '\x1e';
    var doc = new DOMParser().parseFromString(UTF8ToString(text, length), 'application/xml');
    var bad = doc.getElementsByTagName('parsererror')[0];
    var child = function(e, name) {
      return e ? Array.from(e.children).find(function(c) { return c.tagName === name; }) : undefined;
    };
    var value = function(e) { return e ? e.textContent : ''; };
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
          out += RS + [w.getAttribute('id') || '', value(child(child(w, 'ICAO'), 'ICAOIdent')),
            value(child(w, 'ATCWaypointType')), pos ? '1' : '0', value(pos)].join(US);
        });
      }
    }
    var n = lengthBytesUTF8(out) + 1;
    var p = _malloc(n);
    stringToUTF8(out, p, n);
    return p;
  },
});

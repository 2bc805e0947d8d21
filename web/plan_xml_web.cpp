// The XML tree of a flight plan in the trainer: read by the browser's own parser (DOMParser),
// which hands over the elements the import takes and, from a scan of the text, the lines they stand on.
#include <cstdlib>

#include "tools/import_pln.h"

// In trainer_lib.js: the plan's parts as the browser's parser finds them, in a malloc'ed text.
extern "C" char* plan_xml_parts_js(const char* text, int length);

namespace {

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t b = 0;
    for (size_t e; (e = s.find(sep, b)) != std::string::npos; b = e + 1) parts.push_back(s.substr(b, e - b));
    parts.push_back(s.substr(b));
    return parts;
}

}  // namespace

PlnXmlPlan read_plan_xml(const std::string& text) {
    PlnXmlPlan plan;
    char* raw = plan_xml_parts_js(text.data(), static_cast<int>(text.size()));
    const std::string parts = raw ? raw : "N";
    std::free(raw);
    if (parts[0] == 'E') {
        std::vector<std::string> f = split(parts, '\x1f');
        plan.message = message(MessageId::kPlanXmlBroken, {message_value("line", f.size() > 1 ? f[1] : "0"),
                                                           message_value("detail", f.size() > 2 ? f[2] : "")});
        plan.error = message_text(plan.message);
        return plan;
    }
    if (parts[0] != 'P') {
        plan.message = message(MessageId::kPlanNotFlightPlan);
        plan.error = message_text(plan.message);
        return plan;
    }
    std::vector<std::string> records = split(parts, '\x1e');
    for (size_t i = 1; i < records.size(); ++i) {
        std::vector<std::string> f = split(records[i], '\x1f');
        if (f.size() != 10) continue;
        PlnXmlWaypoint w;
        w.ident = f[0];
        w.icao_ident = f[1];
        w.icao_name = f[2];
        w.has_icao = f[3] == "1";
        w.type = f[4];
        w.descr = f[5];
        w.has_position = f[6] == "1";
        w.position = f[7];
        w.line = std::atoi(f[8].c_str());
        w.position_line = std::atoi(f[9].c_str());
        plan.waypoints.push_back(w);
    }
    plan.ok = true;
    return plan;
}

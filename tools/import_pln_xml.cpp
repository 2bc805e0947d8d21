// The XML tree of a flight plan, read with pugixml: the elements the import takes, with the
// lines they stand on.
#include <pugixml.hpp>

#include <algorithm>
#include <vector>

#include "tools/import_pln.h"

namespace {

// Where each line break stands, found once, so that the line of any offset is a binary search.
struct LineIndex {
    std::vector<size_t> breaks;
    explicit LineIndex(const std::string& text) {
        for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) breaks.push_back(i);
    }
    // The 1-based line of byte `offset` (the first line for an offset before the text).
    int line_of(ptrdiff_t offset) const {
        if (offset <= 0) return 1;
        return 1 + static_cast<int>(std::lower_bound(breaks.begin(), breaks.end(), static_cast<size_t>(offset)) -
                                    breaks.begin());
    }
};

}  // namespace

PlnXmlPlan read_plan_xml(const std::string& text) {
    PlnXmlPlan plan;
    const LineIndex lines(text);
    pugi::xml_document doc;
    pugi::xml_parse_result pr = doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!pr) {
        plan.message = message(MessageId::kPlanXmlBroken, {message_value("line", std::to_string(lines.line_of(pr.offset))),
                                                           message_value("detail", pr.description())});
        plan.error = message_text(plan.message);
        return plan;
    }
    pugi::xml_node fp = doc.child("SimBase.Document").child("FlightPlan.FlightPlan");
    if (!fp) {
        plan.message = message(MessageId::kPlanNotFlightPlan);
        plan.error = message_text(plan.message);
        return plan;
    }
    for (pugi::xml_node w = fp.child("ATCWaypoint"); w; w = w.next_sibling("ATCWaypoint")) {
        PlnXmlWaypoint wp;
        wp.line = lines.line_of(w.offset_debug());
        wp.ident = w.attribute("id").value();
        wp.icao_ident = w.child("ICAO").child_value("ICAOIdent");
        wp.icao_name = w.child("ICAO").child_value("ICAOName");
        wp.has_icao = static_cast<bool>(w.child("ICAO"));
        wp.type = w.child_value("ATCWaypointType");
        wp.descr = w.child_value("Descr");
        if (pugi::xml_node pos = w.child("WorldPosition")) {
            wp.has_position = true;
            wp.position = pos.child_value();
            wp.position_line = lines.line_of(pos.offset_debug());
        }
        plan.waypoints.push_back(wp);
    }
    plan.ok = true;
    return plan;
}

// The XML tree of a flight plan, read with pugixml: the elements the import takes, with the
// lines they stand on.
#include <pugixml.hpp>

#include "tools/import_pln.h"

namespace {

int line_of(const std::string& text, ptrdiff_t offset) {
    int line = 1;
    for (size_t i = 0; offset > 0 && i < static_cast<size_t>(offset) && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

}  // namespace

PlnXmlPlan read_plan_xml(const std::string& text) {
    PlnXmlPlan plan;
    pugi::xml_document doc;
    pugi::xml_parse_result pr = doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!pr) {
        plan.error = "line " + std::to_string(line_of(text, pr.offset)) + ": not well-formed XML (" + pr.description() + ")";
        return plan;
    }
    pugi::xml_node fp = doc.child("SimBase.Document").child("FlightPlan.FlightPlan");
    if (!fp) {
        plan.error = "no <FlightPlan.FlightPlan> element inside <SimBase.Document>: not a simulator flight plan";
        return plan;
    }
    for (pugi::xml_node w = fp.child("ATCWaypoint"); w; w = w.next_sibling("ATCWaypoint")) {
        PlnXmlWaypoint wp;
        wp.line = line_of(text, w.offset_debug());
        wp.ident = w.attribute("id").value();
        wp.icao_ident = w.child("ICAO").child_value("ICAOIdent");
        wp.icao_name = w.child("ICAO").child_value("ICAOName");
        wp.has_icao = static_cast<bool>(w.child("ICAO"));
        wp.type = w.child_value("ATCWaypointType");
        wp.descr = w.child_value("Descr");
        if (pugi::xml_node pos = w.child("WorldPosition")) {
            wp.has_position = true;
            wp.position = pos.child_value();
            wp.position_line = line_of(text, pos.offset_debug());
        }
        plan.waypoints.push_back(wp);
    }
    plan.ok = true;
    return plan;
}

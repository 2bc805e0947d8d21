// What import-pln tells about the waypoints it left out: a line each for a few, a count and
// the first names for many, so that a plan of any length gives a short report.
#pragma once

#include <string>
#include <vector>

#include "tools/import_pln.h"

// The report, one line per kind of drop (or per waypoint when a kind has five or fewer), each
// line ending in '\n'; "" when nothing was left out.
std::string dropped_report(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped);

// The picture of a bench flight: a map of the route with the true track and each unit's
// computed track, and below it the true cross-track and the units' position errors over time.
#pragma once

#include <string>
#include <vector>

#include "tools/flight_log.h"

struct FlightPlot {
    std::string title;
    std::string subtitle;
    std::vector<GeoPoint> route;
    std::vector<FlightSample> samples;
    std::vector<LegChange> changes;   // unit 2's leg changes are marked on the map and graphs
};

// Draws the plot as an SVG document and as a PNG image (both in memory).
bool render_flight_plot(const FlightPlot& plot, std::string& svg, std::string& png, std::string& error);

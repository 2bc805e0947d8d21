// Options shared by the subcommands that fly the route (fly, panel): the route file, speed,
// wind and alignment, and the simulator folder the units read the route from.
#pragma once

#include <string>

#include "tools/session.h"

struct FlightOptions {
    std::string route_file;     // empty: the bundled sample
    double speed_kmh = 600;
    double wind_from_deg = 0;   // where it blows from (--wind gives where it blows towards)
    double wind_kmh = 0;
    bool full_align = false;
};

constexpr const char* kFlightOptionsHelp =
    "  --route FILE      route file in the q14_ppm.cfg format; route 0 is flown (default: the bundled\n"
    "                    sample data/sim/gauges/q14_cfg/q14_ppm.cfg). It is copied into a temporary\n"
    "                    simulator folder as gauges/q14_cfg/q14_ppm.cfg.\n"
    "  --speed KMH       true airspeed, 150..1500 km/h (default 600)\n"
    "  --wind DIR/KMH    constant wind blowing towards DIR degrees at KMH km/h, as the units' page 9\n"
    "                    shows it: 90/40 blows towards the east (default calm)\n"
    "  --wind-from DIR/KMH  the same wind given as a weather briefing gives it, the direction it\n"
    "                    blows from: 270/40 is the same wind as --wind 90/40\n"
    "  --full-align      run the whole alignment (5550 frames) instead of the shortcut (550)\n";

// Takes one of the shared options at argv[i] (moving i past its value); false when argv[i]
// is none of them. A bad value sets `error`.
bool take_flight_option(int argc, char** argv, int& i, FlightOptions& o, std::string& error);
// Reads and checks the route file and fills `setup`. With --route the file is copied into a
// fresh folder `scratch` (the caller removes it); `label` names the route file for reports.
bool flight_setup_from(const FlightOptions& o, FlightSetup& setup, std::string& scratch, std::string& label,
                       std::string& error);

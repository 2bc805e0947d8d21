// A scripted session of both units in the host stand-in, the same in every host build: one
// start, then frames, clicks, keys and aircraft settings from a small script, with a trace line
// per frame of everything the panels show and the units publish.
#pragma once

#include <string>

#include "host/standin.h"

// Resets the simulator and opens both units as the trainer does: the simulator folder
// `sim_dir` (holding gauges/q14_cfg/q14_ppm.cfg), the current flight `flight_path` ("" none),
// the aircraft parked at (lat, lon) on external power. False with `error` when a unit cannot
// be loaded.
bool session_open(const std::string& sim_dir, const std::string& flight_path, double lat, double lon,
                  HostModule* units[2], std::string& error);

// The aircraft settings the trainer offers: true airspeed km/h, wind towards (degrees) and its
// speed km/h, heading (degrees, taken only when not coupled), sim rate 1..16, paused, flying,
// heading coupled to the units' heading bug. Values that are not finite keep the setting.
void session_set_aircraft(double tas_kmh, double wind_to_deg, double wind_kmh, double heading, double sim_rate,
                          bool paused, bool fly, bool coupled);

// What else the instructor sets, as the simulator's own variables carry it: external power on
// the aircraft's bus; all four engines at `percent` of their power (limited to 0..100, a value
// that is not finite keeps the setting); the aircraft moved to (lat, lon), which is refused
// (false, nothing moved) unless lat lies within -90..90 and lon is finite (taken into -180..180,
// -180 itself as 180).
void session_set_power(bool on);
void session_set_engines(double percent);
bool session_place_aircraft(double lat, double lon);

// Runs a script on the opened units. One command a line, '#' starts a comment:
//   frames N                   N frames, one trace line after each
//   click U GAUGE AREA         mouse area AREA of gauge GAUGE of unit U (1 or 2): its name in
//                              the panel map (panels/panel_map.h), or its number (1-based)
//   key SCAN                   a PC keystroke (press and release) through the keyboard hooks
//   aircraft TAS WIND_TO WIND_KMH HEADING RATE PAUSED FLY COUPLED
//   power 0|1                  external power off or on
//   engines PERCENT            all four engines
//   position LAT LON           the aircraft moved there
// The trace line of a frame: "F <frame> T <texts and lamp frames of both units> N <named values
// and needle angles>" (the part after N as name=value pairs, the values to 17 digits).
// False with `error` (naming the line) at a command it does not know or cannot take; the lines
// before it have run. With `traced` false the frames run without trace lines (a fast run).
bool session_run(HostModule* const units[2], const std::string& script, std::string& trace, std::string& error,
                 bool traced = true);

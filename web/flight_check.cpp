// The trainer's check of a saved ".insb" record before unit 2 gets it: every waypoint position
// and field against the ranges of the record layout (persist/state_record.h).
#include "web/flight_check.h"

#include <cstdio>

#include "persist/state_record.h"

using namespace state_record;

int check_state_record(const uint8_t* r, std::string& findings) {
    int bad = 0;
    auto finding = [&](const char* field, int k, double v, const char* range) {
        if (bad++ >= kRecordFindingsShown) return;
        char line[160];
        if (k) std::snprintf(line, sizeof line, "%s %d = %g (%s)\n", field, k, v, range);
        else std::snprintf(line, sizeof line, "%s = %g (%s)\n", field, v, range);
        findings += line;
    };
    for (int k = 1; k <= 9; ++k) {
        double lat = get_le_f64(r + kLatSlotBase + kSlotBytes * k);
        double lon = get_le_f64(r + kLonSlotBase + kSlotBytes * k);
        if (!(std::fabs(lat) <= 90 || lat == kEmptyLat)) finding("waypoint latitude", k, lat, "-90..90 or 99 for none");
        if (!(std::fabs(lon) <= 180 || lon == kEmptyLon)) finding("waypoint longitude", k, lon, "-180..180 or 999 for none");
    }
    double capacity = 0;
    for (const StateSlot& slot : kStateSlots)
        if (slot.i32 == &S::battery_capacity) capacity = get_le_f64(r + slot.offset);
    for (const StateSlot& slot : kStateSlots) {
        if (!slot.name) continue;
        double v = get_le_f64(r + slot.offset);
        char range[64];
        if (slot.kind == kSlotDouble) {
            if (slot.lo == -kAnyDouble ? std::isfinite(v) : (v >= slot.lo && v <= slot.hi)) continue;
            if (slot.lo == -kAnyDouble) std::snprintf(range, sizeof range, "not a number");
            else std::snprintf(range, sizeof range, "%g..%g", slot.lo, slot.hi);
        } else {
            double hi = slot.check == kCheckCharge && std::isfinite(capacity) ? std::trunc(capacity) : slot.hi;
            double t;
            if (valid_integer(v, slot.lo, hi, &t) && !(slot.check == kCheckWorkState && t == 1)) continue;
            std::snprintf(range, sizeof range, slot.check == kCheckWorkState ? "0, 2 or 3" : "%g..%g", slot.lo, hi);
        }
        finding(slot.name, 0, v, range);
    }
    return bad;
}


bool record_unit_on(const uint8_t* r) {
    for (const StateSlot& slot : kStateSlots)
        if (slot.i32 == &S::unit_on) return get_le_f64(r + slot.offset) == 1.0;
    return false;
}

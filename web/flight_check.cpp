// The trainer's check of a saved ".insb" record before unit 2 gets it: every waypoint position
// and field against the ranges of the record layout (persist/state_record.h).
#include "web/flight_check.h"

#include <cstdio>

#include "persist/state_record.h"

using namespace state_record;

namespace {

std::string number(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

}  // namespace

int check_state_record(const uint8_t* r, std::vector<Message>& findings) {
    int bad = 0;
    auto finding = [&](const Message& m) {
        if (bad++ < kRecordFindingsShown) findings.push_back(m);
    };
    auto waypoint = [&](MessageId id, int k, double v, MessageId range) {
        finding(message(id, {message_value("waypoint", std::to_string(k)), message_value("value", number(v)),
                             message_value("range", message(range))}));
    };
    for (int k = 1; k <= 9; ++k) {
        double lat = get_le_f64(r + kLatSlotBase + kSlotBytes * k);
        double lon = get_le_f64(r + kLonSlotBase + kSlotBytes * k);
        if (!(std::fabs(lat) <= 90 || lat == kEmptyLat)) waypoint(MessageId::kRecordLat, k, lat, MessageId::kRangeLat);
        if (!(std::fabs(lon) <= 180 || lon == kEmptyLon)) waypoint(MessageId::kRecordLon, k, lon, MessageId::kRangeLon);
    }
    double capacity = 0;
    for (const StateSlot& slot : kStateSlots)
        if (slot.i32 == &S::battery_capacity) capacity = get_le_f64(r + slot.offset);
    for (const StateSlot& slot : kStateSlots) {
        if (!slot.name) continue;
        double v = get_le_f64(r + slot.offset);
        Message range;
        if (slot.kind == kSlotDouble) {
            if (slot.lo == -kAnyDouble ? std::isfinite(v) : (v >= slot.lo && v <= slot.hi)) continue;
            range = slot.lo == -kAnyDouble ? message(MessageId::kRangeNotNumber)
                                           : message(MessageId::kRangeSpan, {message_value("lo", number(slot.lo)),
                                                                             message_value("hi", number(slot.hi))});
        } else {
            double hi = slot.check == kCheckCharge && std::isfinite(capacity) ? std::trunc(capacity) : slot.hi;
            double t;
            if (valid_integer(v, slot.lo, hi, &t) && !(slot.check == kCheckWorkState && t == 1)) continue;
            range = slot.check == kCheckWorkState ? message(MessageId::kRangeWorkState)
                                                  : message(MessageId::kRangeSpan, {message_value("lo", number(slot.lo)),
                                                                                    message_value("hi", number(hi))});
        }
        finding(message(MessageId::kRecordField,
                        {message_value("field", slot.name), message_value("value", number(v)), message_value("range", range)}));
    }
    return bad;
}

bool record_unit_on(const uint8_t* r) {
    for (const StateSlot& slot : kStateSlots)
        if (slot.i32 == &S::unit_on) return get_le_f64(r + slot.offset) == 1.0;
    return false;
}

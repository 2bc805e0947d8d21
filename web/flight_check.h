// The trainer's check of a saved ".insb" record before unit 2 gets it (web/flight_check.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nav/state.h"
#include "tools/messages.h"

// Checks a kSaveRecordSize-byte record: the waypoints' positions and every field's value against
// the ranges the restore accepts. Returns the number of values out of range and appends the first
// kRecordFindingsShown of them to `findings`, "<field> = <value> (<valid values>)" each.
inline constexpr int kRecordFindingsShown = 4;
int check_state_record(const uint8_t* record, std::vector<Message>& findings);
// True when the record was taken with the unit switched on.
bool record_unit_on(const uint8_t* record);

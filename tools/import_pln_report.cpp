// What a plan import (q14bench import-pln and the trainer alike) says of the waypoints left out,
// grouped by why they went: the same place, no flyable leg, the least change, past the ninth.
#include "tools/import_pln.h"

namespace {

constexpr size_t kListedNames = 5;  // waypoints named in full per kind; the rest are counted

struct KindText {
    PlnDropKind kind;
    const char* summary;  // the line for many: "dropped N waypoint(s) <summary>: names"
};

const KindText kKinds[] = {
    {.kind = PlnDropKind::kSamePlace, .summary = "at the same place as the one before them"},
    {.kind = PlnDropKind::kUnflyable, .summary = "closer to their neighbour than a turn lead plus 1 km (no unit can fly "
                                                 "such a leg)"},
    {.kind = PlnDropKind::kLeastChange, .summary = "whose loss changes the route least"},
    {.kind = PlnDropKind::kPastNinth, .summary = "after the ninth"},
};

}  // namespace

std::vector<std::string> pln_drop_notes(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped) {
    std::vector<std::string> out;
    for (const KindText& k : kKinds) {
        size_t n = 0;
        for (const PlnDrop& d : dropped) n += d.kind == k.kind;
        if (n == 0) continue;
        if (n <= kListedNames && k.kind != PlnDropKind::kPastNinth) {
            for (const PlnDrop& d : dropped)
                if (d.kind == k.kind)
                    out.push_back("dropped " + pln_name(plan[d.index]) + " (line " +
                                  std::to_string(plan[d.index].line) + "): " + d.why);
            continue;
        }
        std::string names;
        size_t listed = 0;
        for (const PlnDrop& d : dropped) {
            if (d.kind != k.kind || listed == kListedNames) continue;
            names += (listed++ ? ", " : "") + pln_name(plan[d.index]) + " (line " + std::to_string(plan[d.index].line) + ")";
        }
        out.push_back((k.kind == PlnDropKind::kPastNinth ? "left out " : "dropped ") + std::to_string(n) +
                      " waypoint(s) " + k.summary + ": " + names +
                      (n > kListedNames ? " and " + std::to_string(n - kListedNames) + " more" : ""));
    }
    return out;
}

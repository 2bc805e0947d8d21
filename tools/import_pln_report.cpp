// import-pln's report of the waypoints left out, grouped by why they went: the same place as
// the one before, no flyable leg, the least change to the route, or past the ninth.
#include "tools/import_pln_report.h"

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

std::string name_of(const PlnWaypoint& w) { return w.ident.empty() ? "(unnamed)" : w.ident; }

}  // namespace

std::string dropped_report(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped) {
    std::string out;
    for (const KindText& k : kKinds) {
        size_t n = 0;
        for (const PlnDrop& d : dropped) n += d.kind == k.kind;
        if (n == 0) continue;
        if (n <= kListedNames && k.kind != PlnDropKind::kPastNinth) {
            for (const PlnDrop& d : dropped)
                if (d.kind == k.kind)
                    out += "dropped " + name_of(plan[d.index]) + " (line " + std::to_string(plan[d.index].line) +
                           "): " + d.why + "\n";
            continue;
        }
        std::string names;
        size_t listed = 0;
        for (const PlnDrop& d : dropped) {
            if (d.kind != k.kind || listed == kListedNames) continue;
            names += (listed++ ? ", " : "") + name_of(plan[d.index]) + " (line " + std::to_string(plan[d.index].line) + ")";
        }
        out += (k.kind == PlnDropKind::kPastNinth ? "left out " : "dropped ") + std::to_string(n) + " waypoint(s) " +
               k.summary + ": " + names + (n > kListedNames ? " and " + std::to_string(n - kListedNames) + " more" : "") +
               "\n";
    }
    return out;
}

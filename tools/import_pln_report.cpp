// What a plan import (q14bench import-pln and the trainer alike) says of the waypoints left out,
// grouped by why they went: the same place, no flyable leg, the least change, past the ninth.
#include "tools/import_pln.h"

namespace {

constexpr size_t kListedNames = 5;  // waypoints named in full per kind; the rest are counted

struct KindText {
    PlnDropKind kind;
    MessageId many;  // the note for many: "dropped N waypoint(s) <summary>: names"
};

const KindText kKinds[] = {
    {.kind = PlnDropKind::kSamePlace, .many = MessageId::kNoteManySamePlace},
    {.kind = PlnDropKind::kUnflyable, .many = MessageId::kNoteManyUnflyable},
    {.kind = PlnDropKind::kLeastChange, .many = MessageId::kNoteManyLeastChange},
    {.kind = PlnDropKind::kPastNinth, .many = MessageId::kNotePastNinth},
};

MessageValue name_value(const PlnWaypoint& w) {
    return w.ident.empty() ? message_value("name", message(MessageId::kUnnamed)) : message_value("name", w.ident);
}

}  // namespace

std::vector<Message> pln_drop_messages(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped) {
    std::vector<Message> out;
    for (const KindText& k : kKinds) {
        size_t n = 0;
        for (const PlnDrop& d : dropped) n += d.kind == k.kind;
        if (n == 0) continue;
        if (n <= kListedNames && k.kind != PlnDropKind::kPastNinth) {
            for (const PlnDrop& d : dropped)
                if (d.kind == k.kind)
                    out.push_back(message(MessageId::kNoteDropped,
                                          {name_value(plan[d.index]),
                                           message_value("line", std::to_string(plan[d.index].line)),
                                           d.message.id != MessageId::kNone ? message_value("why", d.message)
                                                                            : message_value("why", d.why)}));
            continue;
        }
        std::vector<Message> names;
        for (const PlnDrop& d : dropped) {
            if (d.kind != k.kind || names.size() == kListedNames) continue;
            names.push_back(message(MessageId::kNoteName,
                                    {name_value(plan[d.index]), message_value("line", std::to_string(plan[d.index].line))}));
        }
        out.push_back(message(k.many, {message_value("count", std::to_string(n)), message_value("names", std::move(names)),
                                       n > kListedNames ? message_value("more", message(MessageId::kNoteMore,
                                                                                         {message_value("count", std::to_string(n - kListedNames))}))
                                                        : message_value("more", "")}));
    }
    return out;
}

std::vector<std::string> pln_drop_notes(const std::vector<PlnWaypoint>& plan, const std::vector<PlnDrop>& dropped) {
    std::vector<std::string> out;
    for (const Message& m : pln_drop_messages(plan, dropped)) out.push_back(message_text(m));
    return out;
}

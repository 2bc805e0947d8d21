// The messages' English wording filled with their values, and the messages as JSON for the
// trainer page, which words each identifier in the pilot's language.
#include "tools/messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct MessageText {
    const char* name;
    const char* english;
};

#define Q14_MESSAGE_ROW(id, english) {#id, english},
constexpr MessageText kMessages[] = {{"", ""}, Q14_MESSAGES(Q14_MESSAGE_ROW)};
#undef Q14_MESSAGE_ROW
static_assert(sizeof kMessages / sizeof kMessages[0] == kMessageCount, "a message without its row");

void append_value(const MessageValue& v, std::string& out) {
    if (v.part != MessageId::kNone) {
        message_append_text(Message{v.part}, out);
        return;
    }
    if (v.parts.empty()) {
        out += v.text;
        return;
    }
    bool first = true;
    for (const Message& p : v.parts) {
        if (p.id == MessageId::kNone) continue;
        if (!first) out += ", ";
        first = false;
        message_append_text(p, out);
    }
}

}  // namespace

Message message(MessageId id, MessageValues&& values) {
    Message m;
    m.id = id;
    for (MessageValue& v : values.values)
        if (*v.name) m.values[m.count++] = std::move(v);  // the values given come first; the rest are unnamed
    return m;
}
MessageValue message_value(const char* name, std::string text) { return MessageValue{name, std::move(text), {}}; }
MessageValue message_value(const char* name, const Message& part) {
    if (part.count == 0 && part.id != MessageId::kNone) return MessageValue{name, "", {}, part.id};
    return MessageValue{name, "", {part}};
}
MessageValue message_value(const char* name, std::vector<Message> list) {
    MessageValue v{name, "", std::move(list)};
    if (v.parts.size() == 1) v.parts.push_back(Message{});  // still a list: an empty last entry marks it
    return v;
}

const char* message_name(MessageId id) {
    const int k = static_cast<int>(id);
    return k > 0 && k < kMessageCount ? kMessages[k].name : "";
}

const char* message_english(MessageId id) {
    const int k = static_cast<int>(id);
    return k > 0 && k < kMessageCount ? kMessages[k].english : "";
}

std::string message_text(const Message& m) {
    std::string out;
    message_append_text(m, out);
    return out;
}

void message_append_text(const Message& m, std::string& out) {
    const int k = static_cast<int>(m.id);
    if (k <= 0 || k >= kMessageCount) return;
    // The wording between the {name} places as it stands, each place by the values of its name.
    for (const char* p = kMessages[k].english; *p;) {
        const char* open = std::strchr(p, '{');
        const char* close = open ? std::strchr(open, '}') : nullptr;
        if (!close) {
            out += p;
            return;
        }
        out.append(p, open);
        const size_t n = static_cast<size_t>(close - open - 1);
        for (int i = 0; i < m.count; ++i)
            if (std::strncmp(m.values[i].name, open + 1, n) == 0 && m.values[i].name[n] == '\0')
                append_value(m.values[i], out);
        p = close + 1;
    }
}

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", static_cast<unsigned char>(c));
            out += b;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string message_json(const Message& m) {
    std::string out = "{\"id\":" + json_string(message_name(m.id)) + ",\"values\":{";
    for (int i = 0; i < m.count; ++i) {
        const MessageValue& v = m.values[i];
        out += (i ? "," : "") + json_string(v.name) + ':';
        if (v.part != MessageId::kNone) {
            out += message_json(Message{v.part});
        } else if (v.parts.empty()) {
            out += json_string(v.text);
        } else if (v.parts.size() == 1) {
            out += message_json(v.parts[0]);
        } else {
            out += '[';
            bool first = true;
            for (const Message& p : v.parts) {
                if (p.id == MessageId::kNone) continue;
                out += (first ? "" : ",") + message_json(p);
                first = false;
            }
            out += ']';
        }
    }
    return out + "}}";
}

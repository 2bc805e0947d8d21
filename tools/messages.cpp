// The messages' English wording filled with their values, and the messages as JSON for the
// trainer page, which words each identifier in the pilot's language.
#include "tools/messages.h"

#include <cstdio>
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

std::string value_text(const MessageValue& v) {
    if (v.parts.empty()) return v.text;
    std::string s;
    for (const Message& p : v.parts)
        if (p.id != MessageId::kNone) s += (s.empty() ? "" : ", ") + message_text(p);
    return s;
}

}  // namespace

Message message(MessageId id, std::initializer_list<MessageValue> values) { return Message{id, values}; }
MessageValue message_value(const char* name, const std::string& text) { return MessageValue{name, text, {}}; }
MessageValue message_value(const char* name, const Message& part) { return MessageValue{name, "", {part}}; }
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
    const int k = static_cast<int>(m.id);
    if (k <= 0 || k >= kMessageCount) return "";
    std::string out;
    for (const char* p = kMessages[k].english; *p; ++p) {
        const char* close = *p == '{' ? std::strchr(p, '}') : nullptr;
        if (!close) {
            out += *p;
            continue;
        }
        const std::string name(p + 1, close);
        for (const MessageValue& v : m.values)
            if (name == v.name) out += value_text(v);
        p = close;
    }
    return out;
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
    for (size_t i = 0; i < m.values.size(); ++i) {
        const MessageValue& v = m.values[i];
        out += (i ? "," : "") + json_string(v.name) + ':';
        if (v.parts.empty()) {
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

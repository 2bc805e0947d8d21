// Tests of the messages as identifiers: every route check finding and plan import refusal carries
// one, worded as the tools print it, and the JSON the trainer page reads keeps values and parts.
#include "tools/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/import_pln.h"
#include "tools/route_check.h"

namespace {

TEST(Messages, EveryFindingHasItsIdentifier) {
    const std::string files[] = {
        "x\n[PPM] tail\nppm_01=55*0,37*0\nppm_02=-0*5,91*75\nppm_03=55*0;37*0\nppm_04=95*0,37*0\nppm_05=55*0,37*0 ; n\n"
        "ppm_06=99*0,37*0\nppm_0x=1\nppm_1=1\n[SYS]\nq14_kp=abc\nq14_kd=1,5\nvibr_kontrol=2.5\nperc_pogr=900\n"
        "q14_bank_time\nother=1\n[PPM]\nppm_01=1*0,1*0\n",
        "[PPM]\nppm_01=nan*0,37*0\nppm_02=55*1e999,37*0\nppm_03=55*0,37*0\nppm_04=55*0,37*0\nppm_05=55*0,217*0\n",
        std::string("\xEF\xBB\xBF[ppm]\nppm_01=1\0x\n", 20),
    };
    for (const std::string& text : files) {
        RouteFileCheck c = check_route_file(text, "q14_ppm.cfg");
        ASSERT_FALSE(c.findings.empty()) << text;
        for (const CheckFinding& f : c.findings) {
            // The tools print the message's own words: the line ends in them.
            const std::string line = format_finding(f), reason = message_text(f.message);
            EXPECT_NE(f.message.id, MessageId::kNone) << line;
            EXPECT_FALSE(reason.empty()) << line;
            EXPECT_EQ(line.substr(line.size() - std::min(line.size(), reason.size())), reason);
        }
    }
}

TEST(Messages, EveryWordingNamesNoMoreValuesThanAMessageHolds) {
    for (int k = 1; k < kMessageCount; ++k) {
        const std::string english = message_english(static_cast<MessageId>(k));
        std::vector<std::string> names;
        for (size_t open = english.find('{'); open != std::string::npos; open = english.find('{', open + 1)) {
            const size_t close = english.find('}', open);
            if (close == std::string::npos) break;
            const std::string name = english.substr(open + 1, close - open - 1);
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
        EXPECT_LE(names.size(), static_cast<size_t>(kMessageValuesMax)) << message_name(static_cast<MessageId>(k));
    }
    // Values fill their places by name, whatever order they are given in.
    const Message m = message(MessageId::kLegShort, {message_value("speed", "600"), message_value("from", "ppm_01"),
                                                     message_value("km", "2.0"), message_value("lead", "3.1")});
    EXPECT_EQ(message_text(m), "the leg from ppm_01 is 2.0 km, shorter than the turn lead here (3.1 km at 600 km/h) plus 1 "
                               "km: the units never leave it automatically");
}

TEST(Messages, PlanRefusalsHaveTheirIdentifier) {
    const char* plans[] = {"", "[flightplan]\nwaypoint.0=R, AAA, , AAA, I, X46* 13.91', E6* 6.49', +0,\n",
                           "<?xml version=\"1.0\"?><html/>", "[flightplan]\nwaypoint.x=1\n", "\xFF\xFE"};
    for (const char* plan : plans) {
        PlnResult r = parse_pln(plan);
        ASSERT_FALSE(r.ok) << plan;
        EXPECT_NE(r.message.id, MessageId::kNone) << r.error;
        EXPECT_EQ(message_text(r.message), r.error);
    }
}

TEST(Messages, JsonKeepsValuesPartsAndLists) {
    const Message m = message(MessageId::kValueNotDms,
                              {message_value("seen", "a\"b\\c\n"),
                               message_value("why", message(MessageId::kScanNoStart,
                                                            {message_value("part", message(MessageId::kPartLatDeg))}))});
    EXPECT_EQ(message_json(m),
              "{\"id\":\"ValueNotDms\",\"values\":{\"seen\":\"a\\\"b\\\\c\\u000a\",\"why\":{\"id\":\"ScanNoStart\","
              "\"values\":{\"part\":{\"id\":\"PartLatDeg\",\"values\":{}}}}}}");
    EXPECT_EQ(message_text(m), "'a\"b\\c\n' is not deg*min,deg*min (no latitude degrees at the start): the units read it as ");
    // A list of one part stays a list; the English joins the parts with commas.
    const Message one = message(MessageId::kNotePastNinth,
                                {message_value("count", "1"),
                                 message_value("names", std::vector<Message>{message(MessageId::kUnnamed)}),
                                 message_value("more", "")});
    EXPECT_EQ(message_json(one), "{\"id\":\"NotePastNinth\",\"values\":{\"count\":\"1\",\"names\":[{\"id\":\"Unnamed\","
                                 "\"values\":{}}],\"more\":\"\"}}");
    EXPECT_EQ(message_text(one), "left out 1 waypoint(s) after the ninth: (unnamed)");
    EXPECT_STREQ(message_name(MessageId::kNone), "");
    EXPECT_STREQ(message_name(MessageId::kCount), "");
}

}  // namespace

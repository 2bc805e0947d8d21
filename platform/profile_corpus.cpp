// The corpus of route file forms: what Notepad and other editors write, and what damaged or
// hand-made files hold, each next to the reading Windows gives it.
#include "platform/profile_corpus.h"

#define TEXT(s) std::string_view(s, sizeof(s) - 1)

const ProfileCorpusFile kProfileCorpus[] = {
    {.name = "crlf", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("; route file\r\n[PPM]\r\nppm_01 = 55*45.5,37*36.2\r\nPPM_02=1*0,2*0\r\n[SYS]\r\nq14_kp=60 ; gain\r\n")},
    {.name = "utf8-bom", .encoding = ProfileEncoding::kUtf8Bom,
     .text = TEXT("[PPM]\r\nppm_01=55*45.5,37*36.2\r\n[SYS]\r\nq14_kp=75\r\nk=\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\r\n")},
    {.name = "utf16le", .encoding = ProfileEncoding::kUtf16Le,
     .text = TEXT("[PPM]\r\nppm_01=55*45.5,37*36.2\r\n[SYS]\r\nq14_kp=75\r\nk=\xC3\xA9t\xC3\xA9\r\n")},
    {.name = "utf16be", .encoding = ProfileEncoding::kUtf16Be,
     .text = TEXT("[PPM]\nppm_01=55*45.5,37*36.2\n[SYS]\nq14_kp=75\n")},
    {.name = "utf16le-nonlatin", .encoding = ProfileEncoding::kUtf16Le,
     .text = TEXT("[PPM]\r\nk=\xD0\x96\xD0\xB6 \xE4\xB8\xAD\r\n\xD0\x96=cyr\r\n\xE2\x84\xAA=kelvin\r\n")},
    {.name = "cr-only", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\rppm_01=55*45.5,37*36.2\rppm_02=1*0,2*0\r[SYS]\rq14_kp=75\r")},
    {.name = "lf-only", .encoding = ProfileEncoding::kAnsi, .text = TEXT("[PPM]\nppm_01=1*0,2*0\n\n[SYS]\nq14_kp=75")},
    {.name = "cr-runs", .encoding = ProfileEncoding::kAnsi, .text = TEXT("[PPM]\r\r\n\n\rppm_01=1*0,2*0\n\r\n\r[SYS]\r\n\r\nq14_kp=7")},
    {.name = "long-comment", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\n; \x02ppm_01=9*0,9*0\r\nppm_02=1*0,2*0\r\n"), .pad = 1100},
    {.name = "long-value", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\nppm_01=1*0,2*0 \x02 tail\r\nppm_02=3*0,4*0\r\n"), .pad = 1500},
    {.name = "repeated-section", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\nppm_01=1*0,2*0\r\n[SYS]\r\nq14_kp=1\r\n[ppm]\r\nppm_01=5*0,5*0\r\nppm_02=6*0,6*0\r\n[SYS]\r\nq14_kd=3\r\n")},
    {.name = "header-text-after", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM] ; the routes\r\nppm_01=1*0,2*0\r\n[SYS]x\r\nq14_kp=2\r\n")},
    {.name = "header-second-bracket", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]x]\r\nppm_01=1*0,2*0\r\n[ SYS ] ] \r\nq14_kp=2\r\n[a]b]c\r\nk=3\r\n[PPM\r\nppm_02=4\r\n")},
    {.name = "nul-bytes", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\nppm_01=1*0\0,2*0\r\nppm\0_02=3*0,4*0\r\n[S\0YS]\r\nq14_kp=5\r\n[SYS]\r\nq14_kd=6\r\n")},
    {.name = "quotes", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[Q]\r\na='quoted'\r\nb=\"dq\"\r\nc='\r\nd=''\r\ne='mixed\"\r\nf=\"\"\"\r\ng= ' spaced ' \r\nh='x\r\n")},
    {.name = "no-equals", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\nppm_01\r\nppm_01=1*0,2*0\r\nnovalue\r\n=empty name\r\n=second\r\n")},
    {.name = "blanks", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("\x1A [PPM]\t\x0B\r\n\t ppm_01 \x0C=\x1A 1*0,2*0 \x1A\t\r\n  [ SYS ]  \r\nq14_kp \t = \t 75.5 \r\n\x1A")},
    {.name = "before-any-section", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("k=top\r\nppm_01=0*0,0*0\r\n[]\r\nk=empty header\r\n[PPM]\r\nppm_01=1*0,2*0\r\n")},
    {.name = "empty", .encoding = ProfileEncoding::kAnsi, .text = TEXT("")},
    {.name = "only-bom", .encoding = ProfileEncoding::kUtf8Bom, .text = TEXT("")},
    {.name = "cp1252", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[\xC4" "BC]\r\nk=\xE9t\xE9 \x80 \x8A\x9A \xFF\r\n\xC0=grave\r\n[\x8A]\r\nk=s caron\r\n")},
    {.name = "utf8-without-bom", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[PPM]\r\nk=\xC3\xA9t\xC3\xA9\r\n[\xC3\x84" "BC]\r\nk=2\r\n")},
    {.name = "utf8-bad-sequences", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("\xEF\xBB\xBF[PPM]\r\na=x\xC3y\r\nb=\xE2\x82\r\nc=\xFF\xFEz\r\nd=\xED\xA0\x80w\r\ne=\xF0\x9F\x98\x80!\r\n"
                  "g=\xE0\x80\x80\xF0\x80\x80\x80\xF4\x90\x80\x80\xC0\xAF\xC1\xBF\xF5\x80\r\nf=\xE2" "a")},
    {.name = "sections-case", .encoding = ProfileEncoding::kAnsi,
     .text = TEXT("[sys]\r\nQ14_KP=1\r\n[SYS]\r\nq14_kd=2\r\n[\xC4" "bc]\r\nk=4\r\n")},
};
const size_t kProfileCorpusCount = sizeof kProfileCorpus / sizeof kProfileCorpus[0];

std::string profile_corpus_bytes(size_t i) {
    const ProfileCorpusFile& f = kProfileCorpus[i];
    std::string text;
    for (char c : f.text) {
        if (c == '\x02') text.append(f.pad, 'x');
        else text.push_back(c);
    }
    if (f.encoding == ProfileEncoding::kAnsi) return text;
    return profile_encode(profile_from_utf8(text), f.encoding);
}

const char* const kProfileCorpusSections[] = {"PPM", "ppm", " SYS ", "sys", "", "\xC4" "BC", "\xE4" "bc", "a]b", "Q", "SYS ]",
                                              "S", "PPM]x", "\x8A", "\x9A", "nosuch"};
const size_t kProfileCorpusSectionCount = sizeof kProfileCorpusSections / sizeof kProfileCorpusSections[0];
const char* const kProfileCorpusKeys[] = {"ppm_01", "PPM_02", "q14_kp", "q14_kd", "k", "a", "b", "c", "d", "e",
                                          "f", "g", "h", "novalue", "", "ppm", "; route file", "[PPM", "\xC0",
                                          "\xE0", "\xD0\x96", "K", " k "};
const size_t kProfileCorpusKeyCount = sizeof kProfileCorpusKeys / sizeof kProfileCorpusKeys[0];

// The caption sets of the panel bitmaps and where each lies below the source root, as
// res/make_art.py writes them: the folder of its BMPs and the resource script that lists them.
#pragma once

struct CaptionSet {
    const char* name;       // as the build option Q14_CAPTIONS and q14bench --captions spell it
    const char* bitmaps;    // folder of NNNN.bmp
    const char* resources;  // resource script of the modules
};

inline constexpr CaptionSet kCaptionSets[] = {
    {"latin", "res/bmp", "res/q14.rc"},
    {"cyrillic", "res/bmp-cyrillic", "res/q14-cyrillic.rc"},
};

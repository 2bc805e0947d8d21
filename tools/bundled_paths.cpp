// Where the bench tool finds the data that comes with the sources: the sample simulator folder
// (with its route file) and the panel bitmaps of each caption set.
#include <cstring>
#include <string>

#include "res/caption_sets.h"
#include "tools/commands.h"

#ifndef Q14_SOURCE_DIR
#define Q14_SOURCE_DIR "."
#endif
#ifndef Q14_CAPTIONS
#define Q14_CAPTIONS "latin"
#endif

const char* bundled_sim_dir() { return Q14_SOURCE_DIR "/data/sim"; }

const char* build_captions() { return Q14_CAPTIONS; }

bool bundled_bitmap_dir(const char* captions, std::string& dir) {
    for (const CaptionSet& set : kCaptionSets) {
        if (std::strcmp(set.name, captions) != 0) continue;
        dir = std::string(Q14_SOURCE_DIR) + "/" + set.bitmaps;
        return true;
    }
    return false;
}

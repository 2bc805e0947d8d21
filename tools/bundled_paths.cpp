// Where the bench tool finds the data that comes with the sources: the sample simulator folder
// (with its route file) and the panel bitmaps.
#include "tools/commands.h"

#ifndef Q14_SOURCE_DIR
#define Q14_SOURCE_DIR "."
#endif

const char* bundled_sim_dir() { return Q14_SOURCE_DIR "/data/sim"; }
const char* bundled_bitmap_dir() { return Q14_SOURCE_DIR "/res/bmp"; }

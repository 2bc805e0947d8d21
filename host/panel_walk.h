// What a gauge shows, as the host draws it: its element chain walked in order into drawing
// steps (images, needles, texts) from the values and texts its callbacks gave in the last frame.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/records.h"
#include "host/standin.h"

enum class PanelDraw { kImage, kNeedle, kText };

struct PanelDrawItem {
    PanelDraw kind = PanelDraw::kImage;
    int element = 0;               // position in the chain (0 = the root image)
    int bitmap = -1;               // bitmap id, an icon's frame added; -1 for texts
    int x = 0, y = 0;              // where the image's corner or the needle's pivot lands
    int pivot_x = 0, pivot_y = 0;  // needles: the pivot in the bitmap
    double angle_deg = 0;          // needles: clockwise turn
    bool transparent = false;      // pure black is transparent (flag 0x1)
    bool bilinear = false;         // smooth filtering when turned (flag 0x80)
    const StringElement* string = nullptr;  // texts: box, colours, font
    std::string_view text;         // texts: what the callback wrote, valid until the next frame
};

// Walks gauge `gauge` of module `m` into `out` (cleared first; no allocation once it has room):
// hidden elements and icons on frame -1 (or a frame they do not have) are left out, a needle's
// non-finite angle reads 0. False with `error` when the chain has no root image to draw on.
bool panel_walk(HostModule* m, const char* gauge, std::vector<PanelDrawItem>& out, std::string& error);

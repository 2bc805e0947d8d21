// Walking a gauge's element chain into drawing steps, through the host stand-in: the element
// records the module exports and the values and texts its callbacks returned in the last frame.
#include "host/panel_walk.h"

#include <cmath>

#include "display/digits.h"

bool panel_walk(HostModule* m, const char* gauge, std::vector<PanelDrawItem>& out, std::string& error) {
    out.clear();
    int count = host_element_count(m, gauge);
    ElementHeader* root = count > 0 ? host_element(m, gauge, 0) : nullptr;
    if (!root || root->kind != kElementStatic) {
        error = std::string(gauge ? gauge : "?") + ": no root image to draw on";
        return false;
    }
    for (int k = 0; k < count; ++k) {
        ElementHeader* e = host_element(m, gauge, k);
        if (!e || (e->image_flags & kImgHidden)) continue;
        PanelDrawItem item;
        item.element = k;
        item.bitmap = e->bitmap;
        item.x = e->x;
        item.y = e->y;
        item.transparent = (e->image_flags & kImgTransparent) != 0;
        item.bilinear = (e->image_flags & kImgBilinear) != 0;
        double value = host_element_value(m, gauge, k);
        switch (e->kind) {
            case kElementStatic:
                break;
            case kElementIcon: {
                // Frame n is bitmap id + n; -1 (or a frame the icon does not have) shows nothing.
                auto* icon = reinterpret_cast<IconElement*>(e);
                if (!std::isfinite(value) || value < 0 || value >= icon->frames) continue;
                item.bitmap = e->bitmap + trunc_to_i32(value);
                break;
            }
            case kElementNeedle:
                item.kind = PanelDraw::kNeedle;
                item.pivot_x = e->pivot_x;
                item.pivot_y = e->pivot_y;
                item.angle_deg = std::isfinite(value) ? value : 0;
                break;
            case kElementString:
                item.kind = PanelDraw::kText;
                item.bitmap = -1;
                item.string = reinterpret_cast<StringElement*>(e);
                item.text = host_element_text_view(m, gauge, k);
                break;
            default:
                continue;
        }
        out.push_back(item);
    }
    return true;
}

// Where things are on the panels, as the modules list them: positions in each gauge's element
// chain (0 = the root image) and the 1-based numbers of the clickable mouse areas.
#pragma once

namespace uvi {
enum Element {
    kUpperLine = 1, kLowerLine = 2, kFromDigit = 3, kToDigit = 4, kLegends = 5, kModeKnob = 6, kAutoLever = 7,
    kEnterLamp = 8, kRouteLamp = 9, kHoldLamp = 10, kLzpLamp = 11, kWheel = 12, kFocus = 13, kUpperSign = 14,
    kLowerSign = 15
};
enum Area {
    kModeDown = 1, kModeUp = 2, kWheelDown = 3, kWheelUp = 4, kAuto = 5, kManual = 6, kKey1 = 7,  // keys 1..9: 7..15
    kEnter = 16, kKey0 = 17, kReset = 18, kRouteChange = 19, kHold = 20, kRouteReload = 21, kFocusArea = 22,
    kTakePosition = 23, kAlignShortcut = 24
};
// Mouse area of digit key d (0..9).
inline int key_area(int d) { return d == 0 ? kKey0 : kKey1 + d - 1; }
}  // namespace uvi

namespace pur {
enum Element { kLegends = 1, kKnob = 2, kKnobIndex = 3, kPit = 4, kOtkaz = 5, kKv = 6, kVnim = 7, kNegot = 8 };
enum Area { kSelectorDown = 1, kSelectorUp = 2, kLampTest = 3 };
}  // namespace pur

namespace apkey {
enum Element { kButton = 1 };
enum Area { kToggle = 1 };
}  // namespace apkey

// Pages of the UVI mode knob and positions of the PUR selector.
enum Page { kPageKontr = 1, kPagePhiLambda = 2, kPageHeading = 3, kPagePpm = 4, kPageTrack = 5, kPageDistance = 6,
            kPageSpeed = 7, kPageTime = 8, kPageWind = 9 };
enum Selector { kSelOff = 0, kSelWarmUp = 1, kSelAlign = 2, kSelNavig = 3, kSelKv = 4 };

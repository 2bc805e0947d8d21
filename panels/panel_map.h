// Where things are on the panels, as the modules list them: positions in each gauge's element
// chain (0 = the root image), the 1-based numbers of the clickable mouse areas, pages and selector positions.
#pragma once

// Each list names, in table order, the elements after a gauge's root image or its mouse areas
// after the parent rectangle. The tables (panels/uvi_panel.cpp, panels/pur_panel.cpp,
// auxiliary/autopilot.cpp) check their length against these at compile time and
// panels/panel_map_test.cpp checks what each entry does; the trainer page gets them through
// trainer_layout() (web/trainer_api.cpp).
#define Q14_UVI_ELEMENTS(X)                                                                                      \
    X(UpperLine) X(LowerLine) X(FromDigit) X(ToDigit) X(Legends) X(ModeKnob) X(AutoLever) X(EnterLamp) X(RouteLamp) \
    X(HoldLamp) X(LzpLamp) X(Wheel) X(Focus) X(UpperSign) X(LowerSign)
#define Q14_UVI_AREAS(X)                                                                                         \
    X(ModeDown) X(ModeUp) X(WheelDown) X(WheelUp) X(Auto) X(Manual) X(Key1) X(Key2) X(Key3) X(Key4) X(Key5) X(Key6) \
    X(Key7) X(Key8) X(Key9) X(Enter) X(Key0) X(Reset) X(RouteChange) X(Hold) X(RouteReload) X(FocusArea)          \
    X(TakePosition) X(AlignShortcut)
#define Q14_PUR_ELEMENTS(X) X(Legends) X(Knob) X(KnobIndex) X(Pit) X(Otkaz) X(Kv) X(Vnim) X(Negot)
#define Q14_PUR_AREAS(X) X(SelectorDown) X(SelectorUp) X(LampTest)
#define Q14_AP_KEY_ELEMENTS(X) X(Button)
#define Q14_AP_KEY_AREAS(X) X(Toggle)
// Pages of the UVI mode knob (1..9) and positions of the PUR selector (0..4).
#define Q14_PAGES(X) X(Kontr) X(PhiLambda) X(Heading) X(Ppm) X(Track) X(Distance) X(Speed) X(Time) X(Wind)
#define Q14_SELECTOR(X) X(Off) X(WarmUp) X(Align) X(Navig) X(Kv)

#define Q14_MAP_ENUM(name) k##name,
#define Q14_MAP_PAGE(name) kPage##name,
#define Q14_MAP_SELECTOR(name) kSel##name,

namespace uvi {
enum Element { kRootElement, Q14_UVI_ELEMENTS(Q14_MAP_ENUM) kElementCount };
enum Area { kParentArea, Q14_UVI_AREAS(Q14_MAP_ENUM) kAreaCount };
// Mouse area of digit key d (0..9).
inline int key_area(int d) { return d == 0 ? kKey0 : kKey1 + d - 1; }
}  // namespace uvi

namespace pur {
enum Element { kRootElement, Q14_PUR_ELEMENTS(Q14_MAP_ENUM) kElementCount };
enum Area { kParentArea, Q14_PUR_AREAS(Q14_MAP_ENUM) kAreaCount };
}  // namespace pur

namespace apkey {
enum Element { kRootElement, Q14_AP_KEY_ELEMENTS(Q14_MAP_ENUM) kElementCount };
enum Area { kParentArea, Q14_AP_KEY_AREAS(Q14_MAP_ENUM) kAreaCount };
}  // namespace apkey

enum Page { kPageNone, Q14_PAGES(Q14_MAP_PAGE) kPageCount };
enum Selector { Q14_SELECTOR(Q14_MAP_SELECTOR) kSelectorCount };
inline constexpr int kPageFirst = kPageKontr, kPageLast = kPageCount - 1;
inline constexpr int kSelectorLast = kSelectorCount - 1;

// Binary records the simulator's panel system reads in place: linkage, import table,
// gauge headers, element records, mouse rectangles and the simulator-variable record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Every routine the host calls is __stdcall on 32-bit x86; elsewhere the native convention.
#if defined(_WIN32) && !defined(_WIN64)
#define Q14_STDCALL __stdcall
#else
#define Q14_STDCALL
#endif

// Exported data symbols keep their undecorated names.
#if defined(_WIN32)
#define Q14_EXPORT extern "C" __declspec(dllexport)
#else
#define Q14_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The byte offsets tabled below hold where pointers are 32 bits wide (the shipped build).
#define Q14_RECORDS_32BIT (UINTPTR_MAX == 0xFFFFFFFFu)

struct GaugeHeader;
struct ElementHeader;

// Element callbacks return a needle angle, an icon frame (-1 hides) or a string's value.
using ElementCallback = double(Q14_STDCALL*)(ElementHeader* element);
// Gauge callback: service identifier 2, 4, 6, 12 or 14; extra value unused.
using GaugeCallback = void(Q14_STDCALL*)(GaugeHeader* gauge, int32_t service, uint32_t extra);
// Mouse callbacks get the host's click-position record and the event flags; return 1.
using MouseCallback = int32_t(Q14_STDCALL*)(void* click, uint32_t flags);
using ModuleRoutine = void(Q14_STDCALL*)();
using StdRoutine0 = int32_t(Q14_STDCALL*)();
using StdRoutine1 = int32_t(Q14_STDCALL*)(uint32_t host_value);

// Simulator-variable record: word 0 the variable number, bytes 12..19 the value (double,
// not 8-aligned, so it is kept as bytes and copied out).
struct SimVarRecord {
    int32_t id;            // +0
    uint32_t host_a[2];    // +4
    uint8_t value[8];      // +12
    uint32_t host_b[3];    // +20
};
static_assert(sizeof(SimVarRecord) == 32);
static_assert(offsetof(SimVarRecord, value) == 12);

inline double simvar_value(const SimVarRecord& r) {
    double v;
    std::memcpy(&v, r.value, sizeof v);
    return v;
}
inline void simvar_set_value(SimVarRecord& r, double v) { std::memcpy(r.value, &v, sizeof v); }

enum ElementKind : int32_t { kElementStatic = 0, kElementNeedle = 1, kElementString = 2, kElementIcon = 4 };

// Image flags: the host's drawing bits.
enum : uint32_t {
    kImgTransparent = 0x1,
    kImgErase = 0x2,
    kImgBright = 0x4,
    kImgBilinear = 0x80,
    kImgLuminous = 0x4000,
    kImgHidden = 0x40000000,
};

// First 60 bytes of every element record.
struct ElementHeader {
    int32_t kind;                 // +0
    int32_t bitmap;               // +4, -1 for strings
    int32_t x, y;                 // +8, +12
    uint32_t host0[2];            // +16
    int32_t pivot_x, pivot_y;     // +24, +28 (needles only)
    GaugeHeader* gauge;           // +32
    uint32_t host1;               // +36
    ElementHeader** next;         // +40: null-terminated list holding one element, or null
    uint32_t zero44;              // +44
    uint32_t image_flags;         // +48
    uint32_t zero52, zero56;      // +52, +56
};

struct StaticElement {
    ElementHeader h;
    uint32_t zero[9];             // +60..95
};

struct IconElement {
    ElementHeader h;
    uint32_t zero60[13];          // +60..111
    int32_t frames;               // +112
    uint32_t zero116[4];          // +116..131
    ElementCallback callback;     // +132, null: always frame 0
    uint32_t zero136;             // +136
};

struct NeedleElement {
    ElementHeader h;
    uint32_t zero60[41];          // +60..223
    ElementCallback callback;     // +224
    uint32_t zero228[2];          // +228..235
};

struct StringElement {
    ElementHeader h;
    SimVarRecord source[3];       // +60, +92, +124; the host keeps source[0]'s value at +72
    uint32_t zero156[7];          // +156..183
    char* text;                   // +184: host-filled text buffer
    uint32_t zero188;             // +188
    int32_t box_w, box_h;         // +192, +196
    uint32_t zero200[2];          // +200..207
    uint32_t color_text;          // +208, 0x00BBGGRR
    uint32_t color_back;          // +212
    uint32_t color_highlight;     // +216
    uint32_t zero220[7];          // +220..247
    char font[32];                // +248
    int32_t font_weight;          // +280
    int32_t charset;              // +284
    uint32_t format_flags;        // +288
    int32_t chars;                // +292
    uint32_t zero296[4];          // +296..311
    ElementCallback callback;     // +312
    uint32_t zero316[2];          // +316..323
};

// Mouse list entry types and the event masks used.
enum : int32_t { kMouseParent = 1, kMouseArea = 2, kMouseEnd = 3 };
enum : int32_t { kCursorNone = -1, kCursorUp = 1, kCursorDown = 2, kCursorHand = 5 };
enum : uint32_t { kMouseLeft = 0x20000000u, kMouseLeftRepeat = 0x20200000u };

struct MouseRect {
    int32_t type;                 // +0
    int32_t x, y, w, h;           // +4..+16
    int32_t cursor;               // +20
    int32_t help;                 // +24
    uint32_t mask;                // +28
    int32_t event;                // +32
    MouseCallback callback;       // +36
    uint32_t zero40;              // +40
};

// Gauge header: 200 bytes; the unit 2 module appends 8 zero bytes (GaugeHeaderRecord).
struct GaugeHeader {
    int32_t version;              // +0, 800
    const char* name;             // +4
    ElementHeader** elements;     // +8: null-terminated list holding the root element
    StdRoutine0 query;            // +12
    StdRoutine1 install;          // +16
    StdRoutine0 initialize;       // +20
    StdRoutine0 update;           // +24
    StdRoutine1 generate;         // +28
    StdRoutine0 draw;             // +32
    StdRoutine0 kill;             // +36
    uint32_t zero40;              // +40
    int32_t width_mm;             // +44
    uint32_t zero48[8];           // +48..79
    MouseRect* mouse;             // +80
    GaugeCallback callback;       // +84
    uint32_t zero88[28];          // +88..199
};

struct LinkageRecord {
    int32_t module_id;            // +0, 0x13
    ModuleRoutine init;           // +4
    ModuleRoutine deinit;         // +8
    uint32_t flags;               // +12
    uint32_t reserved;            // +16
    uint32_t version;             // +20: 0x800 unit 1, 0x900 unit 2
    GaugeHeader* gauges[8];       // +24: seven headers, then null
};

struct ImportEntry {
    uint32_t id;                  // table identifier
    void* table;                  // filled by the host before module_init
};

#if Q14_RECORDS_32BIT
static_assert(sizeof(ElementHeader) == 60);
static_assert(offsetof(ElementHeader, bitmap) == 4);
static_assert(offsetof(ElementHeader, x) == 8);
static_assert(offsetof(ElementHeader, y) == 12);
static_assert(offsetof(ElementHeader, pivot_x) == 24);
static_assert(offsetof(ElementHeader, pivot_y) == 28);
static_assert(offsetof(ElementHeader, gauge) == 32);
static_assert(offsetof(ElementHeader, next) == 40);
static_assert(offsetof(ElementHeader, image_flags) == 48);
static_assert(sizeof(StaticElement) == 96);
static_assert(sizeof(IconElement) == 140);
static_assert(offsetof(IconElement, frames) == 112);
static_assert(offsetof(IconElement, callback) == 132);
static_assert(sizeof(NeedleElement) == 236);
static_assert(offsetof(NeedleElement, callback) == 224);
static_assert(sizeof(StringElement) == 324);
static_assert(offsetof(StringElement, source) == 60);
static_assert(offsetof(StringElement, source) + sizeof(SimVarRecord) + offsetof(SimVarRecord, value) == 104);
static_assert(offsetof(StringElement, text) == 184);
static_assert(offsetof(StringElement, box_w) == 192);
static_assert(offsetof(StringElement, box_h) == 196);
static_assert(offsetof(StringElement, color_text) == 208);
static_assert(offsetof(StringElement, color_back) == 212);
static_assert(offsetof(StringElement, color_highlight) == 216);
static_assert(offsetof(StringElement, font) == 248);
static_assert(offsetof(StringElement, font_weight) == 280);
static_assert(offsetof(StringElement, charset) == 284);
static_assert(offsetof(StringElement, format_flags) == 288);
static_assert(offsetof(StringElement, chars) == 292);
static_assert(offsetof(StringElement, callback) == 312);
static_assert(sizeof(MouseRect) == 44);
static_assert(offsetof(MouseRect, x) == 4);
static_assert(offsetof(MouseRect, cursor) == 20);
static_assert(offsetof(MouseRect, help) == 24);
static_assert(offsetof(MouseRect, mask) == 28);
static_assert(offsetof(MouseRect, event) == 32);
static_assert(offsetof(MouseRect, callback) == 36);
static_assert(sizeof(GaugeHeader) == 200);
static_assert(offsetof(GaugeHeader, name) == 4);
static_assert(offsetof(GaugeHeader, elements) == 8);
static_assert(offsetof(GaugeHeader, query) == 12);
static_assert(offsetof(GaugeHeader, install) == 16);
static_assert(offsetof(GaugeHeader, initialize) == 20);
static_assert(offsetof(GaugeHeader, update) == 24);
static_assert(offsetof(GaugeHeader, generate) == 28);
static_assert(offsetof(GaugeHeader, draw) == 32);
static_assert(offsetof(GaugeHeader, kill) == 36);
static_assert(offsetof(GaugeHeader, width_mm) == 44);
static_assert(offsetof(GaugeHeader, mouse) == 80);
static_assert(offsetof(GaugeHeader, callback) == 84);
static_assert(sizeof(LinkageRecord) == 56);
static_assert(offsetof(LinkageRecord, init) == 4);
static_assert(offsetof(LinkageRecord, deinit) == 8);
static_assert(offsetof(LinkageRecord, flags) == 12);
static_assert(offsetof(LinkageRecord, version) == 20);
static_assert(offsetof(LinkageRecord, gauges) == 24);
static_assert(sizeof(ImportEntry) == 8);
static_assert(offsetof(ImportEntry, table) == 4);
#endif

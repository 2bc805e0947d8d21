// Steady flight for the frame timing and budget checks: both units navigating the bundled route
// with unit 2 steering, and one module's frame driven straight through its exported records.
#pragma once

#include <cstdint>
#include <string>

#include "frame/records.h"
#include "host/standin.h"
#include "platform/posix_control.h"
#include "tools/commands.h"
#include "tools/files.h"
#include "tools/route_cfg.h"
#include "tools/session.h"

// Both units aligned, navigating route 0 of the bundled route file, unit 2 steering, the
// aircraft in the air for `frames` frames. False with `error` when any step fails.
inline bool start_cruise(Flight& f, std::string& error, int frames = 200) {
    FlightSetup setup;
    setup.sim_dir = bundled_sim_dir();
    std::string text;
    if (!read_whole_file(setup.sim_dir + "/gauges/q14_cfg/q14_ppm.cfg", text, error)) return false;
    if (!route_from_cfg(text, 0, setup.route, error)) return false;
    setup.speed_kmh = 700;
    if (!flight_prepare(f, setup, error, nullptr)) return false;
    flight_take_off(f);
    host_frames(frames);
    return true;
}

// One module's gauges and element callbacks, in the order the host calls them each frame.
struct ModuleFrame {
    static constexpr int kMaxGauges = 8;
    static constexpr int kMaxElements = 32;
    struct Element {
        ElementCallback callback;
        ElementHeader* element;
    };
    GaugeHeader* gauges[kMaxGauges] = {};
    Element elements[kMaxGauges][kMaxElements] = {};
    int element_count[kMaxGauges] = {};
    int gauge_count = 0;
};

inline ElementCallback element_callback(ElementHeader* e) {
    switch (e->kind) {
        case kElementNeedle: return reinterpret_cast<NeedleElement*>(e)->callback;
        case kElementIcon: return reinterpret_cast<IconElement*>(e)->callback;
        case kElementString: return reinterpret_cast<StringElement*>(e)->callback;
        default: return nullptr;
    }
}

// Walks the module's Linkage: every gauge, and every element with a callback along its chain.
// The stand-in has already given the string elements their text buffers.
inline ModuleFrame module_frame_of(HostModule* m) {
    ModuleFrame f;
    const LinkageRecord* link = host_linkage(m);
    for (int g = 0; link && g < ModuleFrame::kMaxGauges && link->gauges[g]; ++g) {
        GaugeHeader* gauge = link->gauges[g];
        f.gauges[f.gauge_count] = gauge;
        int n = 0;
        ElementHeader* e = gauge->elements ? gauge->elements[0] : nullptr;
        for (; e && n < ModuleFrame::kMaxElements; e = e->next ? e->next[0] : nullptr)
            if (ElementCallback cb = element_callback(e)) f.elements[f.gauge_count][n++] = {cb, e};
        f.element_count[f.gauge_count++] = n;
    }
    return f;
}

// Service 6 to each gauge, then its element callbacks, as host_frame does for one module.
inline double module_frame_run(const ModuleFrame& f) {
    double sum = 0;
    for (int g = 0; g < f.gauge_count; ++g) {
        f.gauges[g]->callback(f.gauges[g], 6, 0);
        for (int k = 0; k < f.element_count[g]; ++k) sum += f.elements[g][k].callback(f.elements[g][k].element);
    }
    return sum;
}

// Moves the clock the modules read by one 18 Hz frame, and the aircraft's time and tick
// counter with it, leaving its position (and everything else the stand-in does) alone.
struct FrameClock {
    int64_t counter = 20000000000LL;  // performance-counter ticks, 1e7 per second
    void tick() {
        counter += 10000000 / 18;
        plat_set_perf_counter(counter);
        Aircraft& a = host_aircraft();
        a.sim_time_s += 1.0 / 18.0;
        a.ticks += 1.0;
    }
};

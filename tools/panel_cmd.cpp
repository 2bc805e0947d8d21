// q14bench panel: flies the route for a while, turns the UVI knob to a page and draws what the
// panels of one unit then show: one PNG per gauge and a sheet with all of them.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "display/digits.h"
#include "tools/cairo_io.h"
#include "tools/commands.h"
#include "tools/files.h"
#include "tools/flight_options.h"
#include "tools/options.h"
#include "panels/panel_map.h"
#include "tools/panel_render.h"
#include "tools/session.h"

const char* const kPanelUsage =
    "panel [--after-minutes M] [--page 1..9] [--unit 1|2] [--lamp-test] [--scale S] [--captions latin|cyrillic] "
    "[--out DIR] [fly options]";
const char* const kPanelSummary = "draw one unit's panels at a moment of the flight into PNG files";
const char* const kPanelHelp =
    "Flies the route as 'fly' does (same route, speed, wind and alignment options) for M minutes\n"
    "after take-off, turns the chosen unit's UVI knob to the page asked for, lets two frames pass\n"
    "and draws that unit's gauges from the panel bitmaps exactly as the host composes them.\n"
    "\n"
    "Options:\n"
    "  --after-minutes M simulated minutes after take-off (default 0: at take-off)\n"
    "  --page P          UVI knob: 1 KONTR, 2 phi/lambda, 3 IK/PG, 4 PPM, 5 ZPU/PU, 6 S/Z, 7 W/US,\n"
    "                    8 T/t, 9 delta/U (default 6)\n"
    "  --unit U          the unit whose panels are drawn, 1 or 2 (default 2, the steering unit)\n"
    "  --lamp-test       press KONTR LAMP on the PUR just before drawing (all lamps lit)\n"
    "  --scale S         drawing scale, 1 to 4 (default 1: one pixel per panel design pixel)\n"
    "  --captions SET    the panel captions to draw: latin (VVOD, SBROS) or cyrillic (the Russian\n"
    "                    lettering of the real panels; the sheet's labels in Russian too);\n"
    "                    default: the build's set, %s\n"
    "  --bitmaps DIR     folder of the panel bitmaps NNNN.bmp (default: the caption set's folder\n"
    "                    below res/ of the sources)\n"
    "  --out DIR         output folder (default out/): uvi.png, pur.png, ap_key.png, koord_i.png,\n"
    "                    koord_s.png, digtest.png and panels.png (all of them on one sheet)\n"
    "%s"
    "\n"
    "Exit status: 0 drawn, 1 bad input (a route file refused, a unit that did not do what it was\n"
    "told, a failed write), 2 bad usage.\n";

namespace {

struct Drawn {
    const char* gauge;
    const char* file;
    const char* caption;
    cairo_surface_t* s = nullptr;
};

int fail(const std::string& e, int status = 1) {
    std::fprintf(stderr, "q14bench panel: %s\n", e.c_str());
    return status;
}

// All gauges on one dark sheet: the UVI on the left; PUR, the autopilot key and the three
// read-outs on the right, each under its caption.
cairo_surface_t* sheet(const std::vector<Drawn>& d, const std::string& footer, double scale) {
    auto W = [&](int i) { return cairo_image_surface_get_width(d[static_cast<size_t>(i)].s); };
    auto H = [&](int i) { return cairo_image_surface_get_height(d[static_cast<size_t>(i)].s); };
    const double m = 24 * scale, cap = 22 * scale, gap = 22 * scale;
    double right_x = m + W(0) + 2 * m;
    double small_w = W(2) + W(3) + W(4) + 3 * gap;
    double digtest_w = W(5);
    double right_w = std::fmax(std::fmax(W(1), small_w), digtest_w);
    double row2_y = m + cap + H(1) + gap;
    double row3_y = row2_y + cap + std::fmax(H(2), std::fmax(H(3), H(4))) + gap;
    double width = right_x + right_w + m;
    double height = std::fmax(m + cap + H(0), row3_y + cap + H(5)) + m + 26 * scale;
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, trunc_to_i32(std::ceil(width)),
                                                      trunc_to_i32(std::ceil(height)));
    cairo_t* cr = cairo_create(out);
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.18);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 13 * scale);
    auto place = [&](int i, double x, double y) {
        cairo_set_source_rgb(cr, 0.85, 0.86, 0.88);
        cairo_move_to(cr, x, y + cap - 7 * scale);
        cairo_show_text(cr, d[static_cast<size_t>(i)].caption);
        cairo_set_source_surface(cr, d[static_cast<size_t>(i)].s, x, y + cap);
        cairo_paint(cr);
    };
    place(0, m, m);
    place(1, right_x, m);
    double x = right_x;
    for (int i = 2; i <= 4; ++i) {
        place(i, x, row2_y);
        x += W(i) + gap;
    }
    place(5, right_x, row3_y);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_source_rgb(cr, 0.7, 0.72, 0.75);
    cairo_set_font_size(cr, 12 * scale);
    cairo_move_to(cr, m, height - m / 2 - 4 * scale);
    cairo_show_text(cr, footer.c_str());
    cairo_destroy(cr);
    return out;
}

// The sheet's own words in the language of the captions drawn.
struct SheetWords {
    const char* uvi;
    const char* pur;
    const char* ap;
    const char* footer;  // unit, time after take-off, speed, page number and name, lamp test, route's end
    const char* lamp_test;
    const char* after_end;
    const char* pages[10];
};
const SheetWords kLatinWords = {
    "UVI", "PUR", "AP", "unit %d, %s after take-off (%.0f km/h), UVI page %d %s%s%s", ", lamp test",
    ", after the route's end",
    {"", "KONTR", "phi/lambda", "IK/PG", "PPM", "ZPU/PU", "S/Z", "W/US", "T/t", "delta/U"}};
const SheetWords kCyrillicWords = {
    "УВИ", "ПУР", "АП", "блок %d, %s после взлёта (%.0f км/ч), УВИ на странице %d %s%s%s", ", контроль ламп",
    ", после конца маршрута",
    {"", "КОНТР", "φ/λ", "ИК/ПГ", "ППМ", "ЗПУ/ПУ", "S/Z", "W/УС", "T/t", "δ/U"}};

}  // namespace

int cmd_panel(int argc, char** argv) {
    FlightOptions fo;
    std::string out = "out", captions = build_captions(), bitmaps, v, error;
    double minutes = 0, page = 6, unit = 2, scale = 1;
    bool lamp_test = false;
    CommandArgs args;
    split_args(argc, argv, args);
    argc = args.argc;
    argv = args.argv.data();
    if (!args.operands.empty()) return fail("panel takes no file of its own (got " + args.operands[0] + ")", 2);
    for (int i = 0; i < argc; ++i) {
        if (is_help(argv[i])) {
            std::printf("usage: q14bench %s\n\n", kPanelUsage);
            std::printf(kPanelHelp, build_captions(), kFlightOptionsHelp);
            return 0;
        }
        if (take_flight_option(argc, argv, i, fo, error)) {
        } else if (take_option(argc, argv, i, "--after-minutes", v, error)) {
            if (error.empty() && !parse_number(v, 0, 10000, minutes)) error = "--after-minutes " + v + ": give 0 to 10000";
        } else if (take_option(argc, argv, i, "--page", v, error)) {
            if (error.empty() && (!parse_number(v, 1, 9, page) || page != std::floor(page)))
                error = "--page " + v + ": give a knob position 1 to 9";
        } else if (take_option(argc, argv, i, "--unit", v, error)) {
            if (error.empty() && (!parse_number(v, 1, 2, unit) || unit != std::floor(unit))) error = "--unit " + v + ": give 1 or 2";
        } else if (take_option(argc, argv, i, "--scale", v, error)) {
            if (error.empty() && !parse_number(v, 1, 4, scale)) error = "--scale " + v + ": give 1 to 4";
        } else if (take_option(argc, argv, i, "--captions", v, error)) {
            std::string dir;
            if (error.empty() && !bundled_bitmap_dir(v.c_str(), dir)) error = "--captions " + v + ": give latin or cyrillic";
            captions = v;
        } else if (take_option(argc, argv, i, "--bitmaps", v, error)) {
            bitmaps = v;
        } else if (take_option(argc, argv, i, "--out", v, error)) {
            out = v;
        } else if (std::string(argv[i]) == "--lamp-test") {
            lamp_test = true;
        } else {
            error = std::string("unknown option ") + argv[i];
        }
        if (!error.empty()) return fail(error + " (see q14bench panel --help)", 2);
    }
    if (bitmaps.empty()) bundled_bitmap_dir(captions.c_str(), bitmaps);
    if (!panel_fonts_available(error)) return fail(error);
    FlightSetup setup;
    std::string scratch, label;
    if (!flight_setup_from(fo, setup, scratch, label, error)) return fail(error);
    BitmapCache cache;
    cache.dir = bitmaps;
    const SheetWords& words = captions == "cyrillic" ? kCyrillicWords : kLatinWords;
    std::vector<Drawn> drawn = {{"Q14_UVI", "uvi.png", words.uvi},
                                {"Q14_PUR", "pur.png", words.pur},
                                {"QN14_def_AP_Key", "ap_key.png", words.ap},
                                {"Koord_i", "koord_i.png", "Koord_i"},
                                {"Koord_s", "koord_s.png", "Koord_s"},
                                {"DigTest", "digtest.png", "DigTest"}};
    struct Cleanup {
        std::string dir;
        BitmapCache* cache;
        std::vector<Drawn>* drawn;
        ~Cleanup() {
            for (Drawn& d : *drawn)
                if (d.s) cairo_surface_destroy(d.s);
            bitmap_cache_clear(*cache);
            host_reset();
            remove_tree(dir);
        }
    } cleanup{scratch, &cache, &drawn};
    if (!prepare_output_dir(out, error)) return fail(error);

    Flight f;
    if (!flight_prepare(f, setup, error, nullptr)) return fail(error);
    for (const CheckFinding& note : setup.check_notes) std::printf("check: %s\n", format_finding(note).c_str());
    flight_take_off(f);
    // Unit 2 changing to a leg from the last waypoint ends the route; past that moment the
    // panels show a leg beyond it while the aircraft flies on without steering.
    const int last = static_cast<int>(setup.route.size());
    double route_end_s = -1, next_look = 0;
    while (flight_time_s(f) < minutes * 60) {
        host_frame();
        if (route_end_s < 0 && flight_time_s(f) >= next_look) {
            next_look += 1;
            if (read_unit(f, 2).from == last) route_end_s = flight_time_s(f);
        }
    }
    HostModule* m = f.unit[unit == 1 ? 0 : 1];
    if (!set_page(m, static_cast<int>(page))) return fail("the UVI knob did not turn to page " + std::to_string(static_cast<int>(page)));
    if (lamp_test) host_click(m, "Q14_PUR", pur::kLampTest);
    host_frames(2);

    std::vector<std::pair<std::string, std::string>> files;
    for (Drawn& d : drawn) {
        d.s = render_gauge(cache, m, d.gauge, scale, error);
        if (!d.s) return fail(error);
        std::string png;
        if (!surface_to_png(d.s, png, error)) return fail(error);
        files.push_back({d.file, png});
    }
    char footer[256];
    std::snprintf(footer, sizeof footer, words.footer, static_cast<int>(unit), hms(flight_time_s(f)).c_str(),
                  setup.speed_kmh, static_cast<int>(page), words.pages[static_cast<int>(page)],
                  lamp_test ? words.lamp_test : "", route_end_s >= 0 ? words.after_end : "");
    cairo_surface_t* all = sheet(drawn, footer, scale);
    std::string png;
    bool ok = surface_to_png(all, png, error);
    cairo_surface_destroy(all);
    if (!ok) return fail(error);
    files.push_back({"panels.png", png});
    if (!write_outputs(out, files, error)) return fail(error);
    if (route_end_s >= 0)
        std::printf("note: this moment is after the route's end: unit 2 passed waypoint %d, the last, at %s after "
                    "take-off\n",
                    last, hms(route_end_s).c_str());
    std::printf("%s\nwrote", footer);
    for (const auto& [name, data] : files) std::printf(" %s/%s", out.c_str(), name.c_str());
    std::printf("\n");
    return 0;
}

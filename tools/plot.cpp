// The picture of a bench flight, drawn once with cairo onto an SVG surface and once onto an
// image surface for the PNG. The map is a local equirectangular view of the route in km.
#include "tools/plot.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/cairo_io.h"

namespace {

constexpr double kWidth = 1000, kHeight = 1320;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};
constexpr Rgb kRouteColour = {0.55, 0.55, 0.58};
constexpr Rgb kTruthColour = {0.05, 0.05, 0.05};
constexpr Rgb kUnitColour[2] = {{0.90, 0.45, 0.05}, {0.10, 0.40, 0.85}};
constexpr Rgb kChangeColour = {0.80, 0.10, 0.10};

void colour(cairo_t* cr, Rgb c, double alpha = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void text(cairo_t* cr, double x, double y, const std::string& s, double size, bool bold = false, double align = 0) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - align * e.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

// A tick spacing of 1, 2 or 5 times a power of ten giving about `n` ticks over `span`.
double nice_step(double span, int n) {
    if (!(span > 0)) return 1;
    double raw = span / n, p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= raw) return m * p;
    return 10 * p;
}

std::string number(double v, double step) {
    char b[32];
    int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    std::snprintf(b, sizeof b, "%.*f", decimals, std::fabs(v) < step * 1e-6 ? 0.0 : v);
    return b;
}

struct Box {
    double x, y, w, h;
};

// ---- the map -------------------------------------------------------------------------------

struct MapView {
    double lat0 = 0, lon0 = 0, coslat = 1;
    double scale = 1;       // pixels per km
    double cx = 0, cy = 0;  // pixel centre
    double km_per_deg = kToolEarthRadiusKm * kPi / 180.0;
    double x(GeoPoint p) const {
        double d = std::remainder(p.lon - lon0, 360.0);
        return cx + d * coslat * km_per_deg * scale;
    }
    double y(GeoPoint p) const { return cy - (p.lat - lat0) * km_per_deg * scale; }
};

MapView fit_map(const FlightPlot& plot, Box box) {
    std::vector<GeoPoint> pts = plot.route;
    for (const FlightSample& s : plot.samples) pts.push_back(s.truth);
    MapView v;
    double lat_min = 90, lat_max = -90;
    for (const GeoPoint& p : pts) {
        lat_min = std::min(lat_min, p.lat);
        lat_max = std::max(lat_max, p.lat);
    }
    v.lat0 = (lat_min + lat_max) / 2;
    v.lon0 = pts.empty() ? 0 : pts[0].lon;
    v.coslat = std::cos(v.lat0 * kPi / 180);
    double xmin = 1e18, xmax = -1e18, ymin = 1e18, ymax = -1e18;
    for (const GeoPoint& p : pts) {
        double x = std::remainder(p.lon - v.lon0, 360.0) * v.coslat * v.km_per_deg, y = (p.lat - v.lat0) * v.km_per_deg;
        xmin = std::min(xmin, x), xmax = std::max(xmax, x), ymin = std::min(ymin, y), ymax = std::max(ymax, y);
    }
    double w = std::max(xmax - xmin, 1.0), h = std::max(ymax - ymin, 1.0);
    v.scale = std::min(box.w * 0.86 / w, box.h * 0.86 / h);
    v.lon0 += (xmin + xmax) / 2 / (v.coslat * v.km_per_deg);
    v.cx = box.x + box.w / 2;
    v.cy = box.y + box.h / 2;
    return v;
}

void polyline(cairo_t* cr, const MapView& v, const std::vector<GeoPoint>& pts) {
    bool first = true;
    double px = 0;
    for (const GeoPoint& p : pts) {
        double x = v.x(p), y = v.y(p);
        // A jump across the map (the date line) starts a new stroke.
        if (first || std::fabs(x - px) > 400) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
        first = false;
        px = x;
    }
}

void draw_map(cairo_t* cr, const FlightPlot& plot, Box box) {
    MapView v = fit_map(plot, box);
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_set_source_rgb(cr, 0.97, 0.975, 0.98);
    cairo_fill_preserve(cr);
    cairo_clip(cr);

    // Grid every `step` km, and a scale bar of one step.
    double step = nice_step(box.w / v.scale, 8);
    cairo_set_line_width(cr, 0.6);
    cairo_set_source_rgb(cr, 0.86, 0.87, 0.89);
    for (double k = -50; k <= 50; ++k) {
        double gx = v.cx + k * step * v.scale, gy = v.cy + k * step * v.scale;
        cairo_move_to(cr, gx, box.y), cairo_line_to(cr, gx, box.y + box.h);
        cairo_move_to(cr, box.x, gy), cairo_line_to(cr, box.x + box.w, gy);
    }
    cairo_stroke(cr);

    // The route along great circles.
    std::vector<GeoPoint> legs;
    for (size_t i = 0; i + 1 < plot.route.size(); ++i)
        for (int k = 0; k <= 32; ++k) legs.push_back(geo_interpolate(plot.route[i], plot.route[i + 1], k / 32.0));
    colour(cr, kRouteColour);
    cairo_set_line_width(cr, 4);
    double dash[] = {10, 6};
    cairo_set_dash(cr, dash, 2, 0);
    polyline(cr, v, legs);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);

    // Tracks: the units' computed positions under the true one.
    for (int u = 0; u < 2; ++u) {
        std::vector<GeoPoint> pts;
        for (const FlightSample& s : plot.samples)
            if (s.unit_ok[u]) pts.push_back(s.unit_pos[u]);
        colour(cr, kUnitColour[u], 0.9);
        cairo_set_line_width(cr, 2.2);
        polyline(cr, v, pts);
        cairo_stroke(cr);
    }
    std::vector<GeoPoint> truth;
    for (const FlightSample& s : plot.samples) truth.push_back(s.truth);
    colour(cr, kTruthColour);
    cairo_set_line_width(cr, 1.2);
    polyline(cr, v, truth);
    cairo_stroke(cr);

    // Leg changes of the steering unit.
    colour(cr, kChangeColour);
    for (const LegChange& c : plot.changes) {
        if (c.unit != 2) continue;
        double x = v.x(c.where), y = v.y(c.where);
        cairo_move_to(cr, x, y - 6), cairo_line_to(cr, x + 5.5, y + 4), cairo_line_to(cr, x - 5.5, y + 4);
        cairo_close_path(cr);
        cairo_fill(cr);
    }

    // Waypoints; one that falls on an earlier one shares its label ("1,5").
    for (size_t i = 0; i < plot.route.size(); ++i) {
        double x = v.x(plot.route[i]), y = v.y(plot.route[i]);
        cairo_new_path(cr);  // no line from the last label to this circle
        cairo_arc(cr, x, y, 7, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        colour(cr, kRouteColour);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    for (size_t i = 0; i < plot.route.size(); ++i) {
        double x = v.x(plot.route[i]), y = v.y(plot.route[i]);
        bool earlier = false;
        for (size_t j = 0; j < i; ++j) earlier = earlier || std::hypot(v.x(plot.route[j]) - x, v.y(plot.route[j]) - y) < 4;
        if (earlier) continue;
        std::string label = std::to_string(i + 1);
        for (size_t j = i + 1; j < plot.route.size(); ++j)
            if (std::hypot(v.x(plot.route[j]) - x, v.y(plot.route[j]) - y) < 4) label += "," + std::to_string(j + 1);
        cairo_set_source_rgb(cr, 0.15, 0.15, 0.2);
        text(cr, x + 10, y - 9, label, 15, true);
    }

    // Scale bar and north mark.
    double bx = box.x + 20, by = box.y + box.h - 24;
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.2);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, bx, by - 5), cairo_line_to(cr, bx, by), cairo_line_to(cr, bx + step * v.scale, by),
        cairo_line_to(cr, bx + step * v.scale, by - 5);
    cairo_stroke(cr);
    text(cr, bx + step * v.scale / 2, by - 8, number(step, step) + " km (grid)", 12, false, 0.5);
    double nx = box.x + box.w - 30, ny = box.y + box.h - 40;
    cairo_move_to(cr, nx, ny - 26), cairo_line_to(cr, nx + 8, ny), cairo_line_to(cr, nx - 8, ny);
    cairo_close_path(cr);
    cairo_fill(cr);
    text(cr, nx, ny + 16, "N", 14, true, 0.5);

    // Legend.
    struct Item {
        Rgb c;
        const char* label;
        double width;
        bool dashed;
    } items[] = {{kRouteColour, "route (great circles)", 4, true},
                 {kTruthColour, "true track", 1.2, false},
                 {kUnitColour[0], "unit 1 computed position", 2.2, false},
                 {kUnitColour[1], "unit 2 computed position (steering)", 2.2, false},
                 {kChangeColour, "leg change (unit 2)", 0, false}};
    // The legend goes into the corner that hides the fewest points of the route and track.
    const double lw = 300, lh = 24.0 * 5 + 10;
    double lx = box.x + 14, ly = box.y + 14;
    int fewest = -1;
    for (int corner = 0; corner < 4; ++corner) {
        double cx = corner % 2 ? box.x + box.w - 14 - lw : box.x + 14;
        double cy = corner / 2 ? box.y + box.h - 14 - lh - 60 : box.y + 14;
        int hidden = 0;
        auto count = [&](GeoPoint p, int weight) {
            double px = v.x(p), py = v.y(p);
            if (px >= cx - 20 && px <= cx + lw + 20 && py >= cy - 20 && py <= cy + lh + 20) hidden += weight;
        };
        for (const GeoPoint& p : legs) count(p, 1);
        for (const GeoPoint& p : plot.route) count(p, 100);
        for (const GeoPoint& p : truth) count(p, 1);
        if (fewest < 0 || hidden < fewest) fewest = hidden, lx = cx, ly = cy;
    }
    cairo_rectangle(cr, lx, ly, lw, lh);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.88);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.78);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (int i = 0; i < 5; ++i) {
        double y = ly + 20 + 24.0 * i;
        colour(cr, items[i].c);
        if (items[i].width > 0) {
            cairo_set_line_width(cr, items[i].width);
            if (items[i].dashed) cairo_set_dash(cr, dash, 2, 0);
            cairo_move_to(cr, lx + 10, y - 4), cairo_line_to(cr, lx + 44, y - 4);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
        } else {
            cairo_move_to(cr, lx + 27, y - 10), cairo_line_to(cr, lx + 32.5, y), cairo_line_to(cr, lx + 21.5, y);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.12);
        text(cr, lx + 54, y, items[i].label, 13);
    }
    cairo_restore(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.64);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// ---- the graphs over time -----------------------------------------------------------------

struct Series {
    Rgb c;
    std::vector<std::pair<double, double>> pts;  // (minutes, value)
    std::vector<bool> in_range;                  // points the value range must hold (empty: all)
};

// `least` is the smallest range shown above (and, when symmetric, below) zero.
void draw_graph(cairo_t* cr, Box box, const std::string& title, const std::vector<Series>& series,
                const std::vector<double>& marks_min, double t_max_min, bool symmetric, double least) {
    double vmin = 0, vmax = least;
    for (const Series& s : series)
        for (size_t i = 0; i < s.pts.size(); ++i)
            if (s.in_range.empty() || s.in_range[i]) vmin = std::min(vmin, s.pts[i].second), vmax = std::max(vmax, s.pts[i].second);
    if (symmetric) vmax = std::max(std::fabs(vmin), std::fabs(vmax)), vmin = -vmax;
    if (vmax - vmin < 1e-3) vmax = vmin + 0.01;
    double vstep = nice_step(vmax - vmin, 5);
    vmin = std::floor(vmin / vstep) * vstep;
    vmax = std::ceil(vmax / vstep) * vstep;
    if (t_max_min <= 0) t_max_min = 1;
    double tstep = nice_step(t_max_min, 10);
    auto X = [&](double t) { return box.x + t / t_max_min * box.w; };
    auto Y = [&](double v) { return box.y + box.h - (v - vmin) / (vmax - vmin) * box.h; };

    cairo_set_source_rgb(cr, 0.1, 0.1, 0.12);
    text(cr, box.x, box.y - 10, title, 14, true);
    cairo_set_line_width(cr, 0.6);
    cairo_set_source_rgb(cr, 0.86, 0.87, 0.89);
    for (double v = vmin; v <= vmax + vstep / 2; v += vstep) cairo_move_to(cr, box.x, Y(v)), cairo_line_to(cr, box.x + box.w, Y(v));
    for (double t = 0; t <= t_max_min + tstep / 2; t += tstep) cairo_move_to(cr, X(t), box.y), cairo_line_to(cr, X(t), box.y + box.h);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
    for (double v = vmin; v <= vmax + vstep / 2; v += vstep) text(cr, box.x - 6, Y(v) + 4, number(v, vstep), 11, false, 1);
    for (double t = 0; t <= t_max_min + tstep / 2; t += tstep) text(cr, X(t), box.y + box.h + 15, number(t, tstep), 11, false, 0.5);
    text(cr, box.x + box.w, box.y + box.h + 30, "minutes since take-off", 11, false, 1);

    colour(cr, kChangeColour, 0.6);
    cairo_set_line_width(cr, 1);
    double dash[] = {4, 4};
    cairo_set_dash(cr, dash, 2, 0);
    for (double m : marks_min) cairo_move_to(cr, X(m), box.y), cairo_line_to(cr, X(m), box.y + box.h);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    if (vmin < 0 && vmax > 0) {
        cairo_set_source_rgb(cr, 0.5, 0.5, 0.55);
        cairo_move_to(cr, box.x, Y(0)), cairo_line_to(cr, box.x + box.w, Y(0));
        cairo_stroke(cr);
    }
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_clip(cr);
    for (const Series& s : series) {
        colour(cr, s.c);
        cairo_set_line_width(cr, 1.6);
        bool first = true;
        for (auto [t, v] : s.pts) {
            if (first) cairo_move_to(cr, X(t), Y(v));
            else cairo_line_to(cr, X(t), Y(v));
            first = false;
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.64);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void draw(cairo_t* cr, const FlightPlot& plot) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.1);
    text(cr, 40, 34, plot.title, 20, true);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
    text(cr, 40, 56, plot.subtitle, 13);
    draw_map(cr, plot, {40, 72, kWidth - 80, 800});

    double t_max = plot.samples.empty() ? 1 : plot.samples.back().t / 60.0;
    std::vector<double> marks;
    for (const LegChange& c : plot.changes)
        if (c.unit == 2) marks.push_back(c.t / 60.0);
    // The cross-track scale shows the legs after their turns; the intercepts from the turn
    // lead's offset run off it.
    std::vector<LegReport> legs = leg_reports(plot.samples, plot.route);
    auto intercepting = [&](double t) {
        for (const LegReport& r : legs)
            if (r.after_turn && t >= r.t_start && t <= r.t_end && (r.reached_s < 0 || t < r.t_start + r.reached_s)) return true;
        return false;
    };
    Series xtk{kTruthColour, {}, {}};
    Series err[2] = {{kUnitColour[0], {}, {}}, {kUnitColour[1], {}, {}}};
    for (const FlightSample& s : plot.samples) {
        xtk.pts.push_back({s.t / 60.0, s.xtk_km});
        xtk.in_range.push_back(!intercepting(s.t));
        for (int u = 0; u < 2; ++u)
            if (s.unit_ok[u]) err[u].pts.push_back({s.t / 60.0, geo_distance_km(s.truth, s.unit_pos[u])});
    }
    draw_graph(cr, {80, 910, kWidth - 120, 150},
               "Cross-track of the true position from the leg flown, km (right +; intercepts after turns run off scale)",
               {xtk}, marks, t_max, true, 0.5);
    draw_graph(cr, {80, 1120, kWidth - 120, 150},
               "Position error of each unit, km (unit 1 orange, unit 2 blue)", {err[0], err[1]}, marks, t_max, false, 0.1);
}

}  // namespace

bool render_flight_plot(const FlightPlot& plot, std::string& svg, std::string& png, std::string& error) {
    svg.clear();
    cairo_surface_t* s = cairo_svg_surface_create_for_stream(append_to_string, &svg, kWidth, kHeight);
    cairo_t* cr = cairo_create(s);
    draw(cr, plot);
    cairo_status_t st = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    if (st == CAIRO_STATUS_SUCCESS) st = cairo_surface_status(s);
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot draw the SVG plot: ") + cairo_status_to_string(st);
        return false;
    }
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kWidth), static_cast<int>(kHeight));
    cr = cairo_create(img);
    draw(cr, plot);
    st = cairo_status(cr);
    cairo_destroy(cr);
    bool ok = st == CAIRO_STATUS_SUCCESS && surface_to_png(img, png, error);
    if (st != CAIRO_STATUS_SUCCESS) error = std::string("cannot draw the PNG plot: ") + cairo_status_to_string(st);
    cairo_surface_destroy(img);
    return ok;
}

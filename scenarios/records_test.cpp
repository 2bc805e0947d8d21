// The records each module exports, read the way the simulator reads them: linkage, import
// table, gauge headers, element chains, string elements and mouse lists of both units.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/standin.h"

namespace {

struct StringRow {
    int box_w, box_h, chars;
    uint32_t color_text, color_back, color_highlight;
    const char* font;
    int weight;
    int source_id;
};

struct ElementRow {
    int kind;
    int bitmap;
    int x, y;
    int pivot_x, pivot_y;  // needles
    uint32_t flags;
    int frames;            // icons
    bool has_callback;     // needles, icons, strings
    const StringRow* str;
};

struct AreaRow {
    int x, y, w, h, cursor;
    uint32_t mask;
};

struct GaugeRow {
    const char* name;
    int width_mm;
    int bmp_w, bmp_h;  // root bitmap size: every area lies inside it
    std::vector<ElementRow> elements;
    std::vector<AreaRow> areas;
};

constexpr StringRow kUviLine = {205, 60, 10, 0x00589D6C, 0x00080808, 0x005C5C5C, "quartz", 400, 0};
constexpr StringRow kUviDigit = {20, 60, 1, 0x00589D6C, 0x00080808, 0x005C5C5C, "quartz", 400, 0};
constexpr StringRow kDigLine = {118, 13, 10, 0x0000FA, 0x323232, 0x5C5C5C, "Courier New", 700, 904};
constexpr StringRow kKoordLat = {120, 14, 11, 0x0000FA, 0, 0x5C5C5C, "Courier", 700, 904};
constexpr StringRow kKoordLon = {120, 14, 11, 0x0000FA, 0, 0x5C5C5C, "Courier New", 700, 904};

ElementRow stat(int bmp) { return {kElementStatic, bmp, 0, 0, 0, 0, 0x3, 0, false, nullptr}; }
ElementRow str(int x, int y, const StringRow& s) { return {kElementString, -1, x, y, 0, 0, 0x6, 0, true, &s}; }
ElementRow icon(int bmp, int x, int y, int frames, uint32_t flags, bool cb = true) {
    return {kElementIcon, bmp, x, y, 0, 0, flags, frames, cb, nullptr};
}
ElementRow needle(int bmp, int x, int y, int px, int py, uint32_t flags) {
    return {kElementNeedle, bmp, x, y, px, py, flags, 0, true, nullptr};
}

constexpr uint32_t L = kMouseLeft, R = kMouseLeftRepeat;

const std::vector<GaugeRow>& gauge_rows() {
    static const std::vector<GaugeRow> rows = {
        {"Q14_UVI", 160, 383, 514,
         {stat(4128), str(138, 38, kUviLine), str(138, 107, kUviLine), str(49, 107, kUviDigit),
          str(91, 107, kUviDigit), icon(4133, 0, 0, 1, 0x4003, false), needle(4144, 122, 453, 29, 17, 0x83),
          needle(4160, 130, 302, 38, 20, 0x83), icon(4165, 182, 368, 1, 0x7), icon(4176, 239, 429, 1, 0x7),
          icon(4192, 297, 429, 1, 0x7), icon(4208, 26, 48, 1, 0x7), icon(4224, 46, 283, 10, 0x4003),
          icon(4256, 357, 6, 1, 0x7), icon(4272, 127, 49, 6, 0x7), icon(4288, 127, 117, 6, 0x7)},
         {{87, 422, 30, 60, 2, R},   {124, 422, 30, 60, 1, R},  {48, 301, 30, 35, 2, R},  {48, 249, 30, 35, 1, R},
          {102, 275, 25, 50, 2, L},  {134, 275, 25, 50, 1, L},  {186, 191, 40, 40, 5, L}, {244, 191, 40, 40, 5, L},
          {302, 191, 40, 40, 5, L},  {186, 249, 40, 40, 5, L},  {244, 249, 40, 40, 5, L}, {302, 249, 40, 40, 5, L},
          {186, 310, 40, 40, 5, L},  {244, 310, 40, 40, 5, L},  {302, 310, 40, 40, 5, L}, {186, 372, 40, 40, 5, L},
          {244, 372, 40, 40, 5, L},  {302, 372, 40, 40, 5, L},  {244, 434, 40, 40, 5, L}, {302, 434, 40, 40, 5, L},
          {0, 0, 45, 45, -1, L},     {337, 0, 45, 45, 5, L},    {26, 48, 93, 22, -1, L},  {290, 120, 40, 60, 5, L}}},
        {"Q14_PUR", 140, 383, 130,
         {stat(4608), icon(4624, 0, 0, 1, 0x4003, false), needle(4640, 308, 65, 38, 32, 0x83),
          needle(4656, 308, 65, 38, 32, 0x4083), icon(4736, 164, 91, 1, 0x7), icon(4720, 108, 91, 1, 0x7),
          icon(4704, 136, 53, 1, 0x7), icon(4688, 164, 15, 1, 0x7), icon(4672, 108, 15, 1, 0x7)},
         {{277, 40, 30, 50, 2, L}, {311, 40, 30, 50, 1, L}, {51, 78, 30, 30, 5, R}}},
        {"Q_14_SYS", 20, 20, 20, {stat(4112)}, {}},
        {"DigTest", 120, 120, 60,
         {stat(4096), str(1, 1, kDigLine), str(1, 16, kDigLine), str(1, 31, kDigLine), str(1, 46, kDigLine)},
         {}},
        {"QN14_def_AP_Key", 15, 30, 65, {stat(4768), icon(4773, 0, 0, 3, 0x3)}, {{0, 0, 30, 65, 5, L}}},
        {"Koord_i", 120, 120, 45, {stat(4784), str(5, 5, kKoordLat), str(5, 25, kKoordLon)}, {{10, 10, 100, 25, 5, L}}},
        {"Koord_s", 120, 120, 45, {stat(4784), str(5, 5, kKoordLat), str(5, 25, kKoordLon)}, {{10, 10, 100, 25, 5, L}}},
    };
    return rows;
}

bool all_zero(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

ElementCallback element_callback(const ElementHeader* e) {
    switch (e->kind) {
        case kElementNeedle: return reinterpret_cast<const NeedleElement*>(e)->callback;
        case kElementIcon: return reinterpret_cast<const IconElement*>(e)->callback;
        case kElementString: return reinterpret_cast<const StringElement*>(e)->callback;
        default: return nullptr;
    }
}

class RecordsTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        host_reset();
        unit = GetParam();
        m = host_load(host_module_path(unit));
        ASSERT_NE(m, nullptr) << host_last_error();
    }
    void TearDown() override { host_reset(); }
    int unit = 0;
    HostModule* m = nullptr;
};

TEST_P(RecordsTest, LinkageListsTheSevenGaugesInOrder) {
    const LinkageRecord* l = host_linkage(m);
    EXPECT_EQ(l->module_id, 0x13);
    EXPECT_NE(l->init, nullptr);
    EXPECT_NE(l->deinit, nullptr);
    EXPECT_EQ(l->flags, 0u);
    EXPECT_EQ(l->reserved, 0u);
    EXPECT_EQ(l->version, unit == 1 ? 0x800u : 0x900u);
    const auto& rows = gauge_rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_NE(l->gauges[i], nullptr) << i;
        EXPECT_STREQ(l->gauges[i]->name, rows[i].name);
    }
    EXPECT_EQ(l->gauges[rows.size()], nullptr);
}

TEST_P(RecordsTest, ImportTableListsTheUnitsTablesFilledByTheHost) {
    const std::vector<uint32_t> want =
        unit == 1 ? std::vector<uint32_t>{0xF} : std::vector<uint32_t>{0xF, 0x1, 0x19, 0x2C, 0x1C, 0xA, 0x17};
    const ImportEntry* e = host_import_table(m);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(e[i].id, want[i]) << i;
        EXPECT_NE(e[i].table, nullptr) << i;
    }
    EXPECT_EQ(e[want.size()].id, 0u);
    EXPECT_EQ(e[want.size()].table, nullptr);
}

TEST_P(RecordsTest, GaugeHeadersCarryTheirTablesAndTheSharedRoutines) {
    const LinkageRecord* l = host_linkage(m);
    const GaugeHeader* first = l->gauges[0];
    for (const GaugeRow& row : gauge_rows()) {
        SCOPED_TRACE(row.name);
        const GaugeHeader* g = host_gauge(m, row.name);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->version, 800);
        EXPECT_EQ(g->width_mm, row.width_mm);
        EXPECT_NE(g->callback, nullptr);
        ASSERT_NE(g->elements, nullptr);
        EXPECT_NE(g->elements[0], nullptr);
        EXPECT_EQ(g->elements[1], nullptr);  // exactly one root
        // One set of standard routines for all seven gauges.
        EXPECT_NE(g->query, nullptr);
        EXPECT_EQ(g->query, first->query);
        EXPECT_EQ(g->install, first->install);
        EXPECT_EQ(g->initialize, first->initialize);
        EXPECT_EQ(g->update, first->update);
        EXPECT_EQ(g->generate, first->generate);
        EXPECT_EQ(g->draw, first->draw);
        EXPECT_EQ(g->kill, first->kill);
        EXPECT_NE(g->install, nullptr);
        EXPECT_NE(g->initialize, nullptr);
        EXPECT_NE(g->update, nullptr);
        EXPECT_NE(g->generate, nullptr);
        EXPECT_NE(g->draw, nullptr);
        EXPECT_NE(g->kill, nullptr);
        EXPECT_EQ(g->zero40, 0u);
        EXPECT_TRUE(all_zero(g->zero48, sizeof g->zero48));
        EXPECT_TRUE(all_zero(g->zero88, sizeof g->zero88));
        // Unit 2's headers are 8 bytes longer, all zero.
        if (unit == 2) {
            EXPECT_TRUE(all_zero(g + 1, 8));
        }
    }
}

TEST_P(RecordsTest, ElementChainsMatchTheirTables) {
    for (const GaugeRow& row : gauge_rows()) {
        SCOPED_TRACE(row.name);
        GaugeHeader* g = host_gauge(m, row.name);
        ASSERT_NE(g, nullptr);
        std::vector<const ElementHeader*> chain;
        for (const ElementHeader* e = g->elements[0]; e; e = e->next ? e->next[0] : nullptr) {
            for (const ElementHeader* seen : chain) ASSERT_NE(seen, e) << "chain loops back";
            chain.push_back(e);
            ASSERT_LE(chain.size(), row.elements.size()) << "chain longer than its table";
            if (e->next) {
                EXPECT_EQ(e->next[1], nullptr) << "next list holds more than one";
            }
        }
        ASSERT_EQ(chain.size(), row.elements.size());
        EXPECT_EQ(host_element_count(m, row.name), static_cast<int>(row.elements.size()));
        for (size_t k = 0; k < chain.size(); ++k) {
            SCOPED_TRACE(k);
            const ElementHeader* e = chain[k];
            const ElementRow& want = row.elements[k];
            EXPECT_EQ(e->kind, want.kind);
            EXPECT_EQ(e->bitmap, want.bitmap);
            EXPECT_EQ(e->x, want.x);
            EXPECT_EQ(e->y, want.y);
            EXPECT_EQ(e->pivot_x, want.pivot_x);
            EXPECT_EQ(e->pivot_y, want.pivot_y);
            EXPECT_EQ(e->gauge, g);
            EXPECT_EQ(e->image_flags, want.flags);
            EXPECT_EQ(e->zero44, 0u);
            EXPECT_EQ(e->zero52, 0u);
            EXPECT_EQ(e->zero56, 0u);
            EXPECT_EQ(element_callback(e) != nullptr, want.has_callback);
            if (want.kind == kElementIcon) {
                EXPECT_EQ(reinterpret_cast<const IconElement*>(e)->frames, want.frames);
            }
            if (want.kind == kElementString) {
                const auto* s = reinterpret_cast<const StringElement*>(e);
                const StringRow& ws = *want.str;
                EXPECT_EQ(s->box_w, ws.box_w);
                EXPECT_EQ(s->box_h, ws.box_h);
                EXPECT_EQ(s->chars, ws.chars);
                EXPECT_EQ(s->color_text, ws.color_text);
                EXPECT_EQ(s->color_back, ws.color_back);
                EXPECT_EQ(s->color_highlight, ws.color_highlight);
                EXPECT_STREQ(s->font, ws.font);
                size_t n = std::strlen(ws.font);
                EXPECT_TRUE(all_zero(s->font + n, sizeof s->font - n)) << "font name not NUL-padded";
                EXPECT_EQ(s->font_weight, ws.weight);
                EXPECT_EQ(s->charset, 1);
                EXPECT_EQ(s->format_flags, 0x25u);
                EXPECT_EQ(s->source[0].id, ws.source_id);
                EXPECT_EQ(s->source[1].id, 0);
                EXPECT_EQ(s->source[2].id, 0);
                EXPECT_NE(s->text, nullptr) << "the host gives every string a buffer";
            }
        }
        EXPECT_EQ(chain.back()->next, nullptr);
    }
}

TEST_P(RecordsTest, MouseListsRunFromParentToEndWithAreasInsideTheGauge) {
    for (const GaugeRow& row : gauge_rows()) {
        SCOPED_TRACE(row.name);
        const GaugeHeader* g = host_gauge(m, row.name);
        ASSERT_NE(g, nullptr);
        if (!g->mouse) {
            EXPECT_TRUE(row.areas.empty()) << "a gauge with areas needs a mouse list";
            continue;
        }
        const MouseRect* r = g->mouse;
        EXPECT_EQ(r[0].type, kMouseParent);
        EXPECT_EQ(r[0].cursor, kCursorNone);
        EXPECT_EQ(r[0].callback, nullptr);
        EXPECT_EQ(r[0].x | r[0].y | r[0].w | r[0].h, 0);
        size_t n = row.areas.size();
        for (size_t i = 0; i < n; ++i) {
            SCOPED_TRACE(i + 1);
            const MouseRect& a = r[i + 1];
            const AreaRow& w = row.areas[i];
            ASSERT_EQ(a.type, kMouseArea);
            EXPECT_EQ(a.x, w.x);
            EXPECT_EQ(a.y, w.y);
            EXPECT_EQ(a.w, w.w);
            EXPECT_EQ(a.h, w.h);
            EXPECT_EQ(a.cursor, w.cursor);
            EXPECT_EQ(a.mask, w.mask);
            EXPECT_EQ(a.help, 0);
            EXPECT_EQ(a.event, 0);
            EXPECT_EQ(a.zero40, 0u);
            EXPECT_NE(a.callback, nullptr);
            EXPECT_GE(a.x, 0);
            EXPECT_GE(a.y, 0);
            EXPECT_GT(a.w, 0);
            EXPECT_GT(a.h, 0);
            EXPECT_LE(a.x + a.w, row.bmp_w);
            EXPECT_LE(a.y + a.h, row.bmp_h);
        }
        EXPECT_EQ(r[n + 1].type, kMouseEnd);
        EXPECT_EQ(r[n + 1].cursor, kCursorNone);
        EXPECT_EQ(r[n + 1].callback, nullptr);
        EXPECT_EQ(host_mouse_area_count(m, row.name), static_cast<int>(n));
    }
}

// Every standard routine of every gauge hands Q14_UVI's root to the host, passes the host's
// value through unchanged and returns what the host returned.
TEST_P(RecordsTest, StandardRoutinesHandOverTheUviRoot) {
    const ElementHeader* uvi_root = host_element(m, "Q14_UVI", 0);
    ASSERT_NE(uvi_root, nullptr);
    const uint32_t values[] = {0u, 1u, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu};
    for (const GaugeRow& row : gauge_rows()) {
        SCOPED_TRACE(row.name);
        GaugeHeader* g = host_gauge(m, row.name);
        for (uint32_t v : values) {
            host_clear_element_ops();
            EXPECT_EQ(g->query(), 96);
            EXPECT_EQ(g->install(v), 100);
            EXPECT_EQ(g->initialize(), 104);
            EXPECT_EQ(g->update(), 108);
            EXPECT_EQ(g->generate(v), 112);
            EXPECT_EQ(g->draw(), 116);
            EXPECT_EQ(g->kill(), 124);
            const auto& ops = host_element_ops();
            const char* names[] = {"query_elements",  "install_elements", "initialize_elements", "update_elements",
                                   "generate_elements", "draw_elements",  "kill_elements"};
            ASSERT_EQ(ops.size(), 7u);
            for (size_t i = 0; i < 7; ++i) {
                EXPECT_EQ(ops[i].op, names[i]);
                EXPECT_EQ(ops[i].element, uvi_root);
                bool with_value = i == 1 || i == 4;
                EXPECT_EQ(ops[i].has_value, with_value);
                if (with_value) {
                    EXPECT_EQ(ops[i].host_value, v);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothUnits, RecordsTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& i) { return "unit" + std::to_string(i.param); });

}  // namespace

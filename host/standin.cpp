// The host stand-in: loads gauge modules, fills their import tables with its own function
// tables and drives them frame by frame through their exported records, as the simulator does.
#include "host/standin.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

#ifndef Q14_MODULE_DIR
#define Q14_MODULE_DIR "."
#endif

// ---- loader and platform section ---------------------------------------------------------
// Everything that differs between Linux (native modules, our platform library) and Windows
// (the real .gau files, the real clock and keyboard) lives here.
#ifdef _WIN32
#include <windows.h>

namespace {

constexpr const char* kModuleSuffix = ".gau";

void* lib_open(const std::string& path, std::string& error) {
    HMODULE h = LoadLibraryA(path.c_str());
    if (!h) error = "LoadLibraryA failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(h);
}

void* lib_symbol(void* lib, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

void lib_close(void* lib, const std::string&) { FreeLibrary(static_cast<HMODULE>(lib)); }

// The real performance counter runs on; frames are timed by the clock.
void clock_set(int64_t) {}

// The modules ask Windows for the executable path; it cannot be redirected.
void exe_path_set(const char*) {}

HWND key_window() {
    static HWND w = nullptr;
    if (w) return w;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "q14_standin_keys";
    RegisterClassA(&wc);
    w = CreateWindowExA(0, wc.lpszClassName, "q14 stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                        nullptr, wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    return w;
}

// The keyboard hook runs when this thread takes a keyboard message from its queue, so the
// keystroke goes in as input and the queue is drained. A keystroke that no message reports
// was swallowed by a hook.
bool deliver_key(int scan, int repeat, bool release, uint32_t, uintptr_t) {
    HWND w = key_window();
    SetForegroundWindow(w);
    SetFocus(w);
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(scan);
    in.ki.dwFlags = KEYEVENTF_SCANCODE | (release ? KEYEVENTF_KEYUP : 0);
    for (int i = 0; i < (repeat < 1 ? 1 : repeat); ++i) SendInput(1, &in, sizeof in);
    bool seen = false;
    MSG msg;
    for (int spins = 0; spins < 50; ++spins) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) seen = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (seen) break;
        Sleep(1);
    }
    return !seen;
}

}  // namespace
#else
#include <dlfcn.h>

#include "platform/posix_control.h"

namespace {

constexpr const char* kModuleSuffix = ".so";

void* lib_open(const std::string& path, std::string& error) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) error = dlerror();
    return h;
}

void* lib_symbol(void* lib, const char* name) { return dlsym(lib, name); }

// A module that cannot really be unloaded would keep its state into the next test; say so.
void lib_close(void* lib, const std::string& path) {
    dlclose(lib);
    if (void* again = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
        std::fprintf(stderr, "host stand-in: %s stays loaded after dlclose; its state carries over\n", path.c_str());
        dlclose(again);
    }
}

void clock_set(int64_t counter) { plat_set_perf_counter(counter); }

void exe_path_set(const char* path) { plat_set_host_exe_path(path); }

bool deliver_key(int, int, bool, uint32_t flags, uintptr_t vk) {
    return plat_deliver_key(vk, static_cast<intptr_t>(static_cast<int32_t>(flags))) != 0;
}

}  // namespace
#endif
// ---- end of the loader and platform section ----------------------------------------------

namespace {

constexpr int kMaxChain = 256;       // longest element chain or mouse list the host walks
constexpr int kMaxImports = 64;
constexpr int kGuardBytes = 256;     // checked bytes after every text buffer
constexpr unsigned char kGuardByte = 0xA5;
constexpr int kMaxChars = 4096;      // a string element asking for more gets this many
constexpr int64_t kClockStart = 10000000000LL;  // 1000 s into the performance counter
constexpr double kClockFrequency = 1e7;

// A text buffer the host owns: the element's characters and terminator, then guard bytes.
struct TextBuffer {
    std::vector<char> bytes;
    int usable = 0;  // chars + 1
    // Checked after every string callback, so compared in one go rather than byte by byte.
    bool intact() const {
        static const auto guard = [] {
            std::array<unsigned char, kGuardBytes> g;
            g.fill(kGuardByte);
            return g;
        }();
        return bytes.size() == static_cast<size_t>(usable + kGuardBytes) &&
               std::memcmp(bytes.data() + usable, guard.data(), kGuardBytes) == 0;
    }
    void rearm() { std::memset(bytes.data() + usable, kGuardByte, bytes.size() - static_cast<size_t>(usable)); }
};

struct ElementSlot {
    ElementHeader* e = nullptr;
    double value = 0;
    TextBuffer* text = nullptr;  // strings only
};

struct GaugeSlot {
    GaugeHeader* g = nullptr;
    std::vector<ElementSlot> elements;
};

struct NamedEntry {
    std::string name;
    void* addr;
    int32_t type;
    HostModule* owner;
};

struct EventCallback {
    int32_t kind;
    HostEventCallback cb;
    HostModule* owner;
};

}  // namespace

struct HostModule {
    std::string path;
    void* lib = nullptr;
    LinkageRecord* linkage = nullptr;
    ImportEntry* imports = nullptr;
    std::vector<GaugeSlot> gauges;
    std::vector<std::unique_ptr<TextBuffer>> texts;
    bool opened = false;
};

namespace {

// ---- the simulator's state ----------------------------------------------------------------
Aircraft g_aircraft;
std::vector<HostModule*> g_modules;  // load order
HostModule* g_calling = nullptr;     // the module whose routine runs now
double g_rate = 18.0;
uint64_t g_frame = 0;
double g_clock_ticks = 0;            // performance-counter ticks since the start
bool g_clock_started = false;
std::string g_flight_path;
std::string g_last_error;
bool g_text_overrun = false;

std::vector<NamedEntry> g_named;
std::vector<std::string> g_named_log;
std::vector<EventCallback> g_event_callbacks;
std::vector<HostKeyEvent> g_key_events;
std::vector<HostElementOp> g_element_ops;
std::map<int32_t, uint64_t> g_var_reads;
std::map<int32_t, double> g_var_overrides;
bool g_key_down[256] = {};

// RAII marker of which module the host is calling into.
struct Calling {
    HostModule* saved;
    explicit Calling(HostModule* m) : saved(g_calling) { g_calling = m; }
    ~Calling() { g_calling = saved; }
};

void start_clock() {
    if (g_clock_started) return;
    g_clock_started = true;
    g_clock_ticks = 0;
    clock_set(kClockStart);
}

double sim_variable(int32_t id) {
    auto o = g_var_overrides.find(id);
    return o != g_var_overrides.end() ? o->second : aircraft_sim_variable(g_aircraft, id);
}

// ---- panel services ------------------------------------------------------------------------
// Each element operation records its call and returns its own table offset, so a caller can
// tell which operation's result it got back.
int32_t log_op(const char* op, ElementHeader* e, uint32_t value, bool has_value, int32_t result) {
    g_element_ops.push_back({op, e, value, has_value, g_calling});
    return result;
}

int32_t Q14_STDCALL op_query(ElementHeader* e) { return log_op("query_elements", e, 0, false, 96); }
int32_t Q14_STDCALL op_install(ElementHeader* e, uint32_t v) { return log_op("install_elements", e, v, true, 100); }
int32_t Q14_STDCALL op_initialize(ElementHeader* e) { return log_op("initialize_elements", e, 0, false, 104); }
int32_t Q14_STDCALL op_update(ElementHeader* e) { return log_op("update_elements", e, 0, false, 108); }
int32_t Q14_STDCALL op_generate(ElementHeader* e, uint32_t v) { return log_op("generate_elements", e, v, true, 112); }
int32_t Q14_STDCALL op_draw(ElementHeader* e) { return log_op("draw_elements", e, 0, false, 116); }
int32_t Q14_STDCALL op_kill(ElementHeader* e) { return log_op("kill_elements", e, 0, false, 124); }

int32_t Q14_STDCALL svc_fire_key_event(int32_t event, int32_t value) {
    g_key_events.push_back({event, value, g_frame});
    aircraft_key_event(g_aircraft, event, value);
    return 1;
}

NamedEntry* find_named(const char* name) {
    for (NamedEntry& n : g_named)
        if (n.name == name) return &n;
    return nullptr;
}

void erase_named(const std::string& name) {
    for (auto it = g_named.begin(); it != g_named.end(); ++it)
        if (it->name == name) {
            g_named.erase(it);
            return;
        }
}

int32_t Q14_STDCALL svc_publish(void* value, int32_t type, const char* name) {
    if (!name) return 0;
    g_named_log.push_back(std::string("+") + name);
    erase_named(name);  // published again: the newest address, at the end of the order
    g_named.push_back({name, value, type, g_calling});
    return 1;
}

int32_t Q14_STDCALL svc_bind(NamedValueRef* ref, const char* name) {
    if (!ref) return 0;
    NamedEntry* n = name ? find_named(name) : nullptr;
    ref->value = n ? n->addr : nullptr;
    return n ? 1 : 0;
}

int32_t Q14_STDCALL svc_read(SimVarRecord* record) {
    if (!record) return 0;
    ++g_var_reads[record->id];
    simvar_set_value(*record, sim_variable(record->id));
    return 1;
}

int32_t Q14_STDCALL svc_withdraw(const char* name) {
    if (!name) return 0;
    g_named_log.push_back(std::string("-") + name);
    erase_named(name);
    return 1;
}

// ---- host events and the current flight ---------------------------------------------------
int32_t Q14_STDCALL ev_register(int32_t kind, HostEventCallback cb, uint32_t, uint32_t) {
    if (!cb) return 0;
    g_event_callbacks.push_back({kind, cb, g_calling});
    return 1;
}

int32_t Q14_STDCALL ev_unregister(int32_t kind, HostEventCallback cb, uint32_t, uint32_t) {
    for (auto it = g_event_callbacks.begin(); it != g_event_callbacks.end(); ++it)
        if (it->kind == kind && it->cb == cb && it->owner == g_calling) {
            g_event_callbacks.erase(it);
            return 1;
        }
    return 0;
}

int32_t Q14_STDCALL flight_query(void* record) {
    if (!record) return 0;
    auto* bytes = static_cast<char*>(record);
    std::memset(bytes, 0, kFlightRecordSize);
    size_t n = g_flight_path.size();
    if (n > kFlightRecordSize - 5) n = kFlightRecordSize - 5;
    std::memcpy(bytes + 4, g_flight_path.data(), n);
    return 1;
}

PanelServices* panel_table() {
    static PanelServices t = [] {
        PanelServices p{};
        p.query_elements = op_query;
        p.install_elements = op_install;
        p.initialize_elements = op_initialize;
        p.update_elements = op_update;
        p.generate_elements = op_generate;
        p.draw_elements = op_draw;
        p.kill_elements = op_kill;
        p.fire_key_event = svc_fire_key_event;
        p.publish_named_value = svc_publish;
        p.bind_named_value = svc_bind;
        p.read_sim_variable = svc_read;
        p.withdraw_named_value = svc_withdraw;
        return p;
    }();
    return &t;
}

HostEvents* events_table() {
    static HostEvents t = [] {
        HostEvents e{};
        e.register_event_callback = ev_register;
        e.unregister_event_callback = ev_unregister;
        return e;
    }();
    return &t;
}

CurrentFlight* flight_table() {
    static CurrentFlight t = [] {
        CurrentFlight c{};
        c.current_flight_query = flight_query;
        return c;
    }();
    return &t;
}

// Tables the host offers but this system never calls: zero-filled.
void* dummy_table() {
    alignas(16) static unsigned char t[8192] = {};
    return t;
}

void* table_for(uint32_t id) {
    switch (id) {
        case kTablePanelServices: return panel_table();
        case kTableHostEvents: return events_table();
        case kTableCurrentFlight: return flight_table();
        default: return dummy_table();
    }
}

// ---- gauges and elements -------------------------------------------------------------------
bool seen_before(const std::vector<ElementSlot>& v, const ElementHeader* e) {
    for (const ElementSlot& s : v)
        if (s.e == e) return true;
    return false;
}

// The chain from the root through each element's one-entry next list, cut at a repeat.
GaugeSlot build_gauge(HostModule* m, GaugeHeader* g) {
    GaugeSlot slot;
    slot.g = g;
    ElementHeader* e = g->elements ? g->elements[0] : nullptr;
    while (e && static_cast<int>(slot.elements.size()) < kMaxChain && !seen_before(slot.elements, e)) {
        ElementSlot es;
        es.e = e;
        if (e->kind == kElementString) {
            StringElement* s = reinterpret_cast<StringElement*>(e);
            int chars = s->chars < 0 ? 0 : (s->chars > kMaxChars ? kMaxChars : s->chars);
            auto buf = std::make_unique<TextBuffer>();
            buf->usable = chars + 1;
            buf->bytes.assign(static_cast<size_t>(buf->usable + kGuardBytes), '\0');
            buf->rearm();
            s->text = buf->bytes.data();
            es.text = buf.get();
            m->texts.push_back(std::move(buf));
        }
        slot.elements.push_back(es);
        e = e->next ? e->next[0] : nullptr;
    }
    return slot;
}

double evaluate(HostModule* m, const GaugeSlot& g, size_t k, ElementSlot& es) {
    ElementHeader* e = es.e;
    Calling c(m);
    switch (e->kind) {
        case kElementNeedle: {
            ElementCallback cb = reinterpret_cast<NeedleElement*>(e)->callback;
            return cb ? cb(e) : 0.0;
        }
        case kElementIcon: {
            ElementCallback cb = reinterpret_cast<IconElement*>(e)->callback;
            return cb ? cb(e) : 0.0;
        }
        case kElementString: {
            StringElement* s = reinterpret_cast<StringElement*>(e);
            // The host keeps the first source variable's value in its record.
            simvar_set_value(s->source[0], sim_variable(s->source[0].id));
            double v = s->callback ? s->callback(e) : simvar_value(s->source[0]);
            if (es.text && !es.text->intact()) {
                g_text_overrun = true;
                std::fprintf(stderr, "host stand-in: %s element %zu wrote past its %d characters\n",
                             g.g->name ? g.g->name : "?", k, es.text->usable - 1);
                es.text->rearm();
            }
            return v;
        }
        default: return 0.0;
    }
}

void evaluate_gauge(HostModule* m, GaugeSlot& g) {
    for (size_t k = 0; k < g.elements.size(); ++k) g.elements[k].value = evaluate(m, g, k, g.elements[k]);
}

void send_service(HostModule* m, GaugeSlot& g, int32_t service) {
    if (!g.g->callback) return;
    Calling c(m);
    g.g->callback(g.g, service, 0);
}

GaugeSlot* find_gauge(HostModule* m, const char* name) {
    if (!m || !name) return nullptr;
    for (GaugeSlot& g : m->gauges)
        if (g.g->name && std::strcmp(g.g->name, name) == 0) return &g;
    return nullptr;
}

ElementSlot* find_element(HostModule* m, const char* gauge, int k) {
    GaugeSlot* g = find_gauge(m, gauge);
    if (!g || k < 0 || k >= static_cast<int>(g->elements.size())) return nullptr;
    return &g->elements[static_cast<size_t>(k)];
}

bool is_loaded(HostModule* m) {
    for (HostModule* x : g_modules)
        if (x == m) return true;
    return false;
}

// Forgets the names and callbacks the module left with the host. As in the simulator, a
// record another module bound to one of its values is left alone: it keeps the address into
// the unloaded module until that module binds it again.
void forget_module(HostModule* m) {
    for (auto it = g_named.begin(); it != g_named.end();)
        it = it->owner == m ? g_named.erase(it) : it + 1;
    for (auto it = g_event_callbacks.begin(); it != g_event_callbacks.end();)
        it = it->owner == m ? g_event_callbacks.erase(it) : it + 1;
}

// The Windows virtual key of a scan code, for the keys this system knows (numeric keypad with
// NumLock on, Enter, minus and equals); other keys get 0.
uint32_t virtual_key(int scan) {
    static const struct {
        int scan;
        uint32_t vk;
    } keys[] = {{12, 0xBD}, {13, 0xBB}, {28, 0x0D}, {71, 0x67}, {72, 0x68}, {73, 0x69}, {74, 0x6D},
                {75, 0x64}, {76, 0x65}, {77, 0x66}, {78, 0x6B}, {79, 0x61}, {80, 0x62}, {81, 0x63},
                {82, 0x60}, {83, 0x6E}};
    for (const auto& k : keys)
        if (k.scan == scan) return k.vk;
    return 0;
}

}  // namespace

// ---- the simulator -------------------------------------------------------------------------

void host_reset() {
    while (!g_modules.empty()) host_unload(g_modules.back());
    g_aircraft = Aircraft{};
    g_rate = 18.0;
    g_frame = 0;
    g_clock_started = false;
    start_clock();
    g_flight_path.clear();
    g_last_error.clear();
    g_text_overrun = false;
    g_named.clear();
    g_named_log.clear();
    g_event_callbacks.clear();
    g_key_events.clear();
    g_element_ops.clear();
    g_var_reads.clear();
    g_var_overrides.clear();
    std::memset(g_key_down, 0, sizeof g_key_down);
    exe_path_set(nullptr);
}

Aircraft& host_aircraft() { return g_aircraft; }

void host_set_sim_dir(const std::string& dir) { exe_path_set((dir + "/sim.exe").c_str()); }

void host_set_flight_path(const std::string& path) { g_flight_path = path; }

void host_set_frame_rate(double hz) {
    if (hz > 0 && std::isfinite(hz)) g_rate = hz;
}

void host_set_sim_variable(int32_t id, double value) { g_var_overrides[id] = value; }

void host_clear_sim_variable(int32_t id) { g_var_overrides.erase(id); }

const std::string& host_last_error() { return g_last_error; }

// ---- modules -------------------------------------------------------------------------------

HostModule* host_load(const std::string& path) {
    start_clock();
    for (HostModule* m : g_modules)
        if (m->path == path) return m;  // the same file is the same module
    std::string error;
    void* lib = lib_open(path, error);
    if (!lib) {
        g_last_error = path + ": " + error;
        return nullptr;
    }
    auto* linkage = static_cast<LinkageRecord*>(lib_symbol(lib, "Linkage"));
    auto* imports = static_cast<ImportEntry*>(lib_symbol(lib, "ImportTable"));
    if (!linkage || !imports) {
        g_last_error = path + ": exports no Linkage or no ImportTable";
        lib_close(lib, path);
        return nullptr;
    }
    auto* m = new HostModule;
    m->path = path;
    m->lib = lib;
    m->linkage = linkage;
    m->imports = imports;
    for (int i = 0; i < kMaxImports && imports[i].id != 0; ++i) imports[i].table = table_for(imports[i].id);
    for (int i = 0; i < 8 && linkage->gauges[i]; ++i) m->gauges.push_back(build_gauge(m, linkage->gauges[i]));
    g_modules.push_back(m);
    if (linkage->init) {
        Calling c(m);
        linkage->init();
    }
    return m;
}

void host_unload(HostModule* m) {
    if (!is_loaded(m)) return;
    if (m->opened)
        for (GaugeSlot& g : m->gauges) send_service(m, g, 12);
    if (m->linkage->deinit) {
        Calling c(m);
        m->linkage->deinit();
    }
    forget_module(m);
    for (auto it = g_modules.begin(); it != g_modules.end(); ++it)
        if (*it == m) {
            g_modules.erase(it);
            break;
        }
    lib_close(m->lib, m->path);
    delete m;
}

std::string host_module_path(int unit) {
    return std::string(Q14_MODULE_DIR) + "/q14_n" + std::to_string(unit) + kModuleSuffix;
}

HostModule* host_open_unit(int unit) { return host_open(host_module_path(unit)); }

HostModule* host_open(const std::string& path) {
    HostModule* m = host_load(path);
    if (!m || m->opened) return m;
    for (int32_t service : {2, 4, 14})
        for (GaugeSlot& g : m->gauges) send_service(m, g, service);
    m->opened = true;
    return m;
}

const LinkageRecord* host_linkage(HostModule* m) { return m ? m->linkage : nullptr; }

ImportEntry* host_import_table(HostModule* m) { return m ? m->imports : nullptr; }

GaugeHeader* host_gauge(HostModule* m, const char* name) {
    GaugeSlot* g = find_gauge(m, name);
    return g ? g->g : nullptr;
}

void host_service(HostModule* m, const char* gauge, int32_t service) {
    if (GaugeSlot* g = find_gauge(m, gauge)) send_service(m, *g, service);
}

// ---- frames --------------------------------------------------------------------------------

void host_frame() {
    start_clock();
    ++g_frame;
    g_clock_ticks += kClockFrequency / g_rate;
    clock_set(kClockStart + static_cast<int64_t>(std::llround(g_clock_ticks)));
    aircraft_step(g_aircraft, 1.0 / g_rate);
    for (size_t i = 0; i < g_modules.size(); ++i) {
        HostModule* m = g_modules[i];
        if (!m->opened) continue;
        for (GaugeSlot& g : m->gauges) {
            send_service(m, g, 6);
            evaluate_gauge(m, g);
        }
    }
}

void host_frames(int n) {
    for (int i = 0; i < n; ++i) host_frame();
}

uint64_t host_frame_number() { return g_frame; }

// ---- what the panels show ------------------------------------------------------------------

ElementHeader* host_element(HostModule* m, const char* gauge, int k) {
    ElementSlot* e = find_element(m, gauge, k);
    return e ? e->e : nullptr;
}

int host_element_count(HostModule* m, const char* gauge) {
    GaugeSlot* g = find_gauge(m, gauge);
    return g ? static_cast<int>(g->elements.size()) : 0;
}

double host_element_value(HostModule* m, const char* gauge, int k) {
    ElementSlot* e = find_element(m, gauge, k);
    return e ? e->value : std::numeric_limits<double>::quiet_NaN();
}

std::string host_element_text(HostModule* m, const char* gauge, int k) {
    ElementSlot* e = find_element(m, gauge, k);
    if (!e || !e->text) return "";
    const char* b = e->text->bytes.data();
    return std::string(b, strnlen(b, static_cast<size_t>(e->text->usable)));
}

void host_update_elements(HostModule* m, const char* gauge) {
    if (GaugeSlot* g = find_gauge(m, gauge)) evaluate_gauge(m, *g);
}

bool host_text_buffers_intact() {
    if (g_text_overrun) return false;
    for (HostModule* m : g_modules)
        for (const auto& t : m->texts)
            if (!t->intact()) return false;
    return true;
}

// ---- input ---------------------------------------------------------------------------------

int host_mouse_area_count(HostModule* m, const char* gauge) {
    GaugeSlot* g = find_gauge(m, gauge);
    if (!g || !g->g->mouse) return 0;
    int n = 0;
    for (int i = 1; i < kMaxChain && g->g->mouse[i].type == kMouseArea; ++i) ++n;
    return n;
}

int32_t host_click(HostModule* m, const char* gauge, int area) {
    GaugeSlot* g = find_gauge(m, gauge);
    if (!g || area < 1 || area > host_mouse_area_count(m, gauge)) return 0;
    MouseRect& r = g->g->mouse[area];
    if (!r.callback) return 0;
    // The click lands in the middle of the area.
    struct {
        int32_t x, y;
    } click = {r.x + r.w / 2, r.y + r.h / 2};
    Calling c(m);
    return r.callback(&click, kMouseLeft);
}

bool host_key(int scan, int repeat, bool release) {
    int s = scan & 0xFF;
    uint32_t flags = static_cast<uint32_t>(repeat) & 0xFFFFu;
    flags |= static_cast<uint32_t>(s) << 16;
    // Bit 30: the key was down before this message (always so for a release).
    if (release || g_key_down[s]) flags |= 1u << 30;
    if (release) flags |= 1u << 31;
    g_key_down[s] = !release;
    Calling c(nullptr);
    return deliver_key(s, repeat, release, flags, virtual_key(s));
}

void host_raise_event(int32_t event, const std::string& flight_path) {
    // Event data: four bytes, then the NUL-terminated path.
    std::vector<char> data(4 + flight_path.size() + 1, '\0');
    std::memcpy(data.data() + 4, flight_path.data(), flight_path.size());
    std::vector<EventCallback> callbacks = g_event_callbacks;  // a callback may unregister
    for (const EventCallback& e : callbacks) {
        Calling c(e.owner);
        e.cb(event, data.data(), 0, 0);
    }
}

int host_event_callback_count() { return static_cast<int>(g_event_callbacks.size()); }

// ---- what the modules did ------------------------------------------------------------------

const std::vector<HostKeyEvent>& host_key_events() { return g_key_events; }

void host_clear_key_events() { g_key_events.clear(); }

const std::vector<HostElementOp>& host_element_ops() { return g_element_ops; }

void host_clear_element_ops() { g_element_ops.clear(); }

const void* host_named_value(const std::string& name, int32_t* type) {
    NamedEntry* n = find_named(name.c_str());
    if (type) *type = n ? n->type : 0;
    return n ? n->addr : nullptr;
}

double host_named_double(const std::string& name) {
    int32_t type = 0;
    const void* p = host_named_value(name, &type);
    if (!p) return std::numeric_limits<double>::quiet_NaN();
    if (type == kNamedInt) return *static_cast<const int32_t*>(p);
    return *static_cast<const double*>(p);
}

int32_t host_named_int(const std::string& name) {
    int32_t type = 0;
    const void* p = host_named_value(name, &type);
    if (!p) return -1;
    if (type == kNamedDouble) {
        double v = *static_cast<const double*>(p);
        return std::isfinite(v) && std::fabs(v) < 2147483647.0 ? static_cast<int32_t>(v) : -1;
    }
    return *static_cast<const int32_t*>(p);
}

std::vector<std::string> host_named_names() {
    std::vector<std::string> v;
    for (const NamedEntry& n : g_named) v.push_back(n.name);
    return v;
}

const std::vector<std::string>& host_named_log() { return g_named_log; }

uint64_t host_sim_variable_reads(int32_t id) {
    auto it = g_var_reads.find(id);
    return it == g_var_reads.end() ? 0 : it->second;
}

static uint64_t double_bits(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

HostSnapshot host_snapshot(const std::vector<HostModule*>& modules) {
    HostSnapshot o;
    for (HostModule* m : modules)
        for (int g = 0; host_linkage(m)->gauges[g]; ++g) {
            const char* name = host_linkage(m)->gauges[g]->name;
            host_update_elements(m, name);
            for (int k = 0; k < host_element_count(m, name); ++k) {
                o.values.push_back(double_bits(host_element_value(m, name, k)));
                o.texts.push_back(host_element_text(m, name, k));
                o.flags.push_back(host_element(m, name, k)->image_flags);
            }
        }
    o.names = host_named_names();
    for (const std::string& n : o.names) o.named_values.push_back(double_bits(host_named_double(n)));
    o.named_log = host_named_log().size();
    o.key_events = host_key_events().size();
    o.element_ops = host_element_ops().size();
    return o;
}

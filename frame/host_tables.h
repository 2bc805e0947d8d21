// Function tables the simulator writes into ImportTable: panel services, host events and the
// current-flight query, each routine at its fixed byte offset.
#pragma once

#include "frame/records.h"

// Table identifiers in ImportTable.
enum : uint32_t {
    kTablePanelServices = 0xF,
    kTableHostEvents = 0x1,
    kTableCurrentFlight = 0x2C,
};

// Named-value type codes.
enum : int32_t { kNamedDouble = 0x21, kNamedInt = 0x22 };

// 32-byte record the host binds to a named value: word 1 receives the value's address.
struct NamedValueRef {
    uint32_t word0;
    void* value;                  // +4, 0 while unbound
    uint32_t rest[6];
};

using ElementOp = int32_t(Q14_STDCALL*)(ElementHeader* element);
using ElementOp1 = int32_t(Q14_STDCALL*)(ElementHeader* element, uint32_t host_value);
using FireKeyEventFn = int32_t(Q14_STDCALL*)(int32_t event, int32_t value);
using PublishNamedFn = int32_t(Q14_STDCALL*)(void* value, int32_t type, const char* name);
using BindNamedFn = int32_t(Q14_STDCALL*)(NamedValueRef* ref, const char* name);
using ReadSimVarFn = int32_t(Q14_STDCALL*)(SimVarRecord* record);
using WithdrawNamedFn = int32_t(Q14_STDCALL*)(const char* name);

struct PanelServices {
    void* reserved0[24];          // +0..95
    ElementOp query_elements;     // +96
    ElementOp1 install_elements;  // +100
    ElementOp initialize_elements;// +104
    ElementOp update_elements;    // +108
    ElementOp1 generate_elements; // +112
    ElementOp draw_elements;      // +116
    void* reserved120;            // +120
    ElementOp kill_elements;      // +124
    void* reserved128[4];         // +128..143
    FireKeyEventFn fire_key_event;        // +144
    PublishNamedFn publish_named_value;   // +148
    void* reserved152;                    // +152
    BindNamedFn bind_named_value;         // +156
    ReadSimVarFn read_sim_variable;       // +160
    WithdrawNamedFn withdraw_named_value; // +164
};

// Host event callback: (event number, event data, two further values).
using HostEventCallback = void(Q14_STDCALL*)(int32_t event, void* data, uint32_t a, uint32_t b);
using RegisterEventFn = int32_t(Q14_STDCALL*)(int32_t kind, HostEventCallback cb, uint32_t a, uint32_t b);

struct HostEvents {
    void* reserved[0x444 / 4];                 // +0..0x443
    RegisterEventFn register_event_callback;   // +0x444
    RegisterEventFn unregister_event_callback; // +0x448
};

// Record filled by the current-flight query: the path text from byte 4.
enum : uint32_t { kFlightRecordSize = 2592 };
using CurrentFlightFn = int32_t(Q14_STDCALL*)(void* record);

struct CurrentFlight {
    void* reserved[0x38 / 4];                  // +0..0x37
    CurrentFlightFn current_flight_query;      // +0x38
};

#if Q14_RECORDS_32BIT
static_assert(sizeof(NamedValueRef) == 32);
static_assert(offsetof(NamedValueRef, value) == 4);
static_assert(offsetof(PanelServices, query_elements) == 96);
static_assert(offsetof(PanelServices, install_elements) == 100);
static_assert(offsetof(PanelServices, initialize_elements) == 104);
static_assert(offsetof(PanelServices, update_elements) == 108);
static_assert(offsetof(PanelServices, generate_elements) == 112);
static_assert(offsetof(PanelServices, draw_elements) == 116);
static_assert(offsetof(PanelServices, kill_elements) == 124);
static_assert(offsetof(PanelServices, fire_key_event) == 144);
static_assert(offsetof(PanelServices, publish_named_value) == 148);
static_assert(offsetof(PanelServices, bind_named_value) == 156);
static_assert(offsetof(PanelServices, read_sim_variable) == 160);
static_assert(offsetof(PanelServices, withdraw_named_value) == 164);
static_assert(offsetof(HostEvents, register_event_callback) == 0x444);
static_assert(offsetof(HostEvents, unregister_event_callback) == 0x448);
static_assert(offsetof(CurrentFlight, current_flight_query) == 0x38);
#endif

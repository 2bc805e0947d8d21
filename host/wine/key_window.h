// A visible, focused window whose message loop records the keystrokes that reach it, and real
// keystrokes sent to it through the system's input queue, for the Wine test hosts.
#pragma once

#include <string>

// What the window's message loop saw of one keystroke (press, then release).
struct Keystroke {
    bool press_seen;    // a key-down message with this scan code reached the loop
    bool release_seen;  // the key-up message did
};

// Opens the window once (later calls return at once), brings it to the foreground and gives
// it the keyboard focus. False when it cannot hold the foreground (no display).
bool key_window_open();
// Why key_window_open failed.
const std::string& key_window_error();
// Presses and releases the key with this PC scan code (set 1) through SendInput and pumps the
// thread's queue, which runs the keyboard hooks, until the release arrives (at most a few
// seconds). Every other message is dispatched as usual.
Keystroke key_stroke(int scan);
// Handles whatever is queued, without waiting.
void key_window_pump();

// The test window of the Wine hosts: a top-level window that owns the foreground and records
// which keystrokes its message loop receives; keystrokes go in through SendInput.
#include "host/wine/key_window.h"

#include <windows.h>

namespace {

HWND g_window = nullptr;
std::string g_error;

// Key messages never reach DefWindowProc: F10 and Alt would open the system menu's modal loop.
LRESULT CALLBACK window_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return 0;
    if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU) return 0;
    return DefWindowProcA(w, msg, wp, lp);
}

bool is_key_message(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

void send(int scan, bool release) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(scan);
    // The virtual key as well: with the scan code alone Wine posts key messages without one.
    in.ki.wVk = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(scan), MAPVK_VSC_TO_VK));
    in.ki.dwFlags = KEYEVENTF_SCANCODE | (release ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof in);
}

}  // namespace

const std::string& key_window_error() { return g_error; }

bool key_window_open() {
    if (!g_window) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "q14_wine_keys";
        RegisterClassA(&wc);
        g_window = CreateWindowExA(0, wc.lpszClassName, "q14 keyboard", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                   20, 20, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
        if (!g_window) {
            g_error = "CreateWindowExA failed with error " + std::to_string(GetLastError());
            return false;
        }
        ShowWindow(g_window, SW_SHOW);
        UpdateWindow(g_window);
    }
    // The window manager of a fresh display may take a moment to hand over the foreground.
    for (int tries = 0; tries < 100; ++tries) {
        SetForegroundWindow(g_window);
        SetFocus(g_window);
        key_window_pump();
        if (GetForegroundWindow() == g_window && GetFocus() == g_window) return true;
        Sleep(20);
    }
    g_error = "the window does not get the foreground and the keyboard focus (is there a display?)";
    return false;
}

void key_window_pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (is_key_message(msg.message)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Keystroke key_stroke(int scan) {
    Keystroke k = {false, false};
    send(scan, false);
    send(scan, true);
    // Input arrives in order: once the release is here, the press was handled too.
    DWORD start = GetTickCount();
    while (!k.release_seen && GetTickCount() - start < 5000) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (is_key_message(msg.message)) {
                if (static_cast<int>((msg.lParam >> 16) & 0xFF) != scan) continue;
                bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
                (up ? k.release_seen : k.press_seen) = true;
                if (up) break;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return k;
}

#include "functions/win/Hooks.h"

#include "functions/HookState.h"

namespace n640 {

namespace {

// Written only on the user-interface thread, which is also the only thread the procedures run on.
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;

// Posts straight to the window: the decision holds at most two messages.
void Deliver(const HookDecision& d) {
    if (d.target == nullptr) return;
    for (uint32_t i = 0; i < d.postCount; ++i)
        PostMessageW(static_cast<HWND>(d.target), d.posts[i].message, d.posts[i].wParam, d.posts[i].lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* record = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        const HookDecision d =
            CHookState::Instance().OnMouseEvent(static_cast<uint32_t>(wParam), static_cast<uint32_t>(record->mouseData));
        Deliver(d);
        if (d.swallow) return 1;
    }
    return CallNextHookEx(g_mouseHook, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        Deliver(CHookState::Instance().OnKeyEvent(record->vkCode, record->flags));
    }
    return CallNextHookEx(g_keyboardHook, code, wParam, lParam);
}

} // namespace

bool InstallHooks(HWND window) {
    RemoveHooks();
    CHookState::Instance().SetHome(window);
    HINSTANCE module = GetModuleHandleW(nullptr);
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0);
    return HooksInstalled();
}

void RemoveHooks() {
    if (g_keyboardHook != nullptr) UnhookWindowsHookEx(g_keyboardHook);
    if (g_mouseHook != nullptr) UnhookWindowsHookEx(g_mouseHook);
    g_keyboardHook = nullptr;
    g_mouseHook = nullptr;
}

bool HooksInstalled() { return g_keyboardHook != nullptr && g_mouseHook != nullptr; }

void SetTarget(HWND window) { CHookState::Instance().SetTarget(window); }

void SetForwarding(bool keys, bool mouse) { CHookState::Instance().SetForwarding(keys, mouse); }

void SetClickPosting(bool clicks) { CHookState::Instance().SetClickPosting(clicks); }

void ResetCapture() { CHookState::Instance().SetForwarding(false, false); }

} // namespace n640

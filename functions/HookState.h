#pragma once
// State of the low-level input hooks and the decisions their procedures take for each event.
//
// The hook procedures (Windows only) wrap OnMouseEvent and OnKeyEvent: they hand over the
// message identifier and mouseData (or the key's virtual-key code and flags), post what the
// decision lists and swallow the event when it says so. The decisions are pure apart from the
// pending release they keep, allocate nothing and do constant work, because every input event of
// the desktop passes through them.
//
// Threads: the hook procedures and the capturing pages run on the user-interface thread; the
// apply worker changes the intercept list on its own thread while the hooks read it. Every item
// is an atomic, so readers never block and never see a torn value; the writers of the intercept
// list are serialised among themselves so that a code is never held twice.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/Poster.h"

namespace n640 {

// Mouse message identifiers the low-level mouse hook receives.
namespace mouse_msg {
constexpr uint32_t Move = 0x200;
constexpr uint32_t LeftDown = 0x201;
constexpr uint32_t LeftUp = 0x202;
constexpr uint32_t RightDown = 0x204;
constexpr uint32_t RightUp = 0x205;
constexpr uint32_t MiddleDown = 0x207;
constexpr uint32_t MiddleUp = 0x208;
constexpr uint32_t Wheel = 0x20A;
constexpr uint32_t ExtraDown = 0x20B;
constexpr uint32_t ExtraUp = 0x20C;
constexpr uint32_t HWheel = 0x20E;
} // namespace mouse_msg

// Wheel event code: 0x20A01 for a step away from the user (delta >= 0), 0x20A00 toward the user.
constexpr uint32_t WheelEventCode(uint32_t mouseData) {
    return mouse_msg::Wheel * 0x100 + (static_cast<int32_t>(mouseData) >= 0 ? 1u : 0u);
}

// The 32-bit code the hook describes a mouse event by: the wheel code for the wheel message, the
// message identifier plus mouseData for every other message (0x1020B: first extra button down).
constexpr uint32_t MouseEventCode(uint32_t msg, uint32_t mouseData) {
    return msg == mouse_msg::Wheel ? WheelEventCode(mouseData) : msg + mouseData;
}

// One message to post to the hook's current target.
struct HookPost {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// What a hook procedure does with one event: post up to two messages to target, then swallow
// the event (return non-zero without calling the next hook) or pass it on unchanged.
struct HookDecision {
    WindowRef target = nullptr;
    std::array<HookPost, 2> posts{};
    uint32_t postCount = 0;
    bool swallow = false;

    // Posts the listed messages to target through the poster; no-op without a target.
    void Deliver(IPoster& poster) const;
};

constexpr int kInterceptSlots = 12;

class CHookState {
public:
    CHookState() = default;
    CHookState(const CHookState&) = delete;
    CHookState& operator=(const CHookState&) = delete;

    // The one instance of the process (the hooks' procedures have no context argument).
    static CHookState& Instance();

    // --- Mouse intercept list --------------------------------------------------------------
    // remove: clear the entry holding code, if any. Otherwise store code in the first free entry
    // unless it is already held; a full list ignores the addition. Code 0 marks a free entry and
    // is never stored.
    void SetIntercept(uint32_t code, bool remove);
    // True when code is on the list (never for 0). Lock-free; safe from any thread.
    bool IsIntercepted(uint32_t code) const;
    // A copy of the 12 entries, 0 = free; for tests and diagnostics.
    std::array<uint32_t, kInterceptSlots> Intercepts() const;

    // --- Switches, target and home ---------------------------------------------------------
    // Installation: target = home = window.
    void SetHome(WindowRef window);
    void SetTarget(WindowRef window);
    // forwardKeys = keys, forwardMouse = mouse; when keys is off the target returns home unless
    // mouse forwarding stays on.
    void SetForwarding(bool keys, bool mouse);
    void SetClickPosting(bool clicks);

    WindowRef Target() const { return target_.load(std::memory_order_acquire); }
    WindowRef Home() const { return home_.load(std::memory_order_acquire); }
    bool ForwardKeys() const { return forwardKeys_.load(std::memory_order_relaxed); }
    bool ForwardMouse() const { return forwardMouse_.load(std::memory_order_relaxed); }
    bool PostClicks() const { return postClicks_.load(std::memory_order_relaxed); }
    // The mouse message to swallow next (release of an intercepted button), 0 = none.
    uint32_t PendingRelease() const { return pendingRelease_.load(std::memory_order_relaxed); }

    // --- The two procedures' decisions -----------------------------------------------------
    // Mouse hook: msg is the hook's message identifier, mouseData the hook record's field.
    // Updates the pending release.
    HookDecision OnMouseEvent(uint32_t msg, uint32_t mouseData);
    // Keyboard hook: never swallows.
    HookDecision OnKeyEvent(uint32_t vkCode, uint32_t flags) const;

private:
    std::array<std::atomic<uint32_t>, kInterceptSlots> intercepts_{};
    std::mutex interceptWriters_;
    std::atomic<bool> forwardKeys_{true};
    std::atomic<bool> forwardMouse_{true};
    std::atomic<bool> postClicks_{true};
    std::atomic<WindowRef> target_{nullptr};
    std::atomic<WindowRef> home_{nullptr};
    std::atomic<uint32_t> pendingRelease_{0};
};

} // namespace n640

#include "functions/HookState.h"

namespace n640 {

namespace {

void Add(HookDecision& d, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (d.postCount < d.posts.size()) d.posts[d.postCount++] = HookPost{message, wParam, lParam};
}

} // namespace

void HookDecision::Deliver(IPoster& poster) const {
    if (target == nullptr) return;
    for (uint32_t i = 0; i < postCount; ++i) poster.Post(target, posts[i].message, posts[i].wParam, posts[i].lParam);
}

CHookState& CHookState::Instance() {
    static CHookState state;
    return state;
}

void CHookState::SetIntercept(uint32_t code, bool remove) {
    if (code == 0) return;
    std::lock_guard<std::mutex> lock(interceptWriters_);
    if (remove) {
        for (auto& e : intercepts_)
            if (e.load(std::memory_order_relaxed) == code) e.store(0, std::memory_order_release);
        return;
    }
    std::atomic<uint32_t>* freeEntry = nullptr;
    for (auto& e : intercepts_) {
        const uint32_t v = e.load(std::memory_order_relaxed);
        if (v == code) return;
        if (v == 0 && freeEntry == nullptr) freeEntry = &e;
    }
    if (freeEntry != nullptr) freeEntry->store(code, std::memory_order_release);
}

bool CHookState::IsIntercepted(uint32_t code) const {
    if (code == 0) return false;
    for (const auto& e : intercepts_)
        if (e.load(std::memory_order_acquire) == code) return true;
    return false;
}

std::array<uint32_t, kInterceptSlots> CHookState::Intercepts() const {
    std::array<uint32_t, kInterceptSlots> out{};
    for (int i = 0; i < kInterceptSlots; ++i) out[i] = intercepts_[i].load(std::memory_order_acquire);
    return out;
}

void CHookState::SetHome(WindowRef window) {
    home_.store(window, std::memory_order_release);
    target_.store(window, std::memory_order_release);
}

void CHookState::SetTarget(WindowRef window) { target_.store(window, std::memory_order_release); }

void CHookState::SetForwarding(bool keys, bool mouse) {
    forwardKeys_.store(keys, std::memory_order_relaxed);
    forwardMouse_.store(mouse, std::memory_order_relaxed);
    if (!keys && !mouse) target_.store(home_.load(std::memory_order_acquire), std::memory_order_release);
}

void CHookState::SetClickPosting(bool clicks) { postClicks_.store(clicks, std::memory_order_relaxed); }

HookDecision CHookState::OnMouseEvent(uint32_t msg, uint32_t mouseData) {
    HookDecision d;
    d.target = Target();

    // Button presses and wheel steps: swallowed when intercepted (with the button's release
    // remembered), otherwise reported as clicks when click posting is on.
    bool press = false;
    uint32_t code = 0;
    uint32_t release = 0;
    switch (msg) {
    case mouse_msg::LeftDown:
    case mouse_msg::RightDown:
    case mouse_msg::MiddleDown:
        press = true;
        code = msg;
        release = msg + 1;
        break;
    case mouse_msg::Wheel:
        press = true;
        code = WheelEventCode(mouseData);
        break;
    case mouse_msg::ExtraDown:
        press = true;
        code = msg + mouseData;
        release = mouse_msg::ExtraUp;
        break;
    default:
        break;
    }
    if (press) {
        if (IsIntercepted(code)) {
            Add(d, msg::HookMouseEvent, code, 0);
            if (release != 0) pendingRelease_.store(release, std::memory_order_relaxed);
            d.swallow = true;
            return d;
        }
        if (PostClicks()) Add(d, msg::HookMouseEvent, code, 0);
    }

    const uint32_t pending = pendingRelease_.load(std::memory_order_relaxed);
    if (pending != 0 && msg == pending) {
        pendingRelease_.store(0, std::memory_order_relaxed);
        d.swallow = true;
        return d;
    }

    if (ForwardMouse() && msg != mouse_msg::Move) Add(d, msg::CaptureEvent, MouseEventCode(msg, mouseData), 0);
    return d;
}

HookDecision CHookState::OnKeyEvent(uint32_t vkCode, uint32_t flags) const {
    HookDecision d;
    d.target = Target();
    if (ForwardKeys()) Add(d, msg::CaptureEvent, vkCode, static_cast<intptr_t>(flags));
    return d;
}

} // namespace n640

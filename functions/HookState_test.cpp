#include "functions/HookState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace n640 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

WindowRef Win(uintptr_t n) { return reinterpret_cast<WindowRef>(n); }

std::vector<uint32_t> Held(const CHookState& s) {
    std::vector<uint32_t> out;
    for (uint32_t c : s.Intercepts())
        if (c != 0) out.push_back(c);
    return out;
}

TEST(HookStateIntercepts, HoldsEachCodeOnceAndReusesFreedEntries) {
    CHookState s;
    s.SetIntercept(0x1020B, false);
    s.SetIntercept(0x20A01, false);
    s.SetIntercept(0x1020B, false);  // already held
    EXPECT_THAT(Held(s), ElementsAre(0x1020B, 0x20A01));
    EXPECT_TRUE(s.IsIntercepted(0x20A01));
    EXPECT_FALSE(s.IsIntercepted(0x20A00));

    s.SetIntercept(0x1020B, true);
    EXPECT_FALSE(s.IsIntercepted(0x1020B));
    s.SetIntercept(0x207, false);  // takes the first free entry, the one just cleared
    EXPECT_EQ(s.Intercepts()[0], 0x207u);
    s.SetIntercept(0x999, true);   // removing a code that is not held changes nothing
    EXPECT_THAT(Held(s), ElementsAre(0x207, 0x20A01));
}

TEST(HookStateIntercepts, FullListIgnoresAdditionsAndZeroIsNeverIntercepted) {
    CHookState s;
    EXPECT_FALSE(s.IsIntercepted(0));  // free entries hold 0, which is no event
    for (uint32_t c = 1; c <= 13; ++c) s.SetIntercept(0x1000 + c, false);
    EXPECT_EQ(Held(s).size(), 12u);
    EXPECT_FALSE(s.IsIntercepted(0x100D));
    s.SetIntercept(0, false);
    EXPECT_FALSE(s.IsIntercepted(0));
}

TEST(HookStateSwitches, InitialStateAndTargetReturnsHomeWhenCaptureStops) {
    CHookState s;
    EXPECT_TRUE(s.ForwardKeys());
    EXPECT_TRUE(s.ForwardMouse());
    EXPECT_TRUE(s.PostClicks());
    EXPECT_EQ(s.PendingRelease(), 0u);

    s.SetHome(Win(1));
    EXPECT_EQ(s.Target(), Win(1));
    s.SetTarget(Win(2));
    s.SetForwarding(true, false);
    EXPECT_EQ(s.Target(), Win(2));
    s.SetForwarding(false, true);  // mouse forwarding stays on: the target stays
    EXPECT_EQ(s.Target(), Win(2));
    s.SetForwarding(false, false);
    EXPECT_EQ(s.Target(), Win(1));
    EXPECT_EQ(s.Home(), Win(1));
}

struct Expect {
    uint32_t msg;
    uint32_t mouseData;
    std::vector<std::pair<uint32_t, uint32_t>> posts;  // message, wParam
    bool swallow;
};

void Feed(CHookState& s, const std::vector<Expect>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Expect& e = steps[i];
        SCOPED_TRACE(::testing::Message() << "step " << i << " msg 0x" << std::hex << e.msg << " data 0x" << e.mouseData);
        HookDecision d = s.OnMouseEvent(e.msg, e.mouseData);
        std::vector<std::pair<uint32_t, uint32_t>> got;
        for (uint32_t k = 0; k < d.postCount; ++k) {
            got.emplace_back(d.posts[k].message, static_cast<uint32_t>(d.posts[k].wParam));
            EXPECT_EQ(d.posts[k].lParam, 0);
        }
        EXPECT_EQ(got, e.posts);
        EXPECT_EQ(d.swallow, e.swallow);
    }
}

constexpr uint32_t kClick = msg::HookMouseEvent;
constexpr uint32_t kCapture = msg::CaptureEvent;
constexpr uint32_t kX1 = 0x10000, kX2 = 0x20000;
constexpr uint32_t kAway = 0x00780000, kToward = 0xFF880000;

TEST(HookStateMouse, InterceptedBackButtonSwallowsPressAndReleaseForwardStillWorks) {
    CHookState s;
    s.SetForwarding(false, false);
    s.SetIntercept(0x1020B, false);
    Feed(s, {
        {mouse_msg::ExtraDown, kX1, {{kClick, 0x1020B}}, true},
        {mouse_msg::ExtraUp, kX1, {}, true},
        {mouse_msg::ExtraDown, kX2, {{kClick, 0x2020B}}, false},
        {mouse_msg::ExtraUp, kX2, {}, false},
        {mouse_msg::ExtraDown, kX1, {{kClick, 0x1020B}}, true},
    });
    EXPECT_EQ(s.PendingRelease(), static_cast<uint32_t>(mouse_msg::ExtraUp));
}

TEST(HookStateMouse, InterceptedWheelDirectionIsSwallowedWithoutPendingRelease) {
    CHookState s;
    s.SetForwarding(false, false);
    s.SetIntercept(0x20A01, false);
    Feed(s, {
        {mouse_msg::Wheel, kAway, {{kClick, 0x20A01}}, true},
        {mouse_msg::Wheel, 0, {{kClick, 0x20A01}}, true},  // a zero delta counts as away
        {mouse_msg::Wheel, kToward, {{kClick, 0x20A00}}, false},
        {mouse_msg::Wheel, kAway, {{kClick, 0x20A01}}, true},
    });
    EXPECT_EQ(s.PendingRelease(), 0u);
}

TEST(HookStateMouse, InterceptedButtonsSwallowTheirOwnRelease) {
    CHookState s;
    s.SetForwarding(false, false);
    s.SetIntercept(0x201, false);
    s.SetIntercept(0x207, false);
    Feed(s, {
        {mouse_msg::LeftDown, 0, {{kClick, 0x201}}, true},
        {mouse_msg::Move, 0, {}, false},
        {mouse_msg::LeftUp, 0, {}, true},
        {mouse_msg::LeftUp, 0, {}, false},  // only the one release
        {mouse_msg::MiddleDown, 0, {{kClick, 0x207}}, true},
        {mouse_msg::MiddleUp, 0, {}, true},
        {mouse_msg::RightDown, 0, {{kClick, 0x204}}, false},
        {mouse_msg::RightUp, 0, {}, false},
    });
}

TEST(HookStateMouse, ForwardingPostsEveryEventButMovesAndClickPostingCanBeOff) {
    CHookState s;  // forwarding on, click posting on
    Feed(s, {
        {mouse_msg::Move, 0, {}, false},
        {mouse_msg::LeftDown, 0, {{kClick, 0x201}, {kCapture, 0x201}}, false},
        {mouse_msg::LeftUp, 0, {{kCapture, 0x202}}, false},
        {mouse_msg::Wheel, kToward, {{kClick, 0x20A00}, {kCapture, 0x20A00}}, false},
        {mouse_msg::ExtraUp, kX2, {{kCapture, 0x2020C}}, false},
        {mouse_msg::HWheel, kAway, {{kCapture, 0x20E + kAway}}, false},
    });
    s.SetClickPosting(false);
    s.SetIntercept(0x204, false);
    Feed(s, {
        {mouse_msg::LeftDown, 0, {{kCapture, 0x201}}, false},
        // intercepted events are posted as clicks whatever the switch, and never forwarded
        {mouse_msg::RightDown, 0, {{kClick, 0x204}}, true},
        {mouse_msg::RightUp, 0, {}, true},
    });
    s.SetForwarding(false, false);
    Feed(s, {{mouse_msg::MiddleDown, 0, {}, false}});
}

TEST(HookStateKeys, ForwardsKeyEventsOnlyWhileOnAndNeverSwallows) {
    CHookState s;
    HookDecision d = s.OnKeyEvent(0x43, 0x80);
    ASSERT_EQ(d.postCount, 1u);
    EXPECT_EQ(d.posts[0].message, kCapture);
    EXPECT_EQ(d.posts[0].wParam, 0x43u);
    EXPECT_EQ(d.posts[0].lParam, 0x80);
    EXPECT_FALSE(d.swallow);
    s.SetForwarding(false, true);
    d = s.OnKeyEvent(0x43, 0);
    EXPECT_EQ(d.postCount, 0u);
    EXPECT_FALSE(d.swallow);
}

class RecordingPoster : public IPoster {
public:
    struct Entry {
        WindowRef target;
        uint32_t message;
        uintptr_t wParam;
        bool operator==(const Entry&) const = default;
    };
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t) override {
        posted.push_back({target, message, wParam});
        return true;
    }
    std::vector<Entry> posted;
};

TEST(HookStateDeliver, PostsToTheTargetOfTheMomentAndNothingWithoutOne) {
    CHookState s;
    RecordingPoster poster;
    s.OnMouseEvent(mouse_msg::LeftDown, 0).Deliver(poster);  // no window yet
    EXPECT_THAT(poster.posted, IsEmpty());

    s.SetHome(Win(7));
    s.SetTarget(Win(9));  // a capturing page: clicks go to it, not to the main window
    s.OnMouseEvent(mouse_msg::LeftDown, 0).Deliver(poster);
    EXPECT_THAT(poster.posted, ElementsAre(RecordingPoster::Entry{Win(9), kClick, 0x201},
                                           RecordingPoster::Entry{Win(9), kCapture, 0x201}));
}

} // namespace
} // namespace n640

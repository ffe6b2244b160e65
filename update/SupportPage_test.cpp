#include "update/SupportPage.h"

#include <gtest/gtest.h>

#include <vector>

namespace n640 {
namespace {

class CAnswering final : public INotifier {
public:
    explicit CAnswering(int answer) : answer_(answer) {}
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool) override {
        shown.emplace_back(text);
        okCancel = buttons == InfoButtons::OkCancel;
        return answer_;
    }
    void ShowSystemInfo(std::u16string_view, WindowRef) override {}
    using INotifier::ShowInfo;
    std::vector<std::u16string> shown;
    bool okCancel = false;

private:
    int answer_;
};

class CPosts final : public IPoster {
public:
    bool Post(WindowRef target, uint32_t message, uintptr_t, intptr_t) override {
        posts.push_back({target, message});
        return true;
    }
    std::vector<std::pair<WindowRef, uint32_t>> posts;
};

const WindowRef kMain = reinterpret_cast<WindowRef>(0x3A1);

TEST(SupportPage, RestoreDefaultsPostsOnceOnlyAfterOk) {
    for (const bool chinese : {false, true}) {
        CAnswering cancel(kInfoCancel);
        CPosts posts;
        EXPECT_FALSE(ConfirmRestoreDefaults(cancel, posts, kMain, chinese));
        EXPECT_TRUE(posts.posts.empty());
        ASSERT_EQ(cancel.shown.size(), 1u);
        EXPECT_EQ(cancel.shown[0], chinese ? u"确定要恢复默认设置?" : u"Do you want to restore the default setting?");
        EXPECT_TRUE(cancel.okCancel);

        CAnswering ok(kInfoOk);
        EXPECT_TRUE(ConfirmRestoreDefaults(ok, posts, kMain, chinese));
        EXPECT_EQ(posts.posts, (std::vector<std::pair<WindowRef, uint32_t>>{{kMain, msg::RestoreDefaults}}));
    }
}

TEST(SupportPage, HintsFollowTheButtonsAndNotTheGaps) {
    std::vector<HintArea> areas;
    for (const ControlRow& c : SupportControls()) areas.push_back({LayoutRect(c, false), c.hint});
    struct Case {
        Point p;
        std::vector<int> hints;
    };
    const Case cases[] = {
        {{150, 400}, {58}},   // import
        {{133, 388}, {58}},   // one pixel outside the import button still counts
        {{229, 400}, {}},     // between import and export
        {{300, 400}, {59}},   // export
        {{450, 280}, {56}},   // update
        {{800, 400}, {60}},   // restore defaults
        {{100, 120}, {89}},   // driver version area
        {{600, 200}, {}},     // empty page
    };
    for (const Case& c : cases) EXPECT_EQ(HintsAt(areas, c.p), c.hints) << c.p.x << "," << c.p.y;
}

} // namespace
} // namespace n640

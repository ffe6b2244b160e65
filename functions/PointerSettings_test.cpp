#include "functions/PointerSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>
#endif

namespace n640 {
namespace {

TEST(PointerValues, PrecisionIsOnOnlyForOne) {
    ProfileImage image = ZeroProfileImage();
    image.settings.pointerSpeed = 14;
    image.settings.wheelLines = -1;
    for (int32_t flag : {0, 1, 2, -1}) {
        image.settings.enhancePrecision = flag;
        PointerValues v = PointerValuesOf(image.settings);
        EXPECT_EQ(v.enhancePrecision, flag == 1) << flag;
        EXPECT_EQ(v.pointerSpeed, 14);
        EXPECT_EQ(v.wheelLines, -1);
    }
}

#ifndef _WIN32

TEST(SystemPointerSettings, SaysOnceThatNothingIsChanged) {
    std::ostringstream note;
    CSystemPointerSettings settings(nullptr, &note);
    settings.Apply(PointerValues{true, 5, 7});
    const std::string first = note.str();
    EXPECT_NE(first.find("left unchanged"), std::string::npos) << first;
    EXPECT_EQ(first.back(), '\n');
    settings.Apply(PointerValues{false, 10, 3});
    EXPECT_EQ(note.str(), first);
}

#else

// The settings of the signed-in user as the system reports them, and as it keeps them in the
// registry (SPIF_UPDATEINIFILE).
struct Snapshot {
    int mouse[3] = {};
    int speed = 0;
    UINT wheelLines = 0;
};

Snapshot Read() {
    Snapshot s;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, s.mouse, 0));
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &s.speed, 0));
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &s.wheelLines, 0));
    return s;
}

std::wstring RegistryText(const wchar_t* key, const wchar_t* name) {
    wchar_t buf[64] = {};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"?";
    return buf;
}

// Records the notices the main window receives.
std::vector<std::pair<WPARAM, std::vector<int>>> g_notices;

LRESULT CALLBACK NoticeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WININICHANGE) {
        std::vector<int> values;
        if (lParam != 0) values.assign(reinterpret_cast<const int*>(lParam), reinterpret_cast<const int*>(lParam) + 3);
        g_notices.emplace_back(wParam, values);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class SystemPointerSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Read();
        WNDCLASSW wc{};
        wc.lpfnWndProc = NoticeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"N640PointerNoticeTest";
        RegisterClassW(&wc);
        // A message-only window: it gets the notices sent to it but no broadcasts.
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        g_notices.clear();
    }
    void TearDown() override {
        DestroyWindow(window_);
        SystemParametersInfoW(SPI_SETMOUSE, 0, saved_.mouse, SPIF_UPDATEINIFILE);
        SystemParametersInfoW(SPI_SETMOUSESPEED, saved_.speed, reinterpret_cast<PVOID>(static_cast<INT_PTR>(saved_.speed)),
                              SPIF_UPDATEINIFILE);
        SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved_.wheelLines, nullptr, SPIF_UPDATEINIFILE);
    }
    Snapshot saved_;
    HWND window_ = nullptr;
};

TEST_F(SystemPointerSettingsTest, SetsAndStoresTheValuesAndNotifiesTheMainWindow) {
    CSystemPointerSettings settings(window_);

    settings.Apply(PointerValues{true, 14, 7});
    Snapshot on = Read();
    EXPECT_EQ(on.mouse[0], 6);
    EXPECT_EQ(on.mouse[1], 10);
    EXPECT_EQ(on.mouse[2], 1);
    EXPECT_EQ(on.speed, 14);
    EXPECT_EQ(on.wheelLines, 7u);
    EXPECT_EQ(RegistryText(L"Control Panel\\Mouse", L"MouseSensitivity"), L"14");
    EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"WheelScrollLines"), L"7");
    EXPECT_EQ(RegistryText(L"Control Panel\\Mouse", L"MouseSpeed"), L"1");

    ASSERT_EQ(g_notices.size(), 3u);
    EXPECT_EQ(g_notices[0].first, static_cast<WPARAM>(SPI_SETMOUSE));
    EXPECT_EQ(g_notices[0].second, (std::vector<int>{6, 10, 1}));
    EXPECT_EQ(g_notices[1].first, static_cast<WPARAM>(SPI_SETMOUSESPEED));
    EXPECT_EQ(g_notices[2].first, static_cast<WPARAM>(SPI_SETWHEELSCROLLLINES));

    settings.Apply(PointerValues{false, 3, -1});
    Snapshot off = Read();
    EXPECT_EQ(off.mouse[0], 0);
    EXPECT_EQ(off.mouse[1], 0);
    EXPECT_EQ(off.mouse[2], 0);
    EXPECT_EQ(off.speed, 3);
    EXPECT_EQ(off.wheelLines, static_cast<UINT>(WHEEL_PAGESCROLL));
    EXPECT_EQ(RegistryText(L"Control Panel\\Mouse", L"MouseSpeed"), L"0");
    ASSERT_EQ(g_notices.size(), 6u);
    EXPECT_EQ(g_notices[3].second, (std::vector<int>{0, 0, 0}));
}

#endif

} // namespace
} // namespace n640

// The control gallery: a test program that hosts the toolkit's slider, a list of 40 entries with
// the skinned scroll bar, the skinned popup menu of MenuEx.dll and the language menu, and writes
// what its page receives to a log file, one line per event, for the end-to-end test to read.
// Usage: ControlGallery.exe INSTALL_DIR LOG_FILE

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Poster.h"
#include "platform/Text.h"
#include "ui/controls/win/LanguageMenu.h"
#include "ui/controls/win/ListBoxEx.h"
#include "ui/controls/win/MenuExLibrary.h"
#include "ui/controls/win/Page.h"
#include "ui/controls/win/PngHSlider.h"

namespace n640::win {
namespace {

constexpr int kWidth = 720, kHeight = 400;
constexpr int kSlider = 301, kDisabledSlider = 302, kList = 303, kMenuButton = 304, kLanguageButton = 305,
              kDestroyButton = 306;
constexpr UINT_PTR kTopTimer = 7;

constexpr ControlRow kTable[] = {
    {.id = kSlider, .en = {40, 76, 340, 88}, .kind = ControlKind::Slider, .hint = 13},
    {.id = kDisabledSlider, .en = {40, 146, 340, 158}, .kind = ControlKind::Slider},
    {.id = kList, .en = {400, 48, 680, 328}, .kind = ControlKind::List},
    {.id = kMenuButton, .en = {40, 214, 200, 244}, .kind = ControlKind::Button, .tooltip = "str_macro_choose"},
    {.id = kLanguageButton, .en = {220, 214, 340, 244}, .kind = ControlKind::Button, .tooltip = "str_main"},
    {.id = kDestroyButton, .en = {40, 264, 200, 294}, .kind = ControlKind::Button},
};

FILE* g_log = nullptr;

void Log(const std::string& line) {
    if (!g_log) return;
    std::fputs((line + "\n").c_str(), g_log);
    std::fflush(g_log);
}

std::string Utf8(const std::u16string& s) { return Utf16ToUtf8(s); }

// One sheet of the gallery's face: dark panels, captions and the three buttons in a look.
HBITMAP DrawSheet(int look) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP sheet = CreateCompatibleBitmap(screen, kWidth, kHeight);
    HGDIOBJ old = SelectObject(dc, sheet);
    RECT all{0, 0, kWidth, kHeight};
    CBrushHandle face(CreateSolidBrush(RGB(0x1a, 0x1f, 0x28)));
    FillRect(dc, &all, face.Get());
    CBrushHandle panel(CreateSolidBrush(RGB(0x14, 0x18, 0x20)));
    CBrushHandle rim(CreateSolidBrush(RGB(0x2b, 0x33, 0x40)));
    CBrushHandle track(CreateSolidBrush(RGB(0x0d, 0x26, 0x30)));
    for (RECT r : {RECT{24, 24, 360, 188}, RECT{384, 24, 696, 344}, RECT{24, 200, 360, 344}}) {
        FillRect(dc, &r, panel.Get());
        FrameRect(dc, &r, rim.Get());
    }
    for (RECT r : {RECT{40, 80, 340, 84}, RECT{40, 150, 340, 154}}) FillRect(dc, &r, track.Get());
    CFontHandle font(SkinFont(14, 400, L"DejaVu Sans"));
    SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x9a, 0xa4, 0xb4));
    TextOutW(dc, 40, 40, L"Pointer speed", 13);
    TextOutW(dc, 40, 112, L"Disabled slider", 15);
    TextOutW(dc, 400, 28, L"Macro list (40 entries)", 23);
    const COLORREF faces[3] = {RGB(0x25, 0x2d, 0x3a), RGB(0x2f, 0x3c, 0x4e), RGB(0x1e, 0xc8, 0xff)};
    const COLORREF rims[3] = {RGB(0x3a, 0x45, 0x56), RGB(0x4a, 0x6a, 0x80), RGB(0x8c, 0xe6, 0xff)};
    const COLORREF inks[3] = {RGB(0xc8, 0xd0, 0xdc), RGB(0xff, 0xff, 0xff), RGB(0x05, 0x12, 0x1a)};
    const struct {
        int id;
        const wchar_t* text;
    } buttons[] = {{kMenuButton, L"Category menu"}, {kLanguageButton, L"Language"}, {kDestroyButton, L"Close menu"}};
    for (const auto& b : buttons) {
        for (const ControlRow& s : kTable) {
            if (s.id != b.id) continue;
            RECT r{s.en.left, s.en.top, s.en.right, s.en.bottom};
            CBrushHandle f(CreateSolidBrush(faces[look])), k(CreateSolidBrush(rims[look]));
            FillRect(dc, &r, f.Get());
            FrameRect(dc, &r, k.Get());
            SetTextColor(dc, inks[look]);
            DrawTextW(dc, b.text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return sheet;
}

class CGalleryPage : public CPage {
public:
    bool Build(HWND parent, const std::filesystem::path& installDir) {
        installDir_ = installDir;
        for (int i = 0; i < 3; ++i) sheets_[i].Reset(DrawSheet(i));
        if (!CreatePage(parent, PageArgs{.id = 100,
                                         .rect = {0, 0, kWidth, kHeight},
                                         .style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                         .skinDir = installDir / L"skins"})) {
            return false;
        }
        UseSheets(sheets_[0].Get(), sheets_[1].Get(), sheets_[2].Get());
        CreateControls(kTable);
        Slider(kSlider).SetRange(1, 10);
        Slider(kSlider).SetPos(1);
        Slider(kSlider).onChange = [](int v) { Log("2048 " + std::to_string(v) + " " + std::to_string(kSlider)); };
        Slider(kDisabledSlider).SetRange(1, 5);
        Slider(kDisabledSlider).SetPos(3);
        Slider(kDisabledSlider).Enable(false);
        Slider(kDisabledSlider).onChange = [](int v) {
            Log("2048 " + std::to_string(v) + " " + std::to_string(kDisabledSlider));
        };
        CListBoxEx& list = List(kList);
        list.SetBackground(RGB(0x14, 0x18, 0x20), RGB(0x1e, 0x6f, 0x8f));
        list.SetTextColours(RGB(0xc8, 0xd0, 0xdc), RGB(0xff, 0xff, 0xff));
        list.SetRename(true);
        for (int i = 1; i <= 40; ++i) {
            const uint32_t kind = static_cast<uint32_t>(2 + (i - 1) % 3);
            list.AddItem(kind, u"Entry " + Utf8ToUtf16(std::to_string(i)), static_cast<uint32_t>(i));
        }
        list.SetCurSel(0);
        SendMessageW(list.Hwnd(), LB_SETTOPINDEX, 0, 0);
        list.onSelChange = [](int i) { Log("1125 " + std::to_string(kList) + " " + std::to_string(i)); };
        list.onRenamed = [this](int i) {
            Log("1136 " + std::to_string(kList) + " " + std::to_string(i) + " " + Utf8(List(kList).GetText(i)));
        };
        OnClick(kMenuButton, [this] { OpenCategoryMenu(); });
        OnClick(kLanguageButton, [this] {
            RECT r;
            GetWindowRect(Item(kLanguageButton), &r);
            languageMenu_.Open(Hwnd(), r);
        });
        OnClick(kDestroyButton, [] {
            DestroyMenuExSafe();
            Log("destroy done");
        });
        SetTimer(Hwnd(), kTopTimer, 20, nullptr);
        return true;
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case kMenuExChosen:
            Log("1281 " + std::to_string(lParam));
            DestroyMenuExSafe();
            return 0;
        case msg::SwitchLanguage:
            Log("1025 " + std::to_string(wParam) + " " + std::to_string(lParam));
            if (wParam == 0 && languageMenu_.IsOpen()) SwitchTo(static_cast<uint32_t>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kTopTimer) {
                const int top = static_cast<int>(SendMessageW(List(kList).Hwnd(), LB_GETTOPINDEX, 0, 0));
                if (top != lastTop_) {
                    lastTop_ = top;
                    Log("top " + std::to_string(top) + " " + std::to_string(GetTickCount() - startTick_));
                }
            }
            return 0;
        default:
            return CPage::OnMessage(message, wParam, lParam);
        }
    }

private:
    void OpenCategoryMenu() {
        std::vector<MenuExItem> items;
        for (int c = 1; c <= kGameCategoryCount; ++c) {
            items.push_back(MakeMenuExItem(static_cast<uint32_t>(c), std::u16string(GameCategoryMenuText(c))));
        }
        RECT r;
        GetWindowRect(Item(kMenuButton), &r);
        const bool opened = OpenMenuEx(Hwnd(), POINT{r.left, r.bottom}, installDir_, items.data(),
                                       static_cast<int>(items.size()));
        Log(opened ? "menu open" : "menu failed " + Utf8(LoadMenuEx().error));
    }

    // What the main window does with a choice: load the language, re-set the tooltips, close.
    void SwitchTo(uint32_t index) {
        const LanguageInfo* lang = FindLanguage(index);
        if (!lang) return;
        SetUiChinese(lang->uiChinese);
        LanguageTable().LoadLanguageFile(InstallPath(U(installDir_.c_str()), lang->file));
        ReapplyTexts();
        Log("tooltip " + Utf8(TooltipText(Button(kLanguageButton))));
        languageMenu_.Close();
    }

    // The text the button's tooltip control holds now.
    static std::u16string TooltipText(const CGDIBitmapBtn& button) {
        HWND tip = button.Tooltip().TipWindow();
        if (!tip) return u"";
        wchar_t text[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = button.Hwnd();
        ti.uId = reinterpret_cast<UINT_PTR>(button.Hwnd());
        ti.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
        return U(text);
    }

    std::filesystem::path installDir_;
    CBitmapHandle sheets_[3];
    CLanguageMenu languageMenu_;
    int lastTop_ = -1;
    DWORD startTick_ = GetTickCount();
};

class CGalleryFrame : public CWindow {
public:
    bool Build(const std::filesystem::path& installDir) {
        RECT r{0, 0, kWidth, kHeight};
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        AdjustWindowRect(&r, style, FALSE);
        if (!Create(0, L"N640 Control Gallery", style, 40, 40, r.right - r.left, r.bottom - r.top, nullptr)) return false;
        return page_.Build(Hwnd(), installDir);
    }
    HWND PageHwnd() const { return page_.Hwnd(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            EndModal(0);
            return 0;
        }
        if (message == msg::ShowHint) {
            Log("2053 " + std::to_string(lParam));
            return 0;
        }
        return Default(message, wParam, lParam);
    }

private:
    CGalleryPage page_;
};

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::filesystem::path installDir = argv[1];
    g_log = _wfopen(argv[2], L"w");
    if (!g_log) return 3;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    OleInitialize(nullptr);
    SetUiChinese(false);
    LanguageTable().LoadLanguageFile(InstallPath(U(installDir.c_str()), u"Language\\en.xml"));
    int result = 0;
    {
        CGalleryFrame frame;
        if (!frame.Build(installDir)) {
            result = 4;
        } else {
            POINT origin{0, 0};
            ClientToScreen(frame.PageHwnd(), &origin);
            Log("ready " + std::to_string(origin.x) + " " + std::to_string(origin.y));
            frame.RunModal(nullptr, true);
        }
    }
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token);
    std::fclose(g_log);
    return result;
}

} // namespace
} // namespace n640::win

int wmain(int argc, wchar_t** argv) { return n640::win::Run(argc, argv); }

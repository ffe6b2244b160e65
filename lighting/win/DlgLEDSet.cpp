#include "lighting/win/DlgLEDSet.h"

#include <windowsx.h>

#include <vector>

#include "app/MainWindowModel.h"
#include "app/win/Services.h"
#include "config/ProfileStore.h"
#include "i18n/UiLanguage.h"
#include "ui/controls/win/PngHSlider.h"

namespace n640::win {
namespace {

constexpr int kTemplateId = 104;

// Control ids of the page's buttons and hint areas (the sliders and number fields have their own).
constexpr int kModeButton = 1000;          // + lighting mode 1..6
constexpr int kOwnColoursBox = 1010;
constexpr int kCycleColourButton = 1011;   // + 0..2
constexpr int kSingleColourButton = 1014;
constexpr int kSwatchButton = 1100;        // + swatch 0..25
constexpr int kLabel = 1200;               // + 0..4

constexpr int kColourButtons[kColourSlotCount] = {kCycleColourButton, kCycleColourButton + 1,
                                                  kCycleColourButton + 2, kSingleColourButton};

struct SliderRange {
    int id, min, max;
};
constexpr SliderRange kSliders[] = {
    {kSliderRed, 0, 255},        {kSliderGreen, 0, 255},      {kSliderBlue, 0, 255},
    {kSliderBrightness, 1, 10},  {kSliderBreathSpeed, 1, 5},  {kSliderCycleSpeed, 1, 3},
};
constexpr int kFields[] = {kFieldRed, kFieldGreen, kFieldBlue};

// The field boxes drawn under the number fields in the sheets.
constexpr COLORREF kFieldColour = RGB(0x0A, 0x0C, 0x10);

const std::vector<ControlRow>& Controls() {
    static const std::vector<ControlRow> table = [] {
        using K = ControlKind;
        std::vector<ControlRow> t = {
            {kModeButton + 4, {197, 28, 407, 47}, {197, 36, 309, 52}, K::Radio, "str_ledspe", 26},
            {kModeButton + 3, {450, 26, 665, 46}, {368, 36, 481, 52}, K::Radio, "str_led_apmbre", 27},
            {kModeButton + 6, {710, 28, 828, 46}, {557, 36, 638, 52}, K::Radio, "str_led_off", 28},
            {kModeButton + 2, {196, 56, 286, 76}, {197, 63, 277, 78}, K::Radio, "str_led_norbre", 29},
            {kSliderBreathSpeed, {570, 61, 714, 70}, {458, 67, 603, 75}, K::Slider, {}, 76},
            {kModeButton + 1, {196, 86, 301, 104}, {197, 89, 278, 106}, K::Radio, "str_led_brealways", 31},
            {kSliderBrightness, {570, 91, 713, 99}, {458, 92, 602, 101}, K::Slider, {}, 32},
            {kModeButton + 5, {196, 117, 331, 131}, {197, 118, 278, 135}, K::Radio, "str_led_symphony", 33},
            {kOwnColoursBox, {342, 112, 488, 137}, {326, 114, 405, 138}, K::Radio, {}, 34},
            {kCycleColourButton, {516, 112, 542, 138}, {431, 114, 457, 140}, K::Colour, "str_multicolor1", 77},
            {kCycleColourButton + 1, {549, 112, 575, 138}, {464, 114, 490, 140}, K::Colour, "str_multicolor2", 78},
            {kCycleColourButton + 2, {581, 112, 607, 138}, {496, 114, 522, 140}, K::Colour, "str_multicolor3", 79},
            {kSliderCycleSpeed, {430, 155, 571, 162}, {673, 123, 816, 131}, K::Slider, {}, 36},
            {kSingleColourButton, {170, 207, 195, 232}, {171, 206, 196, 232}, K::Colour, "str_choose_color", 83},
            {kSliderRed, {571, 279, 698, 287}, {564, 272, 692, 287}, K::Slider, {}, 39},
            {kSliderGreen, {571, 326, 698, 336}, {564, 319, 692, 334}, K::Slider, {}, 39},
            {kSliderBlue, {571, 370, 698, 379}, {564, 354, 692, 379}, K::Slider, {}, 39},
            {kFieldRed, {713, 275, 738, 290}, {}, K::Edit, {}, 0},
            {kFieldGreen, {713, 323, 738, 338}, {}, K::Edit, {}, 0},
            {kFieldBlue, {713, 367, 738, 383}, {}, K::Edit, {}, 0},
            {kLabel + 0, {21, 25, 176, 50}, {}, K::Area, {}, 75},
            {kLabel + 1, {17, 184, 516, 206}, {25, 166, 404, 195}, K::Area, {}, 81},
            {kLabel + 2, {28, 207, 159, 229}, {}, K::Area, {}, 82},
            {kLabel + 3, {30, 247, 131, 265}, {}, K::Area, {}, 84},
            {kLabel + 4, {482, 239, 631, 260}, {}, K::Area, {}, 85},
        };
        for (int k = 0; k < kSwatchCount; ++k) {
            const LedRect en = SwatchRect(k, false), zh = SwatchRect(k, true);
            t.push_back({kSwatchButton + k, {en.left, en.top, en.right, en.bottom},
                         {zh.left, zh.top, zh.right, zh.bottom}, K::Radio, {}, 0});
        }
        return t;
    }();
    return table;
}

HCURSOR CrossCursor() { return LoadCursorW(nullptr, IDC_CROSS); }

} // namespace

bool CDlgLEDSet::CreatePage(CServices& services, HWND parent, HBITMAP /*mainSheet*/) {
    store_ = &services.Store();
    lightDir_ = services.InstallDir() / L"skins" / L"Light";
    model_.emplace(store_->Profile());
    PageArgs args;
    args.id = kTemplateId;
    args.rect = kPageRect;
    args.skinDir = services.InstallDir() / L"skins";
    if (!CPage::CreatePage(parent, args)) return false;
    UseLanguageSheets();
    CreateControls(Controls());
    SetUpControls();
    Refresh();
    return true;
}

void CDlgLEDSet::SetUpControls() {
    for (int m = 1; m <= kLightModeCount; ++m)
        OnClick(kModeButton + m, [this, m] { model_->ClickMode(m); Show(); });
    OnClick(kOwnColoursBox, [this] { model_->ClickOwnColours(); Show(); });
    for (int i = 0; i < 3; ++i)
        OnClick(kCycleColourButton + i, [this, i] { model_->ClickCycleColour(i); Show(); });
    for (int k = 0; k < kSwatchCount; ++k)
        OnClick(kSwatchButton + k, [this, k] { model_->ClickSwatch(k); Show(); });
    for (const SliderRange& s : kSliders) {
        CPngHSliderBar& slider = Slider(s.id);
        slider.SetRange(s.min, s.max);
        slider.onChange = [this, id = s.id](int value) {
            model_->SliderMoved(id, value);
            Show(false);  // the dragged slider already stands where it was dragged
        };
    }
    fieldBrush_.Reset(CreateSolidBrush(kFieldColour));
    for (int id : kFields) {
        HWND field = Item(id);
        SendMessageW(field, EM_SETREADONLY, TRUE, 0);
        SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) | ES_NUMBER);
        Edit(id).SetBackground(fieldBrush_.Get());
    }
}

bool CDlgLEDSet::UseLanguageSheets() {
    const bool chinese = UiChinese();
    if (sheetsChinese_ == chinese) return false;
    const std::filesystem::path dir = chinese ? lightDir_ / L"zh" : lightDir_;
    LoadSheets(dir / L"LedSet_normal.bmp", dir / L"LedSet_over.bmp", dir / L"LedSet_down.bmp");
    sheetsChinese_ = chinese;
    return true;
}

void CDlgLEDSet::LoadControls() {
    if (UseLanguageSheets()) Relayout();
    Invalidate();
}

void CDlgLEDSet::Refresh() {
    if (!model_ || !Hwnd()) return;
    if (UseLanguageSheets()) Relayout();
    model_->Attach(store_->Profile());
    model_->Refresh();
    Show();
}

void CDlgLEDSet::Show(bool sliderPositions) {
    const LightingView& v = model_->View();
    for (int m = 1; m <= kLightModeCount; ++m)
        Button(kModeButton + m).SetCheck(v.modePressed[static_cast<size_t>(m - 1)]);

    Slider(kSliderBrightness).Enable(v.brightnessEnabled);
    Slider(kSliderBreathSpeed).Enable(v.breathSpeedEnabled);
    Slider(kSliderCycleSpeed).Enable(v.cycleSpeedEnabled);
    for (int id : {kSliderRed, kSliderGreen, kSliderBlue}) Slider(id).Enable(v.colourSlidersEnabled);
    if (sliderPositions) {
        Slider(kSliderRed).SetPos(v.redPos);
        Slider(kSliderGreen).SetPos(v.greenPos);
        Slider(kSliderBlue).SetPos(v.bluePos);
        Slider(kSliderBrightness).SetPos(v.brightnessPos);
        Slider(kSliderBreathSpeed).SetPos(v.breathSpeedPos);
        Slider(kSliderCycleSpeed).SetPos(v.cycleSpeedPos);
    }

    EnableWindow(Item(kOwnColoursBox), v.cycleControlsEnabled);
    Button(kOwnColoursBox).SetCheck(v.ownColoursTicked);
    SetHint(kOwnColoursBox, model_->OwnColoursHint());
    for (int i = 0; i < 3; ++i) EnableWindow(Item(kCycleColourButton + i), v.cycleControlsEnabled);

    for (int k = 0; k < kSwatchCount; ++k) {
        Button(kSwatchButton + k).SetCheck(v.swatchPressed[static_cast<size_t>(k)]);
        EnableWindow(Item(kSwatchButton + k), v.swatchesEnabled);
    }

    Edit(kFieldRed).SetText(v.redText);
    Edit(kFieldGreen).SetText(v.greenText);
    Edit(kFieldBlue).SetText(v.blueText);
    for (int i = 0; i < kColourSlotCount; ++i) Colour(kColourButtons[i]).SetColour(v.buttonColours[static_cast<size_t>(i)]);
}

LedColour CDlgLEDSet::ShownPixel(int x, int y) {
    // What the page shows at the point; the normal sheet (the page's picture) when the screen
    // cannot be read.
    HDC dc = GetDC(Hwnd());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Hwnd(), dc);
    if (c == CLR_INVALID && NormalSheet()) {
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(mem, NormalSheet());
        c = GetPixel(mem, x, y);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    return c == CLR_INVALID ? 0 : static_cast<LedColour>(c);
}

void CDlgLEDSet::OnWheelPress(int x, int y) {
    const LightingPageState& s = model_->State();
    if (!s.wheelEnabled || s.currentSlot >= kColourSlotCount) return;
    if (model_->WheelPress(x, y, ShownPixel(x, y))) Show();
}

LRESULT CDlgLEDSet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (model_ && InsideWheel(x, y)) {
            SetCursor(CrossCursor());
            if (message == WM_LBUTTONDOWN) OnWheelPress(x, y);
        }
        break;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Hwnd() && LOWORD(lParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(Hwnd(), &p);
            if (InsideWheel(p.x, p.y)) {
                SetCursor(CrossCursor());
                return TRUE;
            }
        }
        break;
    default:
        break;
    }
    return CPage::OnMessage(message, wParam, lParam);
}

} // namespace n640::win

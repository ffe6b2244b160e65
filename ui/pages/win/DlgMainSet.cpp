#include "ui/pages/win/DlgMainSet.h"

#include "functions/FunctionModel.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Notifier.h"
#include "platform/Poster.h"
#include "ui/controls/win/PngHSlider.h"
#include "ui/pages/win/SettingDlg.h"

namespace n640::win {

namespace {

constexpr int kDpiFirst = 1100;          // 14 buttons in table order
constexpr int kPrecision = 1120;
constexpr int kRateFirst = 1130;         // 125, 250, 500, 1000
constexpr int kLines = 1140, kLinesUp = 1141, kLinesDown = 1142, kScreen = 1143;
constexpr int kCaptionFirst = 1150;
constexpr int kInputFirst = 1160;

// Hint numbers of the controls.
constexpr int kDpiHint = 12, kPointerHint = 13, kPrecisionHint = 14, kSensorHint = 15, kRateHint = 16;
constexpr int kLinesHint = 17, kScreenHint = 18, kInputHint = 65;

constexpr UINT_PTR kSpotTimer = 17, kEntryTimer = 152;
constexpr UINT kSpotPeriod = 200, kEntryPeriod = 4000;

constexpr ControlRow Dpi(int i, Rect r) {
    return {.id = kDpiFirst + i, .en = r, .kind = ControlKind::Check, .tooltip = "str_dpiwant", .hint = kDpiHint};
}
constexpr ControlRow Rate(int i, Rect r) {
    return {.id = kRateFirst + i, .en = r, .kind = ControlKind::Check, .tooltip = "str_rollingrate", .hint = kRateHint};
}
constexpr ControlRow Caption(int i, Rect r, int hint) {
    return {.id = kCaptionFirst + i, .en = r, .kind = ControlKind::Area, .hint = hint};
}

constexpr ControlRow kTable[] = {
    Dpi(0, {69, 66, 109, 78}), Dpi(1, {140, 66, 184, 78}), Dpi(2, {206, 66, 251, 79}), Dpi(3, {277, 66, 321, 78}),
    Dpi(4, {347, 66, 394, 78}), Dpi(5, {415, 66, 464, 80}), Dpi(6, {486, 66, 534, 80}),
    Dpi(7, {68, 90, 116, 103}), Dpi(8, {139, 91, 186, 104}), Dpi(9, {205, 91, 254, 103}), Dpi(10, {276, 91, 323, 104}),
    Dpi(11, {346, 91, 393, 103}), Dpi(12, {415, 90, 461, 104}), Dpi(13, {485, 90, 530, 104}),
    {.id = kPointerSpeedSliderId, .en = {104, 167, 293, 179}, .kind = ControlKind::Slider, .hint = kPointerHint},
    {.id = kPrecision, .en = {68, 203, 178, 219}, .kind = ControlKind::Check, .tooltip = "str_improveAccuracy",
     .hint = kPrecisionHint},
    {.id = kSensorSliderId, .en = {422, 167, 624, 179}, .kind = ControlKind::Slider, .hint = kSensorHint},
    Rate(0, {67, 303, 120, 317}), Rate(1, {134, 303, 190, 317}), Rate(2, {201, 303, 261, 317}),
    Rate(3, {271, 303, 331, 317}),
    {.id = kLines, .en = {406, 331, 669, 347}, .zh = {406, 331, 558, 345}, .kind = ControlKind::Check,
     .tooltip = "str_rollerColumn", .hint = kLinesHint},
    {.id = kLinesUp, .en = {573, 350, 588, 361}, .zh = {594, 330, 607, 340}},
    {.id = kLinesDown, .en = {573, 361, 588, 372}, .zh = {594, 341, 607, 350}},
    {.id = kScreen, .en = {406, 375, 672, 393}, .zh = {406, 361, 527, 375}, .kind = ControlKind::Check,
     .tooltip = "str_rollerScreen", .hint = kScreenHint},
    Caption(0, {40, 27, 176, 49}, 61), Caption(1, {29, 127, 288, 157}, 13), Caption(2, {372, 129, 568, 154}, 62),
    Caption(3, {30, 262, 208, 287}, 63), Caption(4, {374, 263, 661, 287}, 64), Caption(5, {29, 366, 205, 395}, 65),
};

constexpr Rect kEntryEnglish{550, 355, 573, 377};
constexpr Rect kEntryChinese{574, 333, 590, 358};

// The seven input buttons, corner by corner, and the spots on the mouse picture.
const std::vector<Point> kInputCorners[kInputCount] = {
    {{19, 408}, {127, 408}, {95, 441}, {19, 441}},   {{130, 408}, {214, 408}, {182, 441}, {98, 441}},
    {{218, 408}, {302, 408}, {270, 441}, {186, 441}}, {{306, 408}, {389, 408}, {357, 441}, {274, 441}},
    {{393, 408}, {476, 408}, {444, 441}, {361, 441}}, {{481, 408}, {581, 408}, {549, 441}, {449, 441}},
    {{586, 408}, {692, 408}, {660, 441}, {554, 441}},
};
constexpr Rect kSpots[kInputCount] = {
    {762, 139, 789, 164}, {797, 149, 821, 172}, {829, 138, 855, 164}, {719, 206, 744, 228},
    {722, 251, 751, 275}, {794, 119, 823, 145}, {794, 174, 824, 200},
};

// The entry's background, the colour of the field drawn under it.
constexpr COLORREF kEntryBackground = 0x00100C0A;

std::u16string WindowText(HWND w) {
    const int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(w, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return U(text.c_str());
}

} // namespace

CDlgMainSet::CDlgMainSet() = default;

CDlgMainSet::~CDlgMainSet() {
    if (Hwnd()) {
        KillTimer(Hwnd(), kSpotTimer);
        KillTimer(Hwnd(), kEntryTimer);
    }
    for (CIrrButton& b : inputs_) b.Destroy();
    entry_.reset();
}

bool CDlgMainSet::CreateMainSetPage(const MainSetPageArgs& args) {
    args_ = args;
    if (!args_.profile || !args_.assignments) return false;
    if (!CPage::CreatePage(args.parent, PageArgs{.id = 103, .rect = args.rect, .skinDir = args.installDir / L"skins",
                                                 .hintTarget = args.hintTarget}))
        return false;
    layoutChinese_ = UiChinese() ? 1 : 0;
    const auto skins = args.installDir / L"skins" / (UiChinese() ? L"zh" : L"");
    LoadSheets(skins / L"N640_Main_Normal.bmp", skins / L"N640_Main_Over.bmp", skins / L"N640_Main_Down.bmp");
    CreateControls(kTable);
    CreateEntry();
    CreateInputButtons();

    Slider(kPointerSpeedSliderId).SetRange(kPointerSpeedMin, kPointerSpeedMax);
    Slider(kSensorSliderId).SetRange(kSensorMin, kSensorMax);
    for (int id : {kPointerSpeedSliderId, kSensorSliderId}) {
        Slider(id).onChange = [this, id](int value) { model_.SliderMoved(*args_.profile, id, value); };
    }
    for (int i = 0; i < static_cast<int>(kDpiTable.size()); ++i) {
        OnClick(kDpiFirst + i, [this, i] {
            ClickDpi(*args_.profile, i);
            ShowView();
        });
    }
    OnClick(kPrecision, [this] {
        model_.ClickPrecision(*args_.profile);
        ShowView();
    });
    for (int i = 0; i < static_cast<int>(kReportRates.size()); ++i) {
        OnClick(kRateFirst + i, [this, i] {
            model_.ClickRate(*args_.profile, i);
            ShowView();
        });
    }
    OnClick(kLines, [this] {
        model_.ClickLines(*args_.profile);
        ShowView();
    });
    OnClick(kScreen, [this] {
        model_.ClickScreen(*args_.profile);
        ShowView();
    });
    OnClick(kLinesUp, [this] {
        model_.LinesUp(*args_.profile);
        ShowView();
    });
    OnClick(kLinesDown, [this] {
        model_.LinesDown(*args_.profile);
        ShowView();
    });

    SetTimer(Hwnd(), kSpotTimer, kSpotPeriod, nullptr);
    SetTimer(Hwnd(), kEntryTimer, kEntryPeriod, nullptr);
    Refresh();
    return true;
}

void CDlgMainSet::CreateEntry() {
    entryBrush_.Reset(CreateSolidBrush(kEntryBackground));
    entry_ = std::make_unique<CBitmapEdit>();
    entry_->Create(Hwnd(), BitmapEditArgs{.id = kScrollLinesEntryId, .rect = UiChinese() ? kEntryChinese : kEntryEnglish,
                                          .style = WS_VISIBLE | ES_NUMBER | ES_CENTER,
                                          .background = entryBrush_.Get()});
}

void CDlgMainSet::CreateInputButtons() {
    for (int i = 0; i < kInputCount; ++i) {
        CIrrButton& b = inputs_[static_cast<size_t>(i)];
        b.Create(Hwnd(), IrrButtonArgs{.id = kInputFirst + i, .shape = CIrrShape(kInputCorners[i]), .latched = true,
                                       .onClick = [this, i] { EditInput(i); }});
    }
    LoadLanguageLooks();
}

void CDlgMainSet::LoadLanguageLooks() {
    const bool chinese = UiChinese();
    for (CIrrButton& b : inputs_) {
        if (chinese)
            b.SetBitmaps(161, 160, 162, 161);
        else
            b.SetBitmaps(164, 163, 165, 164);
    }
}

void CDlgMainSet::Refresh() {
    if (!Hwnd()) return;
    // After a language switch: the other sheets, rectangles and input-button pictures.
    const int chinese = UiChinese() ? 1 : 0;
    if (chinese != layoutChinese_) {
        layoutChinese_ = chinese;
        const auto skins = args_.installDir / L"skins" / (chinese ? L"zh" : L"");
        LoadSheets(skins / L"N640_Main_Normal.bmp", skins / L"N640_Main_Over.bmp", skins / L"N640_Main_Down.bmp");
        Relayout();
        const Rect e = chinese ? kEntryChinese : kEntryEnglish;
        if (entry_) SetWindowPos(entry_->Hwnd(), nullptr, e.left, e.top, e.Width(), e.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        LoadLanguageLooks();
    }
    model_.Refresh(*args_.profile);
    ShowView();
}

void CDlgMainSet::ShowView() {
    const MainSetView v = model_.View(*args_.profile);
    for (size_t i = 0; i < v.dpiOn.size(); ++i) Button(kDpiFirst + static_cast<int>(i)).SetCheck(v.dpiOn[i]);
    Slider(kPointerSpeedSliderId).SetPos(v.pointerSpeed);
    Button(kPrecision).SetCheck(v.precisionOn);
    Slider(kSensorSliderId).SetPos(v.sensor);
    for (size_t i = 0; i < v.rateOn.size(); ++i) Button(kRateFirst + static_cast<int>(i)).SetCheck(v.rateOn[i]);
    Button(kLines).SetCheck(v.linesOn);
    Button(kScreen).SetCheck(v.screenOn);
    EnableWindow(Item(kLinesUp), v.entryEnabled);
    EnableWindow(Item(kLinesDown), v.entryEnabled);
    if (entry_) {
        EnableWindow(entry_->Hwnd(), v.entryEnabled);
        if (WindowText(entry_->Hwnd()) != v.entryText) SetWindowTextW(entry_->Hwnd(), W(v.entryText));
    }
    const ProfileImage& image = *args_.profile;
    for (int i = 0; i < kInputCount; ++i) {
        CIrrButton& b = inputs_[static_cast<size_t>(i)];
        const std::u16string label = GetLabel(image.buttons[i]);
        if (WindowText(b.Hwnd()) != label) SetWindowTextW(b.Hwnd(), W(label));
        b.SetHighlight(v.inputChanged[static_cast<size_t>(i)]);
        b.Invalidate();
    }
}

bool CDlgMainSet::CheckScrollLinesEntry() {
    if (!entry_) return true;
    const std::u16string shown = model_.CheckScrollLinesEntry(*args_.profile, WindowText(entry_->Hwnd()));
    if (WindowText(entry_->Hwnd()) != shown) SetWindowTextW(entry_->Hwnd(), W(shown));
    const auto end = static_cast<LPARAM>(shown.size());
    SendMessageW(entry_->Hwnd(), EM_SETSEL, static_cast<WPARAM>(end), end);
    return true;
}

void CDlgMainSet::EditInput(int input) {
    if (input < 0 || input >= kInputCount) return;
    editingInput_ = input;
    ProfileImage& image = *args_.profile;
    TranslateDefaultLabel(image.buttons[input], UiChinese());

    CSettingDlg chooser;
    const ChooserEnd end = chooser.Run(ChooserArgs{.parent = Hwnd(), .installDir = args_.installDir, .input = input,
                                                   .currentLabel = GetLabel(image.buttons[input]),
                                                   .macros = args_.macros});
    if (end == ChooserEnd::Ok) {
        std::span<const MacroRecord> library;
        if (args_.macros) library = {&args_.macros->Record(0), CMacroLibrary::Size()};
        const WriteBackOutcome outcome = WriteBackChoice(image, *args_.assignments, chooser.Result(), library, UiChinese());
        if (const std::u16string text = WriteBackMessage(outcome, UiChinese()); !text.empty() && args_.notifier)
            args_.notifier->ShowInfo(text);
    }
    ShowView();
    editingInput_ = -1;
}

Rect CDlgMainSet::InputBox(int input) const { return CIrrShape(kInputCorners[input]).Box(); }

void CDlgMainSet::TickSpots() {
    POINT cursor;
    GetCursorPos(&cursor);
    HWND root = GetAncestor(Hwnd(), GA_ROOT);
    const bool inFront = GetForegroundWindow() == root;
    POINT page = cursor;
    ScreenToClient(Hwnd(), &page);
    const bool moved = cursor.x != lastPointer_.x || cursor.y != lastPointer_.y;
    lastPointer_ = cursor;
    bool changed = false;
    for (int i = 0; i < kInputCount; ++i) {
        const Rect box = InputBox(i);
        const PageRect narrowed = SpotTestRect({box.left, box.top, box.right, box.bottom});
        const bool inside = IsWindowVisible(Hwnd()) && Contains(narrowed, page.x, page.y);
        const bool lit = NextSpotHighlight(spotLit_[static_cast<size_t>(i)], inside, inFront);
        changed |= lit != spotLit_[static_cast<size_t>(i)];
        spotLit_[static_cast<size_t>(i)] = lit;
        // The input buttons hold the pointer while it is over them, so their hint comes from here.
        if (moved && IsWindowVisible(Hwnd()) && page.x >= box.left - 1 && page.x <= box.right &&
            page.y >= box.top - 1 && page.y <= box.bottom && inputs_[static_cast<size_t>(i)].Shape().Contains({page.x, page.y})) {
            HWND target = args_.hintTarget ? args_.hintTarget : root;
            PostMessageW(target, msg::ShowHint, 0, kInputHint);
        }
    }
    if (changed) {
        for (const Rect& r : kSpots) {
            RECT rr{r.left, r.top, r.right, r.bottom};
            InvalidateRect(Hwnd(), &rr, FALSE);
        }
    }
}

void CDlgMainSet::PaintOver(HDC dc) {
    const SkinSheets sheets = Sheets();
    for (int i = 0; i < kInputCount; ++i) {
        if (!spotLit_[static_cast<size_t>(i)]) continue;
        const Rect& r = kSpots[i];
        BlitBitmap(dc, r.left, r.top, r.Width(), r.Height(), sheets.pressed, r.left, r.top);
    }
}

LRESULT CDlgMainSet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (wParam == kSpotTimer) {
            TickSpots();
            return 0;
        }
        if (wParam == kEntryTimer) {
            if (Button(kLines).GetCheck()) CheckScrollLinesEntry();
            return 0;
        }
    }
    return CPage::OnMessage(message, wParam, lParam);
}

} // namespace n640::win

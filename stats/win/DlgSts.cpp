#include "stats/win/DlgSts.h"

#include <array>
#include <string>

#include "i18n/UiLanguage.h"

namespace n640::win {
namespace {

constexpr UINT_PTR kDistanceTimer = 1;
constexpr UINT kLanguageLooks = WM_APP + 1;  // the interface language changed: reload the pictures
constexpr UINT kDistanceRedrawMs = 5000;
constexpr COLORREF kNumberColour = 0x00DCDCDC;
constexpr int kNumberHeight = 14;
constexpr int kNumberWeight = 300;

enum StatsControl : int {
    kTrophyPicture = 1000,
    kProgressBar = 1001,
    kResetButton = 1002,
    kFirstMark = 1010,  // marks 0..12
};

// The controls of the page; the progress bar starts at its level-0 width and follows the level.
constexpr std::array<ControlRow, 3 + kTrophyLevelCount> BuildControlTable() {
    std::array<ControlRow, 3 + kTrophyLevelCount> table{};
    table[0] = {kTrophyPicture, kTrophyRect, {}, ControlKind::Radio, {}, kTrophyHint};
    table[1] = {kProgressBar, ProgressBarRect(0), {}, ControlKind::Radio, {}, 0};
    table[2] = {kResetButton, kResetRect, {}, ControlKind::Button, {}, kResetHint};
    for (int k = 0; k < kTrophyLevelCount; ++k)
        table[3 + k] = {kFirstMark + k, LevelMarkRect(k), {}, ControlKind::Radio, {}, 0};
    return table;
}
constexpr auto kControls = BuildControlTable();

// The pointer position for the sampling thread.
class CCursorPosition final : public IPointerPosition {
public:
    bool ReadPointer(Point& where) override {
        POINT p;
        if (!GetCursorPos(&p)) return false;
        where = {p.x, p.y};
        return true;
    }
};

// The pictures of the Chinese interface sit in a zh folder beside the English ones.
std::filesystem::path SheetDir(const std::filesystem::path& installDir, bool chinese) {
    return chinese ? installDir / L"skins" / L"zh" : installDir / L"skins";
}

std::filesystem::path TrophyPicture(const std::filesystem::path& installDir, bool chinese, int level) {
    std::filesystem::path dir = installDir / L"skins" / L"trophy";
    if (chinese) dir /= L"zh";
    return dir / (L"trophy" + std::to_wstring(level) + L"Down.bmp");
}

} // namespace

CDlgSts::CDlgSts() = default;

CDlgSts::~CDlgSts() {
    // The window goes while this class still handles its messages, so that its end is seen here.
    Destroy();
    Finish();
}

bool CDlgSts::CreateStatsPage(const StatsPageArgs& args, const StatsPagePorts& ports) {
    args_ = args;
    lookup_ = ports.lookup;
    model_ = std::make_unique<CStatsModel>(args.dataDir, ports.files, ports.notifier, ports.lookup);
    cursor_ = std::make_unique<CCursorPosition>();
    sampler_ = std::make_unique<CDistanceSampler>(*cursor_, ports.poster);
    numberFont_.Reset(SkinFont(kNumberHeight, kNumberWeight));

    PageArgs page;
    page.id = args.id;
    page.rect = args.rect;
    page.skinDir = args.installDir / L"skins";
    page.hintTarget = args.hintTarget;
    if (!CreatePage(args.parent, page)) return false;
    LoadLanguageSheets();

    model_->LoadStatistics();
    counting_ = true;
    CreateControls(kControls);
    Button(kTrophyPicture).SetCheck(true);
    Button(kProgressBar).SetCheck(true);
    OnClick(kResetButton, [this] { OnReset(); });
    RefreshCaptions();
    ShowLevel(false);

    POINT p{};
    GetCursorPos(&p);
    model_->SetLastPoint({p.x, p.y});
    sampler_->Start(Hwnd());
    SetTimer(Hwnd(), kDistanceTimer, kDistanceRedrawMs, nullptr);
    return true;
}

bool CDlgSts::SaveStatistics() { return model_ && model_->SaveStatistics(); }

void CDlgSts::Finish() {
    if (!counting_) return;
    counting_ = false;
    // No sample may arrive for a page that is gone: the thread ends before anything else.
    sampler_->Stop();
    model_->SaveStatistics();
}

void CDlgSts::InvalidatePageRect(const Rect& r) {
    RECT rr{r.left, r.top, r.right, r.bottom};
    InvalidateRect(Hwnd(), &rr, FALSE);
}

void CDlgSts::LoadLanguageSheets() {
    sheetsChinese_ = UiChinese();
    const std::filesystem::path dir = SheetDir(args_.installDir, sheetsChinese_);
    LoadSheets(dir / L"Sts_Normal.bmp", dir / L"Sts_Over.bmp", dir / L"Sts_Down.bmp");
}

void CDlgSts::FollowLanguage() {
    if (sheetsChinese_ == UiChinese()) return;
    LoadLanguageSheets();
    Relayout();  // every control's looks cut again from the new sheets
    ShowLevel(true);
    RefreshCaptions();
}

void CDlgSts::ShowLevel(bool force) {
    if (!force && !model_->LevelChanged()) return;
    const int level = model_->Level();
    trophy_ = LoadSkinImage(TrophyPicture(args_.installDir, sheetsChinese_, level));
    const HBITMAP picture = trophy_.bitmap.Get();
    SkinSheets looks;
    looks.normal = looks.hover = looks.pressed = looks.disabled = picture;
    Button(kTrophyPicture).SetSkin(Rect{0, 0, kTrophyRect.Width(), kTrophyRect.Height()}, looks);
    for (int k = 0; k < kTrophyLevelCount; ++k) Button(kFirstMark + k).SetCheck(model_->MarkChecked(k));

    const Rect bar = ProgressBarRect(level);
    SetWindowPos(Item(kProgressBar), nullptr, bar.left, bar.top, bar.Width(), bar.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Button(kProgressBar).SetSkin(bar, Sheets());
    Button(kProgressBar).SetCheck(true);
    model_->SetLevelShown();
    Invalidate();
}

void CDlgSts::RefreshCaptions() {
    if (!lookup_) return;
    const std::u16string cups = lookup_("str_cups");
    if (Button(kTrophyPicture).Text() != cups) Button(kTrophyPicture).SetText(cups);
    const std::u16string reset = lookup_("str_resetSts");
    if (Button(kResetButton).Text() != reset) Button(kResetButton).SetText(reset);
}

void CDlgSts::OnReset() {
    if (!model_->AskReset(UiChinese())) return;
    ShowLevel(false);
    Invalidate();
}

void CDlgSts::PaintOver(HDC dc) {
    if (!model_) return;
    // A language switch repaints every page: the captions follow it here, the pictures just after.
    RefreshCaptions();
    if (sheetsChinese_ != UiChinese()) PostMessageW(Hwnd(), kLanguageLooks, 0, 0);
    const bool chinese = InstallChinese();
    const HGDIOBJ oldFont = SelectObject(dc, numberFont_.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, kNumberColour);
    for (int row = 0; row < kStatsRowCount; ++row) {
        const Rect r = StatsRowRect(row, chinese);
        RECT rr{r.left, r.top, r.right, r.bottom};
        const std::u16string text = model_->RowText(row);
        DrawTextW(dc, W(text), -1, &rr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

LRESULT CDlgSts::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case msg::StatsMouseEvent:
        if (model_ && model_->Count(wParam)) {
            ShowLevel(false);
            InvalidatePageRect(StatsNumberArea(InstallChinese()));
        }
        return 0;
    case kLanguageLooks:
        if (model_) FollowLanguage();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && model_) FollowLanguage();
        break;
    case msg::StatsSample:
        if (model_) model_->Sample(SamplePoint(wParam, lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kDistanceTimer) {
            InvalidatePageRect(StatsDistanceArea(InstallChinese()));
            return 0;
        }
        break;
    case WM_DESTROY:
        KillTimer(Hwnd(), kDistanceTimer);
        Finish();
        break;
    default:
        break;
    }
    return CPage::OnMessage(message, wParam, lParam);
}

} // namespace n640::win

#include "ui/pages/win/SettingDlg.h"

#include <commdlg.h>
#include <shlobj.h>

#include "functions/FunctionModel.h"
#include "functions/HookState.h"
#include "functions/KeyNames.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Poster.h"
#include "ui/controls/win/ListBoxEx.h"

namespace n640::win {

namespace {

// The popup's controls.
constexpr int kClose = 1, kTabFirst = 11, kDisable = 20, kDefault = 21, kOk = 22;
constexpr int kModifierFirst = 101;                       // Ctrl, Alt, Shift, Windows
constexpr int kCategoryList = 10001, kMacroList = 10002;
constexpr int kBasicList = 101;
constexpr int kRadioFirst = 401, kBrowseFirst = 411;

constexpr Rect kTabPageRect{21, 74, 391, 243};

constexpr ControlRow kFace[] = {
    {.id = kClose, .en = {383, 1, 411, 24}},
    {.id = kTabFirst, .en = {0, 37, 110, 64}, .kind = ControlKind::Radio},
    {.id = kTabFirst + 1, .en = {111, 37, 207, 64}, .kind = ControlKind::Radio},
    {.id = kTabFirst + 2, .en = {208, 37, 303, 64}, .kind = ControlKind::Radio},
    {.id = kTabFirst + 3, .en = {304, 37, 412, 64}, .kind = ControlKind::Radio},
    {.id = kDisable, .en = {23, 258, 42, 277}, .kind = ControlKind::Check},
    {.id = kDefault, .en = {238, 254, 315, 289}},
    {.id = kOk, .en = {316, 254, 393, 289}},
};
constexpr std::string_view kTabKeys[] = {"str_key_com", "str_macro_set", "str_basic", "str_advance"};

constexpr ControlRow kKeyTab[] = {
    {.id = kModifierFirst, .en = {59, 45, 75, 61}, .kind = ControlKind::Check},
    {.id = kModifierFirst + 1, .en = {59, 70, 75, 86}, .kind = ControlKind::Check},
    {.id = kModifierFirst + 2, .en = {59, 94, 75, 110}, .kind = ControlKind::Check},
    {.id = kModifierFirst + 3, .en = {58, 119, 74, 135}, .kind = ControlKind::Check},
};
constexpr RECT kCapturedKeyField{171, 67, 330, 106};

constexpr ControlRow kMacroTab[] = {
    {.id = kCategoryList, .en = {1, 1, 184, 168}, .kind = ControlKind::List},
    {.id = kMacroList, .en = {188, 1, 369, 168}, .kind = ControlKind::List},
};
constexpr ControlRow kBasicTab[] = {
    {.id = kBasicList, .en = {0, 0, 372, 171}, .kind = ControlKind::List},
};

struct AdvancedRow {
    Rect radio, text, field, browse;
    std::string_view key;
};
constexpr AdvancedRow kRows[kAdvancedRows] = {
    {{21, 37, 38, 54}, {41, 36, 127, 56}, {124, 36, 263, 52}, {273, 33, 349, 55}, "str_advanced_sound"},
    {{21, 63, 38, 80}, {41, 63, 127, 83}, {124, 63, 262, 79}, {273, 59, 349, 81}, "str_advanced_exe"},
    {{21, 88, 38, 105}, {41, 89, 127, 109}, {124, 89, 262, 105}, {273, 86, 349, 108}, "str_advanced_file"},
    {{21, 114, 38, 131}, {41, 116, 127, 136}, {124, 116, 262, 132}, {273, 113, 349, 135}, "str_advanced_dir"},
};
constexpr ControlRow kAdvancedTab[] = {
    {.id = kRadioFirst, .en = kRows[0].radio, .kind = ControlKind::Radio},
    {.id = kRadioFirst + 1, .en = kRows[1].radio, .kind = ControlKind::Radio},
    {.id = kRadioFirst + 2, .en = kRows[2].radio, .kind = ControlKind::Radio},
    {.id = kRadioFirst + 3, .en = kRows[3].radio, .kind = ControlKind::Radio},
    {.id = kBrowseFirst, .en = kRows[0].browse},
    {.id = kBrowseFirst + 1, .en = kRows[1].browse},
    {.id = kBrowseFirst + 2, .en = kRows[2].browse},
    {.id = kBrowseFirst + 3, .en = kRows[3].browse},
};

// The list colours of the macro and basic tabs.
constexpr COLORREF kListBack = 0x000F0F0F, kListSelBack = 0x00252525;
constexpr COLORREF kListText = 0x006B5C53, kListSelText = 0x00969696;
constexpr COLORREF kTextColour = 0x00C8BDBD;
constexpr COLORREF kFieldColour = 0x00100C0A;

void DrawTextIn(HDC dc, const std::u16string& text, RECT r, UINT format) {
    static CFontHandle font(SkinFont(14, 300));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    DrawTextW(dc, W(text), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
}

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

void StyleList(CListBoxEx& list, int itemHeight) {
    list.SetBackground(kListBack, kListSelBack);
    list.SetTextColours(kListText, kListSelText);
    list.SetItemHeight(itemHeight);
    list.SetRename(false);
}

// A filled list with no row chosen, shown from its first row (adding selects and scrolls to the
// last one).
void ShowFromTop(CListBoxEx& list) {
    list.SetCurSel(-1);
    SendMessageW(list.Hwnd(), LB_SETTOPINDEX, 0, 0);
}

} // namespace

CSettingDlg::CSettingDlg() = default;
CSettingDlg::~CSettingDlg() = default;

ChooserEnd CSettingDlg::Run(const ChooserArgs& args) {
    args_ = args;
    end_ = ChooserEnd::Cancel;
    HWND owner = GetAncestor(args.parent, GA_ROOT);
    if (!Create(WS_EX_TOOLWINDOW, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 412, 300, owner)) return ChooserEnd::Cancel;
    model_ = std::make_unique<CChooserModel>(CHookState::Instance(), Hwnd(), args.input, args.currentLabel);
    if (!Build()) {
        model_->Close();
        Destroy();
        return ChooserEnd::Cancel;
    }
    model_->Open();
    ShowModel();
    RunModal(owner);
    // Whatever ended the loop, the capture goes home.
    CHookState::Instance().SetForwarding(false, false);
    Destroy();
    return end_;
}

bool CSettingDlg::Build() {
    const auto skins = args_.installDir / L"skins";
    if (!face_.CreatePage(Hwnd(), PageArgs{.id = 108, .rect = {0, 0, 412, 300}, .style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                           .skinDir = skins, .hintTarget = Hwnd()}))
        return false;
    face_.LoadSheets(skins / L"setting" / L"Setting_Normal.bmp", skins / L"setting" / L"Setting_Over.bmp",
                     skins / L"setting" / L"Setting_Down.bmp");
    // The popup takes its picture's size and sits centred over its parent.
    SIZE size = BitmapSize(face_.NormalSheet());
    if (size.cx <= 0 || size.cy <= 0) size = {412, 300};
    RECT parent;
    GetWindowRect(args_.parent, &parent);
    const int x = parent.left + ((parent.right - parent.left) - size.cx) / 2;
    const int y = parent.top + ((parent.bottom - parent.top) - size.cy) / 2;
    SetWindowPos(Hwnd(), nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(face_.Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    face_.CreateControls(kFace);
    face_.paint = [this](HDC dc) { PaintFace(dc); };
    face_.OnClick(kClose, [this] { Finish(model_->Close()); });
    for (int t = 0; t < 4; ++t) {
        face_.Button(kTabFirst + t).SetText(LangText(kTabKeys[t]));
        face_.OnClick(kTabFirst + t, [this, t] {
            model_->ShowTab(static_cast<ChooserTab>(t + 1));
            ShowModel();
        });
    }
    face_.OnClick(kDisable, [this] {
        model_->ToggleDisable();
        ShowModel();
    });
    face_.Button(kDefault).SetText(LangText("str_default_setting"));
    face_.OnClick(kDefault, [this] { Finish(model_->DefaultSetting()); });
    face_.Button(kOk).SetText(LangText("str_ok"));
    face_.OnClick(kOk, [this] { Finish(model_->Ok()); });

    fieldBrush_.Reset(CreateSolidBrush(kFieldColour));
    BuildKeyTab();
    BuildMacroTab();
    BuildBasicTab();
    BuildAdvancedTab();
    return true;
}

// Tab page `index` (template 109 + index) over the chooser's face, with the three sheets
// skins\<folder>\<name>_Normal/Over/Down.bmp and its table of controls.
CPaintedPage& CSettingDlg::CreateTab(int index, const wchar_t* folder, const std::wstring& name,
                                     std::span<const ControlRow> controls) {
    const auto skins = args_.installDir / L"skins";
    const auto dir = skins / folder;
    CPaintedPage& tab = tabs_[static_cast<size_t>(index)];
    tab.CreatePage(face_.Hwnd(),
                   PageArgs{.id = 109 + index, .rect = kTabPageRect, .skinDir = skins, .hintTarget = Hwnd()});
    tab.LoadSheets(dir / (name + L"_Normal.bmp"), dir / (name + L"_Over.bmp"), dir / (name + L"_Down.bmp"));
    tab.CreateControls(controls);
    return tab;
}

void CSettingDlg::BuildKeyTab() {
    CPaintedPage& tab = CreateTab(0, L"combo", L"Combo", kKeyTab);
    tab.paint = [this](HDC dc) { PaintKeyTab(dc); };
    for (int m = 0; m < 4; ++m) {
        tab.OnClick(kModifierFirst + m, [this] {
            CPage& t = tabs_[0];
            model_->SetModifiers(t.Button(kModifierFirst).GetCheck(), t.Button(kModifierFirst + 1).GetCheck(),
                                 t.Button(kModifierFirst + 2).GetCheck(), t.Button(kModifierFirst + 3).GetCheck());
        });
    }
}

void CSettingDlg::BuildMacroTab() {
    CPaintedPage& tab = CreateTab(1, L"macro", L"Macro", kMacroTab);
    CListBoxEx& categories = tab.List(kCategoryList);
    CListBoxEx& macros = tab.List(kMacroList);
    StyleList(categories, 16);
    StyleList(macros, 16);
    for (int c = 1; c <= kGameCategoryCount; ++c)
        categories.AddItem(0, std::u16string(ChooserCategoryText(c, UiChinese())), static_cast<uint32_t>(c));
    ShowFromTop(categories);
    categories.onSelChange = [this](int row) {
        model_->SelectCategoryRow(row);
        CListBoxEx& list = tabs_[1].List(kMacroList);
        list.ResetContent();
        if (args_.macros) {
            for (const MacroListEntry& e : CChooserModel::MacrosOfCategoryRow(*args_.macros, row))
                list.AddItem(0, e.name, e.id);
        }
        ShowFromTop(list);
    };
    macros.onSelChange = [this](int row) {
        CListBoxEx& list = tabs_[1].List(kMacroList);
        model_->SelectMacro(row >= 0 ? list.GetItemData(row) : 0);
    };
}

void CSettingDlg::BuildBasicTab() {
    CPaintedPage& tab = CreateTab(2, L"base", L"Base", kBasicTab);
    CListBoxEx& list = tab.List(kBasicList);
    StyleList(list, 18);
    for (const BasicListItem& item : n640::kBasicList)
        list.AddItem(0, LangText(item.languageKey), static_cast<uint32_t>(item.type));
    ShowFromTop(list);
    list.onSelChange = [this](int row) { model_->SelectBasicRow(row); };
}

void CSettingDlg::BuildAdvancedTab() {
    CPaintedPage& tab = CreateTab(3, L"advanced", L"Advanced", kAdvancedTab);
    tab.paint = [this](HDC dc) { PaintAdvancedTab(dc); };
    for (int row = 0; row < kAdvancedRows; ++row) {
        tab.OnClick(kRadioFirst + row, [this, row] {
            model_->CheckAdvancedRow(row);
            ShowModel();
        });
        tab.Button(kBrowseFirst + row).SetText(LangText("str_browse"));
        tab.OnClick(kBrowseFirst + row, [this, row] { Browse(row); });
        const Rect& f = kRows[row].field;
        pathFields_[static_cast<size_t>(row)] = std::make_unique<CBitmapEdit>();
        pathFields_[static_cast<size_t>(row)]->Create(
            tab.Hwnd(), BitmapEditArgs{.id = 421 + row, .rect = {f.left + 3, f.top + 2, f.right - 3, f.bottom - 1},
                                       .style = WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY,
                                       .background = fieldBrush_.Get()});
    }
}

void CSettingDlg::Browse(int row) {
    model_->CheckAdvancedRow(row);
    ShowModel();
    std::u16string chosen;
    if (row == kFolderRow) {
        BROWSEINFOW info{};
        info.hwndOwner = Hwnd();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
            wchar_t path[MAX_PATH] = {};
            if (SHGetPathFromIDListW(item, path)) chosen = U(path);
            CoTaskMemFree(item);
        }
    } else {
        const BrowseRow& browse = kBrowseRows[static_cast<size_t>(row)];
        const std::u16string filter = DialogFilter(browse.filter);
        std::u16string extension(browse.defaultExtension);
        if (!extension.empty() && extension.front() == u'.') extension.erase(0, 1);
        const std::u16string folder(browse.initialFolder);
        wchar_t file[MAX_PATH] = {};
        std::copy(browse.fileName.begin(), browse.fileName.end(), file);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = Hwnd();
        ofn.lpstrFilter = W(filter);
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrInitialDir = W(folder);
        ofn.lpstrDefExt = extension.empty() ? nullptr : W(extension);
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        if (GetOpenFileNameW(&ofn)) chosen = U(file);
    }
    if (!chosen.empty()) model_->SetAdvancedPath(row, chosen);
    ShowModel();
}

void CSettingDlg::ShowModel() {
    for (int t = 0; t < 4; ++t) {
        const auto tab = static_cast<ChooserTab>(t + 1);
        face_.Button(kTabFirst + t).SetCheck(model_->PressedTab() == tab);
        ShowWindow(tabs_[static_cast<size_t>(t)].Hwnd(), model_->PageVisible(tab) ? SW_SHOW : SW_HIDE);
    }
    face_.Button(kDisable).SetCheck(model_->Disabled());
    CPage& key = tabs_[0];
    key.Button(kModifierFirst).SetCheck(model_->Ctrl());
    key.Button(kModifierFirst + 1).SetCheck(model_->Alt());
    key.Button(kModifierFirst + 2).SetCheck(model_->Shift());
    key.Button(kModifierFirst + 3).SetCheck(model_->Win());
    key.Invalidate();
    for (int row = 0; row < kAdvancedRows; ++row) {
        tabs_[3].Button(kRadioFirst + row).SetCheck(model_->CheckedAdvancedRow() == row);
        if (auto& field = pathFields_[static_cast<size_t>(row)]) {
            const std::u16string& path = model_->AdvancedPath(row);
            SetWindowTextW(field->Hwnd(), W(path));
        }
    }
}

void CSettingDlg::Finish(ChooserEnd end) {
    end_ = end;
    EndModal(end == ChooserEnd::Ok ? IDOK : IDCANCEL);
}

void CSettingDlg::PaintFace(HDC dc) {
    DrawTextIn(dc, LangText("str_panel"), RECT{75, 1, 317, 20}, DT_CENTER);
    DrawTextIn(dc, LangText("str_cur_function") + model_->CurrentLabel(), RECT{5, 16, 180, 38}, DT_LEFT | DT_END_ELLIPSIS);
    DrawTextIn(dc, LangText("str_disable"), RECT{46, 258, 232, 278}, DT_LEFT | DT_END_ELLIPSIS);
}

void CSettingDlg::PaintKeyTab(HDC dc) {
    const uint32_t vk = model_->CapturedKey();
    if (vk != 0) DrawTextIn(dc, KeyName(vk), kCapturedKeyField, DT_CENTER);
}

void CSettingDlg::PaintAdvancedTab(HDC dc) {
    for (const AdvancedRow& row : kRows) DrawTextIn(dc, LangText(row.key), ToRect(row.text), DT_LEFT);
}

LRESULT CSettingDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case msg::CaptureEvent:
        model_->OnCapturedKey(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        ShowModel();
        return 0;
    case WM_CLOSE:
        if (model_) Finish(model_->Close());
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win

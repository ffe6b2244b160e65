#include "macro/win/DlgMacro.h"

#include <algorithm>
#include <array>
#include <cwchar>

#include "functions/HookState.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "platform/Text.h"
#include "ui/controls/win/ListBoxEx.h"
#include "macro/win/CategoryMenu.h"

namespace n640::win {

namespace {

// Control ids; the two lists and the three fields have the ids of the design.
enum : int {
    kCategoryButton = 1100,
    kNewMacro,
    kDeleteMacro,
    kInsert,
    kDeleteEvent,
    kChangeEvent,
    kRecord,
    kNoDelay,
    kLeftPad,
    kMiddlePad,
    kRightPad,
    kKeyOption,
    kKeyOk,
    kDelayOption,
    kDelayOk,
    kCategoryLabel,
    kMacroArea,
    kEventLabel,
    kEventArea,
    kRepeatField = 1001,
    kKeyField = 1002,
    kDelayField = 1003,
};

constexpr UINT_PTR kRepeatTimer = 153;
constexpr UINT kRepeatTimerMs = 4000;
constexpr int kRecordHint = 45;
constexpr int kRecordingHint = 46;

using K = ControlKind;
// Hint areas come first: they lie behind the lists.
constexpr ControlRow kControls[] = {
    {kCategoryLabel, {24, 19, 120, 40}, {}, K::Area, {}, 86},
    {kMacroArea, {26, 87, 324, 406}, {}, K::Area, {}, 87},
    {kEventLabel, {340, 19, 427, 39}, {}, K::Area, {}, 88},
    {kEventArea, {342, 49, 625, 407}, {}, K::Area, {}, 88},
    {kCategoryButton, {25, 48, 327, 71}, {}, K::Button, {}, 0},
    {kMacroListId, {27, 89, 325, 406}, {}, K::List, {}, 0},
    {kNewMacro, {26, 412, 67, 441}, {}, K::Button, "str_new_macro", 40},
    {kDeleteMacro, {77, 412, 139, 441}, {}, K::Button, "str_del_macro", 41},
    {kEventListId, {345, 51, 626, 406}, {}, K::List, {}, 0},
    {kInsert, {343, 412, 373, 440}, {361, 412, 391, 441}, K::Button, "str_macro_new", 42},
    {kDeleteEvent, {376, 412, 406, 440}, {394, 412, 424, 441}, K::Button, "str_macro_del", 43},
    {kChangeEvent, {409, 412, 439, 440}, {427, 412, 457, 441}, K::Button, "str_macro_modify", 44},
    {kRecord, {783, 22, 899, 53}, {}, K::Button, {}, kRecordHint},
    {kNoDelay, {646, 58, 834, 76}, {}, K::Radio, {}, 47},
    {kRepeatField, {852, 87, 892, 102}, {}, K::Edit, {}, 48},
    {kLeftPad, {715, 185, 740, 207}, {718, 213, 745, 257}, K::Button, "str_click", 49},
    {kMiddlePad, {756, 166, 780, 189}, {754, 205, 782, 256}, K::Button, "str_middle", 50},
    {kRightPad, {802, 186, 825, 209}, {791, 213, 823, 257}, K::Button, "str_menu", 51},
    {kKeyOption, {644, 316, 779, 335}, {644, 340, 757, 357}, K::Radio, {}, 52},
    {kKeyField, {664, 340, 823, 358}, {666, 365, 821, 379}, K::Edit, {}, 52},
    {kKeyOk, {852, 340, 892, 358}, {852, 362, 892, 383}, K::Button, "str_macro_msg6", 0},
    {kDelayOption, {644, 364, 790, 382}, {644, 389, 768, 405}, K::Radio, {}, 53},
    {kDelayField, {664, 389, 823, 407}, {666, 415, 821, 428}, K::Edit, {}, 53},
    {kDelayOk, {852, 389, 892, 407}, {852, 412, 892, 434}, K::Button, "str_macro_msg7", 0},
};

// The single-event editor: its box on the sheets (inside the frame) and its widgets, whose looks
// the sheets carry in place. A hidden widget's place is cleared to the box's colour, so no
// look-alike of a control that is not there shows.
constexpr RECT kEditorBoxEn{645, 308, 906, 411};
constexpr RECT kEditorBoxZh{645, 334, 906, 437};
constexpr COLORREF kEditorBoxColour = RGB(0x0b, 0x0e, 0x12);
constexpr int kEditorWidgets[] = {kKeyOption, kKeyField, kKeyOk, kDelayOption, kDelayField, kDelayOk};

bool OwnVisible(HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0; }

// The buttons that only work while nothing is recorded.
constexpr int kEditButtons[] = {kNewMacro, kDeleteMacro, kInsert, kDeleteEvent, kChangeEvent};

constexpr Colour kFieldBackground = 0x000F0F0F;
constexpr Colour kListText = 0x00676153;
constexpr Colour kListSelectedText = 0x00B98C15;
constexpr Colour kListSelectedBackground = 0x00141414;
constexpr Colour kRecordText = 0x00D3BB3D;
constexpr Colour kRecordingText = 0x004A38E0;  // red while a recording runs

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// True when the caption changed (and the button is redrawn).
bool SetCaption(CGDIBitmapBtn& button, std::u16string_view text) {
    if (button.Text() == text) return false;
    button.SetText(std::u16string(text));
    return true;
}

} // namespace

CDlgMacro::CDlgMacro() = default;

CDlgMacro::~CDlgMacro() {
    if (Hwnd()) KillTimer(Hwnd(), kRepeatTimer);
    if (fieldBrush_) DeleteObject(fieldBrush_);
}

bool CDlgMacro::CreateMacroPage(const MacroPageServices& services, HWND parent, const Rect& rect) {
    installDir_ = services.installDir;
    model_ = std::make_unique<CMacroPageModel>(CMacroPageModel::Services{
        services.library, services.notifier, services.clock, CHookState::Instance(), services.poster,
        services.isMacroInUse, [](std::u16string_view text) { OutputDebugStringW(Wide(std::u16string(text))); }});

    PageArgs args;
    args.id = 105;
    args.rect = rect;
    args.skinDir = installDir_ / L"skins";
    if (!CreatePage(parent, args)) return false;
    model_->SetWindow(Hwnd());
    LoadLanguageSheets();
    CreateControls(kControls);

    fieldBrush_ = CreateSolidBrush(kFieldBackground);
    for (int id : {kRepeatField, kKeyField, kDelayField}) {
        Edit(id).SetBackground(fieldBrush_);
    }
    SendMessageW(Edit(kRepeatField).Hwnd(), EM_LIMITTEXT, 5, 0);
    SendMessageW(Edit(kKeyField).Hwnd(), EM_LIMITTEXT, 1, 0);
    SendMessageW(Edit(kDelayField).Hwnd(), EM_LIMITTEXT, 4, 0);

    for (int id : {kMacroListId, kEventListId}) {
        CListBoxEx& list = List(id);
        list.SetBackground(0, kListSelectedBackground);
        list.SetTextColours(kListText, kListSelectedText);
        list.SetItemHeight(18);
        list.SetNotifyTarget(Hwnd(), true);
        list.SetRename(id == kMacroListId);
    }
    Button(kCategoryButton).SetTextColours(0x00676153, 0x00FFFFFF, 0x00FFFFFF);
    // The editor's options stay readable on their ticked look too.
    for (int id : {kKeyOption, kDelayOption}) Button(id).SetTextColours(0x00DCDCDC, 0x00FFFFFF, 0x00FFFFFF);
    for (int id : {kLeftPad, kMiddlePad, kRightPad}) Button(id).SetNotifyPress(true);

    SetCaptions();
    Wire();
    SetTimer(Hwnd(), kRepeatTimer, kRepeatTimerMs, nullptr);
    Sync();
    return true;
}

void CDlgMacro::LoadLanguageSheets() {
    layoutChinese_ = UiChinese();
    const std::filesystem::path dir = UiChinese() ? installDir_ / L"skins" / L"zh" : installDir_ / L"skins";
    LoadSheets(dir / L"Macro_normal.bmp", dir / L"Macro_over.bmp", dir / L"Macro_down.bmp");
}

void CDlgMacro::SetCaptions() {
    Button(kNoDelay).SetText(LangText("str_macro_delay"));
    Button(kKeyOption).SetText(LangText("str_macro_msg6"));
    Button(kDelayOption).SetText(LangText("str_macro_msg7"));
}

void CDlgMacro::ReapplyLanguage() {
    LoadLanguageSheets();
    Relayout();
    SetCaptions();
    Sync();
}

void CDlgMacro::Wire() {
    auto act = [this](auto fn) {
        return [this, fn] {
            fn(*model_);
            Sync();
        };
    };
    OnClick(kCategoryButton, [this] { OpenCategoryMenu(); });
    OnClick(kNewMacro, [this] {
        model_->NewMacro();
        Sync();
        if (model_->ShownMacro() >= 0) List(kMacroListId).OpenEditor(model_->ShownMacro());
    });
    OnClick(kDeleteMacro, act([](CMacroPageModel& m) { m.DeleteSelectedMacro(); }));
    OnClick(kInsert, act([](CMacroPageModel& m) { m.PressInsert(); }));
    OnClick(kDeleteEvent, act([](CMacroPageModel& m) { m.PressDeleteEvent(); }));
    OnClick(kChangeEvent, act([](CMacroPageModel& m) { m.PressChange(); }));
    OnClick(kRecord, [this] {
        model_->PressRecord();
        Sync();
        // Keys typed while recording must not reach a list (its type-ahead would change the
        // selection and so end the recording).
        if (model_->Recording()) SetFocus(Hwnd());
    });
    OnClick(kNoDelay, act([](CMacroPageModel& m) { m.SetNoDelay(!m.NoDelay()); }));
    OnClick(kKeyOption, act([](CMacroPageModel& m) { m.ChooseKeyOption(); }));
    OnClick(kDelayOption, act([](CMacroPageModel& m) { m.ChooseDelayOption(); }));
    OnClick(kKeyOk, act([](CMacroPageModel& m) { m.PressKeyOk(); }));
    OnClick(kDelayOk, act([](CMacroPageModel& m) { m.PressDelayOk(); }));

    const std::pair<int, MacroPad> pads[] = {{kLeftPad, MacroPad::Left}, {kMiddlePad, MacroPad::Middle}, {kRightPad, MacroPad::Right}};
    for (const auto& [id, pad] : pads)
        Button(id).onPress = [this, pad](bool down) { model_->OnPad(pad, down); };

    List(kMacroListId).onSelChange = [this](int index) {
        model_->SelectMacro(index);
        Sync();
    };
    List(kMacroListId).onRenamed = [this](int index) {
        model_->RenameMacro(index, List(kMacroListId).GetText(index));
        Sync();
    };
    List(kEventListId).onSelChange = [this](int index) {
        model_->SelectEvent(index);
        Sync();
    };

    Edit(kRepeatField).onChange = [this] {
        if (syncing_) return;
        model_->SetRepeatText(Edit(kRepeatField).Text());
        Sync();
    };
    Edit(kDelayField).onChange = [this] {
        if (!syncing_) model_->SetDelayText(Edit(kDelayField).Text());
    };
}

bool CDlgMacro::CheckRepeatCount() {
    if (!model_) return true;
    const bool unchanged = model_->CheckRepeatField();
    Sync();
    return unchanged;
}

void CDlgMacro::CloseCategoryMenu() { CloseMenuEx(); }

void CDlgMacro::EndRecording() {
    if (!model_) return;
    model_->StopRecording();
    Sync();
}

void CDlgMacro::FillList(int category) {
    if (!model_) return;
    model_->FillCategory(category);
    Sync();
    model_->RememberSelections();
}

void CDlgMacro::OpenCategoryMenu() {
    RECT button;
    GetWindowRect(Item(kCategoryButton), &button);
    std::vector<MenuExItem> items;
    for (int c = 1; c <= kGameCategoryCount; ++c)
        items.push_back(MakeMenuExItem(static_cast<uint32_t>(c), GameCategoryMenuText(c)));
    OpenMenuEx(Hwnd(), POINT{button.left + 1, button.bottom + 1}, installDir_, items);
}

void CDlgMacro::Sync() {
    if (!model_ || !Hwnd()) return;
    syncing_ = true;
    const CMacroPageModel& m = *model_;
    SetCaption(Button(kCategoryButton), m.CategoryButtonText());

    const bool recording = m.Recording();
    CGDIBitmapBtn& record = Button(kRecord);
    if (SetCaption(record, RecordCaption(recording)))
        record.SetTextColours(recording ? kRecordingText : kRecordText, 0x00FFFFFF, 0x00FFFFFF);
    SetHint(kRecord, recording ? kRecordingHint : kRecordHint);
    for (int id : kEditButtons) EnableWindow(Item(id), m.EditButtonsEnabled());
    Button(kNoDelay).SetCheck(m.NoDelay());

    SyncLists();
    SyncEditor();
    SetEditText(kRepeatField, m.RepeatText());

    switch (model_->TakeFocus()) {
    case MacroFocus::KeyField: SetFocus(Item(kKeyField)); break;
    case MacroFocus::DelayField: SetFocus(Item(kDelayField)); break;
    case MacroFocus::KeyOk: SetFocus(Item(kKeyOk)); break;
    case MacroFocus::DelayOk: SetFocus(Item(kDelayOk)); break;
    case MacroFocus::None: break;
    }
    syncing_ = false;
}

void CDlgMacro::SyncLists() {
    const CMacroPageModel& m = *model_;
    CListBoxEx& macros = List(kMacroListId);
    if (shownMacroRevision_ != m.MacroListRevision()) {
        shownMacroRevision_ = m.MacroListRevision();
        SendMessageW(macros.Hwnd(), WM_SETREDRAW, FALSE, 0);
        macros.ResetContent();
        for (const MacroListEntry& e : m.Macros()) macros.AddItem(0, e.name, e.id);
        SendMessageW(macros.Hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(macros.Hwnd(), nullptr, TRUE);
    }
    if (macros.GetCurSel() != m.MacroSelection()) macros.SetCurSel(m.MacroSelection());

    CListBoxEx& events = List(kEventListId);
    if (shownEventRevision_ != m.EventListRevision()) {
        shownEventRevision_ = m.EventListRevision();
        SendMessageW(events.Hwnd(), WM_SETREDRAW, FALSE, 0);
        events.ResetContent();
        for (const MacroItem& item : m.Events())
            events.AddItem(static_cast<uint32_t>(EventListKind(item)), EventListText(item), item.value);
        SendMessageW(events.Hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(events.Hwnd(), nullptr, TRUE);
    }
    if (events.GetCurSel() != m.EventSelection()) events.SetCurSel(m.EventSelection());
}

void CDlgMacro::SyncEditor() {
    const MacroEditorView& e = model_->Editor();
    // The widget's own visible flag: IsWindowVisible also answers false for every widget while
    // the page itself is hidden, which would leave a widget shown that the model hides.
    auto show = [this](int id, bool on) {
        HWND w = Item(id);
        if (w && OwnVisible(w) != on) ShowWindow(w, on ? SW_SHOWNA : SW_HIDE);
    };
    show(kKeyOption, e.keyOptionShown);
    show(kKeyField, e.keyFieldShown);
    show(kKeyOk, e.keyOkShown);
    show(kDelayOption, e.delayOptionShown);
    show(kDelayField, e.delayFieldShown);
    show(kDelayOk, e.delayOkShown);
    Button(kKeyOption).SetCheck(e.keyOptionTicked);
    Button(kDelayOption).SetCheck(e.delayOptionTicked);
    SetEditText(kKeyField, e.keyFieldText);
    SetEditText(kDelayField, e.delayFieldText);
}

void CDlgMacro::SetEditText(int id, const std::u16string& text) {
    CBitmapEdit& edit = Edit(id);
    if (edit.Text() == text) return;
    const bool wasSyncing = syncing_;
    syncing_ = true;
    edit.SetText(text);
    // The caret after the text, where the user goes on typing.
    SendMessageW(edit.Hwnd(), EM_SETSEL, text.size(), text.size());
    syncing_ = wasSyncing;
}

void CDlgMacro::PaintOver(HDC dc) {
    const RECT box = layoutChinese_ ? kEditorBoxZh : kEditorBoxEn;
    CBrushHandle fill(CreateSolidBrush(kEditorBoxColour));
    for (const ControlRow& row : kControls) {
        if (std::find(std::begin(kEditorWidgets), std::end(kEditorWidgets), row.id) == std::end(kEditorWidgets))
            continue;
        HWND w = Item(row.id);
        if (w && OwnVisible(w)) continue;
        const Rect place = LayoutRect(row, layoutChinese_);
        RECT r{place.left, place.top, place.right, place.bottom};
        InflateRect(&r, 1, 1);  // the looks' anti-aliased edges
        if (IntersectRect(&r, &r, &box)) FillRect(dc, &r, fill.Get());
    }
}

LRESULT CDlgMacro::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case msg::CaptureEvent:
        if (model_) {
            model_->OnKeyEvent(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            Sync();
        }
        return 0;
    case msg::MenuItemChosen:
        CloseMenuEx();
        if (model_) {
            model_->ChooseCategory(static_cast<int>(lParam));
            Sync();
        }
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            CheckRepeatCount();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        CloseMenuEx();
        break;
    case WM_SHOWWINDOW:
        // A language switch while the page was hidden: take the new layout before it shows.
        if (wParam && model_ && layoutChinese_ != UiChinese()) ReapplyLanguage();
        break;
    case WM_DESTROY:
        KillTimer(Hwnd(), kRepeatTimer);
        break;
    default:
        break;
    }
    return CPage::OnMessage(message, wParam, lParam);
}

} // namespace n640::win

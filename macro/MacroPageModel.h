#pragma once
// The macro manager page without its window: the category, the macro list and the event list of
// the macro in work, the recorder, the single-event editor and the repeat field, and the moments
// at which an edit is built into a record and stored in the library.
//
// The view forwards every user action and every message of the page to one of the operations
// below and then draws the state it reads back (lists, fields, which widgets are shown, the record
// button's caption). Key events come from the input hooks through message 1034; the pads are
// turned into the same message posted to the page itself, so they are handled in order with the
// keys.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "functions/HookState.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/Poster.h"

namespace n640 {

// The kind of an event-list entry as the skinned list box draws it (its picture).
constexpr int kListKindRelease = 2;
constexpr int kListKindPress = 3;
constexpr int kListKindDelay = 4;

// The list box ids the page's lists report with (message 1125).
constexpr int kMacroListId = 256;
constexpr int kEventListId = 257;

// The recorder takes at most this many key events per recording.
constexpr int kMaxRecordedKeys = 999;

// Key flags of message 1034: bit 7 set means the key (or pad) was released.
constexpr uint32_t kKeyUpFlag = 0x80;

// The three pads and the code each one records.
enum class MacroPad : uint32_t { Left = 1, Right = 2, Middle = 4 };

enum class MacroEditMode {
    Idle = 0,
    InsertKey = 1,    // inserting a key pair
    InsertDelay = 2,  // inserting a delay
    ChangeKey = 3,    // changing a press or release
    ChangeDelay = 4,  // changing a delay
};

// Where the view puts the keyboard focus after an operation.
enum class MacroFocus { None, KeyField, DelayField, KeyOk, DelayOk };

// The page's texts (UiChinese chooses the version at the moment they are used).
std::u16string_view NewMacroName();
std::u16string_view MacroInUseMessage();
std::u16string_view RecordWhileKeyEditMessage();
std::u16string_view RecordWhileDelayEditMessage();
std::u16string_view MacroFullMessage();
std::u16string_view RecordCaption(bool recording);
inline constexpr std::u16string_view kNotValidItemDebugText = u"LoadMacroToList:  Not a vaild item";

// The list kind and the text an event-list entry is drawn with: the key name of a press or
// release, "<n>  ms" for a delay.
int EventListKind(const MacroItem& item);
std::u16string EventListText(const MacroItem& item);

// The number of event words a record built from items would hold: runs of delays count once
// and delays before the first key event not at all.
size_t EventWordCount(const std::vector<MacroItem>& items);

// The widgets of the single-event editor; all hidden while no insert or change is open.
struct MacroEditorView {
    bool keyOptionShown = false;
    bool keyOptionTicked = false;
    bool keyFieldShown = false;
    std::u16string keyFieldText = u"A";
    bool keyOkShown = false;
    bool delayOptionShown = false;
    bool delayOptionTicked = false;
    bool delayFieldShown = false;
    std::u16string delayFieldText = u"7";
    bool delayOkShown = false;
    bool operator==(const MacroEditorView&) const = default;
};

class CMacroPageModel {
public:
    struct Services {
        CMacroLibrary& library;
        INotifier& notifier;
        IClock& clock;
        CHookState& hooks;
        IPoster& poster;
        // True when a profile uses the macro, which then cannot be deleted.
        std::function<bool(uint32_t id)> isMacroInUse;
        // Developer diagnostics (the debugger's output on Windows); may be empty.
        std::function<void(std::u16string_view)> debugText;
    };

    explicit CMacroPageModel(Services services);

    // The page's own window: the hook's target while keys are captured, and where the pads'
    // events are posted.
    void SetWindow(WindowRef page) { page_ = page; }

    // ---- Categories and the macro list -------------------------------------------------
    // Message 1281: a category chosen from the menu. A running recording is stopped and stored
    // and an open insert or change is cancelled before the new category's macros replace the lists.
    void ChooseCategory(int category);
    // Lists the category's macros and shows the events of the last one.
    void FillCategory(int category);
    // Start-up: shownMacro and shownEvent follow the lists' selections.
    void RememberSelections();
    void NewMacro();
    void DeleteSelectedMacro();
    // Message 1136: the list entry at index was renamed to name.
    void RenameMacro(int index, std::u16string_view name);
    // Message 1125 from either list.
    void SelectMacro(int index);
    void SelectEvent(int index);

    // ---- Recorder -----------------------------------------------------------------------
    void PressRecord();
    // The main window leaves the page: a running recording stops and is stored.
    void StopRecording();
    void SetNoDelay(bool ticked) { noDelay_ = ticked; }
    // Message 1805 from a pad: down or up. Posts message 1034 to the page while recording or
    // capturing a key; otherwise nothing.
    void OnPad(MacroPad pad, bool down);
    // Message 1034.
    void OnKeyEvent(uint32_t code, uint32_t flags);

    // ---- Single-event editor -----------------------------------------------------------
    void PressInsert();
    void ChooseKeyOption();
    void ChooseDelayOption();
    void PressChange();
    void PressDeleteEvent();
    void PressKeyOk();
    void PressDelayOk();
    // Text typed into the delay field.
    void SetDelayText(std::u16string_view text) { editor_.delayFieldText = std::u16string(text); }

    // ---- Repeat field ------------------------------------------------------------------
    // Text typed into the repeat field: stores the macro at once.
    void SetRepeatText(std::u16string_view text);
    // Timer 153 and the check before an apply: leading zeros dropped, the count brought into
    // 1..65533. True when the text was left alone.
    bool CheckRepeatField();

    // ---- What the view draws -----------------------------------------------------------
    int Category() const { return category_; }
    std::u16string_view CategoryButtonText() const { return GameCategoryButtonText(category_); }
    const std::vector<MacroListEntry>& Macros() const { return macros_; }
    int MacroSelection() const { return macroSelection_; }
    int ShownMacro() const { return shownMacro_; }
    const std::vector<MacroItem>& Events() const { return events_; }
    int EventSelection() const { return eventSelection_; }
    int ShownEvent() const { return shownEvent_; }
    const std::u16string& RepeatText() const { return repeatText_; }
    bool NoDelay() const { return noDelay_; }
    bool Recording() const { return recording_; }
    // New macro, delete macro, insert, delete event and change event are disabled while recording.
    bool EditButtonsEnabled() const { return !recording_; }
    MacroEditMode EditMode() const { return editMode_; }
    const MacroEditorView& Editor() const { return editor_; }
    uint32_t CapturedCode() const { return capturedCode_; }
    int RecordedKeys() const { return recordedKeys_; }
    // Bumped whenever the entries of a list change (not for a selection change), so the view
    // refills a list only when it must.
    uint32_t MacroListRevision() const { return macroRevision_; }
    uint32_t EventListRevision() const { return eventRevision_; }
    // The focus the last operation asks for; cleared by taking it.
    MacroFocus TakeFocus();

private:
    void LoadMacroToList(int index);
    void StoreShown();
    void CancelEdit();
    void HideEditor();
    void ResetEditor();
    void StartRecording();
    void EndRecording();
    void CaptureOn();
    void CaptureOff();
    void SetRepeatByPage(std::u16string text);
    void SetEvents(std::vector<MacroItem> events, int selection);
    bool FitsInRecord(const std::vector<MacroItem>& events) const;
    void InsertAtSelection();
    void ChangeSelection();

    Services s_;
    WindowRef page_ = nullptr;

    int category_ = kCustomCategory;
    std::vector<MacroListEntry> macros_;
    int macroSelection_ = -1;
    int shownMacro_ = -1;
    std::vector<MacroItem> events_;
    int eventSelection_ = -1;
    int shownEvent_ = -1;
    std::u16string repeatText_ = u"1";
    bool noDelay_ = false;
    bool suppressRepeatStore_ = false;

    MacroEditMode editMode_ = MacroEditMode::Idle;
    MacroEditorView editor_;
    uint32_t capturedCode_ = 0;

    bool recording_ = false;
    int recordedKeys_ = 0;
    uint64_t lastTick_ = 0;
    // The last key event the recorder accepted; kept across recordings.
    uint32_t lastCode_ = 0;
    uint32_t lastUpFlag_ = 0;

    uint32_t macroRevision_ = 0;
    uint32_t eventRevision_ = 0;
    MacroFocus focus_ = MacroFocus::None;
};

} // namespace n640

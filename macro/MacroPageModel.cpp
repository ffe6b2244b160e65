#include "macro/MacroPageModel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "functions/KeyNames.h"
#include "i18n/UiLanguage.h"

namespace n640 {

namespace {

std::u16string Decimal(uint64_t value) {
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

// A delay typed into the delay field: an empty field reads as 0, any other character makes it no number.
std::optional<uint64_t> ReadDelayText(std::u16string_view text) {
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = std::min<uint64_t>(value * 10 + (c - u'0'), uint64_t{1} << 40);
    }
    return value;
}

uint32_t AddDelays(uint32_t a, uint64_t b) {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{a} + b, kMaxMergedDelay));
}

bool IsKey(const MacroItem& item) { return item.kind != MacroItemKind::Delay; }

} // namespace

std::u16string_view NewMacroName() { return UiChinese() ? u"新建宏" : u"New Macro"; }

std::u16string_view MacroInUseMessage() {
    return UiChinese() ? u"当前宏正在被使用，不能删除！" : u"The macro is being applied and cannot be deleted!";
}

std::u16string_view RecordWhileKeyEditMessage() {
    return UiChinese() ? u"正在修改/插入一个键，无法录制" : u"It is Modifying or inserting a button,you can not record";
}

std::u16string_view RecordWhileDelayEditMessage() {
    return UiChinese() ? u"正在修改/插入一个延时，无法录制" : u"It is Modifying or inserting a delay,you can not record";
}

std::u16string_view MacroFullMessage() {
    return UiChinese() ? u"宏已满：一个宏最多只能保存 1000 个事件。"
                       : u"The macro is full: a macro can hold at most 1000 events.";
}

std::u16string_view RecordCaption(bool recording) {
    if (UiChinese()) return recording ? u"停止录制" : u"开始录制";
    return recording ? u"Stop Record" : u"Start Record";
}

int EventListKind(const MacroItem& item) {
    switch (item.kind) {
    case MacroItemKind::Press: return kListKindPress;
    case MacroItemKind::Release: return kListKindRelease;
    case MacroItemKind::Delay: break;
    }
    return kListKindDelay;
}

std::u16string EventListText(const MacroItem& item) {
    if (item.kind == MacroItemKind::Delay) return Decimal(item.value) + u"  ms";
    return MacroKeyName(item.value);
}

size_t EventWordCount(const std::vector<MacroItem>& items) {
    size_t words = 0;
    bool started = false;
    bool afterDelay = false;
    for (const MacroItem& item : items) {
        if (IsKey(item)) {
            started = true;
            afterDelay = false;
            ++words;
        } else if (started && !afterDelay) {
            afterDelay = true;  // a run of delays becomes one word
            ++words;
        }
    }
    return words;
}

CMacroPageModel::CMacroPageModel(Services services) : s_(std::move(services)) {}

MacroFocus CMacroPageModel::TakeFocus() { return std::exchange(focus_, MacroFocus::None); }

// ---- Categories and the macro list ----------------------------------------------------------

void CMacroPageModel::ChooseCategory(int category) {
    if (category < 1 || category > kGameCategoryCount) return;
    // The new category's lists replace the event list: what is being recorded or edited must not
    // be lost with it, nor be applied afterwards to a macro of the new category.
    if (editMode_ != MacroEditMode::Idle) CancelEdit();
    if (recording_) EndRecording();
    FillCategory(category);
}

void CMacroPageModel::FillCategory(int category) {
    category_ = category;
    macros_ = s_.library.ListCategory(category);
    ++macroRevision_;
    SetEvents({}, -1);
    macroSelection_ = static_cast<int>(macros_.size()) - 1;
    if (macroSelection_ >= 0) LoadMacroToList(macroSelection_);
    shownMacro_ = macroSelection_;
}

void CMacroPageModel::RememberSelections() {
    shownMacro_ = macroSelection_;
    shownEvent_ = eventSelection_;
}

void CMacroPageModel::LoadMacroToList(int index) {
    SetEvents({}, -1);
    if (index < 0 || index >= static_cast<int>(macros_.size())) return;
    const uint32_t id = macros_[index].id;
    const MacroRecord* record = nullptr;
    for (size_t i = 0; i < CMacroLibrary::Size(); ++i)
        if (s_.library.Record(i).id == id) record = &s_.library.Record(i);
    if (!record) return;

    SetRepeatByPage(record->repeatCount == kMacroSinglePress ? u"1" : Decimal(record->repeatCount));
    std::vector<MacroItem> events;
    const uint32_t count = std::min(record->eventCount, kMacroMaxEvents);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t word = record->events[i];
        const uint32_t kind = EventKind(word);
        if (kind == kEventRelease) {
            events.push_back({MacroItemKind::Release, EventValue(word)});
        } else if (kind == kEventPress) {
            events.push_back({MacroItemKind::Press, EventValue(word)});
        } else if (kind == kEventDelay) {
            events.push_back({MacroItemKind::Delay, EventValue(word)});
        } else {
            if (s_.debugText) s_.debugText(kNotValidItemDebugText);
            break;
        }
    }
    const int last = static_cast<int>(events.size()) - 1;
    SetEvents(std::move(events), last);
}

void CMacroPageModel::NewMacro() {
    if (recording_) return;
    std::vector<uint32_t> listed;
    for (const MacroListEntry& e : macros_) listed.push_back(e.id);
    // Two macros created at tick counts equal in their low 24 bits must not share an id.
    const uint32_t id = s_.library.NewMacroId(category_, s_.clock.TickMs(), listed);
    macros_.push_back({std::u16string(NewMacroName()), id});
    ++macroRevision_;
    macroSelection_ = shownMacro_ = static_cast<int>(macros_.size()) - 1;
    SetEvents({}, -1);
    shownEvent_ = -1;
    SetRepeatByPage(u"1");
}

void CMacroPageModel::DeleteSelectedMacro() {
    if (recording_) return;
    if (macroSelection_ < 0 || macroSelection_ >= static_cast<int>(macros_.size())) return;
    const uint32_t id = macros_[macroSelection_].id;
    if (s_.isMacroInUse && s_.isMacroInUse(id)) {
        s_.notifier.ShowInfo(MacroInUseMessage());
        return;
    }
    s_.library.DeleteMacro(id);
    macros_.erase(macros_.begin() + macroSelection_);
    ++macroRevision_;
    macroSelection_ = -1;
    SetEvents({}, -1);
    shownEvent_ = -1;
    shownMacro_ = -1;
}

void CMacroPageModel::RenameMacro(int index, std::u16string_view name) {
    if (index < 0 || index >= static_cast<int>(macros_.size())) return;
    MacroListEntry& entry = macros_[index];
    entry.name = std::u16string(name.substr(0, std::min(name.size(), kMacroNameChars - 1)));
    ++macroRevision_;
    for (size_t i = 0; i < CMacroLibrary::Size(); ++i) {
        const MacroRecord& record = s_.library.Record(i);
        if (!IsStoredMacro(record) || record.id != entry.id || MacroName(record) == entry.name) continue;
        MacroRecord renamed = record;
        std::fill(std::begin(renamed.name), std::end(renamed.name), u'\0');
        std::copy(entry.name.begin(), entry.name.end(), renamed.name);
        s_.library.StoreMacro(renamed);
    }
}

void CMacroPageModel::SelectMacro(int index) {
    if (index < -1 || index >= static_cast<int>(macros_.size())) return;
    macroSelection_ = index;
    if (index == shownMacro_) return;
    // Reloading sets the repeat field; that must not store the list being replaced.
    suppressRepeatStore_ = true;
    if (editMode_ != MacroEditMode::Idle) CancelEdit();
    if (recording_) EndRecording();
    shownMacro_ = index;
    LoadMacroToList(index);
    if (events_.empty()) SetRepeatByPage(u"1");
    shownEvent_ = eventSelection_;
    suppressRepeatStore_ = false;
}

void CMacroPageModel::SelectEvent(int index) {
    if (index < -1 || index >= static_cast<int>(events_.size())) return;
    eventSelection_ = index;
    if (index == shownEvent_) return;
    shownEvent_ = index;
    if (editMode_ != MacroEditMode::Idle) CancelEdit();
}

// ---- Recorder -------------------------------------------------------------------------------

void CMacroPageModel::PressRecord() {
    if (editMode_ == MacroEditMode::InsertKey || editMode_ == MacroEditMode::ChangeKey) {
        s_.notifier.ShowInfo(RecordWhileKeyEditMessage());
        return;
    }
    if (editMode_ == MacroEditMode::InsertDelay || editMode_ == MacroEditMode::ChangeDelay) {
        s_.notifier.ShowInfo(RecordWhileDelayEditMessage());
        return;
    }
    CaptureOff();
    ResetEditor();
    if (macroSelection_ < 0 || macroSelection_ >= static_cast<int>(macros_.size())) return;
    if (recording_)
        EndRecording();
    else
        StartRecording();
}

void CMacroPageModel::StopRecording() {
    if (recording_) PressRecord();
}

void CMacroPageModel::StartRecording() {
    SetEvents({}, -1);
    recordedKeys_ = 0;
    lastTick_ = 0;
    CaptureOn();
    recording_ = true;
}

void CMacroPageModel::EndRecording() {
    CaptureOff();
    StoreShown();
    recording_ = false;
}

void CMacroPageModel::OnPad(MacroPad pad, bool down) {
    const bool capturing = editMode_ == MacroEditMode::InsertKey || editMode_ == MacroEditMode::ChangeKey;
    if (!recording_ && !capturing) return;
    s_.poster.Post(page_, msg::CaptureEvent, static_cast<uintptr_t>(pad), down ? 0 : kKeyUpFlag);
}

void CMacroPageModel::OnKeyEvent(uint32_t code, uint32_t flags) {
    // A held key repeats its down events; only the first one counts.
    if (code == lastCode_ && (flags & kKeyUpFlag) == (lastUpFlag_ & kKeyUpFlag)) return;

    if (editMode_ == MacroEditMode::InsertKey || editMode_ == MacroEditMode::ChangeKey) {
        editor_.keyFieldText = MacroKeyName(code);
        capturedCode_ = code;
        return;
    }
    // Events still queued when a recording (or a capture) ended belong to nobody.
    if (!recording_ || recordedKeys_ >= kMaxRecordedKeys) return;

    std::vector<MacroItem> events = events_;
    uint64_t now = lastTick_;
    if (!noDelay_) {
        now = s_.clock.TickMs();
        if (lastTick_ != 0)
            events.push_back({MacroItemKind::Delay,
                              static_cast<uint32_t>(std::min<uint64_t>(now - lastTick_, kEventValueMask))});
    }
    events.push_back({flags & kKeyUpFlag ? MacroItemKind::Release : MacroItemKind::Press, code});
    if (!FitsInRecord(events)) {
        // The record is full: keep what was recorded and say why the recording ended.
        EndRecording();
        s_.notifier.ShowInfo(MacroFullMessage());
        return;
    }
    lastTick_ = now;
    const int last = static_cast<int>(events.size()) - 1;
    SetEvents(std::move(events), last);
    ++recordedKeys_;
    lastCode_ = code;
    lastUpFlag_ = flags;
}

// ---- Single-event editor --------------------------------------------------------------------

void CMacroPageModel::PressInsert() {
    if (recording_) return;
    editMode_ = MacroEditMode::InsertKey;
    editor_.keyOptionShown = true;
    editor_.delayOptionShown = true;
}

void CMacroPageModel::ChooseKeyOption() {
    if (editMode_ == MacroEditMode::Idle) return;
    if (editMode_ == MacroEditMode::InsertKey || editMode_ == MacroEditMode::InsertDelay)
        editMode_ = MacroEditMode::InsertKey;
    editor_.keyOptionTicked = true;
    editor_.delayOptionTicked = false;
    editor_.keyFieldText.clear();
    editor_.keyFieldShown = true;
    editor_.keyOkShown = true;
    editor_.delayFieldShown = false;
    editor_.delayOkShown = false;
    capturedCode_ = 0;
    CaptureOn();
}

void CMacroPageModel::ChooseDelayOption() {
    if (editMode_ == MacroEditMode::Idle) return;
    if (editMode_ == MacroEditMode::InsertKey || editMode_ == MacroEditMode::InsertDelay)
        editMode_ = MacroEditMode::InsertDelay;
    editor_.keyOptionTicked = false;
    editor_.delayOptionTicked = true;
    editor_.delayFieldText.clear();
    editor_.delayFieldShown = true;
    editor_.delayOkShown = true;
    editor_.keyFieldShown = false;
    editor_.keyOkShown = false;
    focus_ = MacroFocus::DelayField;
    CaptureOff();
}

void CMacroPageModel::PressChange() {
    if (recording_) return;
    if (eventSelection_ < 0 || eventSelection_ >= static_cast<int>(events_.size())) return;
    CaptureOff();
    ResetEditor();
    if (IsKey(events_[eventSelection_])) {
        editMode_ = MacroEditMode::ChangeKey;
        // The field starts empty; an OK before a key was pressed must not apply an older capture.
        capturedCode_ = 0;
        CaptureOn();
        editor_.keyOptionShown = editor_.keyOptionTicked = true;
        editor_.keyFieldShown = editor_.keyOkShown = true;
        focus_ = MacroFocus::KeyField;
    } else {
        editMode_ = MacroEditMode::ChangeDelay;
        editor_.delayOptionShown = editor_.delayOptionTicked = true;
        editor_.delayFieldShown = editor_.delayOkShown = true;
        focus_ = MacroFocus::DelayField;
    }
}

void CMacroPageModel::PressDeleteEvent() {
    if (recording_) return;
    if (eventSelection_ < 0 || eventSelection_ >= static_cast<int>(events_.size())) return;
    std::vector<MacroItem> events = events_;
    events.erase(events.begin() + eventSelection_);
    SetEvents(std::move(events), -1);
    // The last entry's removal is not stored: the macro keeps its events until it is reloaded.
    if (!events_.empty()) StoreShown();
    shownEvent_ = -1;
}

void CMacroPageModel::PressKeyOk() {
    const int mode = static_cast<int>(editMode_);
    CaptureOff();
    HideEditor();
    if (mode == 1) InsertAtSelection();
    if (mode == 3) ChangeSelection();
    StoreShown();
    editMode_ = MacroEditMode::Idle;
    focus_ = MacroFocus::KeyOk;
    shownEvent_ = eventSelection_;
}

void CMacroPageModel::PressDelayOk() {
    const int mode = static_cast<int>(editMode_);
    CaptureOff();
    HideEditor();
    if (mode == 2) InsertAtSelection();
    if (mode == 4) ChangeSelection();
    StoreShown();
    editMode_ = MacroEditMode::Idle;
    focus_ = MacroFocus::DelayOk;
    shownEvent_ = eventSelection_;
}

void CMacroPageModel::InsertAtSelection() {
    const int s = eventSelection_;
    if (s < 0 || s >= static_cast<int>(events_.size())) return;
    std::vector<MacroItem> events = events_;
    int selection = s;
    if (editMode_ == MacroEditMode::InsertKey) {
        if (capturedCode_ == 0) return;
        events.insert(events.begin() + s, {{MacroItemKind::Press, capturedCode_}, {MacroItemKind::Release, capturedCode_}});
        selection = s + 1;
    } else {
        const std::optional<uint64_t> typed = ReadDelayText(editor_.delayFieldText);
        if (!typed) return;
        const uint64_t value = *typed & kEventValueMask;
        // A macro never begins with a delay.
        if (s == 0) return;
        if (events[s - 1].kind == MacroItemKind::Delay) {
            events[s - 1].value = AddDelays(events[s - 1].value, value);
            selection = s - 1;
        } else if (events[s].kind == MacroItemKind::Delay) {
            events[s].value = AddDelays(events[s].value, value);
        } else {
            events.insert(events.begin() + s, MacroItem{MacroItemKind::Delay, static_cast<uint32_t>(value)});
        }
    }
    if (!FitsInRecord(events)) {
        s_.notifier.ShowInfo(MacroFullMessage());
        return;
    }
    SetEvents(std::move(events), selection);
}

void CMacroPageModel::ChangeSelection() {
    const int s = eventSelection_;
    if (s < 0 || s >= static_cast<int>(events_.size())) return;
    std::vector<MacroItem> events = events_;
    if (editMode_ == MacroEditMode::ChangeKey) {
        if (capturedCode_ == 0 || !IsKey(events[s])) return;
        events[s].value = capturedCode_;
    } else {
        const std::optional<uint64_t> typed = ReadDelayText(editor_.delayFieldText);
        if (!typed) return;
        events[s] = {MacroItemKind::Delay, static_cast<uint32_t>(std::min<uint64_t>(*typed, kEventValueMask))};
    }
    SetEvents(std::move(events), s);
}

// ---- Repeat field ---------------------------------------------------------------------------

void CMacroPageModel::SetRepeatText(std::u16string_view text) {
    repeatText_ = std::u16string(text);
    if (!suppressRepeatStore_) StoreShown();
}

bool CMacroPageModel::CheckRepeatField() {
    std::u16string text = repeatText_;
    const size_t zeros = text.find_first_not_of(u'0');
    const bool stripped = zeros != 0 && !text.empty();
    if (stripped) {
        text.erase(0, zeros == std::u16string::npos ? text.size() : zeros);
        SetRepeatByPage(text);
    }
    const std::u16string value = Decimal(ParseRepeatCount(text));
    if (value == text) return !stripped;
    SetRepeatByPage(value);
    return false;
}

// ---- Helpers --------------------------------------------------------------------------------

void CMacroPageModel::SetRepeatByPage(std::u16string text) { SetRepeatText(text); }

void CMacroPageModel::SetEvents(std::vector<MacroItem> events, int selection) {
    events_ = std::move(events);
    eventSelection_ = selection < static_cast<int>(events_.size()) ? selection : -1;
    ++eventRevision_;
}

bool CMacroPageModel::FitsInRecord(const std::vector<MacroItem>& events) const {
    return EventWordCount(events) <= kMacroMaxEvents;
}

void CMacroPageModel::StoreShown() {
    if (events_.empty()) return;
    if (shownMacro_ < 0 || shownMacro_ >= static_cast<int>(macros_.size())) return;
    const MacroListEntry& entry = macros_[shownMacro_];
    std::vector<MacroItem> merged = events_;
    const std::optional<MacroRecord> candidate = BuildMacro(merged, repeatText_, entry.name, entry.id);
    if (merged != events_) {
        // The list shows the merge; the selection moves to the delay that absorbed its run.
        int selection = -1;
        size_t kept = 0;
        for (size_t i = 0; i < events_.size(); ++i) {
            const bool absorbed = i > 0 && events_[i].kind == MacroItemKind::Delay &&
                                  events_[i - 1].kind == MacroItemKind::Delay;
            if (!absorbed) ++kept;
            if (static_cast<int>(i) == eventSelection_) selection = static_cast<int>(kept) - 1;
        }
        SetEvents(std::move(merged), selection);
    }
    if (candidate) s_.library.StoreMacro(*candidate);
}

void CMacroPageModel::CancelEdit() {
    ResetEditor();
    CaptureOff();
    editMode_ = MacroEditMode::Idle;
}

void CMacroPageModel::HideEditor() {
    editor_.keyOptionShown = editor_.keyOptionTicked = false;
    editor_.delayOptionShown = editor_.delayOptionTicked = false;
    editor_.keyFieldShown = editor_.keyOkShown = false;
    editor_.delayFieldShown = editor_.delayOkShown = false;
}

void CMacroPageModel::ResetEditor() {
    HideEditor();
    editor_.keyFieldText.clear();
    editor_.delayFieldText.clear();
}

void CMacroPageModel::CaptureOn() {
    s_.hooks.SetTarget(page_);
    s_.hooks.SetForwarding(true, false);
}

void CMacroPageModel::CaptureOff() { s_.hooks.SetForwarding(false, false); }

} // namespace n640

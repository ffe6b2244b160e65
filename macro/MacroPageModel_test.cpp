#include "macro/MacroPageModel.h"

#include <gtest/gtest.h>

#include <set>

#include "i18n/UiLanguage.h"
#include "testing/RecordingClock.h"
#include "testing/RecordingNotifier.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CRecordingClock;
using testing::CRecordingNotifier;
using testing::CTempDir;

constexpr auto P = MacroItemKind::Press;
constexpr auto R = MacroItemKind::Release;
constexpr auto D = MacroItemKind::Delay;
constexpr uint32_t kA = 0x41;
constexpr uint32_t kB = 0x42;
constexpr uint32_t kUp = kKeyUpFlag;

using Items = std::vector<MacroItem>;

bool NothingShown(const MacroEditorView& e) {
    return !e.keyOptionShown && !e.keyOptionTicked && !e.keyFieldShown && !e.keyOkShown && !e.delayOptionShown &&
           !e.delayOptionTicked && !e.delayFieldShown && !e.delayOkShown;
}

std::vector<uint32_t> Events(const MacroRecord& r) { return std::vector<uint32_t>(r.events, r.events + r.eventCount); }

class CQueuePoster : public IPoster {
public:
    struct Post_ {
        WindowRef target;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        queue.push_back({target, message, wParam, lParam});
        return true;
    }
    std::vector<Post_> queue;
};

class MacroPageTest : public ::testing::Test {
protected:
    MacroPageTest()
        : library(dir.path(), files, notifier, [](std::string_view) { return std::u16string(); }, clock),
          page({library, notifier, clock, hooks, poster, [this](uint32_t id) { return inUse.count(id) > 0; },
                [this](std::u16string_view t) { debug.emplace_back(t); }}) {
        SetUiChinese(false);
        testing::WriteBytes(dir / "Macro.cfg", std::vector<uint8_t>(CMacroLibrary::Size() * sizeof(MacroRecord), 0));
        clock.now = 5000;
        page.SetWindow(kPageWindow);
        hooks.SetHome(kMainWindow);
    }

    // A stored macro of category 21 with the given events; returns its id.
    uint32_t Stored(uint32_t low, std::u16string_view name, Items items, std::u16string_view repeat = u"1") {
        const uint32_t id = (21u << 24) | low;
        EXPECT_TRUE(library.StoreMacro(*BuildMacro(items, repeat, name, id)));
        return id;
    }
    // The record as Macro.cfg holds it now.
    std::optional<MacroRecord> OnDisk(uint32_t id) {
        CMacroLibrary fresh(dir.path(), files, notifier, [](std::string_view) { return std::u16string(); }, clock);
        if (!fresh.LoadMacroLibrary() || !fresh.Find(id)) return std::nullopt;
        return *fresh.Find(id);
    }
    // Delivers what the page posted to itself (the pads' events).
    void DeliverPosts() {
        auto queue = std::move(poster.queue);
        poster.queue.clear();
        for (const auto& p : queue) {
            ASSERT_EQ(p.target, kPageWindow);
            ASSERT_EQ(p.message, msg::CaptureEvent);
            page.OnKeyEvent(static_cast<uint32_t>(p.wParam), static_cast<uint32_t>(p.lParam));
        }
    }
    void Key(uint32_t code, bool up, uint64_t advanceMs = 0) {
        clock.now += advanceMs;
        page.OnKeyEvent(code, up ? kUp : 0);
    }
    bool Capturing() const { return hooks.ForwardKeys() && hooks.Target() == kPageWindow; }

    static inline int pageTag, mainTag;
    static constexpr WindowRef kPageWindow = &pageTag;
    static constexpr WindowRef kMainWindow = &mainTag;

    CTempDir dir;
    CSystemFiles files;
    CRecordingNotifier notifier;
    CRecordingClock clock;
    CHookState hooks;
    CQueuePoster poster;
    std::set<uint32_t> inUse;
    std::vector<std::u16string> debug;
    CMacroLibrary library;
    CMacroPageModel page;
};

// ---- Recording ----------------------------------------------------------------------------

TEST_F(MacroPageTest, RecordsHeldKeyAndPadClickIntoTheNamedMacro) {
    page.FillCategory(21);
    page.NewMacro();
    ASSERT_EQ(page.ShownMacro(), 0);
    page.RenameMacro(0, u"Jump");
    const uint32_t id = page.Macros()[0].id;
    EXPECT_EQ(id >> 24, 21u);
    EXPECT_EQ(id & kEventValueMask, 5000u);
    EXPECT_FALSE(OnDisk(id));  // a new macro has no record until events are stored

    page.PressRecord();
    ASSERT_TRUE(page.Recording());
    EXPECT_FALSE(page.EditButtonsEnabled());
    EXPECT_TRUE(Capturing());
    EXPECT_FALSE(hooks.ForwardMouse());
    EXPECT_EQ(RecordCaption(page.Recording()), u"Stop Record");

    Key(kA, false);
    Key(kA, false, 30);  // held: repeated downs are dropped
    Key(kA, false, 30);
    Key(kA, true, 240);
    // The pads only post; the events arrive in order with the keys.
    clock.now += 100;
    page.OnPad(MacroPad::Left, true);
    EXPECT_EQ(page.Events().size(), 3u);
    DeliverPosts();
    clock.now += 50;
    page.OnPad(MacroPad::Left, false);
    DeliverPosts();

    const Items expected = {{P, kA}, {D, 300}, {R, kA}, {D, 100}, {P, 1}, {D, 50}, {R, 1}};
    EXPECT_EQ(page.Events(), expected);
    EXPECT_EQ(EventListText(page.Events()[4]), u"Left Button");
    EXPECT_EQ(EventListText(page.Events()[1]), u"300  ms");
    EXPECT_EQ(EventListKind(page.Events()[0]), kListKindPress);
    EXPECT_EQ(EventListKind(page.Events()[2]), kListKindRelease);
    EXPECT_EQ(EventListKind(page.Events()[1]), kListKindDelay);
    EXPECT_EQ(page.RecordedKeys(), 4);

    page.PressRecord();
    EXPECT_FALSE(page.Recording());
    EXPECT_TRUE(page.EditButtonsEnabled());
    EXPECT_FALSE(hooks.ForwardKeys());
    EXPECT_EQ(hooks.Target(), kMainWindow);
    const auto stored = OnDisk(id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(MacroName(*stored), u"Jump");
    EXPECT_EQ(Events(*stored),
              (std::vector<uint32_t>{MakeEvent(kEventPress, kA), MakeEvent(kEventDelay, 300), MakeEvent(kEventRelease, kA),
                                     MakeEvent(kEventDelay, 100), MakeEvent(kEventPress, 1), MakeEvent(kEventDelay, 50),
                                     MakeEvent(kEventRelease, 1)}));
    EXPECT_EQ(stored->repeatCount, 1u);

    // Events that were still queued when the recording ended change nothing.
    Key(kB, false, 10);
    EXPECT_EQ(page.Events(), expected);
    page.OnPad(MacroPad::Right, true);
    EXPECT_TRUE(poster.queue.empty());
}

TEST_F(MacroPageTest, NoDelayBoxRecordsOnlyKeys) {
    Stored(1, u"m", {{P, kB}, {R, kB}});
    page.FillCategory(21);
    page.SetNoDelay(true);
    page.PressRecord();
    Key(kA, false, 100);
    Key(kA, true, 100);
    page.OnPad(MacroPad::Middle, true);
    page.OnPad(MacroPad::Middle, false);
    DeliverPosts();
    EXPECT_EQ(page.Events(), (Items{{P, kA}, {R, kA}, {P, 4}, {R, 4}}));
}

TEST_F(MacroPageTest, RecordButtonRefusals) {
    // No macro selected: nothing starts and the hooks are left as they were.
    page.FillCategory(21);
    page.PressRecord();
    EXPECT_FALSE(page.Recording());

    Stored(1, u"m", {{P, kA}, {R, kA}});
    page.FillCategory(21);
    page.SelectEvent(1);
    page.PressInsert();
    page.ChooseKeyOption();
    page.PressRecord();
    page.ChooseDelayOption();
    page.PressRecord();
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{u"Tips: It is Modifying or inserting a button,you can not record",
                                                              u"Tips: It is Modifying or inserting a delay,you can not record"}));
    EXPECT_FALSE(page.Recording());
    EXPECT_EQ(page.EditMode(), MacroEditMode::InsertDelay);
}

TEST_F(MacroPageTest, RecordingStopsTakingKeysAtTheCaps) {
    Stored(1, u"m", {{P, kB}, {R, kB}});
    page.FillCategory(21);

    // Without delays: the 1000th key event of a recording is ignored, silently.
    page.SetNoDelay(true);
    page.PressRecord();
    for (int i = 0; i < 1000; ++i) Key(kA, i % 2 == 1);
    EXPECT_EQ(page.RecordedKeys(), kMaxRecordedKeys);
    EXPECT_EQ(page.Events().size(), 999u);
    EXPECT_TRUE(page.Recording());
    EXPECT_TRUE(notifier.boxes.empty());
    page.PressRecord();
    EXPECT_EQ(library.Find(page.Macros()[0].id)->eventCount, 999u);

    // With delays the record's 1000 words fill first: the recording ends there, is stored whole
    // and the user is told; nothing is cut.
    page.SetNoDelay(false);
    page.PressRecord();
    for (int i = 0; i < 600; ++i) Key(kB, i % 2 == 0, 10);  // starts with a release: kB was last pressed
    EXPECT_FALSE(page.Recording());
    EXPECT_FALSE(Capturing());
    EXPECT_EQ(page.RecordedKeys(), 500);
    EXPECT_EQ(page.Events().size(), 999u);
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{u"Tips: The macro is full: a macro can hold at most 1000 events."}));
    const auto stored = OnDisk(page.Macros()[0].id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->eventCount, 999u);
    EXPECT_EQ(stored->events[998], MakeEvent(kEventPress, kB));
}

TEST_F(MacroPageTest, LeavingTheRecordingStoresIt) {
    const uint32_t first = Stored(1, u"first", {{P, kB}, {R, kB}});
    const uint32_t second = Stored(2, u"second", {{P, kB}, {R, kB}});
    const uint32_t other = (3u << 24) | 3;
    ASSERT_TRUE(library.StoreMacro(*[&] { Items i{{P, kB}}; return BuildMacro(i, u"1", u"other", other); }()));

    struct Case {
        const char* how;
        std::function<void()> leave;
        uint32_t storedInto;
    };
    const Case cases[] = {
        {"main window leaves the page", [&] { page.StopRecording(); }, second},
        {"another macro selected", [&] { page.SelectMacro(0); }, second},
        {"another category chosen", [&] { page.ChooseCategory(3); }, second},
    };
    for (const Case& c : cases) {
        page.FillCategory(21);
        ASSERT_EQ(page.ShownMacro(), 1) << c.how;
        page.PressRecord();
        Key(kA, false, 10);
        Key(kA, true, 10);
        c.leave();
        EXPECT_FALSE(page.Recording()) << c.how;
        EXPECT_FALSE(hooks.ForwardKeys()) << c.how;
        EXPECT_EQ(Events(*OnDisk(c.storedInto)), (std::vector<uint32_t>{MakeEvent(kEventPress, kA), MakeEvent(kEventDelay, 10),
                                                                         MakeEvent(kEventRelease, kA)}))
            << c.how;
        EXPECT_EQ(Events(*OnDisk(first)).size(), 2u) << c.how;
        ASSERT_TRUE(library.StoreMacro(*[&] { Items i{{P, kB}, {R, kB}}; return BuildMacro(i, u"1", u"second", second); }()));
    }
    EXPECT_EQ(page.Category(), 3);
    EXPECT_EQ(page.CategoryButtonText(), u"Counter-Strike: Global Offensive");
    EXPECT_EQ(page.Macros(), (std::vector<MacroListEntry>{{u"other", other}}));

    // After choosing a category, a recording goes into the macro whose events are shown: the
    // last one listed.
    page.ChooseCategory(21);
    page.PressRecord();
    Key(kB, false, 10);
    page.PressRecord();
    EXPECT_EQ(Events(*OnDisk(second)), (std::vector<uint32_t>{MakeEvent(kEventPress, kB)}));
    EXPECT_EQ(OnDisk(second)->repeatCount, kMacroSinglePress);

    // An open change does not carry over to the macro of the next category.
    page.SelectEvent(0);
    page.PressChange();
    ASSERT_TRUE(Capturing());
    page.ChooseCategory(3);
    EXPECT_EQ(page.EditMode(), MacroEditMode::Idle);
    EXPECT_FALSE(Capturing());
    Key(kA, false, 5);
    page.PressKeyOk();
    EXPECT_EQ(Events(*OnDisk(other)), (std::vector<uint32_t>{MakeEvent(kEventPress, kB)}));
}

// ---- Editing single events ----------------------------------------------------------------

TEST_F(MacroPageTest, InsertingADelay) {
    struct Case {
        const char* what;
        Items before;
        int at;
        std::u16string text;
        Items after;
    };
    const Case cases[] = {
        {"at the first entry: nothing", {{P, kA}, {R, kA}}, 0, u"500", {{P, kA}, {R, kA}}},
        {"before a delay", {{P, kA}, {D, 100}, {R, kA}}, 1, u"500", {{P, kA}, {D, 600}, {R, kA}}},
        {"after a delay", {{P, kA}, {D, 100}, {R, kA}}, 2, u"500", {{P, kA}, {D, 600}, {R, kA}}},
        {"between keys, empty field", {{P, kA}, {R, kA}}, 1, u"", {{P, kA}, {D, 0}, {R, kA}}},
        {"other characters: nothing", {{P, kA}, {R, kA}}, 1, u"5x", {{P, kA}, {R, kA}}},
        {"sum capped", {{P, kA}, {D, 327000}, {R, kA}}, 1, u"9999", {{P, kA}, {D, 327670}, {R, kA}}},
    };
    for (const Case& c : cases) {
        const uint32_t id = Stored(1, u"m", c.before);
        page.FillCategory(21);
        page.SelectEvent(c.at);
        page.PressInsert();
        EXPECT_TRUE(page.Editor().keyOptionShown && page.Editor().delayOptionShown) << c.what;
        page.ChooseDelayOption();
        EXPECT_EQ(page.EditMode(), MacroEditMode::InsertDelay) << c.what;
        EXPECT_TRUE(page.Editor().delayFieldShown && page.Editor().delayOkShown && !page.Editor().keyFieldShown) << c.what;
        EXPECT_EQ(page.TakeFocus(), MacroFocus::DelayField) << c.what;
        page.SetDelayText(c.text);
        page.PressDelayOk();
        EXPECT_EQ(page.Events(), c.after) << c.what;
        EXPECT_EQ(page.EditMode(), MacroEditMode::Idle) << c.what;
        EXPECT_TRUE(NothingShown(page.Editor())) << c.what;
        EXPECT_EQ(page.TakeFocus(), MacroFocus::DelayOk) << c.what;
        EXPECT_EQ(OnDisk(id)->eventCount, static_cast<uint32_t>(c.after.size())) << c.what;
        library.DeleteMacro(id);
    }
}

TEST_F(MacroPageTest, InsertingAndChangingKeys) {
    const uint32_t id = Stored(1, u"m", {{P, kA}, {D, 20}, {R, kA}});
    page.FillCategory(21);
    EXPECT_EQ(page.EventSelection(), 2);  // loading selects each entry as it is added

    // A key pair goes before the selected entry; the field shows the captured key.
    page.SelectEvent(1);
    page.PressInsert();
    page.ChooseKeyOption();
    EXPECT_TRUE(Capturing());
    Key(kB, false);
    Key(kB, true);
    EXPECT_EQ(page.Editor().keyFieldText, u"B");
    EXPECT_EQ(page.CapturedCode(), kB);
    page.OnPad(MacroPad::Right, true);  // a pad is captured like a key
    DeliverPosts();
    EXPECT_EQ(page.CapturedCode(), 2u);
    Key(kB, false);
    page.PressKeyOk();
    EXPECT_FALSE(hooks.ForwardKeys());
    EXPECT_EQ(page.Events(), (Items{{P, kA}, {P, kB}, {R, kB}, {D, 20}, {R, kA}}));
    EXPECT_EQ(page.EventSelection(), 2);
    EXPECT_EQ(OnDisk(id)->eventCount, 5u);

    // Changing a release with a captured key keeps it a release; OK without a key changes nothing.
    page.SelectEvent(4);
    page.PressChange();
    EXPECT_EQ(page.EditMode(), MacroEditMode::ChangeKey);
    EXPECT_TRUE(page.Editor().keyOptionTicked && page.Editor().keyFieldShown && !page.Editor().delayOptionShown);
    page.PressKeyOk();
    EXPECT_EQ(page.Events()[4], (MacroItem{R, kA}));
    page.PressChange();
    Key(0x31, false);
    page.PressKeyOk();
    EXPECT_EQ(page.Events()[4], (MacroItem{R, 0x31}));

    // Changing a delay: a number replaces it, other text leaves it.
    page.SelectEvent(3);
    page.PressChange();
    EXPECT_EQ(page.EditMode(), MacroEditMode::ChangeDelay);
    page.SetDelayText(u"abc");
    page.PressDelayOk();
    EXPECT_EQ(page.Events()[3], (MacroItem{D, 20}));
    page.PressChange();
    page.SetDelayText(u"75");
    page.PressDelayOk();
    EXPECT_EQ(page.Events()[3], (MacroItem{D, 75}));
    EXPECT_EQ(OnDisk(id)->events[3], MakeEvent(kEventDelay, 75));

    // Another selection cancels an open edit and ends the capture.
    page.PressChange();
    page.SelectEvent(0);
    page.PressChange();
    EXPECT_TRUE(Capturing());
    page.SelectEvent(1);
    EXPECT_EQ(page.EditMode(), MacroEditMode::Idle);
    EXPECT_FALSE(hooks.ForwardKeys());
    EXPECT_TRUE(NothingShown(page.Editor()));
    EXPECT_EQ(page.Editor().keyFieldText, u"");
}

TEST_F(MacroPageTest, InsertsThatWouldOverfillTheRecordAreRefused) {
    Items full;
    for (int i = 0; i < 500; ++i) {
        full.push_back({P, kA});
        full.push_back({R, kA});
    }
    const uint32_t id = Stored(1, u"full", full);
    page.FillCategory(21);
    page.SelectEvent(1);
    page.PressInsert();
    page.ChooseKeyOption();
    Key(kB, false);
    page.PressKeyOk();
    EXPECT_EQ(page.Events().size(), 1000u);
    EXPECT_EQ(page.EditMode(), MacroEditMode::Idle);
    // A delay that merges adds no word and still fits; a new one does not.
    page.SelectEvent(1);
    page.PressInsert();
    page.ChooseDelayOption();
    page.SetDelayText(u"5");
    page.PressDelayOk();
    EXPECT_EQ(page.Events().size(), 1000u);
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>(2, u"Tips: The macro is full: a macro can hold at most 1000 events.")));
    EXPECT_EQ(OnDisk(id)->eventCount, 1000u);
}

TEST_F(MacroPageTest, DeletingEvents) {
    const uint32_t one = Stored(1, u"one", {{P, kA}});
    const uint32_t two = Stored(2, u"two", {{P, kA}, {D, 10}, {R, kA}, {D, 20}, {P, kB}});
    page.FillCategory(21);

    // Removing a key between two delays merges them, in the list and in the record.
    page.SelectEvent(2);
    page.PressDeleteEvent();
    EXPECT_EQ(page.Events(), (Items{{P, kA}, {D, 30}, {P, kB}}));
    EXPECT_EQ(page.ShownEvent(), -1);
    EXPECT_EQ(Events(*OnDisk(two)).size(), 3u);

    // Deleting the only event stores nothing: selecting the macro again shows the old event.
    page.SelectMacro(0);
    page.SelectEvent(0);
    page.PressDeleteEvent();
    EXPECT_TRUE(page.Events().empty());
    page.SelectMacro(1);
    page.SelectMacro(0);
    EXPECT_EQ(page.Events(), (Items{{P, kA}}));
    EXPECT_EQ(Events(*OnDisk(one)).size(), 1u);
}

// ---- Repeat field -------------------------------------------------------------------------

TEST_F(MacroPageTest, RepeatFieldCheckAndStore) {
    const uint32_t id = Stored(1, u"m", {{P, kA}, {R, kA}}, u"4");
    page.FillCategory(21);
    EXPECT_EQ(page.RepeatText(), u"4");

    struct Case {
        std::u16string typed;
        std::u16string shown;
        uint32_t stored;
    };
    const Case cases[] = {{u"007", u"7", 7},          {u"0", u"1", 1},         {u"", u"1", 1},
                          {u"70000", u"65533", 65533}, {u"-5", u"65533", 65533}, {u"12a", u"1", 1},
                          {u"9", u"9", 9}};
    for (const Case& c : cases) {
        page.SetRepeatText(c.typed);  // every change stores at once
        EXPECT_EQ(OnDisk(id)->repeatCount, ParseRepeatCount(c.typed));
        EXPECT_EQ(page.CheckRepeatField(), c.typed == c.shown) << std::string(c.typed.begin(), c.typed.end());
        EXPECT_EQ(page.RepeatText(), c.shown);
        EXPECT_EQ(OnDisk(id)->repeatCount, c.stored);
    }

    // A single press shows as 1; reloading a macro through the list stores nothing.
    const uint32_t single = Stored(2, u"single", {{P, kA}}, u"3");
    page.FillCategory(21);
    EXPECT_EQ(page.RepeatText(), u"1");
    const auto before = OnDisk(id);
    page.SelectMacro(0);
    EXPECT_EQ(page.RepeatText(), u"9");
    EXPECT_EQ(OnDisk(single)->repeatCount, kMacroSinglePress);
    EXPECT_EQ(OnDisk(id)->repeatCount, before->repeatCount);
}

// ---- Macro list ---------------------------------------------------------------------------

TEST_F(MacroPageTest, ListingShowsTheLastMacroAndStopsAtAnInvalidEvent) {
    const uint32_t id = Stored(1, u"broken", {{P, kA}, {R, kA}, {P, kB}}, u"2");
    library.Record(0).events[1] = 0x77000041;
    Stored(2, u"other", {{P, kB}});
    ASSERT_TRUE(library.StoreMacro(*[&] { Items i{{P, kA}}; return BuildMacro(i, u"1", u"elsewhere", (4u << 24) | 9); }()));
    page.FillCategory(21);
    EXPECT_EQ(page.Macros(), (std::vector<MacroListEntry>{{u"broken", id}, {u"other", (21u << 24) | 2}}));
    EXPECT_EQ(page.MacroSelection(), 1);
    EXPECT_EQ(page.ShownMacro(), 1);
    page.SelectMacro(0);
    EXPECT_EQ(page.Events(), (Items{{P, kA}}));
    EXPECT_EQ(debug, (std::vector<std::u16string>{u"LoadMacroToList:  Not a vaild item"}));

    page.FillCategory(5);  // an empty category empties both lists
    EXPECT_TRUE(page.Macros().empty());
    EXPECT_TRUE(page.Events().empty());
    EXPECT_EQ(page.ShownMacro(), -1);
}

TEST_F(MacroPageTest, NewRenameAndDelete) {
    const uint32_t stored = Stored(1, u"stored", {{P, kA}, {D, 40}, {R, kA}}, u"6");
    page.FillCategory(21);

    // Renaming a stored macro changes only its name.
    const MacroRecord before = *OnDisk(stored);
    page.RenameMacro(0, u"renamed");
    MacroRecord after = *OnDisk(stored);
    EXPECT_EQ(MacroName(after), u"renamed");
    std::copy(std::begin(before.name), std::end(before.name), after.name);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0);

    // A new macro keeps its name in the list until its first events are stored with it.
    SetUiChinese(true);
    clock.now = 0x1000000 + 1;  // the same low 24 bits as the stored macro's id
    page.NewMacro();
    SetUiChinese(false);
    const MacroListEntry created = page.Macros()[1];
    EXPECT_EQ(created.name, u"新建宏");
    EXPECT_NE(created.id, stored);
    EXPECT_EQ(created.id >> 24, 21u);
    EXPECT_TRUE(page.Events().empty());
    EXPECT_EQ(page.RepeatText(), u"1");
    page.RenameMacro(1, u"fresh");
    EXPECT_FALSE(OnDisk(created.id));
    page.PressRecord();
    Key(kB, false, 5);
    page.PressRecord();
    EXPECT_EQ(MacroName(*OnDisk(created.id)), u"fresh");

    // A macro in use is not deleted; another one is, in memory and in the file.
    inUse.insert(stored);
    page.SelectMacro(0);
    page.DeleteSelectedMacro();
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{u"Tips: The macro is being applied and cannot be deleted!"}));
    EXPECT_EQ(page.Macros().size(), 2u);
    EXPECT_TRUE(OnDisk(stored));
    page.SelectMacro(1);
    page.DeleteSelectedMacro();
    EXPECT_EQ(page.Macros(), (std::vector<MacroListEntry>{{u"renamed", stored}}));
    EXPECT_EQ(page.ShownMacro(), -1);
    EXPECT_EQ(page.MacroSelection(), -1);
    EXPECT_TRUE(page.Events().empty());
    EXPECT_FALSE(OnDisk(created.id));
    page.DeleteSelectedMacro();  // no selection: nothing happens
    EXPECT_EQ(notifier.boxes.size(), 1u);
}

TEST_F(MacroPageTest, EditButtonsDoNothingWhileRecording) {
    const uint32_t id = Stored(1, u"m", {{P, kA}, {R, kA}});
    page.FillCategory(21);
    page.PressRecord();
    Key(kB, false, 5);
    page.NewMacro();
    page.DeleteSelectedMacro();
    page.PressInsert();
    page.PressChange();
    page.PressDeleteEvent();
    EXPECT_EQ(page.Macros().size(), 1u);
    EXPECT_EQ(page.EditMode(), MacroEditMode::Idle);
    EXPECT_EQ(page.Events(), (Items{{P, kB}}));
    EXPECT_TRUE(OnDisk(id));
    EXPECT_TRUE(page.Recording());
}

} // namespace
} // namespace n640

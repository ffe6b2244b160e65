#include "macro/MacroLibrary.h"

#include <algorithm>
#include <cstring>

#include "i18n/UiLanguage.h"
#include "platform/Text.h"

namespace n640 {

const std::array<GameCategoryText, kGameCategoryCount> kGameCategories = {{
    {u"Battlefield 3 ", u"Battlefield 3", u"战地 3 ", u"战地 3"},
    {u"Star Wars: The Old Republic", u"Star Wars: The Old Republic", u"星球大战:旧共和国", u"星球大战:旧共和国"},
    {u"Counter-Strike: Global Offensive", u"Counter-Strike: Global Offensive", u"反恐精英:全球攻势", u"反恐精英:全球攻势"},
    {u"Elder Scrolls V: Skyrim", u"Elder Scrolls V: Skyrim", u"上古卷轴5：天际", u"上古卷轴5：天际"},
    {u"Team Fortress 2", u"Team Fortress 2", u"军团要塞2", u"军团要塞 2"},
    {u"Batman Arkham City", u"Batman Arkham City", u"蝙蝠侠：阿甘之城", u"蝙蝠侠：阿甘之城"},
    {u"Civilization 5 ", u"Civilization 5 ", u"文明 5 ", u"文明 5 "},
    {u"World of Tanks", u"World of Tanks", u"坦克世界", u"坦克世界"},
    {u"Borderlands 2", u"Borderlands 2", u"无主之地 2", u"无主之地 2"},
    {u"Anno 2070", u"Anno 2070", u"纪元 2070：雷诺起源", u"纪元 2070：雷诺起源"},
    {u"League of Legends", u"League of Legends", u"英雄联盟(LOL)", u"英雄联盟(LOL)"},
    {u"Football Manager 2013 (EA)", u"Football Manager 2013 (EA)", u"足球经理 2013 (EA)", u"足球经理 2013 (EA)"},
    {u"Dota 2 ", u"Dota 2 ", u"远古遗迹守卫2（Dota 2） ", u"远古遗迹守卫2（Dota 2）"},
    {u"Battlefield 4", u"Battlefield 4", u"战地 4", u"战地 4"},
    {u"World of Warplanes", u"World of Warplanes", u"战机世界", u"战机世界"},
    {u"Football Manager 2013 (SEGA)", u"Football Manager 2013 (SEGA)", u"足球经理 2013 (SEGA)", u"足球经理 2013 (SEGA)"},
    {u"Minecraft", u"Minecraft", u"我的世界", u"我的世界"},
    {u"Neverwinter", u"Neverwinter", u"无冬之夜", u"无冬之夜"},
    {u"Path of Exile", u"Path of Exile", u"流亡黯道", u"流亡黯道"},
    {u"War Thunder", u"War Thunder", u"战争雷霆", u"战争雷霆"},
    {u"Customize", u"Customisze", u"玩家自定义", u"玩家自定义"},
}};

std::u16string_view GameCategoryMenuText(int category) {
    if (category < 1 || category > kGameCategoryCount) return {};
    const GameCategoryText& t = kGameCategories[category - 1];
    return UiChinese() ? t.chineseMenu : t.englishMenu;
}

std::u16string_view GameCategoryButtonText(int category) {
    if (category < 1 || category > kGameCategoryCount) return {};
    const GameCategoryText& t = kGameCategories[category - 1];
    return UiChinese() ? t.chineseButton : t.englishButton;
}

uint32_t ParseRepeatCount(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size()) return 1;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return 1;
        value = std::min<uint64_t>(value * 10 + (text[i] - u'0'), uint64_t{1} << 40);
    }
    if (value == 0) return 1;
    if (negative || value > kMaxRepeatCount) return kMaxRepeatCount;
    return static_cast<uint32_t>(value);
}

std::optional<MacroRecord> BuildMacro(std::vector<MacroItem>& items, std::u16string_view repeatText,
                                      std::u16string_view name, uint32_t id) {
    if (items.empty()) return std::nullopt;
    const size_t itemsBeforeMerge = items.size();

    // A run of delays collapses into its last member, the sum capped.
    std::vector<MacroItem> merged;
    merged.reserve(items.size());
    for (const MacroItem& item : items) {
        if (item.kind == MacroItemKind::Delay && !merged.empty() && merged.back().kind == MacroItemKind::Delay) {
            const uint64_t sum = uint64_t{merged.back().value} + item.value;
            merged.back().value = static_cast<uint32_t>(std::min<uint64_t>(sum, kMaxMergedDelay));
        } else {
            merged.push_back(item);
        }
    }
    items = merged;

    MacroRecord r;
    std::memset(&r, 0, sizeof r);
    r.size = static_cast<uint32_t>(std::min<uint64_t>(kMacroHeaderSize + 4 * uint64_t{itemsBeforeMerge}, UINT32_MAX));
    r.magic = kMacroMagic;
    r.reserved = 0;
    bool started = false;
    for (const MacroItem& item : items) {
        if (r.eventCount == kMacroMaxEvents) break;  // nothing beyond 1000 words reaches a record
        uint32_t kind = kEventDelay;
        if (item.kind == MacroItemKind::Press) kind = kEventPress;
        if (item.kind == MacroItemKind::Release) kind = kEventRelease;
        if (kind != kEventDelay) started = true;
        if (!started) continue;
        r.events[r.eventCount++] = MakeEvent(kind, item.value);
    }
    if (r.eventCount == 1 && EventKind(r.events[0]) == kEventPress)
        r.repeatCount = kMacroSinglePress;
    else
        r.repeatCount = ParseRepeatCount(repeatText);
    r.id = id;
    const size_t n = std::min(name.size(), kMacroNameChars - 1);
    std::copy_n(name.data(), n, r.name);
    return r;
}

std::u16string MacroName(const MacroRecord& record) {
    const char16_t* end = std::find(record.name, record.name + kMacroNameChars, u'\0');
    return std::u16string(record.name, end);
}

CMacroLibrary::CMacroLibrary(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language,
                             IClock& clock)
    : dataDir_(std::move(dataDir)), files_(files), notifier_(notifier), language_(std::move(language)), clock_(clock),
      records_(new MacroRecord[kMacroLibrarySize]) {
    std::memset(records_.get(), 0, kMacroLibrarySize * sizeof(MacroRecord));
}

bool CMacroLibrary::LoadMacroLibrary() {
    const std::filesystem::path file = FilePath();
    std::memset(records_.get(), 0, kMacroLibrarySize * sizeof(MacroRecord));
    size_t got = 0;
    const FileStatus status = files_.Read(file, records_.get(), kMacroLibrarySize * sizeof(MacroRecord), &got);
    if (status == FileStatus::Ok) return true;
    // A read that failed part-way must not leave half a library behind.
    std::memset(records_.get(), 0, kMacroLibrarySize * sizeof(MacroRecord));
    if (status == FileStatus::NotFound)
        notifier_.ShowInfo(FormatMessageText(language_ ? language_("str_msg2") : std::u16string(), PathText(file)));
    return false;
}

std::vector<MacroListEntry> CMacroLibrary::ListCategory(int category) const {
    std::vector<MacroListEntry> list;
    for (size_t i = 0; i < kMacroLibrarySize; ++i) {
        const MacroRecord& r = records_[i];
        if (IsStoredMacro(r) && MacroCategory(r.id) == static_cast<uint32_t>(category))
            list.push_back({MacroName(r), r.id});
    }
    return list;
}

bool CMacroLibrary::StoreMacro(const MacroRecord& candidate) {
    if (candidate.size < kMacroMinStoredSize || (candidate.magic >> 16) != kMacroMagicHigh) return false;
    MacroRecord* target = nullptr;
    for (size_t i = 0; i < kMacroLibrarySize && !target; ++i)
        if (records_[i].id == candidate.id) target = &records_[i];
    for (size_t i = 0; i < kMacroLibrarySize && !target; ++i)
        if (IsFreeRecord(records_[i])) target = &records_[i];
    if (!target) return false;

    const MacroRecord source = candidate;  // the candidate may be the target itself (a rename)
    const uint32_t count = std::min(source.eventCount, kMacroMaxEvents);
    std::copy_n(source.events, count, target->events);
    std::fill(target->events + count, target->events + kMacroMaxEvents, 0u);
    target->id = source.id;
    target->eventCount = count;
    target->repeatCount = source.repeatCount;
    target->reserved = source.reserved;
    std::copy_n(source.name, kMacroNameChars, target->name);
    target->size = source.size;
    target->magic = source.magic;
    SaveMacroLibrary();
    return true;
}

bool CMacroLibrary::DeleteMacro(uint32_t id) {
    for (size_t i = 0; i < kMacroLibrarySize; ++i) {
        if (records_[i].id == id) {
            std::memset(&records_[i], 0, sizeof(MacroRecord));
            break;
        }
    }
    return SaveMacroLibrary();
}

bool CMacroLibrary::SaveMacroLibrary() {
    const std::filesystem::path file = FilePath();
    const size_t bytes = kMacroLibrarySize * sizeof(MacroRecord);
    const FileStatus open = files_.OpenExisting(file);
    if (open == FileStatus::Ok) {
        clock_.Sleep(100);
        const FileStatus written = WriteFileReplacing(files_, file, records_.get(), bytes);
        clock_.Sleep(100);
        return written == FileStatus::Ok;
    }
    if (open != FileStatus::NotFound) return false;
    notifier_.ShowSystemInfo(FormatMessageText(language_ ? language_("str_msg2") : std::u16string(), PathText(file)));
    // The new file holds the current library.
    const FileStatus created = WriteFileReplacing(files_, file, records_.get(), bytes);
    if (created == FileStatus::AccessDenied) notifier_.ShowSystemInfo(language_ ? language_("str_msg4") : std::u16string());
    return created == FileStatus::Ok;
}

uint32_t CMacroLibrary::NewMacroId(int category, uint64_t tickMs, std::span<const uint32_t> pending) const {
    const uint32_t top = static_cast<uint32_t>(category) << 24;
    uint32_t low = static_cast<uint32_t>(tickMs) & kEventValueMask;
    auto taken = [&](uint32_t id) {
        if (std::find(pending.begin(), pending.end(), id) != pending.end()) return true;
        for (size_t i = 0; i < kMacroLibrarySize; ++i)
            if (records_[i].id == id) return true;
        return false;
    };
    // At most 500 + pending ids can be taken, so a free one is always found.
    while (taken(top | low)) low = (low + 1) & kEventValueMask;
    return top | low;
}

const MacroRecord* CMacroLibrary::Find(uint32_t id) const {
    for (size_t i = 0; i < kMacroLibrarySize; ++i)
        if (records_[i].id == id && IsStoredMacro(records_[i])) return &records_[i];
    return nullptr;
}

bool IsMacroInUse(uint32_t id, const ConfigInfo& slots, const ProfileImage& active, const MacroAssignments& assignments) {
    for (const ProfileSlot& slot : slots.slots)
        for (uint32_t assigned : slot.macroIds)
            if (assigned == id) return true;
    for (uint32_t assigned : assignments)
        if (assigned == id) return true;
    for (const ButtonRecord& b : active.buttons)
        if (b.type == 6 && b.macroId == id) return true;
    return false;
}

} // namespace n640

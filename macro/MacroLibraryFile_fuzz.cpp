// libFuzzer target: any bytes as Macro.cfg. Besides the sanitizers, checks that the listing, the
// lookup, new ids and storing a macro agree with each other on whatever the file held.

#include <cstddef>
#include <cstdint>
#include <string>

#include "macro/MacroLibrary.h"
#include "testing/MemoryFiles.h"
#include "testing/RecordingClock.h"
#include "testing/RecordingNotifier.h"
#include "testing/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    using testing::FuzzCheck;
    testing::CMemoryFiles files;
    testing::CRecordingNotifier notifier;
    testing::CRecordingClock clock;
    CMacroLibrary library("D", files, notifier, [](std::string_view) { return std::u16string(u"%s"); }, clock);
    files.files[library.FilePath()] = std::string(reinterpret_cast<const char*>(data), size);
    FuzzCheck(library.LoadMacroLibrary());

    size_t listed = 0;
    for (int category = 1; category <= kGameCategoryCount; ++category) {
        for (const MacroListEntry& entry : library.ListCategory(category)) {
            const MacroRecord* found = library.Find(entry.id);
            FuzzCheck(found != nullptr && MacroCategory(found->id) == static_cast<uint32_t>(category));
            ++listed;
        }
    }
    FuzzCheck(listed <= CMacroLibrary::Size());

    const uint32_t id = library.NewMacroId(kCustomCategory, size);
    FuzzCheck(library.Find(id) == nullptr && MacroCategory(id) == static_cast<uint32_t>(kCustomCategory));
    std::vector<MacroItem> items = {{MacroItemKind::Press, 0x41}, {MacroItemKind::Release, 0x41}};
    const auto candidate = BuildMacro(items, u"1", u"fuzz", id);
    FuzzCheck(candidate.has_value());
    const bool stored = library.StoreMacro(*candidate);
    if (stored) FuzzCheck(library.Find(id) != nullptr);
    FuzzCheck(files.files[library.FilePath()].size() == CMacroLibrary::Size() * sizeof(MacroRecord));
    if (stored) {
        FuzzCheck(library.DeleteMacro(id));
        FuzzCheck(library.Find(id) == nullptr);
    }
    return 0;
}

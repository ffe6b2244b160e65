// libFuzzer target: any bytes as Macro.cfg. Besides the sanitizers, checks that the listing, the
// lookup, new ids and storing a macro agree with each other on whatever the file held.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macro/MacroLibrary.h"
#include "testing/MemoryFiles.h"
#include "testing/RecordingClock.h"
#include "testing/RecordingNotifier.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    testing::CMemoryFiles files;
    testing::CRecordingNotifier notifier;
    testing::CRecordingClock clock;
    CMacroLibrary library("D", files, notifier, [](std::string_view) { return std::u16string(u"%s"); }, clock);
    files.files[library.FilePath()] = std::string(reinterpret_cast<const char*>(data), size);
    Check(library.LoadMacroLibrary());

    size_t listed = 0;
    for (int category = 1; category <= kGameCategoryCount; ++category) {
        for (const MacroListEntry& entry : library.ListCategory(category)) {
            const MacroRecord* found = library.Find(entry.id);
            Check(found != nullptr && MacroCategory(found->id) == static_cast<uint32_t>(category));
            ++listed;
        }
    }
    Check(listed <= CMacroLibrary::Size());

    const uint32_t id = library.NewMacroId(kCustomCategory, size);
    Check(library.Find(id) == nullptr && MacroCategory(id) == static_cast<uint32_t>(kCustomCategory));
    std::vector<MacroItem> items = {{MacroItemKind::Press, 0x41}, {MacroItemKind::Release, 0x41}};
    const auto candidate = BuildMacro(items, u"1", u"fuzz", id);
    Check(candidate.has_value());
    const bool stored = library.StoreMacro(*candidate);
    if (stored) Check(library.Find(id) != nullptr);
    Check(files.files[library.FilePath()].size() == CMacroLibrary::Size() * sizeof(MacroRecord));
    if (stored) {
        Check(library.DeleteMacro(id));
        Check(library.Find(id) == nullptr);
    }
    return 0;
}

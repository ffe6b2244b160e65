// libFuzzer target: any bytes as ConfigInfo.cfg and the five profile files. Besides the
// sanitizers, checks that loading always ends with one valid active profile in a valid slot, and
// that selecting or importing never leaves an invalid image active.

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/ProfileStore.h"
#include "testing/MemoryFiles.h"
#include "testing/RecordingNotifier.h"
#include "testing/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    using testing::FuzzCheck;
    // The first byte cuts the rest into six pieces: ConfigInfo.cfg and Profile1..5.cfg, each piece
    // being sizeof(record) * (its share) bytes, so short, whole and long files all occur.
    if (size < 1) return 0;
    const uint8_t shape = data[0];
    ++data;
    --size;
    testing::CMemoryFiles files;
    testing::CRecordingNotifier notifier;
    CProfileStore store("D", files, notifier, [](std::string_view) { return std::u16string(u"%s"); });
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    auto take = [&](size_t want) {
        const std::string piece = bytes.substr(std::min(at, bytes.size()), want);
        at += piece.size();
        return piece;
    };
    if (!(shape & 0x40)) files.files[store.ConfigInfoPath()] = take(sizeof(ConfigInfo));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (shape & (1u << slot)) continue;  // that file is missing
        files.files[store.ProfilePath(slot)] = take(sizeof(ProfileImage));
    }

    store.LoadSlots();
    FuzzCheck(store.ActiveSlot() >= 0 && store.ActiveSlot() < kSlotCount);
    FuzzCheck(store.Profile().magic == kProfileMagic);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const int before = store.ActiveSlot();
        const bool selected = store.SelectProfile(slot);
        FuzzCheck(store.ActiveSlot() >= 0 && store.ActiveSlot() < kSlotCount);
        if (selected) FuzzCheck(store.ActiveSlot() == slot && store.Profile().magic == kProfileMagic);
        if (!selected) FuzzCheck(store.ActiveSlot() == before || store.ActiveSlot() == slot);
    }
    // The rest of the input as a file to import.
    files.files["import.cfg"] = bytes.substr(std::min(at, bytes.size()));
    const uint32_t magicBefore = store.Profile().magic;
    if (store.ImportProfile("import.cfg")) FuzzCheck(store.Profile().magic == kProfileMagic);
    else FuzzCheck(store.Profile().magic == magicBefore);
    FuzzCheck(store.SaveActiveProfile());
    FuzzCheck(files.files[store.ProfilePath(store.ActiveSlot())].size() == sizeof(ProfileImage));
    FuzzCheck(files.files[store.ConfigInfoPath()].size() == sizeof(ConfigInfo));
    return 0;
}

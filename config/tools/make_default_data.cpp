// Writes the default data files of the install tree into the current directory: the copies that
// seed a user's DataDir on the first run.
//   Macro.cfg               500 free macro records
//   Language.cfg            language index 0: the installation's own language stays in force
//   Sts.cfg                 six zero counters
//   Profile/ConfigInfo.cfg  five valid slots, slot 0 active
//   Profile/ProfileN.cfg    the factory defaults with English labels

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "config/ProfileSlot.h"
#include "config/ProfileStore.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroRecord.h"
#include "platform/File.h"

namespace {

bool Write(const char* name, const void* data, size_t size) {
    const n640::FileStatus status = n640::WriteFileReplacing(n640::CSystemFiles::Instance(), name, data, size);
    if (status != n640::FileStatus::Ok) std::fprintf(stderr, "make_default_data: cannot write %s\n", name);
    return status == n640::FileStatus::Ok;
}

} // namespace

int main() {
    using namespace n640;
    bool ok = true;

    const std::vector<uint8_t> macros(kMacroLibrarySize * sizeof(MacroRecord), 0);
    ok &= Write("Macro.cfg", macros.data(), macros.size());

    const int32_t language = 0;
    ok &= Write("Language.cfg", &language, sizeof language);

    const uint32_t counters[6] = {};
    ok &= Write("Sts.cfg", counters, sizeof counters);

    auto info = std::make_unique<ConfigInfo>();
    std::memset(info.get(), 0, sizeof(ConfigInfo));
    for (ProfileSlot& slot : info->slots) slot.magic = kSlotMagic;
    info->slots[0].active = 1;
    ok &= Write("Profile/ConfigInfo.cfg", info.get(), sizeof(ConfigInfo));

    SetUiChinese(false);
    auto profile = std::make_unique<ProfileImage>();
    BuildDefaultProfile(profile.get());
    for (int n = 1; n <= kSlotCount; ++n) {
        const std::string name = "Profile/Profile" + std::to_string(n) + ".cfg";
        ok &= Write(name.c_str(), profile.get(), sizeof(ProfileImage));
    }
    return ok ? 0 : 1;
}

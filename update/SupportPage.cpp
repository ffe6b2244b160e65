#include "update/SupportPage.h"

#include <array>

#include "update/UpdateRules.h"

namespace n640 {

std::span<const ControlRow> SupportControls() {
    using K = ControlKind;
    static const std::array<ControlRow, 7> table = {{
        {kSupportUpdateButton, {405, 264, 520, 293}, {}, K::Button, "str_update", 56},
        {kSupportWebButton, {711, 264, 826, 293}, {}, K::Button, "str_zentuWeb", 57},
        {kSupportImportButton, {134, 389, 224, 420}, {}, K::Button, "str_importFile", 58},
        {kSupportExportButton, {234, 389, 324, 420}, {}, K::Button, "str_exportFile", 59},
        {kSupportRestoreButton, {785, 388, 873, 417}, {}, K::Button, "str_defaultname", 60},
        {kSupportDriverVersionArea, {77, 110, 274, 141}, {}, K::Area, {}, 89},
        {kSupportFirmwareVersionArea, {380, 113, 559, 140}, {}, K::Area, {}, 90},
    }};
    return table;
}

bool ConfirmRestoreDefaults(INotifier& notifier, IPoster& poster, WindowRef mainWindow, bool uiChinese) {
    if (notifier.ShowInfo(RestoreDefaultsQuestionText(uiChinese), InfoButtons::OkCancel, false) != kInfoOk)
        return false;
    return poster.Post(mainWindow, msg::RestoreDefaults, 0, 0);
}

} // namespace n640

#pragma once
// The support page's controls and the rules behind its buttons that are not the update check: the
// table of its seven controls, the restore-defaults question, and where its two version texts are
// drawn. The view (win/DlgSupport) creates the controls from the table and forwards clicks here.

#include <span>
#include <string>

#include "platform/Notifier.h"
#include "platform/Poster.h"
#include "ui/controls/PageTable.h"

namespace n640 {

constexpr int kSupportTemplateId = 107;

// Control ids, in table order.
constexpr int kSupportUpdateButton = 1001;
constexpr int kSupportWebButton = 1002;
constexpr int kSupportImportButton = 1003;
constexpr int kSupportExportButton = 1004;
constexpr int kSupportRestoreButton = 1005;
constexpr int kSupportDriverVersionArea = 1006;
constexpr int kSupportFirmwareVersionArea = 1007;

// The seven controls with their rectangles (one layout for both languages), tooltips and hints.
std::span<const ControlRow> SupportControls();

// The layout rectangles of the two version texts: x, y, width, height.
struct TextBox {
    int x, y, width, height;
};
constexpr TextBox kDriverVersionBox{127, 169, 247, 192};
constexpr TextBox kFirmwareVersionBox{440, 169, 515, 192};
// "MS Shell Dlg", 12 points, regular, RGB(193, 210, 238), opaque.
constexpr unsigned kVersionTextRgb = 0xEED2C1;  // 0x00BBGGRR

// Restore defaults: the question with OK and Cancel; on OK message 2054 is posted to the main
// window, once. True when it was posted.
bool ConfirmRestoreDefaults(INotifier& notifier, IPoster& poster, WindowRef mainWindow, bool uiChinese);

} // namespace n640

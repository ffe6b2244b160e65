#pragma once

namespace n640 {

// UiChinese: the process-wide flag telling that the user interface is Simplified Chinese.
// Built-in texts that are not in the language table are chosen by it at the moment of display.
// Switching languages (the language table) is the only writer.
bool UiChinese();
void SetUiChinese(bool chinese);

// InstallChinese: the installation's own language is Simplified Chinese.
bool InstallChinese();
void SetInstallChinese(bool chinese);

} // namespace n640

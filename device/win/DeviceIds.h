#pragma once
// USB ids in the form Windows writes them into device interface paths, hardware ids and device
// notices ("VID_3F1C&PID_5C21"). Plain text rules with no system call: they are built on every
// platform so the host tests check them too.

#include <string>
#include <string_view>

#include "device/HidPort.h"

namespace n640 {

// "VID_3F1C&PID_5C21".
std::string WindowsIdsTag(HidIds ids);
// True when the text contains the tag of ids; the match ignores case.
bool NamesDevice(std::string_view text, HidIds ids);
bool NamesDevice(std::u16string_view text, HidIds ids);

// True when a hardware id (or one string of a multi-string list) names the loader.
bool IsLoaderHardwareId(std::string_view hardwareId);
// True when a device interface path names the mouse.
bool IsMouseInterfacePath(std::string_view path);

} // namespace n640

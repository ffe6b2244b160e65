#pragma once
// The HID backend of the system the program runs on: SetupAPI and the HID class driver on
// Windows, hidraw on Linux.

#include <memory>

#include "device/HidPort.h"

namespace n640 {

std::unique_ptr<IHidEnumerator> MakePlatformHidEnumerator();
std::unique_ptr<ILoaderSearch> MakePlatformLoaderSearch();

} // namespace n640

#pragma once
// The popup menu of the extended menu library (MenuEx.dll), from which the macro page picks a game
// category. The library is loaded by name once and never unloaded; without it the menu does not
// open and closing it does nothing.

#include <windows.h>

#include <filesystem>
#include <span>

#include "menuex/MenuExApi.h"

namespace n640::win {

// Opens the menu for owner with its top-left corner at the screen point; the chosen item's id
// reaches owner as message 1281. False when the library or its entry point is missing.
bool OpenMenuEx(HWND owner, POINT at, const std::filesystem::path& installDir, std::span<const MenuExItem> items);
// Closes the menu if it is open; harmless otherwise.
void CloseMenuEx();

} // namespace n640::win

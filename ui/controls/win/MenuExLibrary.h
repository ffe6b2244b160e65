#pragma once
// MenuEx.dll, loaded by name once for the whole process and never unloaded. Its three entry
// points are kept process-wide; a missing library or entry point is reported with the failed
// call and the system's error code.

#include <windows.h>

#include <filesystem>
#include <string>

#include "menuex/MenuExApi.h"

namespace n640::win {

struct MenuExLibrary {
    CreateMenuExFn createMenuEx = nullptr;
    DestroyMenuExFn destroyMenuEx = nullptr;
    DllPreTranslateMessageFn preTranslate = nullptr;
    std::u16string error;  // empty when the library and the two called entry points were found
    // Usable: the library and "CreateMenuEx" and "DestroyMenuEx" are there.
    bool Ok() const { return createMenuEx && destroyMenuEx; }
};

// The first call loads the library; later calls return the same result.
const MenuExLibrary& LoadMenuEx();

// Closes an open menu; harmless without one or without the library.
void DestroyMenuExSafe();

// Opens the skinned menu at a screen point with the program's colours (background 0x676153, text
// 0xFFFFFF, highlight 0xB98C15) and the eight pictures of InstallDir\skins\Menu; the choice
// reaches owner as 1281 with the item's id. False when the library is missing or no menu opened.
bool OpenMenuEx(HWND owner, POINT at, const std::filesystem::path& installDir, const MenuExItem* items, int count,
                int itemHeight = 24);

} // namespace n640::win

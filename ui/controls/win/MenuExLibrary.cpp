#include "ui/controls/win/MenuExLibrary.h"

#include <string>

namespace n640::win {
namespace {

std::u16string Failure(const char16_t* call, DWORD code) {
    return std::u16string(call) + u": error " + std::u16string(reinterpret_cast<const char16_t*>(
                                                   std::to_wstring(code).c_str()));
}

MenuExLibrary Load() {
    MenuExLibrary lib;
    HMODULE module = LoadLibraryW(L"MenuEx.dll");
    if (!module) {
        lib.error = Failure(u"LoadLibraryW (MenuEx.dll)", GetLastError());
        return lib;
    }
    lib.preTranslate = reinterpret_cast<DllPreTranslateMessageFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllPreTranslateMessage")));
    lib.createMenuEx =
        reinterpret_cast<CreateMenuExFn>(reinterpret_cast<void*>(GetProcAddress(module, "CreateMenuEx")));
    if (!lib.createMenuEx) {
        lib.error = Failure(u"GetProcAddress (MenuEx.dll, CreateMenuEx)", GetLastError());
        return lib;
    }
    lib.destroyMenuEx =
        reinterpret_cast<DestroyMenuExFn>(reinterpret_cast<void*>(GetProcAddress(module, "DestroyMenuEx")));
    if (!lib.destroyMenuEx) lib.error = Failure(u"GetProcAddress (MenuEx.dll, DestroyMenuEx)", GetLastError());
    return lib;
}

} // namespace

const MenuExLibrary& LoadMenuEx() {
    static const MenuExLibrary lib = Load();  // once; the library stays loaded
    return lib;
}

bool OpenMenuEx(HWND owner, POINT at, const std::filesystem::path& installDir, const MenuExItem* items, int count,
                int itemHeight) {
    const MenuExLibrary& lib = LoadMenuEx();
    if (!lib.createMenuEx) return false;
    const std::filesystem::path menu = installDir / L"skins" / L"Menu";
    const std::wstring p[kMenuExPictureCount] = {
        (menu / L"MenuNorL.BMP").wstring(),       (menu / L"MenuOverL.BMP").wstring(),
        (menu / L"MenuDownL.BMP").wstring(),      (menu / L"MenuNorL.BMP").wstring(),
        (menu / L"MenuNorHaveSub.BMP").wstring(), (menu / L"MenuOverHaveSub.BMP").wstring(),
        (menu / L"MenuDownHaveSub.BMP").wstring(), (menu / L"MenuNorHaveSub.BMP").wstring()};
    return lib.createMenuEx(owner, itemHeight, &at, 0x676153, 0xFFFFFF, 0xB98C15, p[0].c_str(), p[1].c_str(),
                            p[2].c_str(), p[3].c_str(), p[4].c_str(), p[5].c_str(), p[6].c_str(), p[7].c_str(), items,
                            count) != 0;
}

void DestroyMenuExSafe() {
    const MenuExLibrary& lib = LoadMenuEx();
    if (lib.destroyMenuEx) lib.destroyMenuEx();
}

} // namespace n640::win

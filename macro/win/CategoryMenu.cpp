#include "macro/win/CategoryMenu.h"

#include <algorithm>
#include <array>
#include <string>

namespace n640::win {

namespace {

struct MenuExLibrary {
    CreateMenuExFn create = nullptr;
    DestroyMenuExFn destroy = nullptr;
};

const MenuExLibrary& Library() {
    static const MenuExLibrary library = [] {
        MenuExLibrary l;
        if (HMODULE module = LoadLibraryW(L"MenuEx.dll")) {
            l.create = reinterpret_cast<CreateMenuExFn>(reinterpret_cast<void*>(GetProcAddress(module, "CreateMenuEx")));
            l.destroy = reinterpret_cast<DestroyMenuExFn>(reinterpret_cast<void*>(GetProcAddress(module, "DestroyMenuEx")));
        }
        return l;
    }();
    return library;
}

constexpr int kItemHeight = 24;
constexpr COLORREF kBackground = 0x00676153;
constexpr COLORREF kText = 0x00FFFFFF;
constexpr COLORREF kHighlight = 0x00B98C15;
constexpr std::array<const wchar_t*, 8> kImages = {L"MenuNorL.BMP",       L"MenuOverL.BMP",       L"MenuDownL.BMP",
                                                   L"MenuNorL.BMP",       L"MenuNorHaveSub.BMP", L"MenuOverHaveSub.BMP",
                                                   L"MenuDownHaveSub.BMP", L"MenuNorHaveSub.BMP"};

} // namespace

bool OpenMenuEx(HWND owner, POINT at, const std::filesystem::path& installDir, std::span<const MenuExItem> items) {
    const MenuExLibrary& l = Library();
    if (!l.create) return false;
    std::array<std::wstring, 8> images;
    for (size_t i = 0; i < images.size(); ++i) images[i] = (installDir / L"skins" / L"Menu" / kImages[i]).wstring();
    // The caller's array has room for 200 records, as the library expects.
    std::array<MenuExItem, 200> records{};
    const size_t count = std::min(items.size(), records.size());
    std::copy_n(items.begin(), count, records.begin());
    return l.create(owner, kItemHeight, &at, kBackground, kText, kHighlight, images[0].c_str(), images[1].c_str(),
             images[2].c_str(), images[3].c_str(), images[4].c_str(), images[5].c_str(), images[6].c_str(),
             images[7].c_str(), records.data(), static_cast<int>(count)) != 0;
}

void CloseMenuEx() {
    if (const MenuExLibrary& l = Library(); l.destroy) l.destroy();
}

} // namespace n640::win

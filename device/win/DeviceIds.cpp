#include "device/win/DeviceIds.h"

#include <algorithm>

namespace n640 {
namespace {

template <typename Char>
bool ContainsNoCase(std::basic_string_view<Char> text, const std::string& tag) {
    auto upper = [](Char c) { return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c; };
    return std::search(text.begin(), text.end(), tag.begin(), tag.end(), [&](Char a, char b) {
               return upper(a) == static_cast<Char>(static_cast<unsigned char>(b));
           }) != text.end();
}

} // namespace

std::string WindowsIdsTag(HidIds ids) {
    return "VID_" + HexId(ids.vendorId) + "&PID_" + HexId(ids.productId);
}

bool NamesDevice(std::string_view text, HidIds ids) {
    return ContainsNoCase(text, WindowsIdsTag(ids));
}

bool NamesDevice(std::u16string_view text, HidIds ids) {
    return ContainsNoCase(text, WindowsIdsTag(ids));
}

bool IsLoaderHardwareId(std::string_view hardwareId) {
    return NamesDevice(hardwareId, kLoaderIds);
}

bool IsMouseInterfacePath(std::string_view path) {
    return NamesDevice(path, kMouseIds);
}

} // namespace n640

#include "device/HidPort.h"

#include <algorithm>
#include <cctype>

namespace n640 {
namespace {

bool ContainsNoCase(std::string_view text, std::string_view tag) {
    auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), tag.begin(), tag.end(),
                       [&](char a, char b) { return upper(a) == upper(b); }) != text.end();
}

} // namespace

bool IsLoaderHardwareId(std::string_view hardwareId) {
    return ContainsNoCase(hardwareId, kLoaderHardwareIdTag);
}

bool IsMouseInterfacePath(std::string_view path) {
    return ContainsNoCase(path, kMousePathTag);
}

} // namespace n640

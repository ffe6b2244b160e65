#include "update/UpdateRules.h"

#include <limits>

#include "i18n/FileBytes.h"
#include "platform/Text.h"

namespace n640 {

namespace {

bool Blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && AsciiEqualNoCase(text.substr(0, prefix.size()), prefix);
}

UpdateDescription Lookup(CXmlDocument& doc) {
    UpdateDescription d;
    d.current = LookupText(doc, u"firmware", u"current");
    d.newfile = LookupText(doc, u"firmware", u"newfile");
    d.sha256 = LookupText(doc, u"firmware", u"sha256");
    return d;
}

} // namespace

uint32_t VersionNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (Blank(text[i]) || text[i] == u'\v' || text[i] == u'\f')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) {
        value = -value;
    } else if (value > std::numeric_limits<int32_t>::max()) {
        value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}

bool IsNewerVersion(std::u16string_view current, std::u16string_view firmwareVersion) {
    return VersionNumber(current) > VersionNumber(firmwareVersion);
}

UpdateDescription ReadUpdateDescription(CXmlDocument& doc, const std::filesystem::path& file) {
    doc.LoadFile(file.u16string());
    return Lookup(doc);
}

UpdateDescription ReadUpdateDescriptionBytes(CXmlDocument& doc, std::string_view bytes) {
    doc.LoadBytes(bytes);
    return Lookup(doc);
}

bool IsDownloadAddress(std::u16string_view address) {
    size_t hostStart = 0;
    if (StartsWithNoCase(address, u"http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(address, u"https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    for (char16_t c : address) {
        if (c <= 0x20 || c == 0x7F || c == u'\\') return false;
    }
    const size_t hostEnd = address.find_first_of(u"/?#", hostStart);
    const std::u16string_view authority = address.substr(hostStart, hostEnd == std::u16string_view::npos
                                                                        ? std::u16string_view::npos
                                                                        : hostEnd - hostStart);
    // A host is needed; "user@" parts are not accepted (they only serve to disguise the host).
    return !authority.empty() && authority.front() != u':' && authority.find(u'@') == std::u16string_view::npos;
}

ImageCheck CheckImage(std::u16string_view sha256Text, std::string_view imageBytes) {
    if (Trim(sha256Text).empty()) return ImageCheck::NotAnnounced;
    const auto expected = ParseSha256(sha256Text);
    if (!expected) return ImageCheck::Mismatch;
    return Sha256(imageBytes) == *expected ? ImageCheck::Matches : ImageCheck::Mismatch;
}

UpdateFiles UpdateFilesIn(const std::filesystem::path& installDir) {
    UpdateFiles f;
    const std::filesystem::path dir = installDir / "FWUpdate";
    f.description = dir / "new_version" / "update.xml";
    f.image = dir / "new_version" / "ZentuGameDevice.bin";
    f.tool = dir / "DidizoVA.exe";
    f.serverSetting = dir / "UpdateServer.ini";
    return f;
}

std::u16string UpdateServerFromIni(std::string_view iniText) {
    if (iniText.substr(0, 3) == "\xEF\xBB\xBF") iniText.remove_prefix(3);
    const std::u16string text = Utf8ToUtf16(iniText);
    std::u16string_view rest = text;
    bool inSection = false;
    std::u16string host;
    while (!rest.empty()) {
        const size_t end = rest.find(u'\n');
        const std::u16string_view line = Trim(rest.substr(0, end));
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == u';' || line.front() == u'#') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            inSection = close != std::u16string_view::npos && AsciiEqualNoCase(Trim(line.substr(1, close - 1)), u"Server");
            continue;
        }
        const size_t eq = line.find(u'=');
        if (!inSection || eq == std::u16string_view::npos) continue;
        if (AsciiEqualNoCase(Trim(line.substr(0, eq)), u"Host")) {
            host = std::u16string(Trim(line.substr(eq + 1)));
            break;
        }
    }
    if (host.empty()) return std::u16string(kDefaultUpdateServer);
    if (host.find(u"://") == std::u16string::npos) host = u"http://" + host;
    return host;
}

std::u16string ReadUpdateServer(const std::filesystem::path& iniFile) {
    std::string bytes;
    std::u16string error;
    if (!ReadFileBytes(iniFile.u16string(), bytes, error)) return std::u16string(kDefaultUpdateServer);
    return UpdateServerFromIni(bytes);
}

std::u16string UpdateDescriptionAddress(std::u16string_view server) {
    while (!server.empty() && server.back() == u'/') server.remove_suffix(1);
    return std::u16string(server) + std::u16string(kUpdateDescriptionPath);
}

std::u16string_view FlashingToolParameter(bool uiChinese) { return uiChinese ? u"1" : u"0"; }

std::u16string FirmwareVersionText(std::u16string_view t) {
    if (t.empty()) return u"Unknown";
    if (t.size() == 1) return u"V 0.0." + std::u16string(t);
    if (t.size() == 2) return u"V 0." + std::u16string(1, t[0]) + u"." + std::u16string(1, t[1]);
    const size_t n = t.size();
    return u"V " + std::u16string(t.substr(0, n - 2)) + u"." + std::u16string(1, t[n - 2]) + u"." +
           std::u16string(1, t[n - 1]);
}

std::u16string_view UpdateQuestionText(bool uiChinese) {
    return uiChinese ? u"游戏鼠标固件有更新,是否更新到最新版本?"
                     : u"A new version of firmware is available for the gaming mouse, whether to update or not?";
}

std::u16string_view UpToDateText(bool uiChinese) {
    return uiChinese ? u"固件已经是最新版本." : u"Firmware is the latest version.";
}

std::u16string_view DownloadFailedText(bool /*uiChinese*/) { return u"New-version firmware download failed."; }

std::u16string_view RestoreDefaultsQuestionText(bool uiChinese) {
    return uiChinese ? u"确定要恢复默认设置?" : u"Do you want to restore the default setting?";
}

} // namespace n640

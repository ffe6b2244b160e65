#pragma once
// The rules of the firmware update check that do not depend on a thread or a window: reading
// version numbers and the update description, which download addresses are acceptable, where the
// files live, the server setting, and the texts the user sees.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "i18n/XmlDocument.h"
#include "update/Sha256.h"

namespace n640 {

// Version texts become numbers the way the C library reads an integer: blanks, an optional sign
// and the leading decimal digits; anything else gives 0, and a value beyond the 32-bit signed range
// stops at its limit. The number is then taken as unsigned 32 bits.
uint32_t VersionNumber(std::u16string_view text);
// True when the description's `current` is greater than the mouse's firmware version text.
bool IsNewerVersion(std::u16string_view current, std::u16string_view firmwareVersion);

// The update description: <root><firmware><current>17</current><newfile>URL</newfile>
// <sha256>hex</sha256></firmware></root>; the root's name is not checked and sha256 is optional.
struct UpdateDescription {
    std::u16string current;
    std::u16string newfile;
    std::u16string sha256;
};
// Loads the file into doc and reads the three texts; a missing or malformed file gives empty ones.
UpdateDescription ReadUpdateDescription(CXmlDocument& doc, const std::filesystem::path& file);
UpdateDescription ReadUpdateDescriptionBytes(CXmlDocument& doc, std::string_view bytes);

// A firmware image is only fetched from an http:// or https:// address with a host and without
// blanks or control characters; file: addresses, UNC and local paths and other schemes are refused.
bool IsDownloadAddress(std::u16string_view address);

// How a downloaded image compares with the description's sha256 text.
enum class ImageCheck {
    NotAnnounced,  // the description has no sha256: the image is taken as it is
    Matches,
    Mismatch,      // a different digest, or a sha256 text that is not 64 hexadecimal digits
};
ImageCheck CheckImage(std::u16string_view sha256Text, std::string_view imageBytes);

// The files of the update, under InstallDir.
struct UpdateFiles {
    std::filesystem::path description;  // FWUpdate/new_version/update.xml
    std::filesystem::path image;        // FWUpdate/new_version/ZentuGameDevice.bin
    std::filesystem::path tool;         // FWUpdate/DidizoVA.exe
    std::filesystem::path serverSetting;  // FWUpdate/UpdateServer.ini
};
UpdateFiles UpdateFilesIn(const std::filesystem::path& installDir);

// The server setting: the ini file beside the flashing tool,
//   [Server]
//   Host=http://update.zentu.com
// names the server the description is fetched from. A missing file, section or key gives the
// maker's server; a host without a scheme is taken as http.
constexpr std::u16string_view kDefaultUpdateServer = u"http://update.zentu.com";
constexpr std::u16string_view kUpdateDescriptionPath = u"/software/n640/update.xml";
std::u16string UpdateServerFromIni(std::string_view iniText);
std::u16string ReadUpdateServer(const std::filesystem::path& iniFile);
// The server followed by the description's path (one '/' between them).
std::u16string UpdateDescriptionAddress(std::u16string_view server);

// The maker's web site, opened by the support page.
constexpr std::u16string_view kMakerWebSite = u"https://www.zentu.com";

// The parameter of the flashing tool: "1" for a Chinese user interface, "0" otherwise.
std::u16string_view FlashingToolParameter(bool uiChinese);

// The support page's two version texts.
constexpr std::u16string_view kDriverVersionText = u"V1.0.0";
// "Unknown" for an empty text; "V 0.0.c" for one character, "V 0.a.b" for two; longer version
// numbers keep their last two digits as the last two parts: "123" shows "V 1.2.3", "1234" "V 12.3.4".
std::u16string FirmwareVersionText(std::u16string_view firmwareVersion);

// Texts of the update check and the support page, chosen by the user-interface language.
std::u16string_view UpdateQuestionText(bool uiChinese);
std::u16string_view UpToDateText(bool uiChinese);
std::u16string_view DownloadFailedText(bool uiChinese);
std::u16string_view RestoreDefaultsQuestionText(bool uiChinese);

} // namespace n640

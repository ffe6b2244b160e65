#include "cli/Update.h"

#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/Args.h"
#include "cli/Help.h"
#include "cli/Session.h"
#include "i18n/FileBytes.h"
#include "i18n/XmlDocument.h"
#include "platform/Text.h"
#include "update/HttpDownloader.h"
#include "update/UpdateRules.h"

namespace n640::cli {

namespace fs = std::filesystem;

namespace {

// The driver gives up on the server after the support page's 2 seconds; so does the tool.
constexpr HttpDownloadLimits kDescriptionLimits{2000, 2000};
constexpr HttpDownloadLimits kImageLimits{10000, 300000};

int UpdateUsage(CSession& s, const std::string& message) {
    s.err() << "n640ctl update: " << message << "\n" << CommandHelp("update");
    return kExitUsage;
}

} // namespace

int RunUpdateCommand(CSession& s) {
    const Args& a = s.args();
    if (a.words[1] != "check") return UpdateUsage(s, "needs check");
    const bool chinese = a.lang && *a.lang == "sc";

    // The mouse's version; without a mouse it reads as 0, as in the driver.
    std::u16string firmware;
    if (CUSBDriver* link = s.OpenMouse()) {
        const std::optional<int> version = link->GetFirmwareVersion();
        if (version && *version != 0) firmware = Utf8ToUtf16(std::to_string(*version));
    }
    s.out() << "mouse firmware: " << Utf8(FirmwareVersionText(firmware));
    if (!firmware.empty()) s.out() << " (" << Utf8(firmware) << ")";
    s.out() << "\n";

    std::u16string server;
    if (a.server) {
        server = UpdateServerFromIni("[Server]\nHost=" + *a.server + "\n");
    } else if (const auto install = s.InstallDir()) {
        server = ReadUpdateServer(UpdateFilesIn(*install).serverSetting);
    } else {
        server = std::u16string(kDefaultUpdateServer);
    }
    const std::u16string address = UpdateDescriptionAddress(server);
    s.out() << "description: " << Utf8(address) << "\n";

    // The description goes to a private temporary file, never into the install tree.
    const fs::path description =
        fs::temp_directory_path() / ("n640ctl-update-" + std::to_string(::getpid()) + ".xml");
    CHttpDownloader fetchDescription(kDescriptionLimits);
    const bool fetched = fetchDescription.Download(address, description);
    std::string bytes;
    std::u16string readError;
    if (fetched) ReadFileBytes(description.u16string(), bytes, readError);
    std::error_code ec;
    fs::remove(description, ec);
    if (!fetched) {
        s.err() << "no description: " << fetchDescription.LastError() << "\n";
        s.out() << Utf8(UpToDateText(chinese)) << "\n";
        return kExitOk;
    }

    CXmlDocument doc;
    const UpdateDescription found = ReadUpdateDescriptionBytes(doc, bytes);
    s.out() << "newest firmware: " << (found.current.empty() ? "(none)" : Utf8(found.current)) << "\n";
    if (!IsNewerVersion(found.current, firmware)) {
        s.out() << Utf8(UpToDateText(chinese)) << "\n";
        if (a.download) s.out() << "nothing downloaded\n";
        return kExitOk;
    }
    s.out() << "new firmware available: " << VersionNumber(found.current) << " (the mouse has "
            << VersionNumber(firmware) << ")\n"
            << "image: " << Utf8(found.newfile) << "\n";
    if (!found.sha256.empty()) s.out() << "sha256: " << Utf8(found.sha256) << "\n";
    if (!a.download) return kExitOk;

    const fs::path target(*a.download);
    if (!IsDownloadAddress(found.newfile)) {
        s.err() << "refused image address: only http:// and https:// addresses are fetched\n";
        s.err() << Utf8(DownloadFailedText(chinese)) << "\n";
        return kExitFailure;
    }
    CHttpDownloader fetchImage(kImageLimits);
    if (!DownloadFirmwareImage(fetchImage, s.files(), found.newfile, found.sha256, target)) {
        if (!fetchImage.LastError().empty()) s.err() << "download: " << fetchImage.LastError() << "\n";
        else s.err() << "download: the image does not match its sha256\n";
        s.err() << Utf8(DownloadFailedText(chinese)) << "\n";
        return kExitFailure;
    }
    std::string image;
    ReadFileBytes(target.u16string(), image, readError);
    s.out() << "downloaded " << target.string() << " (" << image.size() << " bytes, sha256 "
            << Sha256Hex(Sha256(image)) << ")\n";
    return kExitOk;
}

} // namespace n640::cli

#include "update/HttpDownloader.h"

#include "platform/File.h"
#include "platform/Text.h"

namespace n640 {

// The part both platforms share: the temporary file and the replacement of the target.
bool CHttpDownloader::Download(std::u16string_view address, const std::filesystem::path& file) {
    error_.clear();
    if (aborted_.load()) {
        error_ = "download aborted";
        return false;
    }
    IFiles& files = CSystemFiles::Instance();
    const std::filesystem::path temp = TemporaryFileFor(file);
    bool fetched = Fetch(Utf16ToUtf8(address), temp);
    if (fetched && aborted_.load()) {
        error_ = "download aborted";
        fetched = false;
    }
    if (fetched) {
        const FileStatus status = files.Replace(temp, file);
        if (status != FileStatus::Ok) {
            error_ = "cannot put the download in place of " + file.string();
            fetched = false;
        }
    }
    if (!fetched) files.Remove(temp);
    return fetched;
}

} // namespace n640

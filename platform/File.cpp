#include "platform/File.h"

#include <string>

namespace n640 {

std::filesystem::path TemporaryFileFor(const std::filesystem::path& file) {
    std::filesystem::path temp = file;
    temp += ".n640-new-" + std::to_string(CurrentProcessId());
    return temp;
}

FileStatus WriteFileReplacing(IFiles& files, const std::filesystem::path& path, const void* data, size_t size) {
    const std::filesystem::path file = files.WriteTarget(path);
    if (files.Exists(file)) {
        const FileStatus open = files.OpenExisting(file);
        if (open != FileStatus::Ok) return open;
    }
    const std::filesystem::path temp = TemporaryFileFor(file);
    FileStatus status = files.WriteFlushed(temp, data, size);
    if (status == FileStatus::Ok) status = files.Replace(temp, file);
    if (status != FileStatus::Ok) files.Remove(temp);
    return status;
}

CSystemFiles& CSystemFiles::Instance() {
    static CSystemFiles files;
    return files;
}

} // namespace n640

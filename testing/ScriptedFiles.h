#pragma once
// The real file system with chosen failures: writing a path listed in failWrites (opening the
// existing file for writing, or creating it or its temporary file) answers with the listed status;
// failReplace makes every final replace step fail as a crash between writing and replacing would.
// Reads are never scripted.

#include <filesystem>
#include <map>

#include "platform/File.h"

namespace n640::testing {

class CScriptedFiles : public CSystemFiles {
public:
    std::map<std::filesystem::path, FileStatus> failWrites;
    bool failReplace = false;
    int writes = 0;  // replacing writes that reached the disk

    FileStatus OpenExisting(const std::filesystem::path& file) override {
        if (const FileStatus* s = Scripted(file)) return *s;
        return CSystemFiles::OpenExisting(file);
    }
    FileStatus WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) override {
        if (const FileStatus* s = Scripted(file)) return *s;
        return CSystemFiles::WriteFlushed(file, data, size);
    }
    FileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (failReplace) return FileStatus::Failed;
        const FileStatus s = CSystemFiles::Replace(from, to);
        if (s == FileStatus::Ok) ++writes;
        return s;
    }

private:
    const FileStatus* Scripted(const std::filesystem::path& file) const {
        for (const auto& [target, status] : failWrites) {
            if (file == target || file == TemporaryFileFor(target)) return &status;
        }
        return nullptr;
    }
};

} // namespace n640::testing

#pragma once
// A file system in memory for the fuzz targets: files are byte strings by path, folders always
// exist, nothing touches the disk.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/File.h"

namespace n640::testing {

class CMemoryFiles : public IFiles {
public:
    std::map<std::filesystem::path, std::string> files;

    FileStatus Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) override {
        *got = 0;
        const auto it = files.find(file);
        if (it == files.end()) return FileStatus::NotFound;
        *got = std::min(capacity, it->second.size());
        std::memcpy(buffer, it->second.data(), *got);
        return FileStatus::Ok;
    }
    FileStatus OpenExisting(const std::filesystem::path& file) override {
        return files.count(file) ? FileStatus::Ok : FileStatus::NotFound;
    }
    FileStatus WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) override {
        files[file].assign(static_cast<const char*>(data), size);
        return FileStatus::Ok;
    }
    FileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        const auto it = files.find(from);
        if (it == files.end()) return FileStatus::NotFound;
        files[to] = std::move(it->second);
        files.erase(from);
        return FileStatus::Ok;
    }
    void Remove(const std::filesystem::path& file) override { files.erase(file); }
    bool Exists(const std::filesystem::path& path) override { return files.count(path) != 0; }
    FileStatus CreateDirectories(const std::filesystem::path&) override { return FileStatus::Ok; }
    FileStatus CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) override {
        const auto it = files.find(from);
        if (it == files.end()) return FileStatus::NotFound;
        if (files.count(to)) return FileStatus::Failed;
        files[to] = it->second;
        return FileStatus::Ok;
    }
};

} // namespace n640::testing

#pragma once
// A fresh temporary folder per test, removed afterwards, and small whole-file helpers.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace n640::testing {

class CTempDir {
public:
    CTempDir() {
        static std::atomic<int> counter{0};
#if defined(_WIN32)
        const int pid = _getpid();
#else
        const int pid = static_cast<int>(getpid());
#endif
        // Process ids repeat (under Wine quickly), so the start time makes the name unique.
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("n640-test-" + std::to_string(pid) + "-" + std::to_string(ticks) + "-" + std::to_string(counter++));
        Remove(path_);
        std::filesystem::create_directories(path_);
    }
    ~CTempDir() { Remove(path_); }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& rel) const { return path_ / rel; }

private:
    // Removes a tree that tests may have made read-only.
    static void Remove(const std::filesystem::path& root) {
        std::error_code ec;
        if (!std::filesystem::exists(root, ec)) return;
        std::filesystem::permissions(root, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root, ec);
    }

    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void WriteBytes(const std::filesystem::path& file, const void* data, size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    WriteBytes(file, bytes.data(), bytes.size());
}

// Makes a file or folder read-only for its owner, and reports whether this process is then really
// refused: an administrator (root on Linux) is not, so tests of refused access skip there.
inline bool MakeReadOnly(const std::filesystem::path& path) {
    std::error_code ec;
#if defined(_WIN32)
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove, ec);
#else
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove, ec);
#endif
    if (ec) return false;
    if (std::filesystem::is_directory(path)) {
        const std::filesystem::path probe = path / "n640-probe";
        {
            std::ofstream out(probe);
            if (!out) return true;
        }
        std::filesystem::remove(probe, ec);
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    return !out;
}

template <class T>
inline T ReadRecord(const std::filesystem::path& file) {
    T value{};
    const std::vector<uint8_t> bytes = ReadBytes(file);
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof value));
    return value;
}

} // namespace n640::testing

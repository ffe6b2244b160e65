#pragma once
// Whole-file input and output for the data files, with the three failure classes the messages
// depend on, and replacement writes that never leave a half-written file behind.

#include <cstddef>
#include <filesystem>
#include <string>

namespace n640 {

enum class FileStatus {
    Ok,
    NotFound,      // the file or a folder of its path does not exist
    AccessDenied,  // the system refused access
    Failed,        // anything else (disk full, sharing violation, a folder in the way, ...)
};

// The file-system port. CSystemFiles is the real one; tests derive from it to make one step fail.
class IFiles {
public:
    virtual ~IFiles() = default;
    // Reads at most capacity bytes from the start of an existing regular file (anything else, such
    // as a device or a pipe, is refused without waiting on it); *got receives the count.
    virtual FileStatus Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) = 0;
    // Opens an existing file for reading and writing without creating or truncating it, then closes it.
    virtual FileStatus OpenExisting(const std::filesystem::path& file) = 0;
    // Creates or truncates the file, writes the bytes and flushes them to the disk.
    virtual FileStatus WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) = 0;
    // Puts from in the place of to, replacing an existing to in one step.
    virtual FileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual void Remove(const std::filesystem::path& file) = 0;
    virtual bool Exists(const std::filesystem::path& path) = 0;
    // Creates the folder and every missing parent; an existing folder is fine.
    virtual FileStatus CreateDirectories(const std::filesystem::path& dir) = 0;
    // Copies a regular file, refusing to overwrite an existing target. A copy that fails removes
    // what it had written, so the target is either complete or absent.
    virtual FileStatus CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // The file a write of path really changes: a symbolic link is followed to its target.
    virtual std::filesystem::path WriteTarget(const std::filesystem::path& path) { return path; }
    // The system's own words for the reason of the last failed operation of this thread ("" when
    // the port has none).
    virtual std::u16string LastError() const { return {}; }
};

// The platform's file system.
class CSystemFiles : public IFiles {
public:
    FileStatus Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) override;
    FileStatus OpenExisting(const std::filesystem::path& file) override;
    FileStatus WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) override;
    FileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override;
    void Remove(const std::filesystem::path& file) override;
    bool Exists(const std::filesystem::path& path) override;
    FileStatus CreateDirectories(const std::filesystem::path& dir) override;
    FileStatus CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) override;
    std::filesystem::path WriteTarget(const std::filesystem::path& path) override;
    std::u16string LastError() const override;
    static CSystemFiles& Instance();
};

// The name of the temporary file a replacement write uses: beside the target, in the same folder,
// and different for every process, so that two programs writing the same file never share it.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& file);

// The number of this process (platform part).
unsigned long CurrentProcessId();

// "Create or truncate and write" done safely: an existing file that may not be written is left
// alone (its status is returned), the data go to a temporary file in the same folder which is
// flushed and then put in the place of the old file. On any failure the old file keeps its bytes
// and the temporary file is removed. A symbolic link is written through (its target is replaced,
// the link stays), and the replaced file keeps its permissions.
FileStatus WriteFileReplacing(IFiles& files, const std::filesystem::path& file, const void* data, size_t size);

} // namespace n640

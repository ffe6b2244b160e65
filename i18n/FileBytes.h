#pragma once
// Reading a whole file for the XML reader (i18n/win, i18n/linux).

#include <cstddef>
#include <filesystem>
#include <string>

namespace n640 {

// The largest document the reader takes in; the language files and the update description are a
// few kilobytes.
constexpr size_t kMaxDocumentBytes = size_t{16} << 20;

// Reads the file at path into bytes: a regular file only (a device or a pipe is refused without
// waiting on it), of at most kMaxDocumentBytes, and never more than the size it had when opened.
// On failure returns false with the first line of the system's message for the error (or what
// was refused) in error. Paths use the program's '\' separators; the portable build reads them
// as '/'.
bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error);
// The same for a path as the file system spells it (any bytes a Linux name may hold).
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string& error);

}  // namespace n640

#pragma once
// Reading a whole file for the XML reader (i18n/win, i18n/linux).

#include <string>

namespace n640 {

// Reads the file at path into bytes. On failure returns false with the first line of the
// system's message for the error in error. Paths use the program's '\' separators; the portable
// build reads them as '/'.
bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error);

}  // namespace n640

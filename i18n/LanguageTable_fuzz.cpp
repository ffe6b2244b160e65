// libFuzzer target: any bytes as a language file read into the table, through the file reader.
// Besides the sanitizers, checks that every text the table holds is what a lookup in the loaded
// document gives, and that formatting a message with it stays safe.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "i18n/LanguageTable.h"
#include "i18n/XmlDocument.h"
#include "platform/Notifier.h"
#include "testing/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    using testing::FuzzCheck;
    // One file for the whole run, removed when the fuzzer ends.
    struct TempFile {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("n640-fuzz-language-" + std::to_string(::getpid()) + ".xml");
        ~TempFile() {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    };
    static const TempFile temp;
    const std::filesystem::path& file = temp.path;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    CLanguageTable table;
    table.LoadLanguageFile(file.u16string());
    CXmlDocument doc;
    doc.LoadFile(file.u16string());
    for (size_t i = 0; i < kLanguageKeyCount; ++i) {
        const std::u16string key(kLanguageKeys[i].begin(), kLanguageKeys[i].end());
        FuzzCheck(table.Text(i) == LookupText(doc, u"config", key));
        FuzzCheck(table.Text(kLanguageKeys[i]) == table.Text(i));
        const std::u16string shown = FormatMessageText(table.Text(i), u"C:\\x");
        FuzzCheck(shown.size() <= table.Text(i).size() + 4);
    }
    return 0;
}

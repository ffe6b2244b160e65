#pragma once
// The language table: the 114 user-interface texts of the current language, read from a language
// file in InstallDir\Language, and the logic of choosing and switching languages. The texts
// change only on the user-interface thread, inside LoadLanguageFile.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "i18n/XmlDocument.h"

namespace n640 {

constexpr size_t kLanguageKeyCount = 114;
// The keys in load order.
extern const std::array<std::string_view, kLanguageKeyCount> kLanguageKeys;
// Position of a key in kLanguageKeys, -1 for a name that is not a key.
int LanguageKeyIndex(std::string_view key);

// One of the twelve languages, by LanguageIndex 1..12.
struct LanguageInfo {
    uint32_t index;
    std::u16string_view file;      // under InstallDir, with the program's '\' separator
    std::u16string_view menuName;  // the LanguageMenu's text
    uint32_t menuIcon;             // PNG resource, 19x11
    uint32_t flagPicture;          // bitmap resource, 37x22, shown in control 1010
    bool uiChinese;
};
constexpr size_t kLanguageCount = 12;
extern const std::array<LanguageInfo, kLanguageCount> kLanguages;
// The row of a LanguageIndex, nullptr outside 1..12.
const LanguageInfo* FindLanguage(uint32_t index);

constexpr uint32_t kFlagPictureControl = 1010;
constexpr uint32_t kStartupSwitch = 272;  // wParam of the 1025 posted at start-up

// InstallDir + separator + relative path written with '\' (the portable build uses '/').
std::u16string InstallPath(std::u16string_view installDir, std::u16string_view relative);

class CLanguageTable {
public:
    // Fills all 114 texts from the file at path; a missing key, or an unreadable file, leaves the
    // empty string, so nothing of the previous language survives. Returns what the document's
    // LoadFile returned (the program does not check it).
    bool LoadLanguageFile(const std::u16string& path);

    // The text of a key ("str_ok"); the empty string for a name that is not a key.
    const std::u16string& Text(std::string_view key) const;
    const std::u16string& Text(size_t keyIndex) const;

    // The load notes of the last file.
    const std::u16string& ResultText() const { return doc_.ResultText(); }

private:
    std::array<std::u16string, kLanguageKeyCount> texts_;
    CXmlDocument doc_;  // the table's own document; the update check has another
};

// The process-wide table, and the text of a key in it.
CLanguageTable& LanguageTable();
const std::u16string& LangText(std::string_view key);


// Reading the integer key of a private profile (INI) file: GetPrivateProfileIntW on Windows, a
// small reader elsewhere.
class IProfileReader {
public:
    virtual ~IProfileReader() = default;
    virtual int ReadInt(const std::u16string& file, std::u16string_view section, std::u16string_view key,
                        int fallback) = 0;
};
class CProfileReader : public IProfileReader {
public:
    int ReadInt(const std::u16string& file, std::u16string_view section, std::u16string_view key,
                int fallback) override;
};
// The portable reader's rules on the file's text: sections and keys compare without ASCII case,
// the value is the leading decimal integer (with an optional sign) of what follows '=', a missing
// section, key or number gives fallback.
int ParseProfileInt(std::u16string_view iniText, std::u16string_view section, std::u16string_view key,
                    int fallback);

// Where the chosen LanguageIndex is kept (Language.cfg in DataDir).
class ILanguageIndexStore {
public:
    virtual ~ILanguageIndexStore() = default;
    virtual bool WriteLanguageIndex(uint32_t index) = 0;
};

struct StartLanguage {
    bool chinese;
    uint32_t flagPicture;  // for control 1010
};
// The start-up choice from InstallDir\skins\languagetype.ini (section languagetype, key value,
// default 0): value 1 is Simplified Chinese (sc.xml, flag 142), anything else English (en.xml,
// flag 143). Sets UiChinese and InstallChinese.
StartLanguage ChooseStartLanguage(CLanguageTable& table, std::u16string_view installDir, IProfileReader& ini);

struct SwitchOutcome {
    bool handled = false;       // false: the message was ignored
    bool loaded = false;        // a language file was loaded (index 1..12)
    uint32_t flagPicture = 0;   // picture for control 1010, 0 to leave it
    bool closeMenu = false;     // close and forget the LanguageMenu
    bool indexWritten = false;  // what WriteLanguageIndex returned
};
// The handler of message 1025 without its window: wParam 272 marks the start-up call, 0 a choice
// from the LanguageMenu (ignored unless a menu is open); index is lParam. The caller reapplies the
// tooltips when handled, and closes the menu when asked.
SwitchOutcome SwitchLanguage(CLanguageTable& table, std::u16string_view installDir, uintptr_t wParam,
                             intptr_t index, bool menuOpen, ILanguageIndexStore& store);

}  // namespace n640

#include "i18n/LanguageTable.h"

#include "i18n/FileBytes.h"
#include "platform/Text.h"
#include "i18n/UiLanguage.h"

namespace n640 {

const std::array<std::string_view, kLanguageKeyCount> kLanguageKeys = {
    "str_main", "str_led_title", "str_macro_manager", "str_sts", "str_about", "str_profile1",
    "str_profile2", "str_profile3", "str_profile4", "str_profile5", "str_ok", "str_dpiwant",
    "str_mouseSpeed", "str_improveAccuracy", "str_sheight", "str_rollingrate", "str_rollerColumn",
    "str_rollerScreen", "str_close", "str_lock", "str_run", "str_show", "str_win8_classic",
    "str_win8_switch", "str_win8_winp", "str_win8_winm", "str_find", "str_mouseleft",
    "str_mousemiddle", "str_mouseright", "str_pre", "str_back", "str_player", "str_PL", "str_stop",
    "str_pre_media", "str_next_media", "str_vol_dw", "str_vol_up", "str_mute", "str_snipe",
    "str_fire", "str_advanced_sound", "str_advanced_exe", "str_advanced_file", "str_advanced_dir",
    "str_ledspe", "str_led_apmbre", "str_led_off", "str_led_norbre", "str_led_frequency",
    "str_led_brealways", "str_led_brightness", "str_led_symphony", "str_led_changeClolor",
    "str_led_setColor", "str_led_symphonySpeed", "str_led_body_on", "str_led_body_off",
    "str_led_custom", "str_new_macro", "str_del_macro", "str_macro_new", "str_macro_del",
    "str_macro_modify", "str_macro_start", "str_macro_end", "str_macro_delay", "str_macro_loop",
    "str_click", "str_middle", "str_menu", "str_macro_msg6", "str_macro_msg7", "str_cups",
    "str_resetSts", "str_update", "str_importFile", "str_exportFile", "str_zentuWeb",
    "str_defaultname", "str_msg2", "str_msg4", "str_msg5", "str_dpi_setting", "str_sensor",
    "str_usbrate", "str_windows_scroll", "str_mouse_key", "str_panel", "str_cur_function",
    "str_key_com", "str_macro_set", "str_basic", "str_advance", "str_disable",
    "str_default_setting", "str_browse", "str_backlight", "str_breath_speed", "str_multicolor1",
    "str_multicolor2", "str_multicolor3", "str_proximity_sensing", "str_color_setting",
    "str_cur_color", "str_choose_color", "str_preset_color", "str_custom_color",
    "str_macro_choose", "str_marco_list", "str_key_list", "str_driver_version",
    "str_firmware_version",
};

const std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {1, u"Language\\sc.xml", u"Chinese", 130, 142, true},
    {2, u"Language\\en.xml", u"English", 131, 143, false},
    {3, u"Language\\fre.xml", u"French", 132, 144, false},
    {4, u"Language\\kor.xml", u"Korean", 133, 145, false},
    {5, u"Language\\ger.xml", u"German", 134, 146, false},
    {6, u"Language\\ita.xml", u"Italian", 135, 147, false},
    {7, u"Language\\span.xml", u"Spanish", 136, 148, false},
    {8, u"Language\\dutch.xml", u"Dutch", 137, 149, false},
    {9, u"Language\\pt.xml", u"Portuguese", 138, 150, false},
    {10, u"Language\\rus.xml", u"Russian", 139, 151, false},
    {11, u"Language\\ukr.xml", u"Ukrainian", 140, 152, false},
    {12, u"Language\\tw.xml", u"Trad.Chinese", 141, 153, false},
}};

int LanguageKeyIndex(std::string_view key) {
    for (size_t i = 0; i < kLanguageKeys.size(); ++i) {
        if (kLanguageKeys[i] == key) return static_cast<int>(i);
    }
    return -1;
}

const LanguageInfo* FindLanguage(uint32_t index) {
    return index >= 1 && index <= kLanguageCount ? &kLanguages[index - 1] : nullptr;
}

std::u16string InstallPath(std::u16string_view installDir, std::u16string_view relative) {
#ifdef _WIN32
    constexpr char16_t kSeparator = u'\\';
#else
    constexpr char16_t kSeparator = u'/';
#endif
    std::u16string path(installDir);
    path += kSeparator;
    for (char16_t c : relative) path += c == u'\\' ? kSeparator : c;
    return path;
}

bool CLanguageTable::LoadLanguageFile(const std::u16string& path) {
    const bool ok = doc_.LoadFile(path);
    for (size_t i = 0; i < kLanguageKeys.size(); ++i) {
        const std::u16string key(kLanguageKeys[i].begin(), kLanguageKeys[i].end());
        texts_[i] = LookupText(doc_, u"config", key);
    }
    return ok;
}

const std::u16string& CLanguageTable::Text(std::string_view key) const {
    const int i = LanguageKeyIndex(key);
    return Text(i < 0 ? kLanguageKeyCount : static_cast<size_t>(i));
}

const std::u16string& CLanguageTable::Text(size_t keyIndex) const {
    static const std::u16string empty;
    return keyIndex < texts_.size() ? texts_[keyIndex] : empty;
}

CLanguageTable& LanguageTable() {
    static CLanguageTable table;
    return table;
}

const std::u16string& LangText(std::string_view key) { return LanguageTable().Text(key); }

namespace {
std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
    return s;
}
}  // namespace

int ParseProfileInt(std::u16string_view text, std::u16string_view section, std::u16string_view key, int fallback) {
    bool inSection = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos) end = text.size();
        const std::u16string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            inSection = close != std::u16string_view::npos && AsciiEqualNoCase(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos || !AsciiEqualNoCase(Trim(line.substr(0, eq)), key)) continue;
        const std::u16string_view value = Trim(line.substr(eq + 1));
        size_t i = 0;
        bool negative = false;
        if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) negative = value[i++] == u'-';
        if (i >= value.size() || value[i] < u'0' || value[i] > u'9') return fallback;
        int64_t n = 0;
        for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
            n = n * 10 + (value[i] - u'0');
            if (n > 0x7FFFFFFF) n = 0x7FFFFFFF;
        }
        return static_cast<int>(negative ? -n : n);
    }
    return fallback;
}

StartLanguage ChooseStartLanguage(CLanguageTable& table, std::u16string_view installDir, IProfileReader& ini) {
    const int value = ini.ReadInt(InstallPath(installDir, u"skins\\languagetype.ini"), u"languagetype", u"value", 0);
    const bool chinese = value == 1;
    SetUiChinese(chinese);
    SetInstallChinese(chinese);
    const LanguageInfo& language = *FindLanguage(chinese ? 1 : 2);
    table.LoadLanguageFile(InstallPath(installDir, language.file));
    return {chinese, language.flagPicture};
}

SwitchOutcome SwitchLanguage(CLanguageTable& table, std::u16string_view installDir, uintptr_t wParam,
                             intptr_t index, bool menuOpen, ILanguageIndexStore& store) {
    SwitchOutcome out;
    const bool startup = wParam == kStartupSwitch;
    if (index == 0 || (!startup && !menuOpen)) return out;
    out.handled = true;
    SetUiChinese(false);
    const uint32_t value = static_cast<uint32_t>(index);
    if (const LanguageInfo* language = index > 0 ? FindLanguage(value) : nullptr) {
        SetUiChinese(language->uiChinese);
        table.LoadLanguageFile(InstallPath(installDir, language->file));
        out.loaded = true;
        out.flagPicture = language->flagPicture;
    }
    out.indexWritten = store.WriteLanguageIndex(value);
    out.closeMenu = !startup;
    return out;
}

}  // namespace n640

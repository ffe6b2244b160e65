#include "cli/ProfileText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "functions/FunctionModel.h"
#include "functions/KeyNames.h"
#include "i18n/UiLanguage.h"
#include "platform/Text.h"

namespace n640::cli {

namespace {

constexpr std::array<const char*, kInputCount> kInputNames = {"left", "middle", "right", "forward",
                                                              "back", "wheel-up", "wheel-down"};
constexpr std::array<const char*, 6> kLightModes = {"steady", "breathing", "effect3", "effect4", "cycle", "off"};

// Lower case without blanks, hyphens and underscores: "Volume up" == "volume-up" == "VOLUME_UP".
std::string Folded(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == ' ' || c == '-' || c == '_') continue;
        out.push_back(static_cast<char>(std::tolower(c)));
    }
    return out;
}

// FunctionName in a given language; the tool is single-threaded, so the flag is switched briefly.
std::string FunctionNameIn(int type, bool chinese) {
    const bool saved = UiChinese();
    SetUiChinese(chinese);
    std::string name = Utf16ToUtf8(FunctionName(type));
    SetUiChinese(saved);
    return name;
}

std::optional<int> BasicFunctionType(const std::string& text) {
    const std::string folded = Folded(text);
    for (const auto& item : kBasicList) {
        if (Folded(FunctionNameIn(item.type, false)) == folded || FunctionNameIn(item.type, true) == text ||
            Folded(std::string(item.languageKey)) == folded) {
            return item.type;
        }
    }
    return std::nullopt;
}

// Virtual key of a key name as KeyName shows it ("C", "F1", "Enter", "Space", "Esc", …).
std::optional<uint32_t> KeyByName(const std::string& name) {
    const std::string folded = Folded(name);
    if (folded.empty()) return std::nullopt;
    for (uint32_t vk = 1; vk < 0xFF; ++vk) {
        if (VkToUsage(static_cast<uint8_t>(vk)) == 0) continue;   // the mouse could not send it
        if (Folded(Utf16ToUtf8(KeyName(vk))) == folded) return vk;
    }
    return std::nullopt;
}

FunctionChoice Error(std::string text) {
    FunctionChoice c;
    c.error = std::move(text);
    return c;
}

FunctionChoice Combination(int input, const std::string& text) {
    bool ctrl = false, shift = false, alt = false, win = false;
    std::optional<uint32_t> key;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, '+')) {
        const std::string f = Folded(part);
        if (f == "ctrl" || f == "control") ctrl = true;
        else if (f == "shift") shift = true;
        else if (f == "alt") alt = true;
        else if (f == "win" || f == "windows") win = true;
        else {
            if (key) return Error("more than one key in \"" + text + "\"");
            key = KeyByName(part);
            if (!key) return Error("unknown key \"" + part + "\" in \"" + text + "\"");
        }
    }
    const uint32_t code = EncodeCombination(ctrl, shift, alt, win, key.value_or(0));
    if (code == 0) return Error("\"" + text + "\" is no usable key combination");
    FunctionChoice c;
    c.result.input = input;
    c.result.kind = ChoiceKind::Combination;
    c.result.value = code;
    return c;
}

} // namespace

std::string Hex32(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

std::string InputName(int input) {
    return input >= 0 && input < kInputCount ? kInputNames[static_cast<size_t>(input)] : "?";
}

std::optional<int> ParseInput(const std::string& text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kInputCount) return text[0] - '0';
    for (int i = 0; i < kInputCount; ++i) {
        if (Folded(text) == Folded(kInputNames[static_cast<size_t>(i)])) return i;
    }
    return std::nullopt;
}

std::string DescribeInput(const ButtonRecord& record, uint32_t assignedMacro) {
    const std::string label = Utf16ToUtf8(GetLabel(record));
    switch (record.type) {
    case kTypeCombination:
        return "key " + Utf16ToUtf8(CombinationText(record.comboCode)) + " (" + Hex32(record.comboCode) + ")";
    case kTypeMacro:
        return "macro " + Hex32(assignedMacro) + " \"" + label + "\"";
    case kTypeSoftware: {
        const char* kind = record.softKind == kSoftSound     ? "sound"
                           : record.softKind == kSoftProgram ? "program"
                           : record.softKind == kSoftFile    ? "file"
                           : record.softKind == kSoftFolder  ? "folder"
                                                             : "software";
        return std::string(kind) + " " + Utf16ToUtf8(GetSoftPath(record));
    }
    default:
        break;
    }
    if (!IsValidType(record.type)) return "invalid function type " + std::to_string(record.type);
    return FunctionNameIn(record.type, UiChinese());
}

std::string DescribeProfile(const ProfileImage& image, const MacroAssignments& assignments) {
    std::ostringstream out;
    const auto& s = image.settings;
    out << "inputs:\n";
    for (int i = 0; i < kInputCount; ++i) {
        char head[32];
        std::snprintf(head, sizeof head, "  %d %-10s ", i, InputName(i).c_str());
        out << head << DescribeInput(image.buttons[i], assignments[static_cast<size_t>(i)]);
        if (IsChanged(i, image)) out << "  (changed)";
        out << "\n";
    }
    out << "dpi levels: ";
    bool first = true;
    for (int v : s.dpiLevels) {
        if (v == 0) continue;
        out << (first ? "" : ",") << v;
        first = false;
    }
    out << "\n";
    const int rate = ReportRateOf(image);
    out << "report rate: ";
    if (rate != 0) out << rate << " per second (every " << s.reportInterval << " ms)\n";
    else out << "unknown (interval " << s.reportInterval << ")\n";
    out << "lighting: " << LightModeName(s.lightMode) << " (mode " << s.lightMode << ")\n";
    out << "  colour " << ColourText(s.colours[3]) << ", brightness " << s.brightness << ", breathing speed "
        << s.breathSpeed << ", cycle speed " << s.cycleSpeed / 2 << "\n";
    out << "  cycle colours " << ColourText(s.colours[0]) << " " << ColourText(s.colours[1]) << " "
        << ColourText(s.colours[2]) << " (own colours " << (s.ownColours == 1 ? "on" : "off") << ")\n";
    out << "pointer: speed " << s.pointerSpeed << ", enhanced precision " << (s.enhancePrecision == 1 ? "on" : "off")
        << ", wheel ";
    if (s.wheelLines == kWheelScreen) out << "one screen per notch\n";
    else out << s.wheelLines << " lines per notch\n";
    return out.str();
}

std::string ColourText(uint32_t bgr) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return buf;
}

std::optional<uint32_t> ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else return std::nullopt;
        rgb = rgb * 16 + static_cast<uint32_t>(v);
    }
    const uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

std::string LightModeName(int mode) {
    return mode >= 1 && mode <= 6 ? kLightModes[static_cast<size_t>(mode - 1)] : "unknown";
}

std::optional<int> ParseLightMode(const std::string& text) {
    for (size_t i = 0; i < kLightModes.size(); ++i) {
        if (Folded(text) == kLightModes[i]) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

std::optional<long long> ParseNumber(const std::string& text, long long min, long long max, bool allowHex) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    int base = 10;
    size_t start = 0;
    bool negative = false;
    if (text[0] == '-') { negative = true; start = 1; }
    if (allowHex && !negative && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    if (start >= text.size()) return std::nullopt;
    long long v = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return std::nullopt;
        v = v * base + d;
        if (v > (1LL << 40)) return std::nullopt;
    }
    if (negative) v = -v;
    if (v < min || v > max) return std::nullopt;
    return v;
}

FunctionChoice ParseFunction(int input, const std::string& text) {
    FunctionChoice c;
    c.result.input = input;
    const auto colon = text.find(':');
    const std::string head = Folded(colon == std::string::npos ? text : text.substr(0, colon));
    if (colon != std::string::npos) {
        const std::string rest = text.substr(colon + 1);
        static constexpr std::pair<const char*, int> kSoft[] = {{"sound", 0}, {"program", 1}, {"file", 2}, {"folder", 3}};
        for (const auto& [name, choice] : kSoft) {
            if (head != name) continue;
            if (rest.empty()) return Error(std::string(name) + ": needs a path");
            c.result.kind = ChoiceKind::Software;
            c.result.advChoice = choice;
            c.result.value = SoftwareCode(choice, input);
            c.result.advPath = Utf8ToUtf16(rest);
            if (c.result.advPath.size() > kMaxPathLength) return Error("the path is longer than 259 characters");
            return c;
        }
        if (head == "macro") {
            const auto id = ParseNumber(rest, 1, 0xFFFFFFFFLL, true);
            if (!id) return Error("macro: needs a macro id (decimal or 0x hex)");
            c.result.kind = ChoiceKind::Macro;
            c.result.value = static_cast<uint32_t>(*id);
            return c;
        }
        return Error("unknown function \"" + text + "\"");
    }
    if (head == "disable") {
        c.result.kind = ChoiceKind::Disable;
        c.result.value = 7;
        return c;
    }
    if (head == "default") {
        c.result.value = static_cast<uint32_t>(kDefaultTypes[static_cast<size_t>(input)]);
        return c;
    }
    if (const auto type = BasicFunctionType(text)) {
        c.result.value = static_cast<uint32_t>(*type);
        return c;
    }
    return Combination(input, text);
}

} // namespace n640::cli

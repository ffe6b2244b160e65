#include "app/MainWindowModel.h"

#include <algorithm>

#include "device/ApplyWorker.h"
#include "device/sim/SimulatedMouse.h"
#include "device/win/DeviceIds.h"
#include "ui/pages/MainSetModel.h"

namespace n640 {

const std::array<CIrrShape, kIrrButtonCount>& MainIrrShapes() {
    static const std::array<CIrrShape, kIrrButtonCount> shapes = {
        CIrrShape({{30, 85}, {189, 85}, {210, 121}, {30, 121}}),
        CIrrShape({{193, 85}, {375, 85}, {396, 121}, {214, 121}}),
        CIrrShape({{377, 85}, {559, 85}, {579, 121}, {399, 121}}),
        CIrrShape({{562, 85}, {743, 85}, {764, 121}, {583, 121}}),
        CIrrShape({{747, 85}, {928, 85}, {928, 121}, {768, 121}}),
        CIrrShape({{342, 608}, {435, 608}, {414, 635}, {321, 635}}),
        CIrrShape({{439, 608}, {533, 608}, {512, 635}, {417, 635}}),
        CIrrShape({{536, 608}, {628, 608}, {605, 635}, {513, 635}}),
        CIrrShape({{630, 608}, {723, 608}, {700, 635}, {607, 635}}),
        CIrrShape({{725, 608}, {818, 608}, {795, 635}, {703, 635}}),
        CIrrShape({{841, 591}, {940, 591}, {940, 632}, {806, 632}}),
    };
    return shapes;
}

IrrBitmapIds IrrBitmapsFor(bool chinese) {
    return chinese ? IrrBitmapIds{154, 156, 155, 154} : IrrBitmapIds{157, 159, 158, 157};
}

namespace {

struct HintEntry {
    int id;
    std::string_view key;
};

constexpr HintEntry kHints[] = {
    {1, "str_main"}, {2, "str_led_title"}, {3, "str_macro_manager"}, {4, "str_sts"}, {5, "str_about"},
    {6, "str_profile1"}, {7, "str_profile2"}, {8, "str_profile3"}, {9, "str_profile4"},
    {10, "str_profile5"}, {11, "str_ok"},
    {12, "str_dpiwant"}, {13, "str_mouseSpeed"}, {14, "str_improveAccuracy"}, {15, "str_sheight"},
    {16, "str_rollingrate"}, {17, "str_rollerColumn"}, {18, "str_rollerScreen"},
    {26, "str_ledspe"}, {27, "str_led_apmbre"}, {28, "str_led_off"}, {29, "str_led_norbre"},
    {31, "str_led_brealways"}, {32, "str_led_brightness"}, {33, "str_led_symphony"},
    {34, "str_led_changeClolor"}, {36, "str_led_symphonySpeed"}, {39, "str_led_custom"},
    {40, "str_new_macro"}, {41, "str_del_macro"}, {42, "str_macro_new"}, {43, "str_macro_del"},
    {44, "str_macro_modify"}, {45, "str_macro_start"}, {47, "str_macro_delay"}, {48, "str_macro_loop"},
    {49, "str_click"}, {50, "str_middle"}, {51, "str_menu"}, {52, "str_macro_msg6"}, {53, "str_macro_msg7"},
    {54, "str_cups"}, {55, "str_resetSts"}, {56, "str_update"}, {57, "str_zentuWeb"},
    {58, "str_importFile"}, {59, "str_exportFile"}, {60, "str_defaultname"},
    {61, "str_dpi_setting"}, {62, "str_sensor"}, {63, "str_usbrate"}, {64, "str_windows_scroll"},
    {65, "str_mouse_key"},
    {75, "str_backlight"}, {76, "str_breath_speed"}, {77, "str_multicolor1"}, {78, "str_multicolor2"},
    {79, "str_multicolor3"}, {81, "str_color_setting"}, {82, "str_cur_color"}, {83, "str_choose_color"},
    {84, "str_preset_color"}, {85, "str_custom_color"}, {86, "str_macro_choose"}, {87, "str_marco_list"},
    {88, "str_key_list"}, {89, "str_driver_version"}, {90, "str_firmware_version"},
};

} // namespace

std::string_view HintKey(int id) {
    for (const HintEntry& e : kHints) {
        if (e.id == id) return e.key;
    }
    return {};
}

std::string_view IrrTooltipKey(int index) {
    return index >= 0 && index < kIrrButtonCount ? HintKey(index + 1) : std::string_view{};
}

std::vector<int> HoverHintIds(Point p) {
    std::vector<int> ids;
    const auto& shapes = MainIrrShapes();
    for (int i = 0; i < kIrrButtonCount; ++i) {
        if (shapes[i].Box().Inflated(1).Contains(p)) ids.push_back(i + 1);
    }
    return ids;
}

PageSwitch PlanPageSwitch(int page) {
    PageSwitch s{};
    s.leaveMacroPage = page != 3;
    s.loadLightingControls = page == 2;
    for (int i = 0; i < kTabCount; ++i) s.visible[i] = (i + 1 == page);
    s.profileAndOkEnabled = page == 1 || page == 2;
    s.refreshMainSettings = page == 1;
    s.refreshLighting = page == 2;
    return s;
}

bool IsMouseNotice(std::u16string_view deviceName) {
    return NamesDevice(deviceName, kMouseIds);
}

bool ChecksScrollLines(int32_t wheelLines) { return wheelLines != kWheelScreen; }

std::u16string ApplyFailureMessage(int code) {
    const std::optional<ApplyFailure> failure = ApplyFailureOfCode(code);
    return failure ? std::u16string(ApplyFailureText(*failure)) : std::u16string(u"Write to the mouse failed.\n");
}

std::filesystem::path FirmwareToolPath(const std::filesystem::path& installDir) {
    return installDir / "FWUpdate" / "DidizoVA.exe";
}

std::u16string FirmwareToolArgument(bool chinese) { return chinese ? u"1" : u"0"; }

std::filesystem::path UpdaterPath(const std::filesystem::path& installDir) {
    return installDir / "zentu_update" / "ZentuUpdate.exe";
}

CArrivalRetry::Step CArrivalRetry::OnAttempt(bool opened) {
    if (!active_) return Step::GiveUp;
    ++tries_;
    if (opened) {
        active_ = false;
        return Step::Opened;
    }
    if (tries_ >= kMaxTries) {
        active_ = false;
        return Step::GiveUp;
    }
    return Step::TryAgain;
}

std::u16string MouseMissingText(bool chinese) {
    return chinese ? u"没有找到N640游戏鼠标." : u"The N640 gaming mouse cannot be found.";
}

std::u16string MouseFoundText(bool chinese) {
    return chinese ? u"发现N640游戏鼠标." : u"The N640 gaming mouse is found.";
}

SearchOutcome SearchAtStart(const SearchPorts& ports, IClock& clock) {
    for (int i = 0; i < kLoaderTries; ++i) {
        if (ports.loaderPresent && ports.loaderPresent()) return SearchOutcome::LoaderMode;
        clock.Sleep(kSearchPauseMs);
    }
    for (int i = 0; i < kOpenTries; ++i) {
        if (ports.open && ports.open()) return SearchOutcome::Found;
        clock.Sleep(kSearchPauseMs);
    }
    return SearchOutcome::Missing;
}

DemoOptions ParseDemoOptions(const std::vector<std::u16string>& args) {
    DemoOptions o;
    std::optional<std::u16string> badFail;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == u"--simulated-mouse") {
            o.simulated = true;
            if (i + 1 < args.size() && args[i + 1].rfind(u"--", 0) != 0) o.stateFile = args[++i];
        } else if (args[i] == u"--fail-command") {
            if (i + 1 >= args.size()) {
                badFail = u"--fail-command needs a command code (decimal or 0x hex, 0 to 255).";
                continue;
            }
            const std::u16string& v = args[++i];
            if (const std::optional<uint8_t> code = ParseSimFault(std::u16string_view(v))) {
                o.failCommand = *code;
            } else {
                badFail = u"--fail-command: \"" + v + u"\" is not a command code (decimal or 0x hex, 0 to 255).";
            }
        }
    }
    // Without the demo switch nothing of the command line counts.
    if (!o.simulated) return DemoOptions{};
    if (badFail) {
        o.failCommand.reset();
        o.error = badFail;
    }
    return o;
}

} // namespace n640

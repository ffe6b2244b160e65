#include "cli/Help.h"

#include <algorithm>
#include <vector>

#include "cli/Commands.h"
#include "device/HidPort.h"
#include "device/sim/SimulatedMouse.h"

namespace n640::cli {

namespace {

const char* const kMainHeader =
    "usage: n640ctl [OPTIONS] COMMAND [ARGS...]\n"
    "\n"
    "Configure the N640 gaming mouse: profiles, buttons, DPI, report rate, lighting, macros.\n"
    "\n"
    "commands:\n";

const char* const kMainFooter =
    "\n"
    "options (anywhere on the line):\n"
    "  --data-dir DIR      the data directory (default: $XDG_DATA_HOME/zentu-n640 or\n"
    "                      ~/.local/share/zentu-n640); created with the default files when missing\n"
    "                      or empty. A command that changes it waits up to 5 seconds while another\n"
    "                      n640ctl is changing it, then gives up (\"busy\")\n"
    "  --device DEVICE     auto (find the mouse through hidraw), /dev/hidrawN, or sim[:STATEFILE]\n"
    "                      (the simulated mouse; default state file DATA_DIR/SimulatedMouse.bin)\n"
    "  --macros FILE       the macro library for an explicit PROFILE (default: DATA_DIR/Macro.cfg)\n"
    "  --lang en|sc        language of new labels (English or Simplified Chinese)\n"
    "  -h, --help          help for any command\n"
    "\n"
    "the simulated mouse can be made to fail, to try the failure handling:\n";

const char* const kMainEnd =
    "  N640_SIM_UNPLUG_AFTER=N     the mouse is unplugged after N reports\n"
    "\n"
    "exit status: 0 success, 1 failure, 2 usage error\n";

// The line that lists the simulated mouse's fault names, wrapped within 96 columns.
std::string SimFaultHelp() {
    constexpr size_t kWidth = 96;
    const std::string indent(30, ' ');
    std::string text;
    std::string line = "  N640_SIM_FAIL=COMMAND       the command fails (";
    bool first = true;
    for (const SimFaultName& f : kSimFaultNames) {
        const bool last = &f == &kSimFaultNames.back();
        const std::string item = std::string(f.name) + (last ? ")" : ",");
        if (!first && line.size() + 1 + item.size() > kWidth) {
            text += line + "\n";
            line = indent + item;
        } else {
            line += (first ? "" : " ") + item;
        }
        first = false;
    }
    return text + line + "\n";
}

} // namespace

// In the order the main help lists them.
const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> table = {
        {"devices",
         "  devices                     list the mouse's HID interfaces and the one that would be used\n",
         "usage: n640ctl devices [--device DEVICE]\n"
         "Lists every HID interface with the mouse's ids (" + IdsText(kMouseIds) +
             "), whether it has the vendor\n"
             "feature capability, and which one would be used.\n",
         1, 1, "takes no operands", CmdDevices},
        {"info",
         "  info                        firmware version of the mouse\n",
         std::string("usage: n640ctl info [--device DEVICE]\n"
                     "Reads the firmware version of the mouse.\n"),
         1, 1, "takes no operands", CmdInfo},
        {"apply",
         "  apply [PROFILE]             write a profile to the mouse (default: the active profile)\n",
         std::string("usage: n640ctl apply [PROFILE] [--device DEVICE] [--data-dir DIR] [--macros FILE]\n"
                     "Writes a profile to the mouse. Without PROFILE: the active profile of the data directory\n"
                     "with its slot's macro assignments; on success the profile file and ConfigInfo.cfg are saved.\n"
                     "With PROFILE: that file, each macro input taking its macro from the profile's own macro id.\n"),
         1, 2, "takes at most one PROFILE", RunApplyCommand},
        {"show",
         "  show [PROFILE]              the profile in readable form\n",
         std::string("usage: n640ctl show [PROFILE]\n"
                     "Shows a profile (default: the active one): inputs, DPI levels, report rate, lighting,\n"
                     "pointer settings.\n"),
         1, 2, "takes at most one PROFILE", CmdShow},
        {"new",
         "  new PROFILE [--lang en|sc]  write the factory default profile\n",
         std::string("usage: n640ctl new PROFILE [--lang en|sc]\n"
                     "Writes the factory default profile to the file PROFILE.\n"),
         2, 2, "needs exactly one PROFILE", CmdNew},
        {"set",
         "  set PROFILE SETTING VALUE…  change one setting of a profile file (see: n640ctl set --help)\n",
         std::string("usage: n640ctl set PROFILE SETTING VALUE...\n"
                     "settings:\n"
                     "  button INPUT FUNCTION   INPUT: 0..6 or left, middle, right, forward, back, wheel-up,\n"
                     "                          wheel-down. FUNCTION: a basic function (Click, Menu, Middle,\n"
                     "                          Forward, Back, Play/Pause, Stop, Previous, Next, Volume up,\n"
                     "                          Volume down, Mute, Music, Close window, Lock PC, Run, Show\n"
                     "                          desktop, Enter classic desktop, Switch applications, Search,\n"
                     "                          sreen zoom in, sreen zoom out, SNIPE, FIRE), a combination like\n"
                     "                          Ctrl+Shift+C, macro:ID, disable, sound:PATH, program:PATH,\n"
                     "                          file:PATH, folder:PATH, or default\n"
                     "  dpi 500,1000,2000       1 to 7 of 500 750 1000 1250 1500 2000 2500 3000 3250 3500 4000\n"
                     "                          5000 6000 7000\n"
                     "  rate 125|250|500|1000   reports per second\n"
                     "  light steady|breathing|effect3|effect4|cycle|off\n"
                     "  colour 0..3 #RRGGBB     0..2 the own cycle colours, 3 the colour of steady and breathing\n"
                     "  brightness 1..10        breath-speed 1..5        cycle-speed 1..3\n"
                     "  own-colours on|off      pointer-speed 1..20      precision on|off\n"
                     "  wheel-lines 1..30|screen\n"),
         4, kAnyWords, "needs PROFILE SETTING VALUE", CmdSet},
        {"slots",
         "  slots                       the five profiles and which one is active\n",
         std::string("usage: n640ctl slots [--data-dir DIR]\nLists the five profiles and the active one.\n"),
         1, 1, "takes no operands", CmdSlots},
        {"select",
         "  select N                    make profile N (1..5) the active one\n",
         std::string("usage: n640ctl select N [--data-dir DIR]\nMakes profile N (1..5) the active one.\n"),
         2, 2, "needs N (1..5)", CmdSelect},
        {"macros",
         "  macros list|show|delete|rename …   the macro library (see: n640ctl macros --help)\n",
         std::string("usage: n640ctl macros list [CATEGORY] | show ID | delete ID | rename ID NAME\n"
                     "CATEGORY is 1..21 or a game's name; ID is decimal or 0x hex. A macro that a profile\n"
                     "uses cannot be deleted.\n"),
         2, kAnyWords, "needs list, show, delete or rename", CmdMacros},
        {"reports",
         "  reports [PROFILE]           the exact reports and waits an apply sends, without a device\n",
         std::string("usage: n640ctl reports [PROFILE] [--data-dir DIR] [--macros FILE]\n"
                     "Prints what an apply sends, one line per event: progress N, wait MS, feature B1..B8,\n"
                     "read, output B1..B32, pointer precision=P speed=N wheel=N, result ok|fail N.\n"),
         1, 2, "takes at most one PROFILE", RunReportsCommand},
        {"sim",
         "  sim show [STATEFILE] | sim reset [STATEFILE]   the simulated mouse's memory\n",
         std::string("usage: n640ctl sim show [STATEFILE] | sim reset [STATEFILE]\n"
                     "Shows or clears what the simulated mouse holds (default DATA_DIR/SimulatedMouse.bin).\n"),
         2, 3, "needs show or reset, and at most one STATEFILE", CmdSim},
        {"lang",
         "  lang check FILE… | lang get FILE KEY         language files\n",
         std::string("usage: n640ctl lang check FILE... | lang get FILE KEY\n"
                     "check: parse notes, the first error, and missing or empty keys of language files.\n"
                     "get: the text of (config, KEY).\n"),
         3, kAnyWords, "needs check FILE... or get FILE KEY", CmdLang},
        {"update",
         "  update check [--server URL] [--download FILE]  newer firmware on the update server\n",
         std::string("usage: n640ctl update check [--server URL] [--download FILE] [--device DEVICE] [--lang en|sc]\n"
                     "Fetches the update description from the server (default: the Host of FWUpdate/UpdateServer.ini\n"
                     "in the install folder, else the maker's server), compares its version with the mouse's and,\n"
                     "with --download, fetches the firmware image to FILE (http and https addresses only; checked\n"
                     "against the description's sha256 when it has one). Never flashes.\n"),
         2, 2, "needs check", RunUpdateCommand},
    };
    return table;
}

const CommandRow* FindCommand(std::string_view name) {
    const auto& table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const CommandRow& c) { return c.name == name; });
    return it == table.end() ? nullptr : &*it;
}

std::string MainHelp() {
    std::string text = kMainHeader;
    for (const CommandRow& c : CommandTable()) text += c.summary;
    return text + kMainFooter + SimFaultHelp() + kMainEnd;
}

std::string CommandHelp(const std::string& command) {
    const CommandRow* row = FindCommand(command);
    return row != nullptr ? row->usage : std::string();
}

} // namespace n640::cli

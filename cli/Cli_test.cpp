// Drives n640ctl as a process: command lines, what it prints and its exit status.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <cstring>
#include <vector>

#include "macro/MacroRecord.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("n640ctl-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        data_ = dir_ / "data";
    }
    void TearDown() override {
        std::error_code ec;
        if (::geteuid() == 0) std::system(("chattr -i '" + (data_ / "Profile").string() + "' 2>/dev/null").c_str());
        fs::permissions(data_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    // Runs the tool with the data directory and the simulated mouse of this test unless the
    // command line names its own.
    Result Ctl(const std::string& args, bool defaults = true) {
        std::string line = std::string(N640CTL_PATH);
        if (defaults) line += " --data-dir '" + data_.string() + "' --device sim:'" + (dir_ / "mouse.bin").string() + "'";
        line += " " + args;
        const fs::path out = dir_ / "out.txt", err = dir_ / "err.txt";
        line += " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
        const int raw = std::system(line.c_str());
        return Result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
    }

    fs::path dir_;
    fs::path data_;
};

TEST_F(CliTest, HelpAndUsageErrors) {
    const Result help = Ctl("--help", false);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: n640ctl"), std::string::npos);

    struct Case {
        const char* args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"", 2, "usage: n640ctl"},
        {"frobnicate", 2, "unknown command \"frobnicate\""},
        {"show --data-dir", 2, "needs a value"},
        {"show --bogus", 2, "unknown option --bogus"},
        {"select 6", 2, "N is 1..5"},
        {"set", 2, "needs PROFILE SETTING VALUE"},
        {"new", 2, "needs exactly one PROFILE"},
        {"macros", 2, "needs list, show, delete or rename"},
        {"sim blink", 2, "needs show or reset"},
        {"new x --lang fr", 2, "--lang takes en or sc"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    for (const char* command : {"set", "apply", "reports", "macros", "lang", "sim", "devices"}) {
        const Result r = Ctl(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find("usage: n640ctl " + std::string(command)), std::string::npos) << command;
    }
}

TEST_F(CliTest, MainJobOnTheSimulatedMouse) {
    ASSERT_EQ(Ctl("slots").status, 0);  // creates the data directory with the defaults
    ASSERT_TRUE(fs::exists(data_ / "Profile" / "Profile1.cfg"));
    Result r = Ctl("set 1 button forward Ctrl+C");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Ctl("set 1 dpi 500,1000,2000");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Ctl("show");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3 forward    key Ctrl + C (0x00060100)  (changed)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dpi levels: 500,1000,2000"), std::string::npos) << r.out;

    const std::string configBefore = ReadAll(data_ / "Profile" / "ConfigInfo.cfg");
    r = Ctl("apply");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("progress 100"), std::string::npos) << r.out;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "ConfigInfo.cfg").size(), 8000u);

    r = Ctl("sim show");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("slot 5: key Ctrl+C"), std::string::npos) << r.out;
    (void)configBefore;
}

TEST_F(CliTest, ReportsPrintTheExactTrace) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const Result r = Ctl("reports");
    ASSERT_EQ(r.status, 0) << r.err;
    // Every line has one of the documented forms.
    const std::regex line(
        "progress (0|[1-9][0-9]?|100)|wait [0-9]+|feature( [0-9A-F]{2}){8}|read|output( [0-9A-F]{2}){32}|"
        "pointer precision=[01] speed=[0-9]+ wheel=-?[0-9]+|result (ok|fail [0-4])");
    std::istringstream lines(r.out);
    std::string l, last;
    int waits = 0;
    while (std::getline(lines, l)) {
        EXPECT_TRUE(std::regex_match(l, line)) << l;
        last = l;
        if (l.rfind("wait ", 0) == 0) waits += std::stoi(l.substr(5));
    }
    EXPECT_NE(r.out.find("progress 0\n"), std::string::npos);
    EXPECT_EQ(last, "result ok");
    EXPECT_EQ(waits, 1100);  // the fixed waits of the default profile
    EXPECT_NE(r.out.find("pointer precision=0 speed=10 wheel=3"), std::string::npos);
}

TEST_F(CliTest, RefusedChangesAndBadValuesLeaveTheProfile) {
    ASSERT_EQ(Ctl("new " + (dir_ / "p.cfg").string()).status, 0);
    const std::string before = ReadAll(dir_ / "p.cfg");
    ASSERT_EQ(before.size(), 22252u);
    const std::string p = (dir_ / "p.cfg").string();
    struct Case {
        std::string args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"set " + p + " button left Menu", 1, "At least one button must be configured as 'Left click'!"},
        {"set " + p + " button wheel-up SNIPE", 1, "This key can not use the sniper function!"},
        {"set " + p + " dpi 500,500", 2, "1 to 7 different values"},
        {"set " + p + " dpi 500,600", 2, "1 to 7 different values"},
        {"set " + p + " dpi 500,750,1000,1250,1500,2000,2500,3000", 2, "1 to 7 different values"},
        {"set " + p + " rate 300", 2, "rate takes 125, 250, 500 or 1000"},
        {"set " + p + " brightness 11", 2, "from 1 to 10"},
        {"set " + p + " wheel-lines 31", 2, "from 1 to 30"},
        {"set " + p + " colour 4 '#FF0000'", 2, "the colour index is 0..3"},
        {"set " + p + " colour 1 red", 2, "is not a colour"},
        {"set " + p + " light disco", 2, "light takes"},
        {"set " + p + " button 9 Click", 2, "unknown input"},
        {"set " + p + " button back macro:0x15000001", 1, "there is no macro with the id 0x15000001"},
        {"set " + p + " warp 9", 2, "unknown setting"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(ReadAll(dir_ / "p.cfg"), before) << c.args;
    }
    // Accepted: the sniper on a side button, a second left click, then the first may change.
    for (const char* ok : {" button back SNIPE", " button right Click", " button left Menu", " wheel-lines screen",
                           " colour 3 '#0080FF'", " light breathing", " precision on"}) {
        const Result r = Ctl("set " + p + ok);
        EXPECT_EQ(r.status, 0) << ok << "\n" << r.err;
    }
    const Result shown = Ctl("show " + p);
    EXPECT_NE(shown.out.find("4 back       SNIPE"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("wheel one screen per notch"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("colour #0080FF"), std::string::npos) << shown.out;
}

TEST_F(CliTest, BadFilesAndMissingDevices) {
    std::ofstream(dir_ / "short.cfg", std::ios::binary) << std::string(100, '\0');
    std::string wrongMagic(22252, '\0');
    std::ofstream(dir_ / "wrong.cfg", std::ios::binary) << wrongMagic;
    struct Case {
        std::string args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"show " + (dir_ / "missing.cfg").string(), 1, "no such file"},
        {"show " + (dir_ / "short.cfg").string(), 1, "is an invaild Profile!"},
        {"set " + (dir_ / "wrong.cfg").string() + " rate 125", 1, "is an invaild Profile!"},
        {"apply " + (dir_ / "missing.cfg").string(), 1, "no such file"},
        {"lang check " + (dir_ / "missing.xml").string(), 1, ""},
        {"sim show " + (dir_ / "short.cfg").string(), 1, "is not a simulated mouse's state file"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    // No device: a hidraw node that does not exist.
    const Result none = Ctl("info --data-dir '" + data_.string() + "' --device /dev/hidraw-none", false);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("the mouse was not found"), std::string::npos) << none.err;
}

TEST_F(CliTest, FailingAndUnpluggedMouseSaveNothing) {
    ASSERT_EQ(Ctl("slots").status, 0);
    ASSERT_EQ(Ctl("set 1 rate 250").status, 0);
    const std::string config = ReadAll(data_ / "Profile" / "ConfigInfo.cfg");
    setenv("N640_SIM_FAIL", "key-matrix", 1);
    Result r = Ctl("apply");
    unsetenv("N640_SIM_FAIL");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("write mousekey metix fail."), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "ConfigInfo.cfg"), config);

    setenv("N640_SIM_UNPLUG_AFTER", "3", 1);
    r = Ctl("apply");
    unsetenv("N640_SIM_UNPLUG_AFTER");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find("fail."), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "ConfigInfo.cfg"), config);

    r = Ctl("info");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("firmware: V 0.1.7 (17)"), std::string::npos) << r.out;
}

// Makes a folder unwritable, also for root (who passes over permission bits): by its mode for
// other users, by the immutable attribute for root. False when neither can be had here.
bool MakeReadOnly(const fs::path& dir, bool readOnly) {
    if (::geteuid() != 0) {
        fs::permissions(dir, readOnly ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all);
        return true;
    }
    const std::string command = std::string("chattr ") + (readOnly ? "+i" : "-i") + " '" + dir.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

TEST_F(CliTest, ReadOnlyDataDirectoryKeepsItsFiles) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const fs::path profileDir = data_ / "Profile";
    const std::string before = ReadAll(profileDir / "Profile1.cfg");
    const std::string config = ReadAll(profileDir / "ConfigInfo.cfg");
    if (!MakeReadOnly(profileDir, true)) GTEST_SKIP() << "no way to make a folder read-only for this user here";
    const Result set = Ctl("set 1 rate 125");
    const Result apply = Ctl("apply");
    MakeReadOnly(profileDir, false);
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("cannot write"), std::string::npos) << set.err;
    EXPECT_EQ(apply.status, 1) << apply.err;  // the mouse took it, but saving failed: reported
    EXPECT_EQ(ReadAll(profileDir / "Profile1.cfg"), before);
    EXPECT_EQ(ReadAll(profileDir / "ConfigInfo.cfg"), config);
}

// A library with one macro of the user's own category: press A, 50 ms, release A.
void WriteLibraryWithOneMacro(const fs::path& file, uint32_t id) {
    std::vector<n640::MacroRecord> records(n640::kMacroLibrarySize);
    std::memset(records.data(), 0, records.size() * sizeof(n640::MacroRecord));
    n640::MacroRecord& r = records[3];
    r.size = n640::kMacroHeaderSize + 3 * 4;
    r.magic = n640::kMacroMagic;
    r.id = id;
    r.repeatCount = 1;
    r.eventCount = 3;
    r.events[0] = n640::MakeEvent(n640::kEventPress, 0x41);
    r.events[1] = n640::MakeEvent(n640::kEventDelay, 50);
    r.events[2] = n640::MakeEvent(n640::kEventRelease, 0x41);
    const std::u16string name = u"Reload";
    std::copy(name.begin(), name.end(), r.name);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(records.data()), static_cast<std::streamsize>(records.size() * sizeof r));
}

TEST_F(CliTest, MacrosFromTheLibraryToTheMouse) {
    ASSERT_EQ(Ctl("slots").status, 0);
    WriteLibraryWithOneMacro(data_ / "Macro.cfg", 0x15000042);
    Result r = Ctl("macros list Customize");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0x15000042  Reload"), std::string::npos) << r.out;
    r = Ctl("macros show 0x15000042");
    EXPECT_NE(r.out.find("press A (65)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("delay 50 ms"), std::string::npos) << r.out;

    ASSERT_EQ(Ctl("set 1 button right macro:0x15000042").status, 0);
    r = Ctl("slots");
    EXPECT_NE(r.out.find("right=0x15000042"), std::string::npos) << r.out;
    r = Ctl("macros delete 0x15000042");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is used by a profile"), std::string::npos) << r.err;

    const std::string before = ReadAll(data_ / "Macro.cfg");
    ASSERT_EQ(Ctl("macros rename 0x15000042 Reload2").status, 0);
    const std::string after = ReadAll(data_ / "Macro.cfg");
    ASSERT_EQ(after.size(), before.size());
    size_t differing = 0;
    for (size_t i = 0; i < after.size(); ++i) differing += after[i] != before[i];
    EXPECT_EQ(differing, 1u);  // the low byte of the one new UTF-16 character

    r = Ctl("apply");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Ctl("sim show");
    EXPECT_NE(r.out.find("macro 1: repeat 1: press A, 50 ms, release A"), std::string::npos) << r.out;

    ASSERT_EQ(Ctl("set 1 button right Menu").status, 0);
    r = Ctl("macros delete 0x15000042");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Ctl("macros list").out.find("no macros"), std::string::npos);
}

TEST_F(CliTest, SlotsSelectAndMacros) {
    ASSERT_EQ(Ctl("slots").status, 0);
    Result r = Ctl("select 3");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Ctl("slots");
    EXPECT_NE(r.out.find("* 3"), std::string::npos) << r.out;
    r = Ctl("macros list");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("no macros"), std::string::npos);
    r = Ctl("macros show 0x15000001");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("there is no macro"), std::string::npos);
}

} // namespace

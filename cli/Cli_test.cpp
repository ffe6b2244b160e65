// Drives n640ctl as a process: command lines, what it prints and its exit status.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
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
        // A command that hangs fails the test instead of stopping it.
        std::string line = "timeout 120 " + std::string(N640CTL_PATH);
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
    // The simulated mouse's two interfaces: only the one with the vendor feature is used.
    const Result devices = Ctl("devices");
    EXPECT_EQ(devices.status, 0) << devices.err;
    EXPECT_EQ(devices.out, "sim:0  3F1C:5C21  no vendor feature\n"
                           "sim:1  3F1C:5C21  vendor feature (report id 2, 8 bytes)  <- used\n");
}

TEST_F(CliTest, FailingAndUnpluggedMouseSaveNothing) {
    ASSERT_EQ(Ctl("slots").status, 0);
    ASSERT_EQ(Ctl("set 1 rate 250").status, 0);
    const std::string config = ReadAll(data_ / "Profile" / "ConfigInfo.cfg");
    setenv("N640_SIM_FAIL", "key-matrix", 1);
    Result r = Ctl("apply");
    unsetenv("N640_SIM_FAIL");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("write mousekey metix fail.\n"
                         "the mouse did not take the report: set feature report: the simulated mouse refused it\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "ConfigInfo.cfg"), config);

    setenv("N640_SIM_UNPLUG_AFTER", "3", 1);
    r = Ctl("apply");
    unsetenv("N640_SIM_UNPLUG_AFTER");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find("fail."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the mouse did not take the report: write (output report): the simulated mouse was unplugged"),
              std::string::npos)
        << r.err;
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

// Names a user may type that the file system cannot take as they are: bytes that are not UTF-8,
// and a name longer than the system allows.
TEST_F(CliTest, NamesThatAreNotUtf8OrTooLongAreReportedNotFatal) {
    const std::string bad = (dir_ / "bad\xff").string();
    const std::string longName = (dir_ / std::string(300, 'a')).string();
    struct Case {
        std::string args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"slots --data-dir '" + bad + "'", 0, "created the data directory"},
        {"show '" + (dir_ / "q\xff.cfg").string() + "'", 1, "no such file"},
        {"lang check '" + longName + "'", 1, "File name too long"},
        {"lang get '" + longName + "' str_ok", 1, "File name too long"},
        {"show --data-dir '" + longName + "'", 1, "File name too long"},
        {"set '" + longName + "' rate 125", 1, "File name too long"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_TRUE(fs::exists(fs::path(bad) / "Profile" / "Profile1.cfg"));
    const Result shown = Ctl("show --data-dir '" + bad + "'");
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("active, profile 1"), std::string::npos) << shown.out;
}

// Devices and pipes where a data file, a language file or a state file belongs are refused at once.
TEST_F(CliTest, DevicesAndPipesAreRefusedWithoutWaiting) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const fs::path profile = data_ / "Profile" / "Profile1.cfg";
    fs::remove(profile);
    ASSERT_EQ(::mkfifo(profile.c_str(), 0600), 0);
    const fs::path lang = dir_ / "pipe.xml";
    ASSERT_EQ(::mkfifo(lang.c_str(), 0600), 0);
    fs::create_directories(dir_ / "lib");
    const fs::path macros = dir_ / "lib" / "Macro.cfg";
    ASSERT_EQ(::mkfifo(macros.c_str(), 0600), 0);
    struct Case {
        std::string args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"lang check /dev/zero", 1, "Not a regular file"},
        {"lang get /dev/zero str_ok", 1, "Not a regular file"},
        {"lang check '" + lang.string() + "'", 1, "Not a regular file"},
        {"sim show /dev/zero", 1, "is not a simulated mouse's state file"},
        {"show 1", 1, "not a regular file"},
        {"set 1 rate 250", 1, "not a regular file"},
        {"show", 0, "is an invaild Profile!"},  // the active profile: reported, the defaults shown
        {"macros list --macros '" + macros.string() + "'", 1, "not a regular file"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_EQ(fs::status(profile).type(), fs::file_type::fifo);  // reading left it alone
    const Result apply = Ctl("apply --device sim:/dev/zero");
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_NE(apply.err.find("starting from factory memory"), std::string::npos) << apply.err;
}

// Changes to files that cannot be written fail with the file and the system's reason.
TEST_F(CliTest, FailedWritesSayWhatAndWhyAndFail) {
    ASSERT_EQ(Ctl("slots").status, 0);
    WriteLibraryWithOneMacro(data_ / "Macro.cfg", 0x15000042);
    const std::string library = ReadAll(data_ / "Macro.cfg");
    const std::string config = ReadAll(data_ / "Profile" / "ConfigInfo.cfg");
    if (!MakeReadOnly(data_, true) || !MakeReadOnly(data_ / "Profile", true))
        GTEST_SKIP() << "no way to make a folder read-only for this user here";
    const Result deleted = Ctl("macros delete 0x15000042");
    const Result renamed = Ctl("macros rename 0x15000042 Other");
    const Result selected = Ctl("select 3");
    MakeReadOnly(data_ / "Profile", false);
    MakeReadOnly(data_, false);
    for (const Result* r : {&deleted, &renamed, &selected}) {
        EXPECT_EQ(r->status, 1) << r->out << r->err;
        EXPECT_NE(r->err.find("cannot write"), std::string::npos) << r->err;
        EXPECT_TRUE(r->err.find("denied") != std::string::npos || r->err.find("not permitted") != std::string::npos)
            << r->err;
        EXPECT_EQ(r->out.find("deleted macro"), std::string::npos) << r->out;
    }
    EXPECT_EQ(ReadAll(data_ / "Macro.cfg"), library);
    EXPECT_EQ(ReadAll(data_ / "Profile" / "ConfigInfo.cfg"), config);
}

// A tmpfs of its own: a disk that fills up. Needs root; mounted reports whether it could be had.
class CSmallDisk {
public:
    CSmallDisk(const fs::path& dir, const std::string& size) : dir_(dir) {
        fs::create_directories(dir);
        mounted = ::geteuid() == 0 &&
                  std::system(("mount -t tmpfs -o size=" + size + " tmpfs '" + dir.string() + "' 2>/dev/null").c_str()) == 0;
    }
    ~CSmallDisk() {
        if (mounted) std::system(("umount '" + dir_.string() + "'").c_str());
    }
    // Takes up all the room that is left.
    void Fill() const { std::system(("dd if=/dev/zero of='" + (dir_ / "filler").string() + "' bs=1k 2>/dev/null").c_str()); }
    bool mounted = false;

private:
    fs::path dir_;
};

TEST_F(CliTest, FullDiskWritesFailWithTheReason) {
    const fs::path disk = dir_ / "disk";
    CSmallDisk small(disk, "4m");
    if (!small.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    const std::string p = (disk / "p.cfg").string();
    ASSERT_EQ(Ctl("new '" + p + "'").status, 0);
    WriteLibraryWithOneMacro(disk / "Macro.cfg", 0x15000042);
    const std::string profile = ReadAll(p), library = ReadAll(disk / "Macro.cfg");
    small.Fill();
    struct Case {
        std::string args;
        const char* err;
    };
    const Case cases[] = {
        {"set '" + p + "' rate 250", "cannot write"},
        {"new '" + (disk / "q.cfg").string() + "'", "cannot write"},
        {"macros delete 0x15000042 --macros '" + (disk / "Macro.cfg").string() + "'", "cannot write"},
    };
    for (const auto& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.status, 1) << c.args << "\n" << r.out << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_EQ(ReadAll(p), profile);
    EXPECT_EQ(ReadAll(disk / "Macro.cfg"), library);
    EXPECT_FALSE(fs::exists(disk / "q.cfg"));
}

TEST_F(CliTest, SeedingOnAFullDiskLeavesNothingHalfMade) {
    const fs::path disk = dir_ / "disk";
    CSmallDisk small(disk, "64k");
    if (!small.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    const fs::path data = disk / "data";
    const Result r = Ctl("slots --data-dir '" + data.string() + "'");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("cannot create the data directory"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("created the data directory"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(data)) << "a failed seeding is taken back, so the next run seeds again";

    // An existing but empty folder is seeded as a missing one is.
    fs::create_directories(data_);
    const Result seeded = Ctl("slots");
    EXPECT_EQ(seeded.status, 0) << seeded.err;
    EXPECT_NE(seeded.err.find("with the default files"), std::string::npos) << seeded.err;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "Profile1.cfg").size(), 22252u);
    EXPECT_EQ(ReadAll(data_ / "Macro.cfg").size(), 2052000u);
}

TEST_F(CliTest, CommandsThatOnlyReadNeverWrite) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const fs::path profile = data_ / "Profile" / "Profile1.cfg";
    std::string bad = ReadAll(profile);
    bad[0] = 0x55;  // the magic
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << bad;
    for (const char* command : {"show", "slots", "reports"}) {
        const Result r = Ctl(command);
        EXPECT_NE(r.err.find("Profile1.cfg is an invaild Profile!"), std::string::npos) << command << "\n" << r.err;
        EXPECT_EQ(ReadAll(profile), bad) << command;
    }
}

TEST_F(CliTest, DeletingFromAGivenLibraryStillChecksTheProfiles) {
    ASSERT_EQ(Ctl("slots").status, 0);
    fs::create_directories(dir_ / "lib");
    const std::string lib = (dir_ / "lib" / "Macro.cfg").string();
    WriteLibraryWithOneMacro(lib, 0x15000042);
    ASSERT_EQ(Ctl("set 1 button right macro:0x15000042 --macros '" + lib + "'").status, 0);
    const std::string before = ReadAll(lib);
    const Result r = Ctl("macros delete 0x15000042 --macros '" + lib + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is used by a profile"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(lib), before);
}

TEST_F(CliTest, WritesGoThroughLinksAndKeepTheMode) {
    ASSERT_EQ(Ctl("slots").status, 0);
    // The user keeps profile 2 elsewhere and links it into the data directory, readable only by them.
    const fs::path kept = dir_ / "kept.cfg";
    const fs::path slot = data_ / "Profile" / "Profile2.cfg";
    fs::rename(slot, kept);
    fs::create_symlink(kept, slot);
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    const Result r = Ctl("set 2 rate 250");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(slot));
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NE(Ctl("show 2").out.find("report rate: 250 per second"), std::string::npos);
}

// Runs the tool in the background; Finish waits for it.
pid_t Start(const std::string& line) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}
int Finish(pid_t pid) {
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(CliTest, ConcurrentWritersLoseNoChange) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const std::string tool = std::string(N640CTL_PATH) + " --data-dir '" + data_.string() + "' ";
    const fs::path go = dir_ / "go";
    for (int trial = 0; trial < 10; ++trial) {
        SCOPED_TRACE(trial);
        const int rate = trial % 2 ? 250 : 500, brightness = 1 + trial;
        // Both wait for a line on the pipe, so that they start together when it is written.
        ASSERT_EQ(::mkfifo(go.c_str(), 0600), 0);
        const int pipe = ::open(go.c_str(), O_RDWR);  // kept open: the lines wait for a late reader
        ASSERT_GE(pipe, 0);
        const std::string wait = "read _ < '" + go.string() + "'; ";
        const pid_t a = Start(wait + tool + "set 2 rate " + std::to_string(rate) + " >/dev/null 2>&1");
        const pid_t b = Start(wait + tool + "set 2 brightness " + std::to_string(brightness) + " >/dev/null 2>&1");
        EXPECT_EQ(::write(pipe, "\n\n", 2), 2);
        EXPECT_EQ(Finish(a), 0);
        EXPECT_EQ(Finish(b), 0);
        ::close(pipe);
        fs::remove(go);
        const std::string shown = Ctl("show 2").out;
        EXPECT_NE(shown.find("report rate: " + std::to_string(rate) + " per second"), std::string::npos) << shown;
        EXPECT_NE(shown.find("brightness " + std::to_string(brightness) + ","), std::string::npos) << shown;
    }
}

// Whether another process holds the data directory's lock just now.
bool LockedByAnother(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return busy;
}

TEST_F(CliTest, AnApplyDoesNotRevertChangesMadeMeanwhile) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const std::string tool = std::string(N640CTL_PATH) + " --data-dir '" + data_.string() + "' --device sim:'" +
                             (dir_ / "mouse.bin").string() + "' ";
    const pid_t apply = Start(tool + "apply >/dev/null 2>&1");
    // The apply holds the lock from reading the profile to saving it (its fixed waits alone take
    // more than a second); the two changes below come while it runs.
    bool seen = false;
    for (int i = 0; i < 2000 && !seen; ++i) {
        seen = LockedByAnother(data_);
        if (!seen) ::usleep(1000);
    }
    const Result set = Ctl("set 1 rate 250");
    const Result select = Ctl("select 3");
    EXPECT_EQ(Finish(apply), 0);
    EXPECT_TRUE(seen) << "the apply never held the data directory's lock";
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(select.status, 0) << select.err;
    EXPECT_NE(Ctl("show 1").out.find("report rate: 250 per second"), std::string::npos);
    EXPECT_NE(Ctl("slots").out.find("* 3"), std::string::npos);
}

TEST_F(CliTest, ABusyDataDirectoryIsReported) {
    ASSERT_EQ(Ctl("slots").status, 0);
    const std::string before = ReadAll(data_ / "Profile" / "Profile2.cfg");
    const int fd = ::open(data_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);  // as another n640ctl in the middle of a change
    const Result r = Ctl("set 2 rate 250");
    ::close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is busy"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(data_ / "Profile" / "Profile2.cfg"), before);
}

TEST_F(CliTest, AMissingLibraryIsNotCalledASaveFailure) {
    ASSERT_EQ(Ctl("slots").status, 0);
    fs::remove(data_ / "Macro.cfg");
    const Result r = Ctl("macros list");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The file " + (data_ / "Macro.cfg").string() + " was not found."), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("save"), std::string::npos) << r.err;
}

} // namespace

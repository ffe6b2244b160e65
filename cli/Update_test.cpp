// n640ctl update check against a local HTTP server started by the test, with the simulated mouse
// (firmware 17).

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "update/Sha256.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

class UpdateCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("n640ctl-update-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "www" / "software" / "n640");
        const char* source = std::getenv("N640_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        const std::string command = "exec python3 '" + std::string(source) + "/update/testing/update_server.py' '" +
                                    (dir_ / "www").string() + "' 120";
        server_ = ::popen(command.c_str(), "r");
        ASSERT_NE(server_, nullptr);
        ASSERT_EQ(std::fscanf(server_, "%d %d", &port_, &pid_), 2);
        url_ = "http://127.0.0.1:" + std::to_string(port_);
    }
    void TearDown() override {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        if (server_ != nullptr) ::pclose(server_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Describe(const std::string& current, const std::string& newfile, const std::string& sha = "") {
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><firmware><current>" + current +
                          "</current><newfile>" + newfile + "</newfile>";
        if (!sha.empty()) xml += "<sha256>" + sha + "</sha256>";
        WriteText(dir_ / "www" / "software" / "n640" / "update.xml", xml + "</firmware></root>\n");
    }
    int Requests() {
        const std::string log = ReadText(dir_ / "www" / "requests.log");
        return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
    }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };
    Result Check(const std::string& extra = "") {
        std::string line = std::string(N640CTL_PATH) + " --data-dir '" + (dir_ / "data").string() +
                           "' --device sim:'" + (dir_ / "mouse.bin").string() + "' update check --server " + url_ +
                           " " + extra;
        const fs::path out = dir_ / "out.txt", err = dir_ / "err.txt";
        line += " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
        const int raw = std::system(line.c_str());
        return Result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
    }

    fs::path dir_;
    FILE* server_ = nullptr;
    int port_ = 0;
    int pid_ = 0;
    std::string url_;
};

const char* const kLatest = "Firmware is the latest version.";
const char* const kFailed = "New-version firmware download failed.";

TEST_F(UpdateCliTest, ReportsWhatTheServerOffers) {
    struct Case {
        const char* name;
        std::string current;  // empty: no description on the server (404)
        bool newer;
    };
    const Case cases[] = {
        {"newer", "18", true},          {"same", "17", false},    {"older", "12", false},
        {"letter first", "V18", false}, {"missing file", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "www" / "software" / "n640" / "update.xml");
        if (!c.current.empty()) Describe(c.current, url_ + "/fw.bin");
        const Result r = Check();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("mouse firmware: V 0.1.7 (17)"), std::string::npos) << r.out;
        if (c.newer) {
            EXPECT_NE(r.out.find("new firmware available: 18 (the mouse has 17)"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("image: " + url_ + "/fw.bin"), std::string::npos) << r.out;
        } else {
            EXPECT_NE(r.out.find(kLatest), std::string::npos) << r.out;
        }
    }
    EXPECT_EQ(Requests(), 5);
}

TEST_F(UpdateCliTest, MalformedOrSlowDescriptionsReadAsUpToDate) {
    WriteText(dir_ / "www" / "software" / "n640" / "update.xml", "<root><firmware><current>18");
    Result r = Check();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(kLatest), std::string::npos) << r.out;

    // Answering after 3 s: the tool gives up at 2 s like the driver's timer.
    Describe("18", url_ + "/fw.bin");
    WriteText(dir_ / "www" / "software" / "n640" / "update.xml.delay", "3");
    r = Check();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(kLatest), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("new firmware available"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("no description"), std::string::npos) << r.err;
}

TEST_F(UpdateCliTest, DownloadsTheImageOnlyFromHttpAndWhenTheDigestMatches) {
    const std::string image(5000, '\x5A');
    WriteText(dir_ / "www" / "fw.bin", image);
    const std::string good = n640::Sha256Hex(n640::Sha256(image));
    const fs::path target = dir_ / "image.bin";
    struct Case {
        const char* name;
        std::string newfile;
        std::string sha;
        bool downloaded;
        int requests;  // made by this run
    };
    const Case cases[] = {
        {"no digest", url_ + "/fw.bin", "", true, 2},
        {"matching digest", url_ + "/fw.bin", good, true, 2},
        {"wrong digest", url_ + "/fw.bin", std::string(64, 'f'), false, 2},
        {"unreachable image", url_ + "/absent.bin", "", false, 2},
        {"local file address", "file:///C:/x.bin", "", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(target);
        Describe("18", c.newfile, c.sha);
        const int before = Requests();
        const Result r = Check("--download '" + target.string() + "'");
        EXPECT_EQ(Requests() - before, c.requests);
        if (c.downloaded) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(ReadText(target), image);
            EXPECT_NE(r.out.find("sha256 " + good), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(kFailed), std::string::npos) << r.err;
            EXPECT_FALSE(fs::exists(target));
        }
        EXPECT_FALSE(fs::exists(target.string() + ".download"));
    }
}

} // namespace

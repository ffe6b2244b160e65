#include "update/UpdateCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "i18n/UiLanguage.h"
#include "testing/TempDir.h"
#include "testing/ThreadSafePoster.h"

namespace n640 {
namespace {

const WindowRef kPage = reinterpret_cast<WindowRef>(0x5A9);
const WindowRef kMain = reinterpret_cast<WindowRef>(0x3A1);
const std::u16string kServer = u"http://127.0.0.1:1/software/n640/update.xml";
const std::u16string kImageAddress = u"http://127.0.0.1:1/fw/ZentuGameDevice.bin";
const std::string kImage = "firmware image bytes";

// The server: answers from a table, counts requests, and can hold an answer until released.
class CFakeServer final : public IDownloader {
public:
    CFakeServer() { held_.Set(); }
    // Forgets every answer and request.
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        bodies_.clear();
        requests_.clear();
    }
    void Serve(const std::u16string& address, std::string body) {
        std::lock_guard<std::mutex> lock(mutex_);
        bodies_[address] = std::move(body);
    }
    void Hold() { held_.Reset(); }
    void Release() { held_.Set(); }
    // Waits until a held download has begun.
    bool WaitStarted() { return started_.WaitFor(std::chrono::seconds(30)); }

    bool Download(std::u16string_view address, const std::filesystem::path& file) override {
        std::string body;
        bool found = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.emplace_back(address);
            if (auto it = bodies_.find(std::u16string(address)); it != bodies_.end()) {
                body = it->second;
                found = true;
            }
        }
        started_.Set();
        held_.Wait();
        if (aborted_.load() || !found) return false;
        return WriteFileReplacing(CSystemFiles::Instance(), file, body.data(), body.size()) == FileStatus::Ok;
    }
    void Abort() override {
        aborted_.store(true);
        held_.Set();
    }
    std::vector<std::u16string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    std::mutex mutex_;
    std::map<std::u16string, std::string> bodies_;
    std::vector<std::u16string> requests_;
    CManualResetEvent held_;
    CManualResetEvent started_;
    std::atomic<bool> aborted_{false};
};

// The page's message queue: the worker posts into it, the test delivers like the window would.
using CPageQueue = testing::CThreadSafePoster;

class CBoxes final : public INotifier {
public:
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool) override {
        shown.emplace_back(text);
        if (buttons == InfoButtons::Ok || answers.empty()) return kInfoOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowSystemInfo(std::u16string_view text, WindowRef) override { shown.emplace_back(text); }
    using INotifier::ShowInfo;
    std::vector<std::u16string> shown;
    std::deque<int> answers;
};

class CTimerPage final : public IUpdatePage {
public:
    void StartCheckTimer(uint32_t periodMs) override {
        running = true;
        period = periodMs;
    }
    void StopCheckTimer() override { running = false; }
    bool running = false;
    uint32_t period = 0;
};

class CStarter final : public IProgramStarter {
public:
    void StartProgram(const std::filesystem::path& program, std::u16string_view parameter) override {
        started.push_back({program, std::u16string(parameter)});
    }
    std::vector<std::pair<std::filesystem::path, std::u16string>> started;
};

std::string Description(const std::string& current, const std::u16string& newfile, const std::string& sha = "") {
    std::string xml = "<root><firmware><current>" + current + "</current><newfile>" +
                      std::string(newfile.begin(), newfile.end()) + "</newfile>";
    if (!sha.empty()) xml += "<sha256>" + sha + "</sha256>";
    return xml + "</firmware></root>";
}

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest()
        : files(UpdateFilesIn(dir.path())),
          check(files, kServer, UpdatePorts{server, queue, boxes, page, starter, kPage, kMain}, event) {
        check.SetFirmwareVersion(u"17");
        SetUiChinese(false);
    }
    ~UpdateCheckTest() override { SetUiChinese(false); }

    // Delivers the worker's next answer to the page, as the window's message loop does.
    void Deliver() {
        CPageQueue::Posted p{};
        ASSERT_TRUE(queue.Next(p));
        ASSERT_EQ(p.target, kPage);
        ASSERT_EQ(p.message, kUpdatePassDone);
        check.OnPassDone(p.wParam, p.lParam);
    }
    bool ClosePosted() {
        CPageQueue::Posted p{};
        while (!queue.Empty()) {
            queue.Next(p);
            if (p.target == kMain && p.message == kCloseWindowMessage) return true;
        }
        return false;
    }

    testing::CTempDir dir;
    UpdateFiles files;
    CFakeServer server;
    CPageQueue queue;
    CBoxes boxes;
    CTimerPage page;
    CStarter starter;
    CManualResetEvent event;
    CUpdateCheck check;
};

const std::u16string kQuestion(UpdateQuestionText(false));
const std::u16string kUpToDate(UpToDateText(false));
const std::u16string kFailed(DownloadFailedText(false));

TEST_F(UpdateCheckTest, NotNewerOrUnreadableAnswersShowUpToDate) {
    struct Case {
        const char* name;
        bool served;
        std::string body;
    };
    const Case cases[] = {
        {"same version", true, Description("17", kImageAddress)},
        {"older version", true, Description("12", kImageAddress)},
        {"letter before the number", true, Description("V18", kImageAddress)},
        {"malformed description", true, "<root><firmware><current>"},
        {"no firmware element", true, "<root><current>99</current></root>"},
        {"server error", false, ""},
    };
    check.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(files.description);
        server.Clear();
        if (c.served) server.Serve(kServer, c.body);
        boxes.shown.clear();
        check.CheckForUpdate();
        EXPECT_TRUE(page.running);
        EXPECT_EQ(page.period, 2000u);
        EXPECT_FALSE(check.Idle());
        Deliver();
        EXPECT_FALSE(page.running);
        EXPECT_EQ(boxes.shown, std::vector<std::u16string>{kUpToDate});
        EXPECT_TRUE(check.Idle());
    }
    EXPECT_TRUE(starter.started.empty());
}

TEST_F(UpdateCheckTest, NewerVersionAsksAndAfterCancelAsksAgainWithoutGoingOnline) {
    server.Serve(kServer, Description("18", kImageAddress));
    check.Start();
    boxes.answers = {kInfoCancel, kInfoCancel};
    check.CheckForUpdate();
    Deliver();
    EXPECT_EQ(boxes.shown, std::vector<std::u16string>{kQuestion});
    EXPECT_EQ(check.NewFirmwareAddress(), kImageAddress);
    EXPECT_TRUE(check.Idle());
    EXPECT_FALSE(page.running);

    check.CheckForUpdate();  // from the stored description, at once
    EXPECT_EQ(boxes.shown, (std::vector<std::u16string>{kQuestion, kQuestion}));
    EXPECT_FALSE(page.running);
    EXPECT_TRUE(check.Idle());
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(starter.started.empty());
    EXPECT_TRUE(queue.Empty());
}

TEST_F(UpdateCheckTest, OkFetchesTheImageAndHandsOverToTheFlashingTool) {
    check.Start();
    for (const bool chinese : {false, true}) {
        SCOPED_TRACE(chinese ? "Chinese" : "English");
        SetUiChinese(chinese);
        std::filesystem::remove_all(dir / "FWUpdate");
        server.Serve(kServer, Description("18", kImageAddress, Sha256Hex(Sha256(kImage))));
        server.Serve(kImageAddress, kImage);
        starter.started.clear();
        boxes.answers = {kInfoOk};
        check.CheckForUpdate();
        Deliver();  // the description
        EXPECT_FALSE(check.Idle());
        Deliver();  // the image
        ASSERT_EQ(starter.started.size(), 1u);
        EXPECT_EQ(starter.started[0].first, files.tool);
        EXPECT_EQ(starter.started[0].second, chinese ? u"1" : u"0");
        EXPECT_TRUE(ClosePosted());
        EXPECT_EQ(testing::ReadBytes(files.image), std::vector<uint8_t>(kImage.begin(), kImage.end()));
        EXPECT_FALSE(std::filesystem::exists(files.image.string() + ".download"));
        EXPECT_TRUE(check.Idle());
    }
}

TEST_F(UpdateCheckTest, RefusedImagesShowTheFailureAndKeepTheProgramOpen) {
    struct Case {
        const char* name;
        std::u16string address;
        bool served;
        std::string sha;
        bool requested;
    };
    const Case cases[] = {
        {"unreachable image", kImageAddress, false, "", true},
        {"local file address", u"file:///C:/x.bin", false, "", false},
        {"UNC path", u"\\\\host\\share\\x.bin", false, "", false},
        {"wrong digest", kImageAddress, true, std::string(64, '0'), true},
        {"digest that is not hex", kImageAddress, true, "zz", true},
    };
    check.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir / "FWUpdate");
        server.Clear();
        server.Serve(kServer, Description("18", c.address, c.sha));
        if (c.served) server.Serve(c.address, kImage);
        boxes.shown.clear();
        boxes.answers = {kInfoOk};
        check.CheckForUpdate();
        Deliver();
        if (c.requested) Deliver();
        EXPECT_EQ(boxes.shown, (std::vector<std::u16string>{kQuestion, kFailed}));
        const auto requests = server.Requests();
        EXPECT_EQ(requests.size(), c.requested ? 2u : 1u);
        EXPECT_FALSE(std::filesystem::exists(files.image));
        EXPECT_FALSE(std::filesystem::exists(files.image.string() + ".download"));
        EXPECT_TRUE(starter.started.empty());
        EXPECT_FALSE(ClosePosted());
        EXPECT_TRUE(check.Idle());
    }
}

TEST_F(UpdateCheckTest, SlowServerTimesOutAndItsLateAnswerIsDropped) {
    server.Serve(kServer, Description("18", kImageAddress));
    server.Hold();
    check.Start();
    check.CheckForUpdate();
    ASSERT_TRUE(server.WaitStarted());
    check.CheckForUpdate();  // a second click while waiting does nothing
    check.OnTimer();
    EXPECT_FALSE(page.running);
    EXPECT_EQ(boxes.shown, std::vector<std::u16string>{kUpToDate});
    EXPECT_TRUE(check.Idle());
    server.Release();
    Deliver();  // arrives late: no question, no message
    EXPECT_EQ(boxes.shown, std::vector<std::u16string>{kUpToDate});
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(check.Idle());
    // The late answer was stored: the next click asks from it without going online.
    boxes.answers = {kInfoCancel};
    check.CheckForUpdate();
    EXPECT_EQ(boxes.shown, (std::vector<std::u16string>{kUpToDate, kQuestion}));
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateCheckTest, TimerBeforeTheWorkerWokeWithdrawsTheRequest) {
    server.Serve(kServer, Description("18", kImageAddress));
    check.CheckForUpdate();  // worker not running yet: the request waits
    EXPECT_TRUE(event.IsSet());
    check.OnTimer();
    EXPECT_FALSE(event.IsSet());
    check.Start();
    check.Stop();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(boxes.shown, std::vector<std::u16string>{kUpToDate});
}

TEST_F(UpdateCheckTest, StoredNewerVersionWithoutItsImageFetchesItBeforeTheHandOver) {
    const std::string stored = Description("18", kImageAddress);
    testing::WriteBytes(files.description, stored.data(), stored.size());
    server.Serve(kImageAddress, kImage);
    check.Start();
    boxes.answers = {kInfoOk};
    check.CheckForUpdate();
    EXPECT_FALSE(page.running);
    Deliver();
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(server.Requests(), std::vector<std::u16string>{kImageAddress});

    // With the image in place the tool starts at once.
    starter.started.clear();
    boxes.answers = {kInfoOk};
    check.CheckForUpdate();
    EXPECT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateCheckTest, StopJoinsTheWorkerInTheMiddleOfADownload) {
    server.Serve(kServer, Description("18", kImageAddress));
    server.Hold();
    check.Start();
    check.CheckForUpdate();
    ASSERT_TRUE(server.WaitStarted());
    check.Stop();  // aborts the held download and joins
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(std::filesystem::exists(files.description));
    check.CheckForUpdate();  // nothing runs any more: the request stays unanswered
    EXPECT_FALSE(check.Idle());
}

} // namespace
} // namespace n640

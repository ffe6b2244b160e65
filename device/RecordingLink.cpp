#include "device/RecordingLink.h"

#include <cstdio>

namespace n640 {

std::string LinkEvent::Text() const {
    std::string text;
    switch (kind) {
    case Kind::Feature: text = "feature"; break;
    case Kind::Read: text = "read"; break;
    case Kind::Output: text = "output"; break;
    case Kind::Wait: text = "wait " + std::to_string(ms); break;
    case Kind::PendingWait: text = "pending " + std::to_string(ms); break;
    }
    for (uint8_t b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        text += hex;
    }
    if (!ok) text += " failed";
    return text;
}

void CLinkLog::Add(LinkEvent event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
}

std::vector<LinkEvent> CLinkLog::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

void CLinkLog::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
}

std::string CLinkLog::Text() const {
    std::string text;
    for (const LinkEvent& e : Events()) text += e.Text() + "\n";
    return text;
}

void CRecordingClock::Sleep(uint32_t ms) {
    log_.Add({LinkEvent::Kind::Wait, {}, ms, true});
    {
        std::lock_guard<std::mutex> lock(mutex_);
        elapsed_ += ms;
    }
    if (inner_) inner_->Sleep(ms);
}

uint64_t CRecordingClock::TickMs() {
    if (inner_) return inner_->TickMs();
    std::lock_guard<std::mutex> lock(mutex_);
    return elapsed_;
}

namespace {

class CRecordingHandle final : public IHidHandle {
public:
    CRecordingHandle(std::unique_ptr<IHidHandle> inner, CLinkLog& log) : inner_(std::move(inner)), log_(log) {}

    bool SetFeature(const uint8_t* report, size_t len) override {
        const bool ok = inner_->SetFeature(report, len);
        log_.Add({LinkEvent::Kind::Feature, {report, report + len}, 0, ok});
        return ok;
    }
    bool GetFeature(uint8_t* report, size_t len) override {
        const bool ok = inner_->GetFeature(report, len);
        log_.Add({LinkEvent::Kind::Read, {report, report + len}, 0, ok});
        return ok;
    }
    HidWriteStatus Write(const uint8_t* report, size_t len) override {
        const HidWriteStatus status = inner_->Write(report, len);
        log_.Add({LinkEvent::Kind::Output, {report, report + len}, 0, status != HidWriteStatus::Failed});
        return status;
    }
    bool WaitPendingWrite(uint32_t timeoutMs) override {
        const bool ok = inner_->WaitPendingWrite(timeoutMs);
        log_.Add({LinkEvent::Kind::PendingWait, {}, timeoutMs, ok});
        return ok;
    }
    std::string LastError() const override { return inner_->LastError(); }

private:
    std::unique_ptr<IHidHandle> inner_;
    CLinkLog& log_;
};

} // namespace

std::unique_ptr<IHidHandle> CRecordingHid::Open(const std::string& path, HidAccess access) {
    std::unique_ptr<IHidHandle> handle = inner_.Open(path, access);
    if (!handle) return nullptr;
    return std::make_unique<CRecordingHandle>(std::move(handle), log_);
}

} // namespace n640

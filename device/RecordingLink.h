#pragma once
// A recording of everything that goes over the link: every feature report sent, every feature
// report read, every output report and every wait, in order. Tests check bytes and pacing with
// it; the command-line tool prints it as a trace of an apply.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidPort.h"
#include "platform/Clock.h"

namespace n640 {

struct LinkEvent {
    enum class Kind {
        Feature,      // a feature report sent (bytes: the whole report, id first)
        Read,         // a feature report read (bytes: the answer, id first)
        Output,       // an output report written (bytes: 33, id first)
        Wait,         // a fixed wait of the clock (ms)
        PendingWait,  // a bounded wait for a write the system left pending (ms: the bound)
    };
    Kind kind;
    std::vector<uint8_t> bytes;
    uint32_t ms = 0;
    bool ok = true;   // the report's or pending wait's result

    // "feature 80 00 ..", "read ..", "output ..", "wait 50", "pending 1500"; a failed report
    // or pending wait ends in " failed".
    std::string Text() const;
};

// The shared, thread-safe log.
class CLinkLog {
public:
    void Add(LinkEvent event);
    std::vector<LinkEvent> Events() const;
    void Clear();
    // One Text() line per event, each ending in '\n'.
    std::string Text() const;

private:
    mutable std::mutex mutex_;
    std::vector<LinkEvent> events_;
};

// A clock that logs every Sleep as a wait and, when given one, passes it on to an inner clock.
// TickMs is the inner clock's, or the sum of the waits logged.
class CRecordingClock final : public IClock {
public:
    explicit CRecordingClock(CLinkLog& log, IClock* inner = nullptr) : log_(log), inner_(inner) {}
    void Sleep(uint32_t ms) override;
    uint64_t TickMs() override;

private:
    CLinkLog& log_;
    IClock* inner_;
    std::mutex mutex_;
    uint64_t elapsed_ = 0;
};

// An enumerator that passes everything to another one and logs every report that goes through
// the handles it opens.
class CRecordingHid final : public IHidEnumerator {
public:
    CRecordingHid(IHidEnumerator& inner, CLinkLog& log) : inner_(inner), log_(log) {}
    bool Available() override { return inner_.Available(); }
    std::vector<std::string> InterfacePaths() override { return inner_.InterfacePaths(); }
    std::optional<HidIds> Attributes(const std::string& path) override { return inner_.Attributes(path); }
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override {
        return inner_.FeatureValueCaps(path);
    }
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override;
    HidError LastError() const override { return inner_.LastError(); }

private:
    IHidEnumerator& inner_;
    CLinkLog& log_;
};

} // namespace n640

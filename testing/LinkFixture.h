#pragma once
// A link to the simulated mouse with every report and wait recorded: the fixture of the
// device tests, usable by any test that drives CUSBDriver.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/RecordingLink.h"
#include "device/USBDriver.h"
#include "device/sim/SimulatedMouse.h"

namespace n640::testing {

class SimLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.Open());
        log.Clear();
    }

    // The log as text lines ("feature 02 0C 01 ...", "wait 50", ...).
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const LinkEvent& e : log.Events()) lines.push_back(e.Text());
        return lines;
    }
    // Only the events of one kind.
    std::vector<LinkEvent> Only(LinkEvent::Kind kind) const {
        std::vector<LinkEvent> out;
        for (const LinkEvent& e : log.Events())
            if (e.kind == kind) out.push_back(e);
        return out;
    }

    CSimulatedMouse mouse;
    CSimHidEnumerator sim{mouse};
    CLinkLog log;
    CRecordingHid hid{sim, log};
    CRecordingClock clock{log};
    CUSBDriver link{hid, clock};
};

} // namespace n640::testing

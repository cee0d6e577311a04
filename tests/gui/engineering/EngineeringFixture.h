#pragma once

#include "app/Popups.h"
#include "sim/VirtualRadio.h"
#include "workflow/AppContext.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace kav::test {

// An engineering build's shared objects with the port open on a virtual QM2200.
class OverVirtualRadio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(radio.start());
        ASSERT_EQ(ctx.port().Open(radio.slavePath(), 9600), 1);
        ctx.models().setModelByProductId(0x2200);
    }
    void TearDown() override { ctx.waitForTransfer(); }

    // Lets queued notices and timers run until `done` holds (or two seconds pass).
    static bool waitFor(const std::function<bool()>& done, int ms = 2000) {
        return QTest::qWaitFor(done, ms);
    }
    // No request reaches the radio within a short while.
    ::testing::AssertionResult nothingSent() {
        QTest::qWait(60);
        const auto requests = radio.requests();
        if (requests.empty()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << requests.size() << " requests were sent";
    }
    CommandResponder state() const { return radio.snapshot(); }

    popups::Script script;
    QTemporaryDir dir;
    VirtualRadio radio{0x2200};
    AppContext ctx{BuildConfig::engineering(), 1, PortEnvironment{dir.path().toStdString()}};
};

} // namespace kav::test

#include "core/workflow/FakeUi.h"
#include "link/KavIICommand.h"
#include "service/Calibration.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"
#include "workflow/AppContext.h"
#include "workflow/Outcome.h"
#include "workflow/StartUp.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kav {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Message = FakeUi::Message;

constexpr int kRxOffsetAddress = 27; // QM2200 map
constexpr int kS1Address = 22;
constexpr std::uint8_t kWriteByte = 0x21;
constexpr std::uint8_t kEngineering = 0x34;
constexpr std::uint8_t kFrequencyError = 0x8C;
constexpr std::uint8_t kAfcAndModes = 0x8D;

// The calibration against a virtual QM2200 on a pty that the ports folder maps to COM1.
class CalibrationRadioTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.update([](CommandResponder& r) {
            Bytes bytes = test::patternImage(0x2200, 5);
            r.eeprom().writeBlock(0, bytes.data(), 2048);
        });
        ASSERT_TRUE(sim.start());
        fs::create_symlink(sim.slavePath(), scratch.path() / "COM1");
        ctx = std::make_unique<AppContext>(BuildConfig::delivered(), 0,
                                           PortEnvironment{scratch.str()});
        startUp(*ctx, ui);
        ASSERT_TRUE(ctx->port().IsOpen());
        ui.messages.clear();
        sim.clearRecords();
    }
    void TearDown() override {
        ctx.reset();
        sim.stop();
    }

    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = sim.faults();
        change(faults);
        sim.setFaults(faults);
    }
    // Stored offset in the radio and the image alike.
    void storeOffset(int offset) {
        sim.update(
            [&](CommandResponder& r) { r.eeprom().setByte(kRxOffsetAddress, offset & 255); });
        ctx->image().setByte(kRxOffsetAddress, offset & 255);
    }
    int commandCount(std::uint8_t command, int sub = -1) const {
        int n = 0;
        for (const Bytes& r : sim.requests()) {
            n += r.size() >= 2 && (r[0] & kKavIICommandMask) == command && (sub < 0 || r[1] == sub);
        }
        return n;
    }
    std::uint8_t radioByte(int address) const {
        return static_cast<std::uint8_t>(sim.snapshot().eeprom().getByte(address));
    }
    RxOffsetResult runAutoOffset() {
        return autoRxOffset(ctx->radio(), ctx->image(), false, kRxOffsetAddress, cancel, memo);
    }

    test::TempDir scratch{"kav-calibration"};
    VirtualRadio sim;
    FakeUi ui;
    std::unique_ptr<AppContext> ctx;
    Event cancel;
    std::vector<std::string> lines;
    MemoSink memo{[this] { lines.push_back("<clear>"); },
                  [this](const std::string& line) {
                      lines.push_back(line);
                  }};
};

TEST_F(CalibrationRadioTest, PreReadCopiesTheRadiosCalibrationIntoTheImage) {
    bool offline = true;
    ASSERT_EQ(alignPreRead(*ctx, ui, offline), Outcome::Done);
    EXPECT_FALSE(offline);
    EXPECT_TRUE(ui.messages.empty());
    const Bytes radio = test::patternImage(0x2200, 5);
    for (int a = 0; a < 32; ++a) {
        EXPECT_EQ(ctx->image().getByte(a), radio[static_cast<std::size_t>(a)]) << a;
    }
    EXPECT_EQ(ctx->image().getByte(32), 0xFF); // only the two blocks
}

TEST_F(CalibrationRadioTest, PreReadWithoutARadioAsksToGoOffline) {
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 0; });
    for (const bool answer : {true, false}) {
        SCOPED_TRACE(answer);
        ui.messages.clear();
        ui.answers = {answer};
        bool offline = false;
        EXPECT_EQ(alignPreRead(*ctx, ui, offline), answer ? Outcome::Done : Outcome::Refused);
        EXPECT_EQ(offline, answer);
        EXPECT_EQ(ui.messages,
                  (std::vector<Message>{{"Radio Response Timeout", "Reading Product ID", false},
                                        {kUnableToReadCalibration, "Comms Error", true}}));
    }
    EXPECT_EQ(ctx->image().getByte(2), 0xFF);
}

TEST_F(CalibrationRadioTest, PreReadThatFailsMidWayKeepsTheImageAndTheWindowClosed) {
    // Product ID, version, the first block; then silence.
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 3; });
    bool offline = true;
    EXPECT_EQ(alignPreRead(*ctx, ui, offline), Outcome::Failed);
    EXPECT_EQ(ui.messages, (std::vector<Message>{{kErrorReadingCalibration, "Comms Error"}}));
    for (int a = 2; a < 32; ++a) {
        EXPECT_EQ(ctx->image().getByte(a), 0xFF) << a;
    }
}

TEST_F(CalibrationRadioTest, CalibrationWritesStayInTheCalibrationArea) {
    for (const int address : {-1, 33, 110}) {
        EXPECT_EQ(writeCalibration(ctx->radio(), false, address, 5, memo), WriteResult::NotSent);
    }
    EXPECT_EQ(writeCalibration(ctx->radio(), true, 20, 5, memo), WriteResult::NotSent);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(commandCount(kWriteByte), 0);

    // -1 as its byte; the address is never reduced.
    EXPECT_EQ(writeCalibration(ctx->radio(), false, kRxOffsetAddress, -1, memo),
              WriteResult::Accepted);
    EXPECT_EQ(radioByte(kRxOffsetAddress), 255);
    EXPECT_EQ(ctx->image().getByte(kRxOffsetAddress), 255);
    EXPECT_EQ(lines, (std::vector<std::string>{"<clear>", "Write... ", "OK"}));

    lines.clear();
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[kWriteByte] = true; });
    EXPECT_EQ(writeCalibration(ctx->radio(), false, 20, 77, memo), WriteResult::Refused);
    EXPECT_EQ(ctx->image().getByte(20), 0xFF);
    EXPECT_EQ(lines, (std::vector<std::string>{"<clear>", "Write... ", "fail"}));
}

TEST_F(CalibrationRadioTest, MicGainIsLimitedOfflineAwareAndStoredOnlyWhenAccepted) {
    EXPECT_EQ(writeMicGain(ctx->radio(), true, 110, 5, memo), WriteResult::NotSent);
    EXPECT_EQ(writeMicGain(ctx->radio(), false, 110, 100, memo), WriteResult::Accepted);
    EXPECT_EQ(radioByte(110), 30);
    EXPECT_EQ(writeMicGain(ctx->radio(), false, 110, -56, memo), WriteResult::Accepted);
    EXPECT_EQ(ctx->image().getByte(110), 0xF4); // -12
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[kWriteByte] = true; });
    EXPECT_EQ(writeMicGain(ctx->radio(), false, 110, 3, memo), WriteResult::Refused);
    EXPECT_EQ(ctx->image().getByte(110), 0xF4);
    EXPECT_EQ(lines, (std::vector<std::string>{"OK", "OK", "fail"}));
}

TEST_F(CalibrationRadioTest, AutoOffsetConvergesAndEndsWithAfcOn) {
    // A radio 275 Hz low at offset 10; each unit of offset moves it by 50 Hz.
    sim.update([](CommandResponder& r) {
        r.state().status = kStatusCarrierBit;
        r.state().frequencyError = -775;
        r.state().frequencyErrorOffsetAddress = kRxOffsetAddress;
    });
    storeOffset(10);

    RxOffsetResult first = runAutoOffset();
    EXPECT_EQ(first.status, RxOffsetResult::Status::Sampled);
    EXPECT_EQ(first.average, -275);
    EXPECT_EQ(first.offset, 15);
    EXPECT_EQ(first.written, WriteResult::Accepted);
    EXPECT_EQ(radioByte(kRxOffsetAddress), 15);
    EXPECT_EQ(ctx->image().getByte(kRxOffsetAddress), 15);

    RxOffsetResult second = runAutoOffset();
    EXPECT_EQ(second.average, -25);
    EXPECT_EQ(second.offset, 15);
    EXPECT_EQ(commandCount(kEngineering, kFrequencyError), 16);
    EXPECT_EQ(sim.snapshot().state().modeBits, 1); // AFC on
}

TEST_F(CalibrationRadioTest, AutoOffsetNeedsACarrier) {
    sim.update([](CommandResponder& r) { r.state().status = 0x01; }); // busy, no carrier
    EXPECT_EQ(runAutoOffset().status, RxOffsetResult::Status::NoSignal);
    EXPECT_EQ(commandCount(kEngineering), 0);
}

TEST_F(CalibrationRadioTest, AutoOffsetThatLosesTheRadioWritesNothing) {
    sim.update([](CommandResponder& r) {
        r.state().status = kStatusCarrierBit;
        r.state().frequencyError = -100;
    });
    storeOffset(10);
    // Status, AFC off and three samples; then silence.
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 5; });
    const RxOffsetResult result = runAutoOffset();
    EXPECT_EQ(result.status, RxOffsetResult::Status::SamplesFailed);
    EXPECT_EQ(result.average, -100); // of the three good samples, not divided by 8
    EXPECT_EQ(result.written, WriteResult::NotSent);
    EXPECT_EQ(commandCount(kWriteByte), 0);
    EXPECT_EQ(ctx->image().getByte(kRxOffsetAddress), 10);
}

TEST_F(CalibrationRadioTest, CancelledAutoOffsetStopsSamplingAndRestoresAfc) {
    sim.update([](CommandResponder& r) { r.state().status = kStatusCarrierBit; });
    storeOffset(10);
    setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 40; });
    bool afcWasOff = false;
    std::thread canceller;
    const RxOffsetResult result =
        autoRxOffset(ctx->radio(), ctx->image(), false, kRxOffsetAddress, cancel, memo, [&] {
            afcWasOff = sim.snapshot().state().modeBits == 0;
            canceller = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                cancel.set();
            });
        });
    canceller.join();
    EXPECT_TRUE(afcWasOff);
    EXPECT_EQ(result.status, RxOffsetResult::Status::Cancelled);
    EXPECT_LT(commandCount(kEngineering, kFrequencyError), 8);
    EXPECT_EQ(commandCount(kWriteByte), 0);
    EXPECT_EQ(sim.snapshot().state().modeBits, 1);
    EXPECT_EQ(commandCount(kEngineering, kAfcAndModes), 2);
}

TEST_F(CalibrationRadioTest, SMeterPointAveragesSixteenReadings) {
    sim.update([](CommandResponder& r) { r.state().adc[kRssiChannel] = 62; });
    SMeterResult result = calibrateSMeter(ctx->radio(), kS1Address, cancel);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.value, 62);
    EXPECT_EQ(radioByte(kS1Address), 62);
    EXPECT_EQ(ctx->image().getByte(kS1Address), 62);

    // A refused write leaves the image as it was.
    ctx->image().setByte(kS1Address, 40);
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[kWriteByte] = true; });
    result = calibrateSMeter(ctx->radio(), kS1Address, cancel);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.value, 62);
    EXPECT_EQ(ctx->image().getByte(kS1Address), 40);
}

TEST_F(CalibrationRadioTest, SMeterWithAMissingReadingWritesNothing) {
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 10; });
    const SMeterResult result = calibrateSMeter(ctx->radio(), kS1Address, cancel);
    EXPECT_FALSE(result.complete);
    EXPECT_FALSE(result.value.has_value());
    EXPECT_EQ(commandCount(kWriteByte), 0);

    cancel.set();
    EXPECT_TRUE(calibrateSMeter(ctx->radio(), kS1Address, cancel).cancelled);
}

} // namespace
} // namespace kav

#include "link/Kaviiprotocol.h"
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

class TRadioTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.update([](CommandResponder& r) {
            for (int a = 2; a < EEPROM::kImageSize; ++a) {
                r.eeprom().setByte(a, a & 0xFF);
            }
            r.state().adc = {10, 11, 12, 13, 14, 15, 16, 17};
            r.state().arrayValues = {0, 1, 2, -16, 4, 5, 6, 7};
            r.state().frequencyError = -300;
            r.state().status = 0x21;
        });
        ASSERT_TRUE(sim.start());
        ASSERT_EQ(port.Open(sim.slavePath(), 9600), 1);
    }

    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = sim.faults();
        change(faults);
        sim.setFaults(faults);
    }

    // Puts `payload` on the line as a reply once the radio has seen its next request.
    void injectAfterNextRequest(const Bytes& payload) {
        const std::size_t seen = sim.requests().size();
        injector = std::thread([this, seen, payload] {
            if (sim.waitForRequests(seen + 1, 2000)) {
                sim.sendKavIFrame(test::kaviiFrame(payload));
            }
        });
    }

    void TearDown() override {
        if (injector.joinable()) {
            injector.join();
        }
    }

    Bytes lastRequest() const {
        const auto all = sim.requests();
        return all.empty() ? Bytes{} : all.back();
    }

    VirtualRadio sim;
    SerialPort port;
    EEPROM image;
    TRadio radio{port, image, BuildConfig::delivered()};
    std::thread injector;
};

struct RequestCase {
    const char* name;
    std::function<bool(TRadio&)> call;
    Bytes request;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << c.name;
}

class TRadioRequests : public TRadioTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(TRadioRequests, SendsTheExactPayloadAndSucceeds) {
    EXPECT_TRUE(GetParam().call(radio));
    ASSERT_TRUE(sim.waitForRequests(1, 1000));
    EXPECT_EQ(lastRequest(), GetParam().request);
}

const std::uint8_t kBlock[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
const std::uint8_t kId[8] = {1, 2, 3, 4, 5, 6, 7, 8};
const std::uint8_t kDigits[2] = {'1', '2'};
const std::uint8_t kText[5] = {'A', 'B', 'C', 'D', 'E'};

Bytes withBlock(Bytes head, const std::uint8_t* bytes, int n) {
    head.insert(head.end(), bytes, bytes + n);
    return head;
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, TRadioRequests,
    ::testing::Values(
        RequestCase{"Ping", [](TRadio& r) { return r.Ping(); }, {0x80}},
        RequestCase{"EnterProgMode", [](TRadio& r) { return r.EnterProgMode(); }, {0xB9}},
        RequestCase{"ResetRadio", [](TRadio& r) { return r.ResetRadio(); }, {0xBF}},
        RequestCase{"Baud38400", [](TRadio& r) { return r.SetRadioBaudRate(38400); },
                    {0xBB, 0x00, 0x96, 0x00}},
        RequestCase{"ProductId", [](TRadio& r) { int v; return r.ReadProductId(v); },
                    {0x82, 0x00, 0x00}},
        RequestCase{"SendCommand",
                    [](TRadio& r) {
                        const std::uint8_t raw[] = {0x05};
                        return r.SendCommand(raw, 1);
                    },
                    {0x85}},
        RequestCase{"ReadByte", [](TRadio& r) { int v; return r.ReadByte(0x1234 & 0x7FF, v); },
                    {0x81, 0x02, 0x34}},
        RequestCase{"ReadWord", [](TRadio& r) { int v; return r.ReadWord(0x0100, v); },
                    {0x82, 0x01, 0x00}},
        RequestCase{"Read16", [](TRadio& r) { std::uint8_t b[16]; return r.Read16(0x7F0, b); },
                    {0x83, 0x07, 0xF0}},
        RequestCase{"ReadBlock",
                    [](TRadio& r) {
                        std::uint8_t b[128];
                        return r.ReadBlock(128, 0x100, b) == 128;
                    },
                    {0x8B, 0x01, 0x00, 0x80}},
        RequestCase{"WriteByte", [](TRadio& r) { return r.WriteByte(0x10, 0x7E); },
                    {0xA1, 0x00, 0x10, 0x7E}},
        RequestCase{"WriteWord", [](TRadio& r) { return r.WriteWord(0x10, 0x1234); },
                    {0xA2, 0x00, 0x10, 0x12, 0x34}},
        RequestCase{"Write16", [](TRadio& r) { return r.Write16(0x20, kBlock); },
                    withBlock({0xA3, 0x00, 0x20}, kBlock, 16)},
        RequestCase{"WriteBlock", [](TRadio& r) { return r.WriteBlock(16, 0x40, kBlock); },
                    withBlock({0xAB, 0x00, 0x40, 16}, kBlock, 16)},
        RequestCase{"GetChannel", [](TRadio& r) { return r.GetChannel() >= 0; }, {0x84}},
        RequestCase{"StepUp", [](TRadio& r) { int c; return r.StepChannel(1, c); }, {0xA9}},
        RequestCase{"StepDown", [](TRadio& r) { int c; return r.StepChannel(-1, c); }, {0xAA}},
        RequestCase{"SetChannel", [](TRadio& r) { return r.SetChannel(12); }, {0xA4, 12}},
        RequestCase{"GetStatus", [](TRadio& r) { int f; return r.GetStatus(f); }, {0x85}},
        RequestCase{"HighPower", [](TRadio& r) { return r.SetRfPower(0, 2); }, {0xA5, 0, 2}},
        RequestCase{"Ptt", [](TRadio& r) { return r.SetPtt(1); }, {0xA6, 1}},
        RequestCase{"SquelchLevel", [](TRadio& r) { return r.SetSquelchLevel(9); }, {0xA7, 9}},
        RequestCase{"Volume", [](TRadio& r) { return r.SetVolume(31); }, {0xAF, 31}},
        RequestCase{"TestMode", [](TRadio& r) { return r.SetTestMode(1); }, {0xB8, 1}},
        RequestCase{"ReadRadioId", [](TRadio& r) { std::uint8_t id[8]; return r.ReadRadioId(id); },
                    {0x8C}},
        RequestCase{"WriteRadioId", [](TRadio& r) { return r.WriteRadioId(kId); },
                    withBlock({0xAC}, kId, 8)},
        RequestCase{"MemRead", [](TRadio& r) { int v; return r.MemRead(0x1234, v); },
                    {0xB4, 0x01, 0x12, 0x34}},
        RequestCase{"GetArray", [](TRadio& r) { return r.GetArray(3); }, {0xB4, 0x07, 3}},
        RequestCase{"ReadAdc", [](TRadio& r) { int v; return r.ReadAdc(4, v); }, {0xB4, 0x08, 4}},
        RequestCase{"MemWrite", [](TRadio& r) { return r.MemWrite(0x1234, 0x55, 0x0F); },
                    {0xB4, 0x81, 0x12, 0x34, 0x55, 0x0F}},
        RequestCase{"SelcallTone", [](TRadio& r) { return r.SetSelcallTone(3); }, {0xB4, 0x82, 3}},
        RequestCase{"CtcssTone", [](TRadio& r) { return r.SetCtcssTone(7); }, {0xB4, 0x83, 7}},
        RequestCase{"WriteLcd", [](TRadio& r) { return r.WriteLcd(kDigits, kText, 0x99, 0x1234); },
                    {0xB4, 0x84, '1', '2', 'A', 'B', 'C', 'D', 'E', 0x34, 0x12, 0x99}},
        RequestCase{"SquelchOpen", [](TRadio& r) { return r.SetSquelchOpen(true); },
                    {0xB4, 0x86, 1}},
        RequestCase{"Pll", [](TRadio& r) { return r.SetPll(477000000 / 12500); },
                    {0xB4, 0x88, 0x95, 0x10}},
        RequestCase{"AutoAlign", [](TRadio& r) { return r.AutoAlign(1, 2, 3, 4); },
                    {0xB4, 0x89, 1, 2, 3, 4}},
        RequestCase{"Beep", [](TRadio& r) { return r.Beep(880); }, {0xB4, 0x8A, 0x03, 0x70}},
        RequestCase{"AudioSamplesClamped",
                    [](TRadio& r) {
                        std::int16_t s[200];
                        return r.ReadAudioSamples(200, s);
                    },
                    {0xB4, 0x8B, 126}},
        RequestCase{"FrequencyError", [](TRadio& r) { int v; return r.ReadFrequencyError(v); },
                    {0xB4, 0x8C}},
        RequestCase{"Afc", [](TRadio& r) { return r.SetAfc(true); }, {0xB4, 0x8D, 0x01}},
        RequestCase{"Wideband", [](TRadio& r) { return r.SetWideband(); }, {0xB4, 0x8D, 0x02}},
        RequestCase{"LowPower", [](TRadio& r) { return r.SetLowPower(true); },
                    {0xB4, 0x8D, 0x04}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(TRadioTest, VersionAndRadioType) {
    std::string text = "x";
    EXPECT_FALSE(radio.GetVersionText(text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(radio.firmwareMajorVersion(), -1);
    ASSERT_TRUE(radio.GetVersion());
    ASSERT_TRUE(radio.GetVersionText(text));
    EXPECT_EQ(text, "v2.01");

    sim.update([](CommandResponder& r) {
        r.state().firmwareMajor = 0x10;
        r.state().firmwareMinor = 0x05;
        r.state().firmwareLetter = 'B';
        r.state().radioType = "ABCDEFGHIJKLMNOPQRST";
    });
    ASSERT_TRUE(radio.GetVersion());
    radio.GetVersionText(text);
    EXPECT_EQ(text, "v10.05B");
    ASSERT_TRUE(radio.ReadRadioType(text));
    EXPECT_EQ(text, "ABCDEFGHIJKLMNOP");
    radio.GetRadioTypeText(text);
    EXPECT_EQ(text, "ABCDEFGHIJKLMNOP");
}

TEST_F(TRadioTest, EepromRepliesAreParsedAndWritesReachTheImage) {
    int value = 0;
    ASSERT_TRUE(radio.ReadProductId(value));
    EXPECT_EQ(value, 0x2200);
    ASSERT_TRUE(radio.ReadByte(0x123, value));
    EXPECT_EQ(value, 0x23);
    ASSERT_TRUE(radio.ReadWord(0x7FE, value));
    EXPECT_EQ(value, 0xFEFF);
    std::uint8_t block[128] = {};
    ASSERT_TRUE(radio.Read16(0x7D, block));
    EXPECT_EQ(block[0], 0x7D); // escaped on the wire
    EXPECT_EQ(block[15], 0x8C);
    EXPECT_EQ(radio.ReadBlock(128, 0x7C0, block), 64); // the radio's count, clipped at the end
    EXPECT_EQ(block[63], 0xFF);

    ASSERT_TRUE(radio.WriteByte(0x30, 0x7E));
    ASSERT_TRUE(radio.WriteWord(0x40, 0xBEEF));
    EXPECT_EQ(image.getByte(0x30), 0x7E);
    EXPECT_EQ(image.getWord(0x40), 0xBEEF);
    const CommandResponder after = sim.snapshot();
    EXPECT_EQ(after.eeprom().getByte(0x30), 0x7E);
    EXPECT_EQ(after.eeprom().getWord(0x40), 0xBEEF);
}

TEST_F(TRadioTest, ControlAndEngineeringRepliesAreParsed) {
    int value = 0;
    ASSERT_TRUE(radio.GetStatus(value));
    EXPECT_EQ(value, 0x21);
    ASSERT_TRUE(radio.ReadAdc(4, value));
    EXPECT_EQ(value, 14);
    EXPECT_EQ(radio.adcValue(4), 14);
    ASSERT_TRUE(radio.GetArray(3));
    EXPECT_EQ(radio.arrayValue(3), -16);
    ASSERT_TRUE(radio.GetArray(255));
    EXPECT_EQ(radio.arrayValue(3), 240);
    EXPECT_FALSE(radio.GetArray(9)); // the radio's status byte reports failure
    ASSERT_TRUE(radio.ReadFrequencyError(value));
    EXPECT_EQ(value, -300);
    sim.update([](CommandResponder& r) { r.state().audioSamples = {0x0102, -2}; });
    std::int16_t samples[3] = {};
    ASSERT_TRUE(radio.ReadAudioSamples(3, samples));
    EXPECT_EQ(samples[0], 0x0102);
    EXPECT_EQ(samples[1], -2);
    std::uint8_t id[8] = {};
    sim.update([](CommandResponder& r) { r.state().radioId = {8, 7, 6, 5, 4, 3, 2, 1}; });
    ASSERT_TRUE(radio.ReadRadioId(id));
    EXPECT_EQ(id[0], 8);
    EXPECT_EQ(id[7], 1);
    EXPECT_FALSE(radio.ReadAdc(8, value)); // no ninth A/D value to store
}

TEST_F(TRadioTest, ChannelNormalisationDiffersBetweenGetAndStep) {
    // QM2200 firmware 1.x: GetChannel keeps the byte, StepChannel inverts bit 7.
    sim.update([](CommandResponder& r) {
        r.state().firmwareMajor = 1;
        r.state().channel = 0x85;
    });
    ASSERT_TRUE(radio.GetVersion());
    EXPECT_EQ(radio.GetChannel(), 0x85);
    EXPECT_EQ(radio.currentChannel(), 0x85);
    int channel = 0;
    ASSERT_TRUE(radio.StepChannel(1, channel));
    EXPECT_EQ(radio.channelCode(), 0x86);
    EXPECT_EQ(channel, 6);
    EXPECT_EQ(radio.currentChannel(), 6);

    sim.update([](CommandResponder& r) { r.state().firmwareMajor = 2; });
    ASSERT_TRUE(radio.GetVersion());
    ASSERT_TRUE(radio.StepChannel(-1, channel));
    EXPECT_EQ(channel, 0x85);
}

TEST_F(TRadioTest, StatusRepliesWithTheDirectionBitAreAccepted) {
    sim.update([](CommandResponder& r) { r.state().directionBitOnStatusReplies = true; });
    int flags = 0;
    EXPECT_TRUE(radio.GetStatus(flags));
    int channel = 0;
    EXPECT_TRUE(radio.StepChannel(1, channel));
}

TEST_F(TRadioTest, BaudRateNeedsItsEcho) {
    EXPECT_TRUE(radio.SetRadioBaudRate(57600));
    EXPECT_FALSE(radio.SetRadioBaudRate(12345)); // refused with NACK: ends as a timeout
}

TEST_F(TRadioTest, TimeoutLeavesImageAndVersionAlone) {
    ASSERT_TRUE(radio.GetVersion());
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 0; });
    const auto start = Clock::now();
    EXPECT_FALSE(radio.WriteByte(0x30, 0x12));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(340));
    EXPECT_EQ(image.getByte(0x30), 0xFF);
    EXPECT_FALSE(radio.GetVersion());
    EXPECT_EQ(radio.firmwareMajorVersion(), -1);
    EXPECT_EQ(radio.GetChannel(), -1);
}

TEST_F(TRadioTest, NackEndsAsATimeout) {
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[0x39] = true; });
    const auto start = Clock::now();
    EXPECT_FALSE(radio.EnterProgMode());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(990));
    EXPECT_TRUE(radio.Ping()); // and the next operation is unaffected
}

TEST_F(TRadioTest, ReplyWithAnotherCommandCodeIsDiscarded) {
    setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 100; });
    injectAfterNextRequest({0x04, 0x33});
    int value = 0;
    ASSERT_TRUE(radio.ReadByte(0x55, value));
    EXPECT_EQ(value, 0x55);
}

TEST_F(TRadioTest, ShortOrOverlongRepliesFail) {
    setFaults([](VirtualRadioFaults& f) {
        f.nackCodes[0x01] = true;
        f.nackCodes[0x0B] = true;
    });
    injectAfterNextRequest({0x01, 0x00});
    int value = -7;
    EXPECT_FALSE(radio.ReadByte(0x55, value));
    EXPECT_EQ(value, -7);
    injector.join();
    injectAfterNextRequest({0x0B, 0x00, 0x00, 5, 1, 2, 3, 4, 5});
    std::uint8_t block[4] = {};
    EXPECT_EQ(radio.ReadBlock(4, 0, block), 0); // more than asked for
}

TEST_F(TRadioTest, ClosedPortFailsAtOnceWithoutSending) {
    port.Close();
    const auto start = Clock::now();
    std::uint8_t block[128];
    int value = 0;
    EXPECT_FALSE(radio.Ping());
    EXPECT_EQ(radio.ReadBlock(128, 0, block), 0);
    EXPECT_EQ(radio.GetChannel(), -1);
    EXPECT_FALSE(radio.SetSquelchLevel(3));
    EXPECT_FALSE(radio.ReadByte(0, value));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(sim.waitForRequests(1, 100));
}

TEST_F(TRadioTest, TransfersSurviveNoiseAndKavIFramesAndPanelRequestsAreAnswered) {
    setFaults([](VirtualRadioFaults& f) {
        f.noiseBytes = 12;
        f.kavIAfterReply = VirtualRadio::kavIFrame(0xAA, 0x03, {1, 2, 3, 4});
    });
    std::uint8_t block[16];
    for (int a = 0; a < 0x100; a += 16) {
        ASSERT_TRUE(radio.Read16(a, block)) << a;
        ASSERT_EQ(block[15], (a + 15) & 0xFF);
    }
    sim.sendKavIFrame(VirtualRadio::kavIFrame(0xAA, 0x09, {0, 0, 0, 0}));
    ASSERT_TRUE(sim.waitForPanelReplies(1, 1000));
    EXPECT_EQ(sim.panelReplies()[0], (Bytes{0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC}));
}

TEST_F(TRadioTest, PacedBlockTransferStillCompletes) {
    setFaults([](VirtualRadioFaults& f) { f.lineRate = 9600; });
    std::uint8_t block[128];
    EXPECT_EQ(radio.ReadBlock(128, 0, block), 128);
    EXPECT_EQ(block[2], 2);
}

// A radio that sends each reply twice, the copy arriving during the next exchange: a read's
// reply must echo the address asked for, so the copy of the product ID (address 0) is never
// taken for the PCB revision.
TEST_F(TRadioTest, LateDuplicateOfAnEarlierReadIsNotTheNextReadsReply) {
    radio.setModelTable(nullptr);
    image.setWord(0, 0x2200);
    sim.update([](CommandResponder& r) { r.eeprom().setWord(28, 0x0102); }); // PCB Rev, QM2200
    setFaults([](auto& f) { f.duplicateReplyAfterMs = 40; });
    int id = 0;
    int rev = 0;
    ASSERT_TRUE(radio.ReadProductId(id));
    ASSERT_TRUE(radio.ReadPcbRevision(rev));
    EXPECT_EQ(id, 0x2200);
    EXPECT_EQ(rev, 0x0102);

    std::uint8_t block[16] = {};
    for (const int addr : {0x100, 0x110}) {
        ASSERT_TRUE(radio.Read16(addr, block)) << addr;
        EXPECT_EQ(block[0], addr & 0xFF) << "block " << addr << " holds its own bytes";
    }
}

// A radio chattering other packets while it never answers: the exchange still ends, after a
// few reply timeouts, instead of restarting its wait on every packet.
TEST_F(TRadioTest, ChatteringRadioThatNeverAnswersStillTimesOut) {
    setFaults([](auto& f) {
        f.replyLimit = 0;
        f.chatterPackets = 40;
        f.chatterEveryMs = 100; // four seconds of packets, each inside the 350 ms timeout
    });
    const auto start = Clock::now();
    EXPECT_FALSE(radio.Ping());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));
}

// Cancelling a transfer ends the operation waiting for its reply at once.
TEST_F(TRadioTest, CancelEventEndsAWaitingOperationAtOnce) {
    setFaults([](auto& f) { f.replyLimit = 0; });
    Event cancel;
    radio.setCancelEvent(&cancel);
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancel.set();
    });
    const auto start = Clock::now();
    EXPECT_FALSE(radio.EnterProgMode()); // a 1000 ms timeout
    canceller.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));

    radio.setCancelEvent(nullptr);
    setFaults([](auto& f) { f.replyLimit = -1; });
    EXPECT_TRUE(radio.Ping()) << "without the event, operations wait for their reply again";
}

// Every failure keeps its fixed message elsewhere; the radio object says why it failed.
TEST_F(TRadioTest, FailuresSayWhy) {
    std::uint8_t block[16] = {};
    setFaults([](auto& f) { f.nackCodes[0x03] = true; });
    EXPECT_FALSE(radio.Read16(0, block));
    EXPECT_EQ(radio.lastFailure(), LinkFailure::Refused);

    setFaults([](auto& f) {
        f.nackCodes[0x03] = false;
        f.replyLimit = 0;
    });
    EXPECT_FALSE(radio.Read16(0, block));
    EXPECT_EQ(radio.lastFailure(), LinkFailure::NoReply);

    sim.stop(); // the lead is pulled
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(radio.Ping());
    EXPECT_EQ(radio.lastFailure(), LinkFailure::LineLost);

    port.Close();
    EXPECT_FALSE(radio.Ping());
    EXPECT_EQ(radio.lastFailure(), LinkFailure::PortClosed);
}

} // namespace
} // namespace kav

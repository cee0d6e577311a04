#include "link/Kaviiprotocol.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// The program's end of the line: the slave side of the radio's pty.
class ProgramEnd {
public:
    explicit ProgramEnd(const std::string& path) { open(path); }
    ~ProgramEnd() { close(); }

    void open(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(fd_, 0);
        ::tcflush(fd_, TCIOFLUSH);
    }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    void write(const Bytes& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void request(const Bytes& payload) { write(test::kaviiFrame(payload)); }

    // Up to `count` bytes, fewer when the line stays quiet for timeoutMs.
    Bytes read(std::size_t count, int timeoutMs = 1000) {
        Bytes out;
        pollfd pfd{fd_, POLLIN, 0};
        while (out.size() < count && ::poll(&pfd, 1, timeoutMs) == 1) {
            std::uint8_t chunk[600];
            const ssize_t n = ::read(fd_, chunk, std::min(sizeof chunk, count - out.size()));
            if (n <= 0) {
                break;
            }
            out.insert(out.end(), chunk, chunk + n);
        }
        return out;
    }

    // The next KAV II packet with a good check byte, or nothing within timeoutMs.
    std::optional<Bytes> reply(int timeoutMs = 1000) {
        KavIIReceiver receiver;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            for (const std::uint8_t b : read(1, static_cast<int>(left.count()) + 1)) {
                if (receiver.feed(b)) {
                    const auto& p = receiver.packet();
                    return Bytes(p.data, p.data + p.length);
                }
            }
        }
        return std::nullopt;
    }

    // The next reply to `code`, skipping stale replies to earlier requests as the program does.
    std::optional<Bytes> replyTo(std::uint8_t code, int timeoutMs = 1000) {
        for (auto r = reply(timeoutMs); r; r = reply(timeoutMs)) {
            if (((*r)[0] & 0x3F) == code) {
                return r;
            }
        }
        return std::nullopt;
    }

private:
    int fd_ = -1;
};

class VirtualRadioTest : public ::testing::Test {
protected:
    void SetUp() override {
        radio.update([](CommandResponder& r) {
            for (int a = 2; a < EEPROM::kImageSize; ++a) {
                r.eeprom().setByte(a, a & 0xFF);
            }
        });
        ASSERT_TRUE(radio.start());
        program.emplace(radio.slavePath());
    }

    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = radio.faults();
        change(faults);
        radio.setFaults(faults);
    }

    VirtualRadio radio;
    std::optional<ProgramEnd> program;
};

const Bytes kRead16 = {0x83, 0x00, 0x20};

Bytes read16Reply() {
    Bytes reply = {0x03, 0x00, 0x20};
    for (int i = 0; i < 16; ++i) {
        reply.push_back(static_cast<std::uint8_t>(0x20 + i));
    }
    return reply;
}

TEST_F(VirtualRadioTest, AnswersARequestWithItsFramedReplyAndRecordsIt) {
    program->request(kRead16);
    const Bytes expected = test::kaviiFrame(read16Reply());
    EXPECT_EQ(program->read(expected.size()), expected);
    EXPECT_EQ(radio.requests(), std::vector<Bytes>{kRead16});
    EXPECT_EQ(radio.repliesSent(), 1);
}

TEST_F(VirtualRadioTest, WritesOverThePtyChangeItsEeprom) {
    program->request({0xA1, 0x01, 0x00, 0x5A});
    EXPECT_EQ(program->reply(), Bytes{0x21});
    EXPECT_EQ(radio.snapshot().eeprom().getByte(0x100), 0x5A);
}

TEST_F(VirtualRadioTest, FallsSilentAfterTheReplyLimit) {
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 1; });
    program->request({0x80});
    EXPECT_TRUE(program->reply().has_value());
    program->request({0x80});
    EXPECT_FALSE(program->reply(200).has_value());
    EXPECT_EQ(radio.requests().size(), 2u); // still listening
}

TEST_F(VirtualRadioTest, RefusesAChosenCommandAndNoOther) {
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[0x21] = true; });
    program->request({0xA1, 0x01, 0x00, 0x5A});
    EXPECT_EQ(program->reply(), Bytes{0x61});
    EXPECT_EQ(radio.snapshot().eeprom().getByte(0x100), 0x00); // a refused write stores nothing
    program->request({0x80});
    EXPECT_EQ(program->reply(), (Bytes{0x00, 2, 1}));
}

TEST_F(VirtualRadioTest, NoiseBeforeAndKavIFrameAfterEachReply) {
    const Bytes kavI = VirtualRadio::kavIFrame(0xAA, 0x03, {1, 2, 3, 4});
    ASSERT_EQ(kavI, (Bytes{1, 2, 3, 4, 0xF5, 0x03, 0xAA}));
    setFaults([&](VirtualRadioFaults& f) {
        f.noiseBytes = 20;
        f.kavIAfterReply = kavI;
    });
    program->request(kRead16);
    const Bytes frame = test::kaviiFrame(read16Reply());
    const Bytes line = program->read(20 + frame.size() + kavI.size());
    ASSERT_EQ(line.size(), 20 + frame.size() + kavI.size());
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_NE(line[i], 0x7E) << i;
        EXPECT_NE(line[i], 0xAA) << i;
        EXPECT_NE(line[i], 0xCC) << i;
    }
    EXPECT_EQ(Bytes(line.begin() + 20, line.begin() + 20 + frame.size()), frame);
    EXPECT_EQ(Bytes(line.end() - 7, line.end()), kavI);
}

TEST_F(VirtualRadioTest, CorruptsOneByteOfTheChosenReplyOnly) {
    setFaults([](VirtualRadioFaults& f) {
        f.corruptReplyNumber = 2;
        f.corruptOffset = 5;
    });
    const Bytes clean = test::kaviiFrame(read16Reply());
    program->request(kRead16);
    EXPECT_EQ(program->read(clean.size()), clean);
    program->request(kRead16);
    Bytes bad = clean;
    bad[5] ^= 0x01;
    EXPECT_EQ(program->read(clean.size()), bad);
    program->request(kRead16);
    EXPECT_EQ(program->read(clean.size()), clean);
}

TEST_F(VirtualRadioTest, DelaysEachReply) {
    setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 150; });
    const auto start = Clock::now();
    program->request({0x80});
    ASSERT_TRUE(program->reply().has_value());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
}

TEST_F(VirtualRadioTest, PacedBlockReadTakesAtLeastTheLineTime) {
    setFaults([](VirtualRadioFaults& f) { f.lineRate = 9600; });
    const Bytes expected = test::kaviiFrame(read16Reply());
    const auto start = Clock::now();
    program->request(kRead16);
    EXPECT_EQ(program->read(expected.size()), expected);
    const auto elapsed = Clock::now() - start;
    // 8 request and 24 reply bytes of 10 bits each at 9600 baud.
    const auto lineTime = std::chrono::microseconds((8 + expected.size()) * 10 * 1'000'000 / 9600);
    EXPECT_GE(elapsed, lineTime);
    EXPECT_LT(elapsed, lineTime + std::chrono::milliseconds(500));
}

TEST_F(VirtualRadioTest, PacedRadioMovesToANewBaudRateAfterAnsweringAtTheOld) {
    setFaults([](VirtualRadioFaults& f) { f.lineRate = 9600; });
    program->request({0xBB, 0x00, 0xE1, 0x00});
    EXPECT_EQ(program->reply(), (Bytes{0x3B, 0x00, 0xE1, 0x00}));
    EXPECT_EQ(radio.faults().lineRate, 57600u);
}

TEST_F(VirtualRadioTest, SendsKavIFramesOnRequestAndRecordsPanelReplies) {
    const Bytes ask = VirtualRadio::kavIFrame(0xAA, 0x09, {0, 0, 0, 0});
    radio.sendKavIFrame(ask);
    EXPECT_EQ(program->read(ask.size()), ask);

    const Bytes panelReply = {0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC};
    program->write(panelReply);
    program->write({0x03, 0x03, 0x01, 0x00, 0xF7, 0x49, 0xCC}); // bad check byte
    program->request({0x80});
    ASSERT_TRUE(program->reply().has_value());
    EXPECT_EQ(radio.panelReplies(), std::vector<Bytes>{panelReply});
}

TEST_F(VirtualRadioTest, KeepsWorkingWhenTheProgramClosesAndReopensThePort) {
    program->request({0x80});
    ASSERT_TRUE(program->reply().has_value());
    program->request(kRead16); // the program goes away before reading the reply
    ASSERT_TRUE(radio.waitForRequests(2, 1000));
    program->close();
    program->open(radio.slavePath());
    // The reply to the abandoned request may still arrive after the reopen's flush.
    program->request({0xB9});
    EXPECT_EQ(program->replyTo(0x39), Bytes{0x39});
    program->close();
    program->open(radio.slavePath());
    program->request({0x80});
    EXPECT_EQ(program->replyTo(0x00), (Bytes{0x00, 2, 1}));
}

TEST(VirtualRadioLifecycle, StopsAndStartsOnAFreshPty) {
    VirtualRadio radio;
    ASSERT_TRUE(radio.start());
    const std::string first = radio.slavePath();
    radio.stop();
    EXPECT_FALSE(radio.running());
    ASSERT_TRUE(radio.start());
    ProgramEnd program(radio.slavePath());
    program.request({0x80});
    EXPECT_EQ(program.reply(), (Bytes{0x00, 2, 1}));
    EXPECT_FALSE(first.empty());
}

} // namespace
} // namespace kav

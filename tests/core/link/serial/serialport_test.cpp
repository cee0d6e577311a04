#include "link/SerialPort.h"
#include "sim/PtyPair.h"
#include "support/RecordingSink.h"
#include "support/Testsupport.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <tuple>
#include <vector>

namespace kav {
namespace {

namespace fs = std::filesystem;
using test::RecordingSink;
using Bytes = std::vector<std::uint8_t>;
using Notice = RecordingSink::Notice;

constexpr std::uint32_t kMonitorMessage = 2034;

Bytes readListener(SerialPort& port, Event& signal, int index, std::size_t count) {
    Bytes bytes;
    std::uint8_t buffer[64];
    while (bytes.size() < count && signal.wait(1000)) {
        const int n = port.ReadListener(buffer, sizeof buffer, index);
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

Bytes frameOf(std::uint8_t tag, std::size_t length) {
    return Bytes(length, tag);
}

double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class SerialPortTest : public ::testing::Test {
protected:
    void open() { ASSERT_EQ(port.Open(pty.slavePath(), 9600), 1) << port.lastOpenErrno(); }

    PtyPair pty;
    SerialPort port;
};

TEST_F(SerialPortTest, OpenReportsWhyItFailed) {
    EXPECT_EQ(port.Open("/nonexistent/ttyX", 9600), 0);
    EXPECT_EQ(port.lastOpenErrno(), ENOENT);
    EXPECT_EQ(port.Open("/dev/null", 9600), 0);
    EXPECT_EQ(port.lastOpenErrno(), ENOTTY);
    EXPECT_EQ(port.Open(pty.slavePath(), 12345), 0) << "an unsupported rate is refused";
    EXPECT_EQ(port.lastOpenErrno(), EINVAL);
    EXPECT_EQ(port.Open("ttyS0", 9600), 0);
    EXPECT_FALSE(port.IsOpen());

    open();
    EXPECT_EQ(port.lastOpenErrno(), 0);
    SerialPort other;
    EXPECT_EQ(other.Open(pty.slavePath(), 9600), 0) << "the port is ours alone";
    EXPECT_EQ(other.lastOpenErrno(), EBUSY);
}

TEST_F(SerialPortTest, CallsThatNeedAnOpenPortOrAClosedOne) {
    EXPECT_FALSE(port.SetBaudRate(19200));
    EXPECT_EQ(port.lastError(), kErrorNeedsOpenPort);
    const std::uint8_t byte = 1;
    EXPECT_FALSE(port.Send(&byte, 1));
    EXPECT_FALSE(port.Close());
    EXPECT_EQ(port.appliedBaudRate(), 9600U);

    ASSERT_EQ(port.Open(pty.slavePath(), 19200), 1);
    EXPECT_EQ(port.Open(pty.slavePath(), 9600), 0);
    EXPECT_EQ(port.lastError(), kErrorAlreadyOpen);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.baudRate(), 19200U);
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortTest, EightListenersEachGetEveryByteAcrossReopen) {
    std::vector<Event> signals(9);
    for (int i = 0; i < kMaxListeners; ++i) {
        ASSERT_EQ(port.AddListener(&signals[static_cast<std::size_t>(i)]), i);
    }
    EXPECT_EQ(port.AddListener(&signals[8]), -1);

    open();
    ASSERT_TRUE(port.Close());
    open();
    const Bytes burst{0x7E, 0x02, 0x01, 0x7D, 0x7F};
    ASSERT_TRUE(pty.write(burst));
    for (int i = 0; i < kMaxListeners; ++i) {
        EXPECT_EQ(readListener(port, signals[static_cast<std::size_t>(i)], i, burst.size()), burst)
            << "listener " << i;
        EXPECT_FALSE(signals[static_cast<std::size_t>(i)].isSet()) << "drained queue clears it";
    }
    std::uint8_t buffer[4];
    EXPECT_EQ(port.ReadListener(buffer, 4, 8), 0);
    EXPECT_EQ(port.ReadListener(buffer, 4, -1), 0);
}

TEST_F(SerialPortTest, ListenerEventMayGoAwayBeforeThePort) {
    int index = -1;
    {
        Event signal;
        index = port.AddListener(&signal);
    }
    Event watcher; // registered before the bytes come: they are handed on at once
    ASSERT_EQ(port.AddListener(&watcher), index + 1);
    open();
    ASSERT_TRUE(pty.write({1, 2, 3}));
    ASSERT_TRUE(watcher.wait(1000));
    std::uint8_t buffer[8];
    EXPECT_EQ(port.ReadListener(buffer, 8, index), 3) << "its queue still fills";
    EXPECT_TRUE(port.Close());
}

TEST_F(SerialPortTest, CloseEmptiesListenerQueues) {
    Event signal;
    const int index = port.AddListener(&signal);
    open();
    ASSERT_TRUE(pty.write({1, 2, 3}));
    ASSERT_TRUE(signal.wait(1000));
    ASSERT_TRUE(port.Close());
    std::uint8_t buffer[8];
    EXPECT_EQ(port.ReadListener(buffer, 8, index), 0);

    open();
    ASSERT_TRUE(pty.write({4, 5}));
    EXPECT_EQ(readListener(port, signal, index, 2), (Bytes{4, 5})) << "nothing from before";
}

TEST_F(SerialPortTest, FramesFromTwoThreadsNeverInterleave) {
    constexpr std::size_t kFrame = 24;
    constexpr int kFramesEach = 20; // both threads together stay within the transmit queue
    open();
    const auto sender = [&](std::uint8_t tag) {
        const Bytes frame = frameOf(tag, kFrame);
        for (int i = 0; i < kFramesEach; ++i) {
            EXPECT_TRUE(port.Send(frame.data(), static_cast<int>(frame.size())));
        }
    };
    std::thread a(sender, std::uint8_t{0xA1});
    std::thread b(sender, std::uint8_t{0xB2});
    a.join();
    b.join();

    const Bytes line = pty.read(2 * kFramesEach * kFrame);
    ASSERT_EQ(line.size(), 2 * kFramesEach * kFrame);
    for (std::size_t at = 0; at < line.size(); at += kFrame) {
        const Bytes frame(line.begin() + static_cast<long>(at),
                          line.begin() + static_cast<long>(at + kFrame));
        EXPECT_EQ(frame, frameOf(frame[0], kFrame)) << "frame at " << at;
    }
}

TEST_F(SerialPortTest, LongSendGoesOutWholeAndInOrder) {
    open();
    Bytes burst(700);
    for (std::size_t i = 0; i < burst.size(); ++i) {
        burst[i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_TRUE(port.Send(burst.data(), static_cast<int>(burst.size())));
    EXPECT_EQ(pty.read(burst.size()), burst);
}

TEST_F(SerialPortTest, SendThatCannotFitQueuesNothing) {
    open();
    const Bytes tooBig(MTdeque::kCapacity + 1, 0x55);
    EXPECT_FALSE(port.Send(tooBig.data(), static_cast<int>(tooBig.size())));
    const Bytes frame{9, 8, 7};
    ASSERT_TRUE(port.Send(frame.data(), 3));
    EXPECT_EQ(pty.read(10, 200), frame);
}

TEST_F(SerialPortTest, TrafficNoticesCarryCopiesOfTheBytes) {
    RecordingSink sink;
    port.SetNotifyWindow(&sink, kMonitorMessage);
    open();

    const Bytes sent{0x7E, 0x02, 0x01, 0x00, 0xFE, 0x7F};
    ASSERT_TRUE(port.Send(sent.data(), static_cast<int>(sent.size())));
    EXPECT_EQ(pty.read(sent.size()), sent);
    ASSERT_TRUE(pty.write({0xAB, 0xCD, 0xEF}));
    const auto notices = sink.waitForAny(2);
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[0], (Notice{kMonitorMessage, kNoticeSent, 6}));
    EXPECT_EQ(notices[1], (Notice{kMonitorMessage, kNoticeReceived, 3}));

    std::uint8_t buffer[16];
    EXPECT_EQ(Bytes(buffer, buffer + port.ReadTxMonitor(buffer, 16)), sent);
    EXPECT_EQ(Bytes(buffer, buffer + port.ReadRxMonitor(buffer, 16)), (Bytes{0xAB, 0xCD, 0xEF}));

    ASSERT_TRUE(port.SetBaudRate(38400));
    EXPECT_EQ(sink.notices().back(), (Notice{kMonitorMessage, kNoticeBaudRate, 38400}));
    EXPECT_EQ(port.appliedBaudRate(), 38400U);
    EXPECT_EQ(port.baudRate(), 9600U);

    port.ClearNotifyWindow();
    ASSERT_TRUE(port.Send(sent.data(), static_cast<int>(sent.size())));
    EXPECT_EQ(pty.read(sent.size()), sent);
    EXPECT_EQ(sink.notices().size(), 3U);
    EXPECT_EQ(port.ReadTxMonitor(buffer, 16), 0) << "no copies without a notice sink";
}

// Maps COM numbers to ptys through a private ports folder for the life of a test.
class PortsFolder {
public:
    std::string str() const { return folder_.str(); }
    void link(int n, const std::string& device) const {
        fs::create_symlink(device, folder_ / ("COM" + std::to_string(n)));
    }

private:
    test::TempDir folder_{"kav-ports"};
};

TEST_F(SerialPortTest, ChangePortPostsItsNoticeThenOpensAtTheRateLastApplied) {
    PortsFolder folder;
    SerialPort mapped(folder.str()); // COM names lead through this folder only
    PtyPair second;
    folder.link(4, pty.slavePath());
    folder.link(5, second.slavePath());
    RecordingSink sink;
    mapped.SetNotifyWindow(&sink, kMonitorMessage);

    EXPECT_EQ(mapped.ChangePort(4), 1) << "from closed";
    ASSERT_EQ(sink.notices(), (std::vector<Notice>{{kMonitorMessage, kNoticePortChange, 4}}));
    ASSERT_TRUE(mapped.SetBaudRate(19200));
    EXPECT_EQ(mapped.ChangePort(5), 1);
    EXPECT_EQ(sink.notices().back(), (Notice{kMonitorMessage, kNoticePortChange, 5}));
    EXPECT_EQ(mapped.baudRate(), 19200U);

    const std::uint8_t byte = 0x42;
    ASSERT_TRUE(mapped.Send(&byte, 1));
    EXPECT_EQ(second.read(1), Bytes{0x42}) << "the new port carries the traffic";

    EXPECT_EQ(mapped.ChangePort(6), 0) << "no device behind COM6";
    EXPECT_EQ(sink.notices().back(), (Notice{kMonitorMessage, kNoticePortChange, 6}));
    EXPECT_FALSE(mapped.IsOpen());
}

TEST_F(SerialPortTest, UnpluggedPortNeitherSpinsNorBlocksClose) {
    Event signal;
    port.AddListener(&signal);
    RecordingSink state;
    port.SetStateSink(&state);
    open();
    EXPECT_FALSE(port.lineLost());
    pty.hangUp();

    const double before = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(processCpuSeconds() - before, 0.1);
    // Said once, not on every retry.
    EXPECT_EQ(state.notices(), (std::vector<Notice>{{kMsgLineState, kLineLost, 0}}));
    EXPECT_TRUE(port.lineLost());

    const std::uint8_t byte = 1;
    EXPECT_TRUE(port.Send(&byte, 1)) << "a lost chunk is the protocol's time-out to report";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_FALSE(port.lineLost());
    port.SetStateSink(nullptr);
}

TEST_F(SerialPortTest, CloseReturnsWhileTheWriterWaitsForRoom) {
    open();
    // Nobody reads the master: the pty fills up and the writer waits for room.
    const Bytes frame(1000, 0x33);
    for (int i = 0; i < 8; ++i) {
        port.Send(frame.data(), static_cast<int>(frame.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

// The virtual radio keeps its end open; the exclusive claim must end with our close, or the
// next open by a normal user fails as busy. The doctor's trial open sees the claim and
// leaves none behind.
TEST_F(SerialPortTest, CloseEndsTheExclusiveClaimWhileAnotherProcessHoldsTheTty) {
    int exclusive = -1;
    open();
    EXPECT_EQ(tryOpenPort(pty.slavePath()), EBUSY);
    ASSERT_EQ(::ioctl(pty.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.Close();
    EXPECT_EQ(tryOpenPort(pty.slavePath()), 0);
    ASSERT_EQ(::ioctl(pty.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

// A terminal opened by mistake (--port /dev/tty) gets its own settings back on close.
TEST_F(SerialPortTest, CloseRestoresTheDevicesSettings) {
    termios cooked{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(::tcsetattr(pty.slave(), TCSANOW, &cooked), 0);

    open();
    termios during{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &during), 0);
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u) << "raw while open";
    port.Close();

    termios after{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &after), 0);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO));
}

} // namespace
} // namespace kav

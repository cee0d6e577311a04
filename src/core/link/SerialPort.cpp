#include "link/SerialPort.h"

#include "link/Com_port.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace kav {

namespace {

constexpr int kReadFailed = -1;
constexpr int kReadStopped = -2;
// After a read fails outright (adapter unplugged, pty hung up) the reader waits this long
// on its stop event before trying again, so it neither spins nor gives up.
constexpr int kRetryPauseMs = 75;

struct BaudEntry {
    std::uint32_t baud;
    speed_t speed;
};

constexpr std::array<BaudEntry, 12> kBaudRates{{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {921600, B921600},
}};

// Unknown rates are refused rather than quietly replaced by another rate.
bool speedFor(std::uint32_t baud, speed_t& speed) {
    for (const BaudEntry& entry : kBaudRates) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

bool applySpeed(int fd, speed_t speed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Raw 8N1 without any flow control; reads never block (the reader waits in poll()).
bool configureLine(int fd, speed_t speed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

int openDevice(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

// Another instance of this program (or any program that locks the same way) holds the port.
bool lockExclusive(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Keeps other processes (and other instances of this program) off the port while it is ours.
bool claimExclusive(int fd) {
    if (!lockExclusive(fd)) {
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    return true;
}

void assertModemLines(int fd) {
    // Ptys and some adapters have no modem lines; the link works without them.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
}

} // namespace

int tryOpenPort(const std::string& device) {
    const int fd = openDevice(device);
    if (fd < 0) {
        return errno;
    }
    // No TIOCEXCL here: it would outlive this close while another program has the port open.
    const int error = lockExclusive(fd) ? 0 : EBUSY;
    ::close(fd);
    return error;
}

SerialPort::SerialPort(std::string portsDir) : portsDir_(std::move(portsDir)) {}

SerialPort::~SerialPort() {
    Close();
}

int SerialPort::failOpen(int error) {
    lastOpenErrno_ = error;
    return 0;
}

int SerialPort::Open(const std::string& name, std::uint32_t baud) {
    if (IsOpen()) {
        lastError_ = kErrorAlreadyOpen;
        return 0;
    }
    speed_t speed{};
    if (!speedFor(baud, speed)) {
        return failOpen(EINVAL);
    }
    const std::string path = resolvePortName(name, portsDir_);
    if (path.empty()) {
        return failOpen(ENOENT);
    }
    const int fd = openDevice(path);
    if (fd < 0) {
        return failOpen(errno);
    }
    if (!claimExclusive(fd)) {
        ::close(fd);
        return failOpen(EBUSY);
    }
    // The line settings as they were, so closing hands the device back unchanged (a terminal
    // opened by mistake must not stay raw).
    termios previous{};
    if (::tcgetattr(fd, &previous) != 0 || !configureLine(fd, speed)) {
        const int error = errno;
        ::close(fd);
        return failOpen(error);
    }
    savedSettings_ = previous;
    assertModemLines(fd);
    ::tcflush(fd, TCIOFLUSH);

    portPath_ = path;
    baudRate_ = baud;
    appliedBaudRate_ = baud;
    lastOpenErrno_ = 0;
    stop_.reset();
    fd_ = fd;
    reader_ = std::thread(&SerialPort::readerLoop, this);
    writer_ = std::thread(&SerialPort::writerLoop, this);
    return 1;
}

bool SerialPort::Close() {
    if (!IsOpen()) {
        return false;
    }
    stop_.set();
    reader_.join();
    writer_.join();
    lineLost_ = false;
    const int fd = fd_.exchange(-1);
    ::tcsetattr(fd, TCSANOW, &savedSettings_);
    // The exclusive flag belongs to the tty, not to this descriptor: while another process
    // still has the tty open (the virtual radio holds its pty), it would outlast the close
    // and make every later open by a normal user fail as busy.
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    {
        // Bytes left over would otherwise be sent in front of the first frame after a reopen.
        std::lock_guard guard(txLock_);
        txQueue_.Clear();
        dataToSend_.reset();
    }
    std::lock_guard guard(rxLock_);
    for (int i = 0; i < listenerCount_; ++i) {
        listenerQueues_[i].Clear();
        listenerSignals_[i]->reset();
    }
    return true;
}

bool SerialPort::IsOpen() const {
    return fd_ >= 0;
}

bool SerialPort::SetBaudRate(std::uint32_t baud) {
    if (!IsOpen()) {
        lastError_ = kErrorNeedsOpenPort;
        return false;
    }
    speed_t speed{};
    if (!speedFor(baud, speed) || !applySpeed(fd_, speed)) {
        return false;
    }
    ::tcflush(fd_, TCIOFLUSH);
    appliedBaudRate_ = baud;
    notify(kNoticeBaudRate, baud, nullptr, nullptr, 0);
    return true;
}

int SerialPort::ChangePort(int n) {
    Close();
    notify(kNoticePortChange, n, nullptr, nullptr, 0);
    return Open("COM" + std::to_string(n), appliedBaudRate_);
}

int SerialPort::AddListener(Event* signal) {
    if (signal == nullptr) {
        return -1;
    }
    std::lock_guard guard(rxLock_);
    const int index = listenerCount_;
    if (index == kMaxListeners) {
        return -1;
    }
    auto shared = signal->share();
    if (shared == nullptr) {
        return -1;
    }
    listenerQueues_[index].Clear();
    listenerSignals_[index] = std::move(shared);
    listenerCount_ = index + 1;
    return index;
}

int claimListener(SerialPort& port, Event& signal) {
    const int index = port.AddListener(&signal);
    if (index < 0) {
        throw std::length_error("serial port: no free listener slot for a protocol engine");
    }
    return index;
}

bool SerialPort::listenerIndexValid(int index) const {
    return index >= 0 && index < listenerCount_;
}

int SerialPort::ReadListener(std::uint8_t* buffer, int max, int index) {
    if (!listenerIndexValid(index) || buffer == nullptr || max <= 0) {
        return 0;
    }
    // Under the lock the reader delivers with, so a signal is never cleared while bytes remain.
    std::lock_guard guard(rxLock_);
    const int taken = listenerQueues_[index].Get(buffer, max);
    if (listenerQueues_[index].IsEmpty()) {
        listenerSignals_[index]->reset();
    }
    return taken;
}

void SerialPort::FlushListener(int index) {
    if (!listenerIndexValid(index)) {
        return;
    }
    std::lock_guard guard(rxLock_);
    listenerQueues_[index].Clear();
    listenerSignals_[index]->reset();
}

bool SerialPort::Send(const std::uint8_t* bytes, int count) {
    if (!IsOpen() || (bytes == nullptr && count > 0)) {
        return false;
    }
    if (count <= 0) {
        return true;
    }
    {
        // One frame goes in whole or not at all, so frames never interleave or arrive cut.
        std::lock_guard guard(txLock_);
        if (count > MTdeque::kCapacity - txQueue_.Count()) {
            return false;
        }
        txQueue_.Put(bytes, count);
        // The monitor hears of the frame before the writer can send it, so its reply is
        // never reported ahead of it.
        notify(kNoticeSent, count, &sentCopy_, bytes, count);
        dataToSend_.set();
    }
    return true;
}

bool SerialPort::SetNotifyWindow(MessageSink* sink, std::uint32_t message) {
    std::lock_guard guard(notifyLock_);
    notifySink_ = sink;
    notifyMessage_ = sink != nullptr ? message : 0;
    return true;
}

bool SerialPort::ClearNotifyWindow() {
    return SetNotifyWindow(nullptr, 0);
}

int SerialPort::ReadRxMonitor(std::uint8_t* buffer, int max) {
    return receivedCopy_.Get(buffer, max);
}

int SerialPort::ReadTxMonitor(std::uint8_t* buffer, int max) {
    return sentCopy_.Get(buffer, max);
}

std::uint32_t SerialPort::lastError() const {
    return lastError_;
}

std::uint32_t SerialPort::baudRate() const {
    return baudRate_;
}

std::uint32_t SerialPort::appliedBaudRate() const {
    return appliedBaudRate_;
}

int SerialPort::lastOpenErrno() const {
    return lastOpenErrno_;
}

void SerialPort::notify(std::intptr_t wParam, std::intptr_t lParam, MTdeque* copy,
                        const std::uint8_t* bytes, int count) {
    std::lock_guard guard(notifyLock_);
    if (notifySink_ == nullptr) {
        return;
    }
    if (copy != nullptr) {
        copy->Put(bytes, count);
    }
    notifySink_->post(notifyMessage_, wParam, lParam);
}

void SerialPort::deliver(const std::uint8_t* bytes, int count) {
    std::lock_guard guard(rxLock_);
    for (int i = 0; i < listenerCount_; ++i) {
        listenerQueues_[i].Put(bytes, count);
        listenerSignals_[i]->set();
    }
    notify(kNoticeReceived, count, &receivedCopy_, bytes, count);
}

// Waits without limit for bytes and hands on what one read returns (at most 256). The framers
// work on a stream, so nothing waits for the line to go quiet: a reply is framed as its last
// byte arrives.
int SerialPort::readBurst(std::uint8_t* buffer) {
    std::array<pollfd, 2> fds{{{fd_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}}};
    for (;;) {
        const int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return kReadFailed;
        }
        if (fds[1].revents != 0) {
            return kReadStopped;
        }
        const ssize_t n = ::read(fds[0].fd, buffer, static_cast<std::size_t>(kChunk));
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            return kReadFailed;
        }
    }
}

// Posts a change of the line's state once, not on every retry.
void SerialPort::setLineLost(bool lost) {
    if (lineLost_.exchange(lost) == lost) {
        return;
    }
    std::lock_guard guard(notifyLock_);
    if (stateSink_ != nullptr) {
        stateSink_->post(kMsgLineState, lost ? kLineLost : kLineBack, 0);
    }
}

bool SerialPort::SetStateSink(MessageSink* sink) {
    std::lock_guard guard(notifyLock_);
    stateSink_ = sink;
    return true;
}

void SerialPort::readerLoop() {
    std::array<std::uint8_t, kChunk> buffer{};
    for (;;) {
        const int n = readBurst(buffer.data());
        if (n == kReadStopped) {
            return;
        }
        if (n == kReadFailed) {
            setLineLost(true);
            if (stop_.wait(kRetryPauseMs)) {
                return;
            }
            continue;
        }
        setLineLost(false);
        deliver(buffer.data(), n);
    }
}

// Writes one chunk, waiting for room when the driver is full. False when the chunk was lost
// (a write error; the protocol's reply timeout reports the exchange) or the port is closing.
bool SerialPort::writeChunk(const std::uint8_t* bytes, int count) {
    std::array<pollfd, 2> fds{{{fd_, POLLOUT, 0}, {stop_.fd(), POLLIN, 0}}};
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fds[0].fd, bytes + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
            return false;
        }
    }
    return true;
}

void SerialPort::writerLoop() {
    std::array<std::uint8_t, kChunk> chunk{};
    for (;;) {
        if (waitAny({&stop_, &dataToSend_}) != 1) {
            return;
        }
        int n = 0;
        {
            std::lock_guard guard(txLock_);
            n = txQueue_.Get(chunk.data(), kChunk);
            if (txQueue_.IsEmpty()) {
                dataToSend_.reset();
            }
        }
        writeChunk(chunk.data(), n);
    }
}

} // namespace kav

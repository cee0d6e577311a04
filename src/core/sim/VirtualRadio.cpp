#include "sim/VirtualRadio.h"

#include "link/KavIICommand.h"
#include "link/KavIRecognizer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace kav {

namespace {

constexpr int kReadChunk = 512;
constexpr int kBitsPerByte = 10; // start, 8 data, stop
constexpr int kHangupPauseMs = 20;

// Bytes noise must avoid: they would start or end a frame on either protocol.
constexpr std::uint8_t kFramingBytes[] = {0x7D, 0x7E, 0x7F, 0xAA, 0xCC};

bool isFramingByte(std::uint8_t b) {
    return std::find(std::begin(kFramingBytes), std::end(kFramingBytes), b) !=
           std::end(kFramingBytes);
}

} // namespace

VirtualRadio::VirtualRadio(std::uint16_t productId) : responder_(productId) {}

VirtualRadio::~VirtualRadio() {
    stop();
}

bool VirtualRadio::start() {
    if (running()) {
        return true;
    }
    if (!openPty()) {
        return false;
    }
    stop_.reset();
    receiver_.reset();
    panelWindow_ = {};
    output_.clear();
    outputSent_ = 0;
    writeBlocked_ = false;
    thread_ = std::thread([this] { run(); });
    return true;
}

void VirtualRadio::stop() {
    if (thread_.joinable()) {
        stop_.set();
        thread_.join();
    }
    closePty();
}

bool VirtualRadio::openPty() {
    pty_ = std::make_unique<PtyPair>();
    if (!pty_->isOpen()) {
        pty_.reset();
        return false;
    }
    slavePath_ = pty_->slavePath();
    return true;
}

void VirtualRadio::closePty() {
    pty_.reset();
}

void VirtualRadio::update(const std::function<void(CommandResponder&)>& change) {
    std::lock_guard lock(mutex_);
    change(responder_);
}

CommandResponder VirtualRadio::snapshot() const {
    std::lock_guard lock(mutex_);
    return responder_;
}

void VirtualRadio::setFaults(const VirtualRadioFaults& faults) {
    {
        std::lock_guard lock(mutex_);
        faults_ = faults;
    }
    wake_.set(); // the pacing of queued output may have changed
}

VirtualRadioFaults VirtualRadio::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void VirtualRadio::sendKavIFrame(const std::vector<std::uint8_t>& frame) {
    {
        std::lock_guard lock(mutex_);
        output_.push_back({frame, Clock::now(), 0});
    }
    wake_.set();
}

std::vector<std::uint8_t> VirtualRadio::kavIFrame(std::uint8_t type, std::uint8_t command,
                                                  const std::vector<std::uint8_t>& data) {
    Bytes frame(data.size() + 3);
    const int n =
        buildKavIFrame(data.data(), static_cast<int>(data.size()), command, type, frame.data());
    frame.resize(static_cast<std::size_t>(n));
    return frame;
}

std::vector<std::vector<std::uint8_t>> VirtualRadio::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::vector<std::uint8_t>> VirtualRadio::panelReplies() const {
    std::lock_guard lock(mutex_);
    return panelReplies_;
}

int VirtualRadio::repliesSent() const {
    std::lock_guard lock(mutex_);
    return repliesSent_;
}

void VirtualRadio::clearRecords() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    panelReplies_.clear();
}

bool VirtualRadio::waitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return requests_.size() >= count; });
}

bool VirtualRadio::waitForPanelReplies(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return panelReplies_.size() >= count; });
}

VirtualRadio::Clock::duration VirtualRadio::byteTime() const {
    if (faults_.lineRate == 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(
        1'000'000'000LL * kBitsPerByte / static_cast<long long>(faults_.lineRate)));
}

void VirtualRadio::run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            writeDue();
        }
        const int ready = waitForWork();
        if (ready < 0) {
            return;
        }
        if ((ready & POLLIN) != 0) {
            readMaster();
        }
        if ((ready & (POLLHUP | POLLERR)) != 0 && stop_.wait(kHangupPauseMs)) {
            return; // no slave end open: pause instead of spinning on the hang-up
        }
    }
}

// Blocks until the stop event, the wake event, master input, master room for blocked output,
// or the next paced output byte. Returns the master's poll events, -1 to stop.
int VirtualRadio::waitForWork() {
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    short masterEvents = POLLIN;
    {
        std::lock_guard lock(mutex_);
        if (writeBlocked_) {
            masterEvents |= POLLOUT;
        } else if (!output_.empty()) {
            const auto due = std::max(txFree_, output_.front().notBefore) + byteTime();
            const auto wait = std::max(due - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout = {static_cast<time_t>(ns / 1'000'000'000),
                       static_cast<long>(ns % 1'000'000'000)};
            timeoutPtr = &timeout;
        }
    }
    pollfd fds[] = {{stop_.fd(), POLLIN, 0}, {wake_.fd(), POLLIN, 0}, {master(), masterEvents, 0}};
    const int n = ::ppoll(fds, 3, timeoutPtr, nullptr);
    if (n < 0 && errno != EINTR) {
        return -1;
    }
    if ((fds[0].revents & POLLIN) != 0) {
        return -1;
    }
    if ((fds[1].revents & POLLIN) != 0) {
        wake_.reset();
    }
    if ((fds[2].revents & POLLOUT) != 0) {
        std::lock_guard lock(mutex_);
        writeBlocked_ = false;
    }
    return fds[2].revents;
}

void VirtualRadio::readMaster() {
    std::uint8_t chunk[kReadChunk];
    const ssize_t n = ::read(master(), chunk, sizeof chunk);
    if (n <= 0) {
        return; // EIO while the slave is closed, EAGAIN: nothing to take
    }
    std::lock_guard lock(mutex_);
    // Paced: each byte takes one byte time on the line, so a request is complete only when
    // its last byte would have arrived.
    Clock::time_point arrival = std::max(rxFree_, Clock::now());
    for (ssize_t i = 0; i < n; ++i) {
        takeByte(chunk[i], arrival);
    }
    rxFree_ = arrival;
}

void VirtualRadio::takeByte(std::uint8_t byte, Clock::time_point& arrival) {
    arrival += byteTime();
    recordPanelByte(byte);
    if (!receiver_.feed(byte)) {
        return;
    }
    const KAV_PACKET_STRUCT_TAG& packet = receiver_.packet();
    const Bytes request(packet.data, packet.data + packet.length);
    requests_.push_back(request);
    panelWindow_ = {};
    answer(request, arrival);
    recorded_.notify_all();
}

// A radio busy with something else sends packets nobody asked for: GetChannel replies.
void VirtualRadio::queueChatter(Clock::time_point arrival) {
    const Bytes packet{code(KavIICommand::GetChannel), 0x05};
    Bytes frame(kKavIIMaxFrame);
    frame.resize(static_cast<std::size_t>(
        buildKavIIFrame(packet.data(), static_cast<int>(packet.size()), frame.data())));
    for (int i = 1; i <= faults_.chatterPackets; ++i) {
        output_.push_back({frame, arrival + std::chrono::milliseconds(i * faults_.chatterEveryMs)});
    }
}

void VirtualRadio::answer(const Bytes& request, Clock::time_point arrival) {
    queueChatter(arrival);
    if (faults_.replyLimit >= 0 && repliesSent_ >= faults_.replyLimit) {
        return;
    }
    const std::uint8_t command = request[0] & kKavIICommandMask;
    const std::uint32_t rateBefore = responder_.state().baudRate;
    const int stuck = faults_.stuckAddress;
    const int stuckValue = stuck >= 0 ? responder_.eeprom().getByte(stuck) : 0;
    Bytes reply = faults_.nackCodes[command] ? CommandResponder::nackFor(request[0])
                                             : responder_.respond(request);
    if (stuck >= 0) {
        responder_.eeprom().setByte(stuck, stuckValue); // acknowledged, yet not kept
    }
    shortenBlockReply(command, reply);
    if (reply.empty()) {
        return;
    }
    ++repliesSent_;
    Bytes frame(kKavIIMaxFrame);
    frame.resize(static_cast<std::size_t>(
        buildKavIIFrame(reply.data(), static_cast<int>(reply.size()), frame.data())));
    if (faults_.corruptReplyNumber == repliesSent_) {
        const int at = std::clamp(faults_.corruptOffset, 0, static_cast<int>(frame.size()) - 1);
        frame[static_cast<std::size_t>(at)] ^= 0x01;
    }
    const auto due = arrival + std::chrono::milliseconds(faults_.replyDelayMs);
    if (faults_.noiseBytes > 0) {
        output_.push_back({noise(faults_.noiseBytes), due, 0});
    }
    // The radio answers a baud change at the old rate and moves to the new one afterwards.
    const std::uint32_t rateAfter = command == code(KavIICommand::SetBaudRate) &&
                                            responder_.state().baudRate != rateBefore &&
                                            faults_.lineRate != 0
                                        ? responder_.state().baudRate
                                        : 0;
    if (faults_.duplicateReplyAfterMs >= 0) {
        const auto late = due + std::chrono::milliseconds(faults_.duplicateReplyAfterMs);
        output_.push_back({frame, due, rateAfter});
        output_.push_back({std::move(frame), late, 0});
    } else {
        output_.push_back({std::move(frame), due, rateAfter});
    }
    if (!faults_.kavIAfterReply.empty()) {
        output_.push_back({faults_.kavIAfterReply, due, 0});
    }
}

// A radio that sends fewer bytes than a ReadBlock asked for: the count byte says how many.
void VirtualRadio::shortenBlockReply(std::uint8_t command, Bytes& reply) const {
    constexpr std::size_t kHeader = 4; // 0B, address high, address low, count
    const auto limit = static_cast<std::size_t>(faults_.blockReplyBytes);
    if (command != code(KavIICommand::ReadBlock) || limit == 0 || reply.size() <= kHeader + limit) {
        return;
    }
    reply.resize(kHeader + limit);
    reply[kHeader - 1] = static_cast<std::uint8_t>(limit);
}

VirtualRadio::Bytes VirtualRadio::noise(int count) {
    Bytes out;
    while (static_cast<int>(out.size()) < count) {
        noiseSeed_ ^= noiseSeed_ << 13;
        noiseSeed_ ^= noiseSeed_ >> 17;
        noiseSeed_ ^= noiseSeed_ << 5;
        const auto b = static_cast<std::uint8_t>(noiseSeed_);
        if (!isFramingByte(b)) {
            out.push_back(b);
        }
    }
    return out;
}

// The program's only KAV I frame is the panel reply: data, check, 0x49, 0xCC.
void VirtualRadio::recordPanelByte(std::uint8_t byte) {
    std::rotate(panelWindow_.begin(), panelWindow_.begin() + 1, panelWindow_.end());
    panelWindow_.back() = byte;
    const auto& w = panelWindow_;
    if (w[6] != kKavITypeCC || w[5] != kKavIPanelReplyCommand) {
        return;
    }
    const int sum = w[0] + w[1] + w[2] + w[3];
    if (static_cast<std::uint8_t>(0xFF - sum % 256) != w[4]) {
        return;
    }
    panelReplies_.emplace_back(w.begin(), w.end());
    panelWindow_ = {};
    recorded_.notify_all();
}

// Writes the output that is due: everything at once when unpaced, else as many bytes as the
// line would have carried by now.
void VirtualRadio::writeDue() {
    while (!output_.empty() && !writeBlocked_) {
        Segment& segment = output_.front();
        const auto now = Clock::now();
        if (now < segment.notBefore) {
            return;
        }
        // An idle line starts carrying the segment when it falls due; a byte counts as sent
        // once its last bit would have left.
        txFree_ = std::max(txFree_, segment.notBefore);
        std::size_t count = segment.bytes.size() - outputSent_;
        const auto step = byteTime();
        if (step != Clock::duration::zero()) {
            const auto done = static_cast<std::size_t>((now - txFree_) / step);
            if (done == 0) {
                return;
            }
            count = std::min(count, done);
        }
        const ssize_t n = ::write(master(), segment.bytes.data() + outputSent_, count);
        if (n < 0) {
            if (errno == EAGAIN) {
                writeBlocked_ = true;
                return;
            }
            outputSent_ = segment.bytes.size(); // no one to carry it: dropped
        } else {
            outputSent_ += static_cast<std::size_t>(n);
            txFree_ += step * n;
        }
        if (outputSent_ >= segment.bytes.size()) {
            if (segment.rateAfter != 0) {
                faults_.lineRate = segment.rateAfter;
            }
            output_.pop_front();
            outputSent_ = 0;
        }
    }
}

} // namespace kav

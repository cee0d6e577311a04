#include "link/Kaviiprotocol.h"

#include "link/LineFramer.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <chrono>

namespace kav {

KavIIReplyMatch matchKavIIReply(std::uint8_t reply, std::uint8_t request, bool reliableErrorFlag) {
    const std::uint8_t code = reply & kKavIICommandMask;
    if (code != (request & kKavIICommandMask)) {
        return KavIIReplyMatch::otherCommand;
    }
    const bool bit7Ignored =
        !reliableErrorFlag &&
        std::find(kKavIIBit7IgnoredCommands.begin(), kKavIIBit7IgnoredCommands.end(),
                  KavIICommand{code}) != kKavIIBit7IgnoredCommands.end();
    if (bit7Ignored) {
        reply &= static_cast<std::uint8_t>(~kKavIIRequestBit);
    }
    if ((reply & kKavIIRequestBit) != 0) {
        return KavIIReplyMatch::notAReply;
    }
    if ((reply & kKavIINackBit) != 0) {
        return KavIIReplyMatch::refused;
    }
    return KavIIReplyMatch::match;
}

kavII_Protocol::kavII_Protocol(SerialPort& port, bool reliableErrorFlag)
    : port_(port), reliableErrorFlag_(reliableErrorFlag), framer_(std::make_unique<LineFramer>()),
      listenerIndex_(claimListener(port, listenerSignal_)), thread_([this] { receiveLoop(); }) {}

kavII_Protocol::~kavII_Protocol() {
    stop_.set();
    thread_.join();
}

void kavII_Protocol::SetPacketSignal(Event* signal) {
    std::lock_guard guard(receiverLock_);
    packetSignal_ = signal;
}

bool kavII_Protocol::SetMonitorWindow(MessageSink* sink) {
    monitor_.attach(sink);
    return true;
}

bool kavII_Protocol::ClearMonitorWindow() {
    monitor_.detach();
    return true;
}

void kavII_Protocol::ReadReceivedSlot(std::uint8_t* buffer, int count, int slot) const {
    monitor_.read(PacketMonitor<512>::Ring::received, buffer, count, slot);
}

void kavII_Protocol::ReadSentSlot(std::uint8_t* buffer, int count, int slot) const {
    monitor_.read(PacketMonitor<512>::Ring::sent, buffer, count, slot);
}

void kavII_Protocol::receiveLoop() {
    const Event* const events[] = {&stop_, &listenerSignal_};
    for (;;) {
        if (waitAny(events) < 0 || stop_.isSet()) {
            return;
        }
        receiveChunk();
    }
}

void kavII_Protocol::receiveChunk() {
    std::uint8_t bytes[256];
    std::lock_guard guard(receiverLock_);
    const int n = port_.ReadListener(bytes, static_cast<int>(sizeof bytes), listenerIndex_);
    for (int i = 0; i < n; ++i) {
        if ((framer_->feed(bytes[i]) & LineFramer::kKavIIPacket) != 0) {
            queuePacket(framer_->packet());
        }
    }
}

void kavII_Protocol::queuePacket(const KAV_PACKET_STRUCT_TAG& packet) {
    // The monitor hears of the reply before the waiting request is woken, so the next
    // request is never logged ahead of it.
    monitor_.record(PacketMonitor<512>::Ring::received, kKavIIReceivedNotice, packet.data,
                    static_cast<int>(packet.length));
    {
        std::lock_guard guard(queueLock_);
        if (queue_.size() == kMaxQueued) {
            queue_.pop_front();
        }
        queue_.push_back(packet);
        replySignal_.set();
    }
    if (packetSignal_ != nullptr) {
        packetSignal_->set();
    }
}

void kavII_Protocol::startRequest() {
    // Bytes and packets from before this request belong to earlier exchanges; a late reply to
    // an earlier request with the same command code must not be taken as this one's.
    std::lock_guard receiving(receiverLock_);
    port_.FlushListener(listenerIndex_);
    framer_->reset();
    std::lock_guard queued(queueLock_);
    queue_.clear();
    replySignal_.reset();
}

bool kavII_Protocol::Transact(KAV_PACKET_STRUCT_TAG& request, KAV_PACKET_STRUCT_TAG* reply,
                              int timeoutMs, const ReplyFilter& accepts, const Event* cancel) {
    if (reply != nullptr) {
        reply->length = 0;
    }
    lastFailure_ = LinkFailure::None;
    const int length = static_cast<int>(std::min<std::uint32_t>(request.length, 512));
    std::uint8_t frame[kKavIIMaxFrame];
    request.data[0] |= kKavIIRequestBit;
    const int frameLength = buildKavIIFrame(request.data, length, frame);
    if (frameLength == 0) {
        return false;
    }
    monitor_.record(PacketMonitor<512>::Ring::sent, kKavIISentNotice, request.data, length);
    startRequest();
    if (!port_.Send(frame, frameLength)) {
        lastFailure_ = port_.IsOpen() ? LinkFailure::NotSent : LinkFailure::PortClosed;
        return false;
    }
    // The radio's time to answer counts from the request's last byte on the line.
    return reply == nullptr || waitForReply(request.data[0], *reply,
                                            timeoutMs + lineTimeMs(frameLength), accepts, cancel);
}

int kavII_Protocol::lineTimeMs(int frameBytes) const {
    constexpr int kBitsPerByte = 10;
    const std::uint32_t baud = std::max<std::uint32_t>(port_.appliedBaudRate(), 1);
    return static_cast<int>(
        (static_cast<std::uint32_t>(frameBytes) * kBitsPerByte * 1000 + baud - 1) / baud);
}

bool kavII_Protocol::waitForReply(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply, int timeoutMs,
                                  const ReplyFilter& accepts, const Event* cancel) {
    // A radio chattering other packets must not hold the exchange open for ever.
    constexpr int kMostTimeouts = 4;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kMostTimeouts * timeoutMs);
    const Event never;
    const Event* const events[] = {&replySignal_, cancel != nullptr ? cancel : &never};
    closestMiss_ = LinkFailure::NoReply;
    for (;;) {
        if (!port_.IsOpen()) {
            lastFailure_ = LinkFailure::PortClosed;
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int woken =
            left.count() <= 0
                ? kWaitTimeout
                : waitAny(events, std::min(timeoutMs, static_cast<int>(left.count())));
        if (woken == kWaitTimeout) {
            monitor_.post(kKavIIStatusNotice, kKavIIStatusTimeout, 0);
            lastFailure_ = port_.lineLost() ? LinkFailure::LineLost : closestMiss_;
            return false;
        }
        if (woken != 0) {
            lastFailure_ = LinkFailure::Cancelled; // or the events are gone
            return false;
        }
        // Anything else that came discards itself; the wait starts over with the full timeout.
        if (takeMatch(command, reply, accepts)) {
            return true;
        }
    }
}

bool kavII_Protocol::takeMatch(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply,
                               const ReplyFilter& accepts) {
    std::lock_guard guard(queueLock_);
    bool matched = false;
    while (!matched && !queue_.empty()) {
        const KAV_PACKET_STRUCT_TAG packet = queue_.front();
        queue_.pop_front();
        switch (matchKavIIReply(packet.data[0], command, reliableErrorFlag_)) {
        case KavIIReplyMatch::match:
            // A late reply to an earlier request with the same code is not this one's answer.
            if (!accepts || accepts(packet)) {
                reply = packet;
                matched = true;
            } else {
                closestMiss_ = LinkFailure::OtherAddress;
            }
            break;
        case KavIIReplyMatch::refused:
            monitor_.post(kKavIIStatusNotice, kKavIIStatusNack, 0);
            closestMiss_ = LinkFailure::Refused;
            break;
        case KavIIReplyMatch::notAReply:
            closestMiss_ = LinkFailure::NotAReply;
            break;
        case KavIIReplyMatch::otherCommand:
            break;
        }
    }
    // Set exactly while packets wait, so one queued after this examination still wakes us.
    if (queue_.empty()) {
        replySignal_.reset();
    }
    return matched;
}

} // namespace kav

#include "link/Kaviprotocol.h"

#include "link/LineFramer.h"
#include "link/SerialPort.h"

#include <algorithm>

namespace kav {

kavI_Protocol::kavI_Protocol(SerialPort& port)
    : port_(port), framer_(std::make_unique<LineFramer>()),
      listenerIndex_(claimListener(port, listenerSignal_)), thread_([this] { receiveLoop(); }) {}

kavI_Protocol::~kavI_Protocol() {
    stop_.set();
    thread_.join();
}

bool kavI_Protocol::SendPanelReply() {
    return sendFrame(kKavIPanelReplyData.data(), static_cast<int>(kKavIPanelReplyData.size()),
                     kKavIPanelReplyCommand, kKavITypeCC);
}

bool kavI_Protocol::sendFrame(const std::uint8_t* data, int length, std::uint8_t command,
                              std::uint8_t type) {
    std::uint8_t frame[kKavIMonitorSlotSize];
    if (length < 0 || length + 3 > kKavIMonitorSlotSize) {
        return false;
    }
    const int n = buildKavIFrame(data, length, command, type, frame);
    monitor_.record(Monitor::Ring::sent, kKavISentNotice, frame, n);
    return port_.Send(frame, n);
}

bool kavI_Protocol::SetMonitorWindow(MessageSink* sink) {
    monitor_.attach(sink);
    return true;
}

bool kavI_Protocol::ClearMonitorWindow() {
    monitor_.detach();
    return true;
}

void kavI_Protocol::ReadReceivedSlot(std::uint8_t* buffer, int count, int slot) const {
    monitor_.read(Monitor::Ring::received, buffer, count, slot);
}

void kavI_Protocol::ReadSentSlot(std::uint8_t* buffer, int count, int slot) const {
    monitor_.read(Monitor::Ring::sent, buffer, count, slot);
}

void kavI_Protocol::receiveLoop() {
    const Event* const events[] = {&stop_, &listenerSignal_};
    for (;;) {
        if (waitAny(events) < 0 || stop_.isSet()) {
            return;
        }
        receiveChunk();
    }
}

void kavI_Protocol::receiveChunk() {
    std::uint8_t bytes[256];
    const int n = port_.ReadListener(bytes, static_cast<int>(sizeof bytes), listenerIndex_);
    for (int i = 0; i < n; ++i) {
        if ((framer_->feed(bytes[i]) & LineFramer::kKavIFrame) != 0) {
            frameRecognised(framer_->kaviFrame());
        }
    }
}

void kavI_Protocol::frameRecognised(const KavIRecognizer& frame) {
    // Stored before the notice, so whoever the notice wakes sees this frame's values.
    lastType_.store(frame.type());
    lastCommand_.store(frame.command());
    monitor_.record(Monitor::Ring::received, kKavIReceivedNotice, frame.frame(),
                    frame.frameLength());
    if (frame.wantsPanelReply()) {
        SendPanelReply();
    }
}

} // namespace kav

#include "link/KavIIReceiver.h"

#include <algorithm>

namespace kav {

namespace {

constexpr std::uint8_t kStart = 0x7E;
constexpr std::uint8_t kFrameType = 0x02;
constexpr std::uint8_t kEnd = 0x7F;
constexpr std::uint8_t kEscape = 0x7D;
constexpr std::uint8_t kEscapeXor = 0x20;

bool needsEscape(std::uint8_t b) {
    return b == kEscape || b == kStart || b == kEnd;
}

} // namespace

int buildKavIIFrame(const std::uint8_t* payload, int length, std::uint8_t* frame) {
    if (length < 1 || length > kKavIIMaxPayload) {
        return 0;
    }
    int n = 0;
    frame[n++] = kStart;
    frame[n++] = kFrameType;
    frame[n++] = static_cast<std::uint8_t>(length);
    std::uint8_t sum = 0;
    for (int i = 0; i < length; ++i) {
        const std::uint8_t b = payload[i];
        sum ^= b;
        if (needsEscape(b)) {
            frame[n++] = kEscape;
            frame[n++] = b ^ kEscapeXor;
        } else {
            frame[n++] = b;
        }
    }
    frame[n++] = sum ^ 0xFF;
    frame[n++] = kEnd;
    return n;
}

void KavIIReceiver::reset() {
    state_ = State::hunt;
}

void KavIIReceiver::storePayloadByte(std::uint8_t byte) {
    if (escape_) {
        byte ^= kEscapeXor;
        escape_ = false;
    }
    buffer_[receivedCount_++] = byte;
    runningXor_ ^= byte;
    if (receivedCount_ == expectedLength_) {
        state_ = State::check;
    }
}

bool KavIIReceiver::feed(std::uint8_t byte) {
    ++frameBytes_;
    switch (state_) {
    case State::hunt:
        receivedCount_ = 0;
        expectedLength_ = 0;
        frameBytes_ = 1;
        state_ = byte == kStart ? State::type : State::hunt;
        return false;
    case State::type:
        state_ = byte == kFrameType ? State::length : State::hunt;
        return false;
    case State::length:
        // The radio never sends an empty payload; a zero here is noise, not a frame.
        escape_ = false;
        runningXor_ = 0;
        expectedLength_ = byte;
        state_ = byte == 0 ? State::hunt : State::payload;
        return false;
    case State::payload:
        if (byte == kEscape) {
            escape_ = true;
        } else {
            storePayloadByte(byte);
        }
        return false;
    case State::check:
        checkGood_ = byte == (runningXor_ ^ 0xFF);
        state_ = State::end;
        return false;
    case State::end:
        state_ = State::hunt;
        if (byte != kEnd || !checkGood_) {
            return false;
        }
        packet_.length = static_cast<std::uint32_t>(expectedLength_);
        std::fill(std::copy_n(buffer_.begin(), expectedLength_, packet_.data),
                  std::end(packet_.data), std::uint8_t{0});
        return true;
    }
    return false;
}

} // namespace kav

#include "link/KavIRecognizer.h"

#include <algorithm>

namespace kav {

namespace {

std::uint8_t checkByteOf(std::uint8_t sum) {
    return static_cast<std::uint8_t>(0xFF - sum);
}

} // namespace

int buildKavIFrame(const std::uint8_t* data, int length, std::uint8_t command, std::uint8_t type,
                   std::uint8_t* frame) {
    std::uint8_t sum = 0;
    for (int i = 0; i < length; ++i) {
        frame[i] = data[i];
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    frame[length] = checkByteOf(sum);
    frame[length + 1] = command;
    frame[length + 2] = type;
    return length + 3;
}

void KavIRecognizer::reset() {
    window_.fill(0);
    filled_ = 0;
}

int KavIRecognizer::dataLengthFor(std::uint8_t type, std::uint8_t command, bool& answered) const {
    const auto rule = std::find_if(kKavIFrameRules.begin(), kKavIFrameRules.end(),
                                   [&](auto& r) { return r.type == type && r.command == command; });
    if (rule == kKavIFrameRules.end()) {
        return -1;
    }
    answered = rule->answered;
    if (rule->dataLength != kKavICountedText) {
        return rule->dataLength;
    }
    // The text's length byte is the last data byte, just before the check byte.
    return filled_ > 3 ? window_[3] + 1 : -1;
}

bool KavIRecognizer::checkMatches(int dataLength) const {
    std::uint8_t sum = 0;
    for (int i = 3; i < dataLength + 3; ++i) {
        sum = static_cast<std::uint8_t>(sum + window_[i]);
    }
    return checkByteOf(sum) == window_[2];
}

void KavIRecognizer::takeFrame(int dataLength, bool answered) {
    frameLength_ = dataLength + 3;
    std::reverse_copy(window_.begin(), window_.begin() + frameLength_, frame_.begin());
    type_ = window_[0];
    command_ = window_[1];
    wantsPanelReply_ = answered;
    reset();
}

bool KavIRecognizer::feed(std::uint8_t byte) {
    std::copy_backward(window_.begin(), window_.end() - 1, window_.end());
    window_[0] = byte;
    filled_ = std::min(filled_ + 1, kKavIWindow);
    if (byte != kKavITypeAA && byte != kKavITypeCC) {
        return false;
    }
    bool answered = false;
    const int dataLength = filled_ > 1 ? dataLengthFor(byte, window_[1], answered) : -1;
    if (dataLength < 0 || dataLength + 3 > filled_ || !checkMatches(dataLength)) {
        return false;
    }
    takeFrame(dataLength, answered);
    return true;
}

} // namespace kav

#include "link/LineFramer.h"

namespace kav {

unsigned LineFramer::feed(std::uint8_t byte) {
    unsigned completed = kNothing;
    if (kavi_.feed(byte)) {
        completed |= kKavIFrame;
    }
    if (feedKavII(byte)) {
        completed |= kKavIIPacket;
        kavi_.reset();
    }
    if ((completed & kKavIFrame) != 0) {
        kaviFrameEnded();
    }
    return completed;
}

bool LineFramer::feedKavII(std::uint8_t byte) {
    if (main_.feed(byte)) {
        packet_ = main_.packet();
        alternative_.reset(); // the frame was genuine: the other reading was its payload
        return true;
    }
    const bool otherDone = alternative_ && alternative_->feed(byte);
    if (otherDone) {
        packet_ = alternative_->packet();
    }
    if (!main_.inFrame() && alternative_) {
        main_ = *alternative_; // the frame failed its check: the other reading goes on
        alternative_.reset();
    }
    return otherDone;
}

void LineFramer::kaviFrameEnded() {
    const int kaviLength = kavi_.frameLength();
    for (KavIIReceiver* reader : {&main_, alternative_ ? &*alternative_ : nullptr}) {
        if (reader != nullptr && reader->inFrame() && reader->frameBytes() <= kaviLength) {
            reader->reset();
        }
    }
    if (!main_.inFrame() && alternative_) {
        main_ = *alternative_;
        alternative_.reset();
    }
    if (main_.inFrame() && !alternative_) {
        alternative_.emplace();
    }
}

void LineFramer::reset() {
    main_.reset();
    alternative_.reset();
    kavi_.reset();
}

} // namespace kav

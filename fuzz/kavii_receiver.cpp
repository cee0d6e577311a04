// Feeds arbitrary bytes to the KAV II receiver. Every packet it completes must have a length
// the framer accepts, and framing that packet again and feeding it to a fresh receiver must
// give the same packet back.
#include "link/KavIIReceiver.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void checkRoundTrip(const kav::KAV_PACKET_STRUCT_TAG& packet) {
    const int length = static_cast<int>(packet.length);
    if (length < 1 || length > kav::kKavIIMaxPayload) {
        std::abort();
    }
    std::uint8_t frame[kav::kKavIIMaxFrame];
    const int n = kav::buildKavIIFrame(packet.data, length, frame);
    if (n < length + 5 || n > kav::kKavIIMaxFrame) {
        std::abort();
    }
    kav::KavIIReceiver again;
    int completed = 0;
    for (int i = 0; i < n; ++i) {
        if (again.feed(frame[i])) {
            ++completed;
            // Only the end byte may complete the frame.
            if (i != n - 1 || again.packet().length != packet.length ||
                std::memcmp(again.packet().data, packet.data, packet.length) != 0) {
                std::abort();
            }
        }
    }
    if (completed != 1) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kav::KavIIReceiver rx;
    for (std::size_t i = 0; i < size; ++i) {
        if (rx.feed(data[i])) {
            checkRoundTrip(rx.packet());
        }
    }
    return 0;
}

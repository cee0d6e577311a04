// Feeds arbitrary bytes to the shared-line framer that both engines run. Every packet must
// frame again into the same packet, every KAV I frame must be the bytes just fed with a good
// check byte, and nothing may read or write outside its buffers.
#include "link/LineFramer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void checkPacket(const kav::KAV_PACKET_STRUCT_TAG& packet) {
    const int length = static_cast<int>(packet.length);
    std::uint8_t frame[kav::kKavIIMaxFrame];
    const int n = kav::buildKavIIFrame(packet.data, length, frame);
    if (n == 0) {
        std::abort();
    }
    kav::KavIIReceiver again;
    bool done = false;
    for (int i = 0; i < n; ++i) {
        done = again.feed(frame[i]);
    }
    if (!done || std::memcmp(again.packet().data, packet.data, packet.length) != 0) {
        std::abort();
    }
}

void checkKaviFrame(const kav::KavIRecognizer& rx, const std::uint8_t* fed, std::size_t count) {
    const int n = rx.frameLength();
    if (n < 3 || n > kav::kKavIWindow || static_cast<std::size_t>(n) > count ||
        std::memcmp(rx.frame(), fed + count - n, n) != 0) {
        std::abort();
    }
    std::uint8_t rebuilt[kav::kKavIWindow];
    kav::buildKavIFrame(rx.frame(), n - 3, rx.command(), rx.type(), rebuilt);
    if (std::memcmp(rebuilt, rx.frame(), n) != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kav::LineFramer framer;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned done = framer.feed(data[i]);
        if ((done & kav::LineFramer::kKavIIPacket) != 0) {
            checkPacket(framer.packet());
        }
        if ((done & kav::LineFramer::kKavIFrame) != 0) {
            checkKaviFrame(framer.kaviFrame(), data, i + 1);
        }
    }
    return 0;
}

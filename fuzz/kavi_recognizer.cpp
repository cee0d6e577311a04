// Feeds arbitrary bytes to the KAV I recogniser. Every recognised frame must fit the window,
// end in a known type and command with a good check byte, be exactly the bytes just fed, and
// leave nothing behind from which a further frame could be built.
#include "link/KavIRecognizer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void checkFrame(const kav::KavIRecognizer& rx, const std::uint8_t* fed, std::size_t fedCount) {
    const int n = rx.frameLength();
    if (n < 3 || n > kav::kKavIWindow || static_cast<std::size_t>(n) > fedCount) {
        std::abort();
    }
    const std::uint8_t* frame = rx.frame();
    if (std::memcmp(frame, fed + fedCount - n, n) != 0) {
        std::abort();
    }
    const auto known = std::any_of(kav::kKavIFrameRules.begin(), kav::kKavIFrameRules.end(),
                                   [&](const kav::KavIFrameRule& r) {
                                       return r.type == frame[n - 1] && r.command == frame[n - 2];
                                   });
    std::uint8_t rebuilt[kav::kKavIWindow];
    kav::buildKavIFrame(frame, n - 3, frame[n - 2], frame[n - 1], rebuilt);
    if (!known || std::memcmp(rebuilt, frame, n) != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kav::KavIRecognizer rx;
    std::size_t sinceFrame = 0;
    for (std::size_t i = 0; i < size; ++i) {
        ++sinceFrame;
        if (rx.feed(data[i])) {
            // A frame is built only from bytes after the previous one.
            checkFrame(rx, data + i + 1 - sinceFrame, sinceFrame);
            sinceFrame = 0;
        }
    }
    return 0;
}

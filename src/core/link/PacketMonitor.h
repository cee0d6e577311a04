#pragma once

#include "link/MessageSink.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>

namespace kav {

// A packet monitor registration and its two rings of 32 slots. One lock guards the sink and the
// rings, and notices are posted under it, so once detach() returns the sink gets nothing more.
template <int SlotSize> class PacketMonitor {
public:
    static constexpr int kSlots = 32;
    enum class Ring { received, sent };

    void attach(MessageSink* sink) {
        std::lock_guard guard(lock_);
        sink_ = sink;
        next_ = {0, 0};
    }
    void detach() {
        std::lock_guard guard(lock_);
        sink_ = nullptr;
    }
    // With a monitor attached: copies the bytes (at most one slot) into the ring's next slot
    // and posts `message` (slot, length).
    void record(Ring ring, std::uint32_t message, const std::uint8_t* bytes, int length) {
        std::lock_guard guard(lock_);
        if (sink_ == nullptr) {
            return;
        }
        const int r = static_cast<int>(ring);
        const int slot = next_[r];
        std::copy_n(bytes, std::clamp(length, 0, SlotSize), slots_[r][slot].begin());
        next_[r] = (slot + 1) % kSlots;
        sink_->post(message, slot, length);
    }
    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
        std::lock_guard guard(lock_);
        if (sink_ != nullptr) {
            sink_->post(message, wParam, lParam);
        }
    }
    void read(Ring ring, std::uint8_t* buffer, int count, int slot) const {
        if (buffer == nullptr || slot < 0 || slot >= kSlots) {
            return;
        }
        std::lock_guard guard(lock_);
        std::copy_n(slots_[static_cast<int>(ring)][slot].begin(), std::clamp(count, 0, SlotSize),
                    buffer);
    }

private:
    mutable std::mutex lock_;
    MessageSink* sink_ = nullptr;
    std::array<int, 2> next_{};
    std::array<std::array<std::array<std::uint8_t, SlotSize>, kSlots>, 2> slots_{};
};

} // namespace kav

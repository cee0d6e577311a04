#pragma once

#include "link/MessageSink.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <vector>

namespace kav::test {

// Records every notice in order and lets a test wait for them.
class RecordingSink : public MessageSink {
public:
    struct Notice {
        std::uint32_t message;
        std::intptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const Notice&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Notice& n) {
            return out << "{" << n.message << ", " << n.wParam << ", " << n.lParam << "}";
        }
    };

    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard guard(lock_);
        notices_.push_back({message, wParam, lParam});
        changed_.notify_all();
    }

    // Waits until `count` notices with this message number arrived.
    bool waitFor(std::uint32_t message, std::size_t count = 1, int timeoutMs = 2000) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                 [&] { return countLocked(message) >= count; });
    }

    // Waits until at least `count` notices of any number arrived; returns all so far.
    std::vector<Notice> waitForAny(std::size_t count, int timeoutMs = 1000) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [&] { return notices_.size() >= count; });
        return notices_;
    }

    std::vector<Notice> notices() const {
        std::lock_guard guard(lock_);
        return notices_;
    }

    // The notices with this message number, in order.
    std::vector<Notice> of(std::uint32_t message) const {
        std::vector<Notice> out;
        for (const auto& n : notices()) {
            if (n.message == message) {
                out.push_back(n);
            }
        }
        return out;
    }

private:
    std::size_t countLocked(std::uint32_t message) const {
        std::size_t n = 0;
        for (const auto& notice : notices_) {
            n += notice.message == message ? 1 : 0;
        }
        return n;
    }

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Notice> notices_;
};

} // namespace kav::test

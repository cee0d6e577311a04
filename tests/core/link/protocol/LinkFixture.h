#pragma once

#include "link/Event.h"
#include "link/Kaviiprotocol.h"
#include "link/MessageSink.h"
#include "sim/PtyPair.h"
#include "support/RecordingSink.h"
#include "support/Testsupport.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kav::test {

// The far end of the line: a raw pty master. A peer thread collects what the engines send and,
// for each KAV II request, writes the KAV II frames `answer` returns.
class RadioPeer {
public:
    using Answer = std::function<std::vector<Bytes>(const KAV_PACKET_STRUCT_TAG& request)>;

    explicit RadioPeer(Answer answer = {}) : answer_(std::move(answer)) {
        if (!pty_.isOpen()) {
            throw std::runtime_error("no pty");
        }
        thread_ = std::thread([this] { run(); });
    }

    ~RadioPeer() {
        stop_.set();
        thread_.join();
    }

    RadioPeer(const RadioPeer&) = delete;
    RadioPeer& operator=(const RadioPeer&) = delete;

    const std::string& slavePath() const { return pty_.slavePath(); }

    void write(const Bytes& bytes) {
        if (!pty_.write(bytes)) {
            throw std::runtime_error("pty write stalled");
        }
    }

    // Waits until at least `count` bytes came from the engines and returns all so far.
    Bytes received(std::size_t count, int timeoutMs = 2000) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [&] { return raw_.size() >= count; });
        return raw_;
    }

    int requests() const {
        std::lock_guard guard(lock_);
        return requests_;
    }

private:
    void run() {
        pollfd fds[2] = {{pty_.master(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) {
                return;
            }
            std::uint8_t bytes[256];
            const ssize_t n = ::read(pty_.master(), bytes, sizeof bytes);
            for (ssize_t i = 0; i < n; ++i) {
                take(bytes[i]);
            }
        }
    }

    void take(std::uint8_t byte) {
        bool isRequest = false;
        {
            std::lock_guard guard(lock_);
            raw_.push_back(byte);
            isRequest = receiver_.feed(byte);
            requests_ += isRequest ? 1 : 0;
            changed_.notify_all();
        }
        if (isRequest && answer_) {
            for (const auto& payload : answer_(receiver_.packet())) {
                write(kaviiFrame(payload));
            }
        }
    }

    PtyPair pty_;
    Answer answer_;
    Event stop_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    Bytes raw_;
    int requests_ = 0;
    KavIIReceiver receiver_;
    std::thread thread_;
};

} // namespace kav::test

#pragma once

#include "link/Event.h"
#include "link/Kaviiprotocol.h"
#include "link/MessageSink.h"
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

// Records every notice and lets a test wait for one.
class RecordingSink : public MessageSink {
public:
    struct Notice {
        std::uint32_t message;
        std::intptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const Notice&) const = default;
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

// The far end of the line: a raw pty master. A peer thread collects what the engines send and,
// for each KAV II request, writes the KAV II frames `answer` returns.
class RadioPeer {
public:
    using Answer = std::function<std::vector<Bytes>(const KAV_PACKET_STRUCT_TAG& request)>;

    explicit RadioPeer(Answer answer = {})
        : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)),
          answer_(std::move(answer)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("no pty");
        }
        slavePath_ = ::ptsname(master_);
        termios tio{};
        ::tcgetattr(master_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
        // Held open so the master never sees a hang-up between the engine's opens.
        keeper_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        thread_ = std::thread([this] { run(); });
    }

    ~RadioPeer() {
        stop_.set();
        thread_.join();
        ::close(keeper_);
        ::close(master_);
    }

    RadioPeer(const RadioPeer&) = delete;
    RadioPeer& operator=(const RadioPeer&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    void write(const Bytes& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd fd{master_, POLLOUT, 0};
                ::poll(&fd, 1, 100);
            }
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
        pollfd fds[2] = {{master_, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) {
                return;
            }
            std::uint8_t bytes[256];
            const ssize_t n = ::read(master_, bytes, sizeof bytes);
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

    int master_;
    int keeper_ = -1;
    std::string slavePath_;
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

#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace kav::test {

// A pseudo-terminal pair: the engine opens the slave path, the test plays the far end on the
// raw master.
class PtyPair {
public:
    PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("no pty");
        }
        slave_ = ::ptsname(master_);
        termios tio{};
        ::tcgetattr(master_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
    }
    ~PtyPair() { hangUp(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slave() const { return slave_; }

    // Closing the master is what unplugging the adapter looks like to the engine.
    void hangUp() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    void write(const std::vector<std::uint8_t>& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (!waitFor(POLLOUT, 1000)) {
                throw std::runtime_error("pty write stalled");
            }
        }
    }

    // Reads until `count` bytes arrived or the line stayed quiet for quietMs.
    std::vector<std::uint8_t> read(std::size_t count, int quietMs = 1000) const {
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
        while (got < count && waitFor(POLLIN, quietMs)) {
            const ssize_t n = ::read(master_, bytes.data() + got, count - got);
            if (n <= 0 && errno != EAGAIN) {
                break;
            }
            got += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        bytes.resize(got);
        return bytes;
    }

private:
    bool waitFor(short events, int timeoutMs) const {
        pollfd fd{master_, events, 0};
        return ::poll(&fd, 1, timeoutMs) == 1;
    }

    int master_;
    std::string slave_;
};

} // namespace kav::test

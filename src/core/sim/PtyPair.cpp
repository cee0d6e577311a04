#include "sim/PtyPair.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace kav {

namespace {

bool setRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool waitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, timeoutMs) == 1 && (p.revents & events) != 0;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

PtyPair::PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[PATH_MAX];
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        closeAll();
        return;
    }
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    // Raw before the program opens it: an echoing line discipline would send its requests
    // straight back to it.
    if (slave_ < 0 || !setRaw(slave_)) {
        closeAll();
        return;
    }
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    closeAll();
}

void PtyPair::closeAll() {
    closeFd(slave_);
    closeFd(master_);
}

void PtyPair::hangUp() {
    closeFd(master_);
}

void PtyPair::closeSlave() {
    closeFd(slave_);
}

bool PtyPair::waitReadable(int timeoutMs) const {
    return master_ >= 0 && waitFor(master_, POLLIN, timeoutMs);
}

bool PtyPair::waitWritable(int timeoutMs) const {
    return master_ >= 0 && waitFor(master_, POLLOUT, timeoutMs);
}

bool PtyPair::write(const std::vector<std::uint8_t>& bytes, int stallMs) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if ((n < 0 && errno != EAGAIN) || !waitWritable(stallMs)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> PtyPair::read(std::size_t count, int quietMs) const {
    std::vector<std::uint8_t> bytes(count);
    std::size_t got = 0;
    while (got < count && waitReadable(quietMs)) {
        const ssize_t n = ::read(master_, bytes.data() + got, count - got);
        if (n <= 0 && errno != EAGAIN) {
            break;
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    bytes.resize(got);
    return bytes;
}

} // namespace kav

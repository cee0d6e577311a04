#include "link/Event.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace kav {

Event::Event(bool initiallySet) : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ < 0) {
        throw std::runtime_error("eventfd failed");
    }
    if (initiallySet) {
        set();
    }
}

Event::~Event() {
    ::close(fd_);
}

std::unique_ptr<Event> Event::share() const {
    const int copy = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        return nullptr;
    }
    return std::unique_ptr<Event>(new Event(Adopt{}, copy));
}

void Event::set() {
    const std::uint64_t one = 1;
    // EAGAIN means the counter is saturated: the event is set already.
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void Event::reset() {
    std::uint64_t value = 0;
    while (::read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool Event::isSet() const {
    return wait(0);
}

bool Event::wait(int timeoutMs) const {
    const Event* self = this;
    return waitAny(std::span<const Event* const>(&self, 1), timeoutMs) == 0;
}

int waitAny(std::span<const Event* const> events, int timeoutMs) {
    std::vector<pollfd> fds;
    fds.reserve(events.size());
    for (const Event* e : events) {
        fds.push_back({e->fd(), POLLIN, 0});
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int wait = timeoutMs;
        if (timeoutMs > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            wait = static_cast<int>(std::max<long long>(left.count(), 0));
        }
        const int n = ::poll(fds.data(), fds.size(), wait);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return kWaitFailed;
        }
        if (n == 0) {
            return kWaitTimeout;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & POLLIN) != 0) {
                return static_cast<int>(i);
            }
        }
        return kWaitFailed;
    }
}

int waitAny(std::initializer_list<const Event*> events, int timeoutMs) {
    return waitAny(std::span<const Event* const>(events.begin(), events.size()), timeoutMs);
}

} // namespace kav

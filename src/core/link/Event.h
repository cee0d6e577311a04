#pragma once

#include <initializer_list>
#include <memory>
#include <span>

namespace kav {

// A manual-reset event: once set it stays set, waking every waiter, until reset.
// Backed by an eventfd so it can be waited on with poll() beside file descriptors.
class Event {
public:
    explicit Event(bool initiallySet = false);
    ~Event();

    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool isSet() const;
    // Blocks until the event is set or timeoutMs passes (negative: no limit).
    bool wait(int timeoutMs = -1) const;

    int fd() const { return fd_; }

    // Another handle on the same event (the eventfd duplicated): setting or resetting either
    // is seen through both, and the event stays valid until every handle is gone. Null when
    // no descriptor is left.
    std::unique_ptr<Event> share() const;

private:
    struct Adopt {};
    Event(Adopt, int fd) : fd_(fd) {}

    int fd_;
};

inline constexpr int kWaitTimeout = -1;
inline constexpr int kWaitFailed = -2;

// Blocks until the first of `events` is set and returns its index (the lowest set index
// when several are), kWaitTimeout after timeoutMs (negative: no limit), or kWaitFailed.
int waitAny(std::span<const Event* const> events, int timeoutMs = -1);
int waitAny(std::initializer_list<const Event*> events, int timeoutMs = -1);

} // namespace kav

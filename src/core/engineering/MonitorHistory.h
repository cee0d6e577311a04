#pragma once

#include "link/MessageSink.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace kav {

// The lines a monitor window has built since it last painted. The window paints them in one go
// on a timer, so a busy line costs one repaint per tick rather than one per notice; beyond
// `maxLines` the oldest waiting lines are dropped, so a window that cannot paint (minimised,
// starved) holds a bounded amount.
class LineBatch {
public:
    explicit LineBatch(std::size_t maxLines) : maxLines_(maxLines) {}

    void add(std::string line);
    bool empty() const { return lines_.empty(); }
    std::size_t size() const { return lines_.size(); }
    // The waiting lines joined by line breaks (no break after the last); empties the batch.
    std::string take();
    void clear() { lines_.clear(); }
    // Lines dropped unpainted since the batch was made.
    std::size_t dropped() const { return dropped_; }

private:
    std::size_t maxLines_;
    std::deque<std::string> lines_;
    std::size_t dropped_ = 0;
};

// One notice as a monitor's source posted it, with the time it came.
struct MonitorNotice {
    std::uint32_t message;
    std::intptr_t wParam;
    std::intptr_t lParam;
    std::chrono::system_clock::time_point at;
};

// Where a monitor's source posts: the notices wait here, time-stamped, until the window takes
// them all at its next paint. So a busy line wakes the window a few times a second rather than
// once per burst, and a transfer's threads never wait for it. Beyond `maxNotices` waiting,
// newer notices are counted and dropped.
class NoticeQueue : public MessageSink {
public:
    explicit NoticeQueue(std::size_t maxNotices) : maxNotices_(maxNotices) {}

    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::vector<MonitorNotice> take();
    void clear();
    std::size_t dropped() const;

private:
    mutable std::mutex lock_;
    std::size_t maxNotices_;
    std::vector<MonitorNotice> notices_;
    std::size_t dropped_ = 0;
};

// "[hh:mm:ss.zzz] " for a local time (now when not given).
std::string clockStamp(std::chrono::system_clock::time_point at = std::chrono::system_clock::now());

// "Rx[n:c] " or "Tx[n:c] " then each byte as two hexadecimal digits and a blank, then, when
// `decodeAscii`, the bytes as text in square brackets (a full stop for anything unprintable).
std::string trafficLine(const std::string& stamp, bool received, const std::uint8_t* bytes, int n,
                        std::intptr_t noticeCount, bool decodeAscii);
// "Rx[n] " or "Tx[n] " then each byte as two hexadecimal digits and a blank.
std::string packetLine(const std::string& stamp, bool received, const std::uint8_t* bytes, int n);
// The KAV II engine's status notice as a monitor shows it.
std::string kavIIStatusText(std::intptr_t status);

} // namespace kav

#include "engineering/MonitorHistory.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace kav {

namespace {

constexpr std::array<char, 17> kHexDigits{"0123456789ABCDEF"};

void appendHex(std::string& line, const std::uint8_t* bytes, int n) {
    for (int i = 0; i < n; ++i) {
        line += kHexDigits[static_cast<std::size_t>(bytes[i] >> 4)];
        line += kHexDigits[static_cast<std::size_t>(bytes[i] & 0x0F)];
        line += ' ';
    }
}

} // namespace

void LineBatch::add(std::string line) {
    lines_.push_back(std::move(line));
    while (lines_.size() > maxLines_) {
        lines_.pop_front();
        ++dropped_;
    }
}

std::string LineBatch::take() {
    std::size_t length = 0;
    for (const std::string& line : lines_) {
        length += line.size() + 1;
    }
    std::string text;
    text.reserve(length);
    for (const std::string& line : lines_) {
        if (!text.empty()) {
            text += '\n';
        }
        text += line;
    }
    lines_.clear();
    return text;
}

void NoticeQueue::post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    const auto now = std::chrono::system_clock::now();
    std::lock_guard guard(lock_);
    if (notices_.size() >= maxNotices_) {
        ++dropped_;
        return;
    }
    notices_.push_back({message, wParam, lParam, now});
}

std::vector<MonitorNotice> NoticeQueue::take() {
    std::vector<MonitorNotice> taken;
    std::lock_guard guard(lock_);
    taken.swap(notices_);
    return taken;
}

void NoticeQueue::clear() {
    std::lock_guard guard(lock_);
    notices_.clear();
}

std::size_t NoticeQueue::dropped() const {
    std::lock_guard guard(lock_);
    return dropped_;
}

std::string clockStamp(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    std::array<char, 20> text{};
    std::snprintf(text.data(), text.size(), "[%02d:%02d:%02d.%03d] ", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms));
    return text.data();
}

std::string trafficLine(const std::string& stamp, bool received, const std::uint8_t* bytes, int n,
                        std::intptr_t noticeCount, bool decodeAscii) {
    std::string line = stamp;
    line.reserve(stamp.size() + 16 + static_cast<std::size_t>(n) * 4);
    line += received ? "Rx[" : "Tx[";
    line += std::to_string(n) + ":" + std::to_string(noticeCount) + "] ";
    appendHex(line, bytes, n);
    if (decodeAscii) {
        line += '[';
        for (int i = 0; i < n; ++i) {
            line += bytes[i] >= 0x20 && bytes[i] <= 0x7E ? static_cast<char>(bytes[i]) : '.';
        }
        line += ']';
    }
    return line;
}

std::string packetLine(const std::string& stamp, bool received, const std::uint8_t* bytes, int n) {
    std::string line = stamp;
    line += received ? "Rx[" : "Tx[";
    line += std::to_string(n) + "] ";
    appendHex(line, bytes, n);
    return line;
}

std::string kavIIStatusText(std::intptr_t status) {
    switch (status) {
    case 1:
        return "* timeout *";
    case 2:
        return "* NACK *";
    default:
        return "unknown";
    }
}

} // namespace kav

#include "engineering/MonitorHistory.h"

#include <array>
#include <gtest/gtest.h>
#include <regex>
#include <thread>
#include <vector>

namespace kav {
namespace {

TEST(MonitorLines, TrafficAndPacketLines) {
    const std::uint8_t bytes[] = {0x41, 0x0D, 0x7F, 0x80};
    EXPECT_EQ(trafficLine("[12:34:56.789] ", true, bytes, 2, 2, true),
              "[12:34:56.789] Rx[2:2] 41 0D [A.]");
    EXPECT_EQ(trafficLine("[12:34:56.789] ", false, bytes + 2, 2, 1, true),
              "[12:34:56.789] Tx[2:1] 7F 80 [..]");
    EXPECT_EQ(trafficLine("", true, bytes, 0, 3, false), "Rx[0:3] ");
    const std::uint8_t version[] = {0x80};
    EXPECT_EQ(packetLine("[09:15:02.118] ", false, version, 1), "[09:15:02.118] Tx[1] 80 ");
    EXPECT_EQ(kavIIStatusText(1), "* timeout *");
    EXPECT_EQ(kavIIStatusText(2), "* NACK *");
    EXPECT_EQ(kavIIStatusText(7), "unknown");
    EXPECT_TRUE(std::regex_match(clockStamp(), std::regex(R"(\[\d\d:\d\d:\d\d\.\d{3}\] )")));
}

TEST(LineBatch, KeepsTheNewestLinesInOrderAndCountsTheRest) {
    LineBatch batch(3);
    for (int i = 1; i <= 5; ++i) {
        batch.add("line " + std::to_string(i));
    }
    EXPECT_EQ(batch.size(), 3U);
    EXPECT_EQ(batch.dropped(), 2U);
    EXPECT_EQ(batch.take(), "line 3\nline 4\nline 5");
    EXPECT_TRUE(batch.empty());
    EXPECT_EQ(batch.take(), "");
}

// Notices from several threads wait in order of arrival, at most the queue's size of them.
TEST(NoticeQueue, HoldsNoticesInOrderUpToItsSize) {
    NoticeQueue queue(100);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&queue, t] {
            for (int i = 0; i < 60; ++i) {
                queue.post(2034, t, i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::vector<MonitorNotice> taken = queue.take();
    EXPECT_EQ(taken.size(), 100U);
    EXPECT_EQ(queue.dropped(), 20U);
    std::array<std::intptr_t, 2> next{};
    for (const MonitorNotice& n : taken) {
        EXPECT_EQ(n.lParam, next[static_cast<std::size_t>(n.wParam)]++) << "each thread's order";
    }
    queue.post(2034, 0, 0);
    EXPECT_EQ(queue.take().size(), 1U);
    EXPECT_TRUE(queue.take().empty());
}

} // namespace
} // namespace kav

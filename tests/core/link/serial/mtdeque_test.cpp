#include "link/Mtdeque.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace kav {
namespace {

std::vector<std::uint8_t> pattern(int count, int start = 0) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(start + i);
    }
    return bytes;
}

std::vector<std::uint8_t> take(MTdeque& ring, int count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    bytes.resize(static_cast<std::size_t>(ring.Get(bytes.data(), count)));
    return bytes;
}

TEST(MTdeque, FullRingStoresNothingMoreAndGivesBackAllBytesInOrder) {
    MTdeque ring;
    const auto bytes = pattern(MTdeque::kCapacity);
    EXPECT_EQ(ring.Put(bytes.data(), MTdeque::kCapacity), MTdeque::kCapacity);
    const std::uint8_t extra = 0xAA;
    EXPECT_EQ(ring.Put(&extra, 1), 0);
    EXPECT_FALSE(ring.IsEmpty());
    EXPECT_EQ(take(ring, 2000), bytes);
    EXPECT_TRUE(ring.IsEmpty());
}

TEST(MTdeque, OverflowKeepsTheHeadAndDropsTheRest) {
    MTdeque ring;
    const auto first = pattern(1000);
    const auto second = pattern(100, 1000);
    ASSERT_EQ(ring.Put(first.data(), 1000), 1000);
    EXPECT_EQ(ring.Put(second.data(), 100), 24);
    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.begin() + 24);
    EXPECT_EQ(take(ring, MTdeque::kCapacity), expected);
}

TEST(MTdeque, BytesWrappingPastTheEndComeBackInOrder) {
    MTdeque ring;
    const auto filler = pattern(1000);
    ring.Put(filler.data(), 1000);
    ASSERT_EQ(take(ring, 990).size(), 990U);
    const auto wrapped = pattern(300, 7);
    ASSERT_EQ(ring.Put(wrapped.data(), 300), 300);
    auto expected = pattern(10, 990);
    expected.insert(expected.end(), wrapped.begin(), wrapped.end());
    EXPECT_EQ(take(ring, 150), std::vector<std::uint8_t>(expected.begin(), expected.begin() + 150));
    EXPECT_EQ(take(ring, 500), std::vector<std::uint8_t>(expected.begin() + 150, expected.end()));
}

TEST(MTdeque, NonPositiveCountsAndClear) {
    MTdeque ring;
    const auto bytes = pattern(10);
    std::uint8_t out[4] = {};
    EXPECT_EQ(ring.Put(bytes.data(), 0), 0);
    EXPECT_EQ(ring.Put(bytes.data(), -5), 0);
    EXPECT_EQ(ring.Put(nullptr, 5), 0);
    EXPECT_TRUE(ring.IsEmpty());
    ring.Put(bytes.data(), 10);
    EXPECT_EQ(ring.Get(out, 0), 0);
    EXPECT_EQ(ring.Get(out, -1), 0);
    ring.Clear();
    EXPECT_TRUE(ring.IsEmpty());
    EXPECT_EQ(ring.Get(out, 4), 0);
    ring.Put(bytes.data(), 3);
    EXPECT_EQ(take(ring, 10), pattern(3));
}

} // namespace
} // namespace kav

#include "link/KavIIReceiver.h"

#include <gtest/gtest.h>
#include <vector>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frameOf(const Bytes& payload) {
    std::uint8_t frame[kKavIIMaxFrame];
    const int n = buildKavIIFrame(payload.data(), static_cast<int>(payload.size()), frame);
    return Bytes(frame, frame + n);
}

// Feeds every byte and returns the payloads of the packets that completed.
std::vector<Bytes> receive(KavIIReceiver& rx, const Bytes& wire) {
    std::vector<Bytes> packets;
    for (std::uint8_t b : wire) {
        if (rx.feed(b)) {
            const auto& p = rx.packet();
            packets.emplace_back(p.data, p.data + p.length);
        }
    }
    return packets;
}

std::vector<Bytes> receive(const Bytes& wire) {
    KavIIReceiver rx;
    return receive(rx, wire);
}

struct FrameCase {
    Bytes payload;
    Bytes frame;
};

TEST(KavIIFramer, BuildsTheExampleFramesAndReceivesThePayloadsBack) {
    const std::vector<FrameCase> cases{
        {{0x80}, {0x7E, 0x02, 0x01, 0x80, 0x7F, 0x7F}},
        {{0xB9}, {0x7E, 0x02, 0x01, 0xB9, 0x46, 0x7F}},
        {{0x8B, 0x00, 0x10, 0x10}, {0x7E, 0x02, 0x04, 0x8B, 0x00, 0x10, 0x10, 0x74, 0x7F}},
        {{0xA1, 0x01, 0x00, 0x7E}, {0x7E, 0x02, 0x04, 0xA1, 0x01, 0x00, 0x7D, 0x5E, 0x21, 0x7F}},
        // The reply to GetVersion with nothing more.
        {{0x00}, {0x7E, 0x02, 0x01, 0x00, 0xFF, 0x7F}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.payload));
        EXPECT_EQ(frameOf(c.payload), c.frame);
        EXPECT_EQ(receive(c.frame), std::vector<Bytes>{c.payload});
    }
}

TEST(KavIIFramer, RejectsLengthsOutsideOneTo255) {
    Bytes payload(256, 0x7E);
    std::uint8_t frame[kKavIIMaxFrame];
    EXPECT_EQ(buildKavIIFrame(payload.data(), 0, frame), 0);
    EXPECT_EQ(buildKavIIFrame(payload.data(), 256, frame), 0);
    // The longest frame: every byte escaped fills the buffer exactly.
    EXPECT_EQ(buildKavIIFrame(payload.data(), 255, frame), kKavIIMaxFrame);
    EXPECT_EQ(receive(Bytes(frame, frame + kKavIIMaxFrame)), std::vector<Bytes>{Bytes(255, 0x7E)});
}

TEST(KavIIReceiver, UnescapesEveryReservedByte) {
    const Bytes payload{0x03, 0x7D, 0x7E, 0x7F, 0x20};
    const Bytes frame = frameOf(payload);
    EXPECT_EQ(frame.size(), 5 + payload.size() + 3);
    EXPECT_EQ(receive(frame), std::vector<Bytes>{payload});
}

TEST(KavIIReceiver, SkipsNoiseAndKavIFramesBeforeTheStart) {
    Bytes wire{0x00, 0xFF, 0x02, 0x31, 0xCE, 0x04, 0xAA, 0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC};
    const Bytes frame = frameOf({0x03, 0x10, 0x20});
    wire.insert(wire.end(), frame.begin(), frame.end());
    EXPECT_EQ(receive(wire), (std::vector<Bytes>{{0x03, 0x10, 0x20}}));
}

TEST(KavIIReceiver, DropsAFrameWithAWrongCheckByteAndTakesTheNext) {
    Bytes wire{0x7E, 0x02, 0x01, 0x00, 0xFE, 0x7F};
    const Bytes good = frameOf({0x01, 0x22});
    wire.insert(wire.end(), good.begin(), good.end());
    EXPECT_EQ(receive(wire), (std::vector<Bytes>{{0x01, 0x22}}));
}

TEST(KavIIReceiver, DropsFramesThatAreMalformed) {
    const std::vector<Bytes> bad{
        {0x7E, 0x03, 0x01, 0x00, 0xFF, 0x7F},       // wrong frame type
        {0x7E, 0x02, 0x01, 0x00, 0xFF, 0x7E},       // no end byte
        {0x7E, 0x02, 0x00, 0x00, 0xFF, 0x7F},       // empty payload starts no frame
        {0x7E, 0x02, 0x01, 0x00, 0x11, 0xFF, 0x7F}, // payload longer than its length byte
    };
    for (const auto& wire : bad) {
        EXPECT_TRUE(receive(wire).empty()) << ::testing::PrintToString(wire);
    }
}

TEST(KavIIReceiver, StoresAStartByteInsideThePayloadAsData) {
    // An unescaped 0x7E inside the counted payload does not restart the frame.
    const Bytes wire{0x7E, 0x02, 0x02, 0x7E, 0x01, 0x7F ^ 0xFF, 0x7F};
    EXPECT_EQ(receive(wire), (std::vector<Bytes>{{0x7E, 0x01}}));
}

TEST(KavIIReceiver, ResetDropsAHalfBuiltFrame) {
    KavIIReceiver rx;
    const Bytes frame = frameOf({0x03, 0x01, 0x02, 0x03});
    EXPECT_TRUE(receive(rx, Bytes(frame.begin(), frame.begin() + 5)).empty());
    rx.reset();
    EXPECT_TRUE(receive(rx, Bytes(frame.begin() + 5, frame.end())).empty());
    EXPECT_EQ(receive(rx, frame).size(), 1u);
}

TEST(KavIIReceiver, PacketClearsBytesBeyondItsLength) {
    KavIIReceiver rx;
    receive(rx, frameOf({0x03, 0x11, 0x22, 0x33}));
    ASSERT_EQ(receive(rx, frameOf({0x00})).size(), 1u);
    EXPECT_EQ(rx.packet().length, 1u);
    EXPECT_EQ(rx.packet().data[1], 0);
}

} // namespace
} // namespace kav

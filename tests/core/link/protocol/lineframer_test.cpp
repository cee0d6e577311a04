#include "link/LineFramer.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using test::Bytes;
using test::kaviiFrame;

Bytes kaviFrame(const Bytes& data, std::uint8_t command, std::uint8_t type) {
    Bytes frame(data.size() + 3);
    buildKavIFrame(data.data(), static_cast<int>(data.size()), command, type, frame.data());
    return frame;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Seen {
    std::vector<Bytes> packets;
    std::vector<Bytes> kaviFrames;
};

Seen feedAll(LineFramer& framer, const Bytes& line) {
    Seen seen;
    for (std::uint8_t b : line) {
        const unsigned done = framer.feed(b);
        if ((done & LineFramer::kKavIIPacket) != 0) {
            const auto& p = framer.packet();
            seen.packets.emplace_back(p.data, p.data + p.length);
        }
        if ((done & LineFramer::kKavIFrame) != 0) {
            const auto& f = framer.kaviFrame();
            seen.kaviFrames.emplace_back(f.frame(), f.frame() + f.frameLength());
        }
    }
    return seen;
}

const Bytes kPoll = kaviFrame({0x01, 0x02, 0x03, 0x04}, 0x09, kKavITypeAA);
const Bytes kReply{0x03, 0x00, 0x10, 0x11, 0x22, 0x33};

TEST(LineFramerTest, RepliesAndPanelFramesInterleaved) {
    LineFramer framer;
    const Seen seen = feedAll(framer, kPoll + kaviiFrame(kReply) + kPoll + Bytes{0x55, 0x66} +
                                          kaviiFrame({0x00, 0x02, 0x01}));
    EXPECT_EQ(seen.packets, (std::vector<Bytes>{kReply, {0x00, 0x02, 0x01}}));
    EXPECT_EQ(seen.kaviFrames, (std::vector<Bytes>{kPoll, kPoll}));
}

TEST(LineFramerTest, AReplyCarryingAPanelFramePatternIsKept) {
    // The reply's payload happens to hold a whole KAV I frame: the frame is reported, and the
    // reply still completes.
    const Bytes payload = Bytes{0x03, 0x00, 0x20} + kPoll + Bytes{0x44};
    LineFramer framer;
    const Seen seen = feedAll(framer, kaviiFrame(payload));
    EXPECT_EQ(seen.packets, std::vector<Bytes>{payload});
    EXPECT_EQ(seen.kaviFrames, std::vector<Bytes>{kPoll});
}

TEST(LineFramerTest, AFrameStartInNoiseOrInAPanelFrameNeverSwallowsTheReply) {
    struct Case {
        const char* what;
        Bytes before;
    };
    const Case cases[] = {
        // 7E 02 40 in noise would make the receiver wait for 64 payload bytes.
        {"noise before a panel frame", Bytes{0x7E, 0x02, 0x40, 0x10} + kPoll},
        // The panel frame's own data looks like the start of a frame.
        {"start inside a panel frame", kaviFrame({0x7E, 0x02, 0x40, 0x00}, 0x09, kKavITypeAA)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LineFramer framer;
        const Seen seen = feedAll(framer, c.before + kaviiFrame(kReply));
        EXPECT_EQ(seen.packets, std::vector<Bytes>{kReply});
        EXPECT_EQ(seen.kaviFrames.size(), 1u);

        KavIIReceiver plain; // without the shared-line view the reply is lost
        int packets = 0;
        for (std::uint8_t b : c.before + kaviiFrame(kReply)) {
            packets += plain.feed(b) ? 1 : 0;
        }
        EXPECT_EQ(packets, 0);
    }
}

TEST(LineFramerTest, APacketsTailNeverCompletesAPanelFrame) {
    // 7E 02 01 00 FF 7F ends in FF 7F; with the bytes after it those would make a panel request.
    const Bytes rest{0x10, 0x20,
                     static_cast<std::uint8_t>(0xFF - ((0xFF + 0x7F + 0x10 + 0x20) & 0xFF)), 0x09,
                     kKavITypeAA};
    LineFramer framer;
    const Seen seen = feedAll(framer, kaviiFrame({0x00}) + rest);
    EXPECT_EQ(seen.packets, std::vector<Bytes>{{0x00}});
    EXPECT_TRUE(seen.kaviFrames.empty());

    KavIRecognizer plain;
    bool recognised = false;
    for (std::uint8_t b : kaviiFrame({0x00}) + rest) {
        recognised = plain.feed(b) || recognised;
    }
    EXPECT_TRUE(recognised);
}

TEST(LineFramerTest, ResetDropsHalfBuiltFrames) {
    LineFramer framer;
    const Bytes frame = kaviiFrame(kReply);
    feedAll(framer, Bytes(frame.begin(), frame.begin() + 5));
    framer.reset();
    EXPECT_TRUE(feedAll(framer, Bytes(frame.begin() + 5, frame.end())).packets.empty());
    EXPECT_EQ(feedAll(framer, frame).packets, std::vector<Bytes>{kReply});
}

} // namespace
} // namespace kav

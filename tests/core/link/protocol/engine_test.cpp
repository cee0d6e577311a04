#include "LinkFixture.h"
#include "link/Kaviiprotocol.h"
#include "link/Kaviprotocol.h"
#include "link/SerialPort.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace kav {
namespace {

using test::Bytes;
using test::RadioPeer;
using test::RecordingSink;
using Notice = RecordingSink::Notice;
using Clock = std::chrono::steady_clock;

KAV_PACKET_STRUCT_TAG packetOf(const Bytes& payload) {
    KAV_PACKET_STRUCT_TAG p;
    p.length = static_cast<std::uint32_t>(payload.size());
    std::copy(payload.begin(), payload.end(), p.data);
    return p;
}

Bytes payloadOf(const KAV_PACKET_STRUCT_TAG& p) {
    return Bytes(p.data, p.data + p.length);
}

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(KavIIReplyMatching, FollowsTheCommandCodeNackAndBit7Rules) {
    struct Case {
        std::uint8_t reply;
        std::uint8_t request;
        bool reliableErrorFlag;
        KavIIReplyMatch expected;
    };
    const Case cases[] = {
        {0x00, 0x80, false, KavIIReplyMatch::match},
        {0x01, 0x80, false, KavIIReplyMatch::otherCommand},
        {0x40, 0x80, false, KavIIReplyMatch::refused},
        {0x81, 0x81, false, KavIIReplyMatch::notAReply}, // our own request echoed
        {0x85, 0x85, false, KavIIReplyMatch::match},     // bit 7 ignored on 0x05, 0x29, 0x2A
        {0xA9, 0xA9, false, KavIIReplyMatch::match},
        {0xAA, 0xAA, false, KavIIReplyMatch::match},
        {0xC5, 0x85, false, KavIIReplyMatch::refused},
        {0x85, 0x85, true, KavIIReplyMatch::notAReply}, // models with a reliable flag keep it
        {0x05, 0x85, true, KavIIReplyMatch::match},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchKavIIReply(c.reply, c.request, c.reliableErrorFlag), c.expected)
            << std::hex << int(c.reply) << " to " << int(c.request) << " flag "
            << c.reliableErrorFlag;
    }
}

// A serial port on a pty with both engines on it and a radio peer on the far end.
class EngineTest : public ::testing::Test {
protected:
    void open(RadioPeer::Answer answer = {}) {
        peer = std::make_unique<RadioPeer>(std::move(answer));
        ASSERT_EQ(port.Open(peer->slavePath(), 9600), 1);
    }
    ~EngineTest() override { port.Close(); }

    SerialPort port;
    kavI_Protocol kavI{port};
    kavII_Protocol kavII{port, false};
    RecordingSink kaviiMonitor;
    RecordingSink kaviMonitor;
    std::unique_ptr<RadioPeer> peer;
};

TEST_F(EngineTest, TransactRoundTripWithMonitorCopies) {
    open([](const KAV_PACKET_STRUCT_TAG& req) {
        return std::vector<Bytes>{req.data[0] == 0x80 ? Bytes{0x00, 0x02, 0x01, 0x41} : Bytes{}};
    });
    kavII.SetMonitorWindow(&kaviiMonitor);
    auto request = packetOf({0x00});
    KAV_PACKET_STRUCT_TAG reply;
    ASSERT_TRUE(kavII.Transact(request, &reply, 1000));
    EXPECT_EQ(request.data[0], 0x80);
    EXPECT_EQ(payloadOf(reply), (Bytes{0x00, 0x02, 0x01, 0x41}));
    EXPECT_EQ(peer->received(6), test::kaviiFrame({0x80}));

    ASSERT_TRUE(kaviiMonitor.waitFor(kKavIIReceivedNotice));
    EXPECT_EQ(kaviiMonitor.notices(),
              (std::vector<Notice>{{kKavIISentNotice, 0, 1}, {kKavIIReceivedNotice, 0, 4}}));
    std::uint8_t slot[4] = {};
    kavII.ReadSentSlot(slot, 1, 0);
    EXPECT_EQ(slot[0], 0x80);
    kavII.ReadReceivedSlot(slot, 4, 0);
    EXPECT_EQ(Bytes(slot, slot + 4), payloadOf(reply));
}

TEST_F(EngineTest, TimeoutAndNackEndInTimeoutNotices) {
    // 0x01 is refused; anything else goes unanswered.
    open([](const KAV_PACKET_STRUCT_TAG& req) {
        return (req.data[0] & 0x3F) == 0x01 ? std::vector<Bytes>{{0x41}} : std::vector<Bytes>{};
    });
    struct Case {
        std::uint8_t command;
        std::vector<std::intptr_t> statuses;
    };
    for (const Case& c :
         {Case{0x02, {kKavIIStatusTimeout}}, Case{0x01, {kKavIIStatusNack, kKavIIStatusTimeout}}}) {
        RecordingSink sink;
        kavII.SetMonitorWindow(&sink);
        auto request = packetOf({c.command, 0x00, 0x10});
        KAV_PACKET_STRUCT_TAG reply = packetOf({0x99});
        const auto start = Clock::now();
        EXPECT_FALSE(kavII.Transact(request, &reply, 150));
        EXPECT_GE(msSince(start), 150);
        EXPECT_EQ(reply.length, 0u);
        std::vector<std::intptr_t> statuses;
        for (const auto& n : sink.of(kKavIIStatusNotice)) {
            statuses.push_back(n.wParam);
        }
        EXPECT_EQ(statuses, c.statuses) << int(c.command);
        kavII.ClearMonitorWindow();
    }
}

TEST_F(EngineTest, ReplyWithAnotherCommandCodeIsDiscarded) {
    open([](const KAV_PACKET_STRUCT_TAG&) {
        return std::vector<Bytes>{{0x01, 0xAA}, {0x81, 0xBB}, {0x03, 0xCC}};
    });
    auto request = packetOf({0x03, 0x00, 0x10, 0x01});
    KAV_PACKET_STRUCT_TAG reply;
    ASSERT_TRUE(kavII.Transact(request, &reply, 1000));
    EXPECT_EQ(payloadOf(reply), (Bytes{0x03, 0xCC}));
}

TEST_F(EngineTest, LateReplyToAnEarlierRequestIsNeverTakenForANewOne) {
    // Only the first request is answered, after nobody waits for its reply any more.
    auto answered = std::make_shared<int>(0);
    open([answered](const KAV_PACKET_STRUCT_TAG&) {
        return (*answered)++ == 0 ? std::vector<Bytes>{{0x03, 0x0D}} : std::vector<Bytes>{};
    });
    Event packetArrived;
    kavII.SetPacketSignal(&packetArrived);
    auto first = packetOf({0x03, 0x00, 0x00, 0x01});
    ASSERT_TRUE(kavII.Transact(first, nullptr, 0));
    ASSERT_TRUE(packetArrived.wait(2000));

    auto second = packetOf({0x03, 0x00, 0x10, 0x01});
    KAV_PACKET_STRUCT_TAG reply;
    EXPECT_FALSE(kavII.Transact(second, &reply, 200));
    EXPECT_EQ(reply.length, 0u);
    EXPECT_EQ(peer->requests(), 2);
}

TEST_F(EngineTest, ClosedPortFailsAtOnce) {
    auto request = packetOf({0x00});
    KAV_PACKET_STRUCT_TAG reply;
    const auto start = Clock::now();
    EXPECT_FALSE(kavII.Transact(request, &reply, 2000));
    EXPECT_FALSE(kavII.Transact(request, nullptr, 2000));
    EXPECT_LT(msSince(start), 500);
    EXPECT_FALSE(kavI.SendPanelReply());
}

Bytes kaviFrame(const Bytes& data, std::uint8_t command, std::uint8_t type) {
    Bytes frame(data.size() + 3);
    buildKavIFrame(data.data(), static_cast<int>(data.size()), command, type, frame.data());
    return frame;
}

const Bytes kPanelReply{0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC};

TEST_F(EngineTest, AnswersPanelRequestsOnTheWire) {
    open();
    kavI.SetMonitorWindow(&kaviMonitor);
    const Bytes request = kaviFrame({0x01, 0x02, 0x03, 0x04}, 0x09, kKavITypeAA);
    peer->write(request);
    EXPECT_EQ(peer->received(7), kPanelReply);
    ASSERT_TRUE(kaviMonitor.waitFor(kKavISentNotice));
    EXPECT_EQ(kaviMonitor.notices(),
              (std::vector<Notice>{{kKavIReceivedNotice, 0, 7}, {kKavISentNotice, 0, 7}}));
    std::uint8_t slot[7] = {};
    kavI.ReadReceivedSlot(slot, 7, 0);
    EXPECT_EQ(Bytes(slot, slot + 7), request);
    kavI.ReadSentSlot(slot, 7, 0);
    EXPECT_EQ(Bytes(slot, slot + 7), kPanelReply);
    EXPECT_EQ(kavI.lastType(), kKavITypeAA);
    EXPECT_EQ(kavI.lastCommand(), 0x09);

    // A frame that asks for nothing gets nothing.
    peer->write(kaviFrame({0x01, 0x02, 0x03, 0x04}, 0x03, kKavITypeAA));
    ASSERT_TRUE(kaviMonitor.waitFor(kKavIReceivedNotice, 2));
    EXPECT_EQ(kavI.lastCommand(), 0x03);
    EXPECT_EQ(peer->received(8, 200).size(), 7u);
}

TEST_F(EngineTest, AReplySplitAroundPanelFramesIsStillTaken) {
    // A panel request, then the reply in two writes: whichever engine's thread runs first, the
    // reply is framed whole and the panel request is answered.
    const Bytes poll = kaviFrame({0x01, 0x02, 0x03, 0x04}, 0x09, kKavITypeAA);
    const Bytes inner = kaviFrame({0x05, 0x06, 0x07, 0x08}, 0x03, kKavITypeAA);
    Bytes payload{0x03, 0x00, 0x10};
    payload.insert(payload.end(), inner.begin(), inner.end());
    const Bytes frame = test::kaviiFrame(payload);
    for (int round = 0; round < 5; ++round) {
        open([](const KAV_PACKET_STRUCT_TAG&) { return std::vector<Bytes>{}; });
        auto request = packetOf({0x03, 0x00, 0x10});
        KAV_PACKET_STRUCT_TAG reply;
        std::thread radio([&] {
            peer->received(8, 1000); // the request's frame
            Bytes first = poll;
            first.insert(first.end(), frame.begin(), frame.begin() + 6);
            peer->write(first);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            peer->write(Bytes(frame.begin() + 6, frame.end()));
        });
        EXPECT_TRUE(kavII.Transact(request, &reply, 1000));
        radio.join();
        EXPECT_EQ(payloadOf(reply), payload);
        const Bytes sent = peer->received(8 + kPanelReply.size(), 1000);
        ASSERT_EQ(sent.size(), 8 + kPanelReply.size());
        EXPECT_EQ(Bytes(sent.end() - 7, sent.end()), kPanelReply);
        port.Close();
    }
}

// An engine that could not register for the received bytes would hear nothing, silently.
TEST(EngineConstruction, FailsLoudlyWithoutAListenerSlot) {
    SerialPort port;
    std::vector<std::unique_ptr<Event>> taken;
    while (true) {
        taken.push_back(std::make_unique<Event>());
        if (port.AddListener(taken.back().get()) < 0) {
            break;
        }
    }
    EXPECT_THROW(kavII_Protocol(port, true), std::length_error);
    EXPECT_THROW(kavI_Protocol{port}, std::length_error);
}

} // namespace
} // namespace kav

#include "link/KavIRecognizer.h"

#include <gtest/gtest.h>
#include <vector>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes kaviFrame(const Bytes& data, std::uint8_t command, std::uint8_t type) {
    Bytes frame(data.size() + 3);
    buildKavIFrame(data.data(), static_cast<int>(data.size()), command, type, frame.data());
    return frame;
}

struct Recognised {
    Bytes frame;
    bool answered;
};

std::vector<Recognised> recognise(KavIRecognizer& rx, const Bytes& wire) {
    std::vector<Recognised> out;
    for (std::uint8_t b : wire) {
        if (rx.feed(b)) {
            out.push_back({Bytes(rx.frame(), rx.frame() + rx.frameLength()), rx.wantsPanelReply()});
        }
    }
    return out;
}

std::vector<Recognised> recognise(const Bytes& wire) {
    KavIRecognizer rx;
    return recognise(rx, wire);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

TEST(KavIFramer, BuildsThePanelReply) {
    EXPECT_EQ(kaviFrame(Bytes(kKavIPanelReplyData.begin(), kKavIPanelReplyData.end()),
                        kKavIPanelReplyCommand, kKavITypeCC),
              (Bytes{0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC}));
}

TEST(KavIRecognizer, RecognisesEveryFrameOfTheTableAfterNoise) {
    for (const auto& rule : kKavIFrameRules) {
        Bytes data;
        if (rule.dataLength == kKavICountedText) {
            data = {'H', 'E', 'L', 'L', 'O', 5};
        } else {
            for (int i = 0; i < rule.dataLength; ++i) {
                data.push_back(static_cast<std::uint8_t>(0x10 + i));
            }
        }
        const Bytes frame = kaviFrame(data, rule.command, rule.type);
        SCOPED_TRACE(::testing::PrintToString(frame));
        KavIRecognizer rx;
        const auto got = recognise(rx, concat({{0x55, 0x01, 0x02}, frame}));
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].frame, frame);
        EXPECT_EQ(got[0].answered, rule.answered);
        EXPECT_EQ(rx.type(), rule.type);
        EXPECT_EQ(rx.command(), rule.command);
    }
}

TEST(KavIRecognizer, IgnoresFramesItDoesNotKnowOrThatAreCorrupt) {
    const std::vector<Bytes> ignored{
        {0x31, 0xCE, 0x04, 0xAA},                   // well formed, but 0xAA 0x04 is not known
        {0x01, 0x02, 0x03, 0x04, 0x00, 0x09, 0xAA}, // wrong check byte
        {0x02, 0x03, 0x04, 0xF6, 0x09, 0xAA},       // one data byte short
        {0xFF, 0x09, 0xAA},                         // no data bytes received at all
    };
    for (const auto& wire : ignored) {
        EXPECT_TRUE(recognise(wire).empty()) << ::testing::PrintToString(wire);
    }
}

TEST(KavIRecognizer, TakesTheNextGoodFrameAfterACorruptOne) {
    Bytes bad = kaviFrame({1, 2, 3, 4}, 0x09, kKavITypeAA);
    bad[4] ^= 0x01;
    const Bytes good = kaviFrame({5, 6, 7, 8}, 0x03, kKavITypeAA);
    const auto got = recognise(concat({bad, good}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].frame, good);
    EXPECT_FALSE(got[0].answered);
}

TEST(KavIRecognizer, RejectsACountedTextLongerThanTheWindow) {
    // 60 characters plus the count byte is 61 data bytes: 64 with check, command and type.
    for (int n : {60, 61}) {
        Bytes data(static_cast<std::size_t>(n), 'A');
        data.push_back(static_cast<std::uint8_t>(n));
        const Bytes frame = kaviFrame(data, 0x02, kKavITypeCC);
        EXPECT_EQ(recognise(frame).size(), n == 60 ? 1u : 0u) << n;
    }
}

TEST(KavIRecognizer, ForgetsEverythingAfterAFrameAndOnReset) {
    const Bytes frame = kaviFrame({0, 0, 0, 0}, 0x03, kKavITypeAA); // 00 00 00 00 FF 03 AA
    KavIRecognizer rx;
    ASSERT_EQ(recognise(rx, frame).size(), 1u);
    // Only the last three bytes again: the four zeros were consumed with the first frame.
    EXPECT_TRUE(recognise(rx, {0xFF, 0x03, 0xAA}).empty());

    // A reset between the halves of a frame (a KAV II packet came in) spoils it.
    const Bytes answered = kaviFrame({1, 2, 3, 4}, 0x09, kKavITypeAA);
    recognise(rx, Bytes(answered.begin(), answered.begin() + 3));
    rx.reset();
    EXPECT_TRUE(recognise(rx, Bytes(answered.begin() + 3, answered.end())).empty());
    EXPECT_EQ(recognise(rx, answered).size(), 1u);
}

} // namespace
} // namespace kav

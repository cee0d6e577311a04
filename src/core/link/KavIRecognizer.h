#pragma once

#include <array>
#include <cstdint>

namespace kav {

inline constexpr std::uint8_t kKavITypeAA = 0xAA;
inline constexpr std::uint8_t kKavITypeCC = 0xCC;
// The recogniser looks back over this many received bytes; no longer frame is recognised.
inline constexpr int kKavIWindow = 64;

// Data length of a 0xCC 0x02 frame: a text of N characters followed by the byte N.
inline constexpr int kKavICountedText = -1;

// One frame the recogniser knows: its data length and whether it asks for the panel reply.
struct KavIFrameRule {
    std::uint8_t type;
    std::uint8_t command;
    int dataLength;
    bool answered;
};

inline constexpr std::array<KavIFrameRule, 14> kKavIFrameRules{{
    {kKavITypeAA, 0x02, 10, false},
    {kKavITypeAA, 0x03, 4, false},
    {kKavITypeAA, 0x05, 4, false},
    {kKavITypeAA, 0x09, 4, true},
    {kKavITypeAA, 0x24, 6, false},
    {kKavITypeAA, 0x49, 4, true},
    {kKavITypeCC, 0x01, 4, false},
    {kKavITypeCC, 0x05, 4, false},
    {kKavITypeCC, 0x06, 4, false},
    {kKavITypeCC, 0x0A, 4, false},
    {kKavITypeCC, 0x46, 4, false},
    {kKavITypeCC, 0x47, 4, false},
    {kKavITypeCC, 0x02, kKavICountedText, false},
    {kKavITypeCC, 0x04, 18, false},
}};

// The one frame this side sends: type 0xCC, command 0x49, data 03 03 01 00.
inline constexpr std::uint8_t kKavIPanelReplyCommand = 0x49;
inline constexpr std::array<std::uint8_t, 4> kKavIPanelReplyData{0x03, 0x03, 0x01, 0x00};
inline constexpr int kKavIPanelReplyLength = 7;

// Writes data[0..length), its check byte, command and type to `frame` (length + 3 bytes) and
// returns the number of bytes written.
int buildKavIFrame(const std::uint8_t* data, int length, std::uint8_t command, std::uint8_t type,
                   std::uint8_t* frame);

// The KAV I recogniser, fed one byte at a time. KAV I frames carry no start byte: a frame is
// recognised when its type byte arrives, from the bytes before it. Pure: no port, no thread.
class KavIRecognizer {
public:
    // True when `byte` completed a recognised frame; the accessors below then describe it.
    bool feed(std::uint8_t byte);
    // Forgets every byte held, so no later frame is built from them.
    void reset();

    // The last recognised frame in wire order: data, check byte, command, type.
    const std::uint8_t* frame() const { return frame_.data(); }
    int frameLength() const { return frameLength_; }
    std::uint8_t type() const { return type_; }
    std::uint8_t command() const { return command_; }
    // Whether the last recognised frame asks for the panel reply.
    bool wantsPanelReply() const { return wantsPanelReply_; }

private:
    int dataLengthFor(std::uint8_t type, std::uint8_t command, bool& answered) const;
    bool checkMatches(int dataLength) const;
    void takeFrame(int dataLength, bool answered);

    // Newest byte at position 0; only the first filled_ positions were received since the
    // last reset, so cleared positions can never stand in for bytes that never came.
    std::array<std::uint8_t, kKavIWindow> window_{};
    int filled_ = 0;
    std::array<std::uint8_t, kKavIWindow> frame_{};
    int frameLength_ = 0;
    std::uint8_t type_ = 0;
    std::uint8_t command_ = 0;
    bool wantsPanelReply_ = false;
};

} // namespace kav

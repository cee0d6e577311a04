#pragma once

#include <array>
#include <cstdint>

namespace kav {

// One KAV II payload; data[0] is the command byte.
struct KAV_PACKET_STRUCT_TAG {
    std::uint32_t length = 0;
    std::uint8_t data[512] = {};
};

inline constexpr int kKavIIMaxFrame = 515;
inline constexpr int kKavIIMaxPayload = 255;

// Frame for payload[0..length): 7E 02 len escaped-payload check 7F. Returns bytes written to
// `frame` (which holds kKavIIMaxFrame bytes), 0 when length is outside 1..255.
int buildKavIIFrame(const std::uint8_t* payload, int length, std::uint8_t* frame);

// The KAV II receive state machine, fed one byte at a time. It never touches a port or a thread;
// the engine and the fuzzers drive it alike.
class KavIIReceiver {
public:
    // True when a frame with a good check byte and end byte completed; packet() then holds it.
    bool feed(std::uint8_t byte);
    const KAV_PACKET_STRUCT_TAG& packet() const { return packet_; }
    // Drops any half-built frame and hunts for 0x7E again.
    void reset();
    // Whether a frame has begun, and how many of its bytes (from its 0x7E) came so far.
    bool inFrame() const { return state_ != State::hunt; }
    int frameBytes() const { return inFrame() ? frameBytes_ : 0; }

private:
    enum class State : std::uint8_t { hunt, type, length, payload, check, end };

    void storePayloadByte(std::uint8_t byte);

    State state_ = State::hunt;
    int expectedLength_ = 0;
    int receivedCount_ = 0;
    int frameBytes_ = 0;
    bool escape_ = false;
    bool checkGood_ = false;
    std::uint8_t runningXor_ = 0;
    // The length byte caps a payload at 255 bytes, so this buffer can never overflow.
    std::array<std::uint8_t, kKavIIMaxPayload> buffer_{};
    KAV_PACKET_STRUCT_TAG packet_;
};

} // namespace kav

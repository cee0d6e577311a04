#pragma once

#include "Event.h"
#include "MessageSink.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

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

class SerialPort;
class LineFramer;

// Notices to the KAV II packet monitor.
inline constexpr std::uint32_t kKavIIReceivedNotice = 2038; // (slot, payload length)
inline constexpr std::uint32_t kKavIISentNotice = 2039;     // (slot, payload length)
inline constexpr std::uint32_t kKavIIStatusNotice = 2040;   // (status, 0)
inline constexpr std::intptr_t kKavIIStatusTimeout = 1;
inline constexpr std::intptr_t kKavIIStatusNack = 2;

inline constexpr std::uint8_t kKavIICommandMask = 0x3F;
inline constexpr std::uint8_t kKavIINackBit = 0x40;
inline constexpr std::uint8_t kKavIIRequestBit = 0x80;

// Commands whose replies come back with bit 7 set on radios without a reliable error flag.
inline constexpr std::array<std::uint8_t, 3> kKavIIBit7IgnoredCommands{0x05, 0x29, 0x2A};

enum class KavIIReplyMatch { match, otherCommand, notAReply, refused };

// How a received command byte relates to the request's command byte.
KavIIReplyMatch matchKavIIReply(std::uint8_t reply, std::uint8_t request, bool reliableErrorFlag);

// A packet monitor registration and its two rings of 32 slots. One lock guards the sink and the
// rings, and notices are posted under it, so once detach() returns the sink gets nothing more.
template <int SlotSize> class PacketMonitor {
public:
    static constexpr int kSlots = 32;
    enum class Ring { received, sent };

    void attach(MessageSink* sink) {
        std::lock_guard guard(lock_);
        sink_ = sink;
        next_ = {0, 0};
    }
    void detach() {
        std::lock_guard guard(lock_);
        sink_ = nullptr;
    }
    // With a monitor attached: copies the bytes (at most one slot) into the ring's next slot
    // and posts `message` (slot, length).
    void record(Ring ring, std::uint32_t message, const std::uint8_t* bytes, int length) {
        std::lock_guard guard(lock_);
        if (sink_ == nullptr) {
            return;
        }
        const int r = static_cast<int>(ring);
        const int slot = next_[r];
        std::copy_n(bytes, std::clamp(length, 0, SlotSize), slots_[r][slot].begin());
        next_[r] = (slot + 1) % kSlots;
        sink_->post(message, slot, length);
    }
    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
        std::lock_guard guard(lock_);
        if (sink_ != nullptr) {
            sink_->post(message, wParam, lParam);
        }
    }
    void read(Ring ring, std::uint8_t* buffer, int count, int slot) const {
        if (buffer == nullptr || slot < 0 || slot >= kSlots) {
            return;
        }
        std::lock_guard guard(lock_);
        std::copy_n(slots_[static_cast<int>(ring)][slot].begin(), std::clamp(count, 0, SlotSize),
                    buffer);
    }

private:
    mutable std::mutex lock_;
    MessageSink* sink_ = nullptr;
    std::array<int, 2> next_{};
    std::array<std::array<std::array<std::uint8_t, SlotSize>, kSlots>, 2> slots_{};
};

// The KAV II engine: listens on the serial port, frames what arrives into packets on its own
// thread, and runs one blocking request/reply transaction at a time for its caller.
class kavII_Protocol {
public:
    // reliableErrorFlag: the build model's row has hasReliableErrorFlag.
    kavII_Protocol(SerialPort& port, bool reliableErrorFlag);
    ~kavII_Protocol(); // stops and joins the receive thread

    kavII_Protocol(const kavII_Protocol&) = delete;
    kavII_Protocol& operator=(const kavII_Protocol&) = delete;

    // Sets bit 7 of the request's command byte and sends it. Without a reply record, true once
    // queued for sending; with one, true when the matching reply came within timeoutMs (the
    // reply record then holds it; otherwise its length is 0). Not re-entrant.
    bool Transact(KAV_PACKET_STRUCT_TAG& request, KAV_PACKET_STRUCT_TAG* reply, int timeoutMs);

    // Set after every received packet; nullptr: none. Once it returns the receive thread no
    // longer touches the previous signal.
    void SetPacketSignal(Event* signal);

    bool SetMonitorWindow(MessageSink* sink);
    bool ClearMonitorWindow();
    void ReadReceivedSlot(std::uint8_t* buffer, int count, int slot) const;
    void ReadSentSlot(std::uint8_t* buffer, int count, int slot) const;

private:
    // Packets nobody asked for are dropped oldest first beyond this many.
    static constexpr std::size_t kMaxQueued = 64;

    void receiveLoop();
    void receiveChunk();
    void queuePacket(const KAV_PACKET_STRUCT_TAG& packet);
    void startRequest();
    bool waitForReply(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply, int timeoutMs);
    bool takeMatch(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply);

    SerialPort& port_;
    const bool reliableErrorFlag_;
    Event listenerSignal_;
    Event replySignal_;
    Event stop_;
    PacketMonitor<512> monitor_;

    // Held while bytes are framed, and by a new request while it empties the line's backlog,
    // so nothing received before a request is framed into its reply.
    std::mutex receiverLock_;
    std::unique_ptr<LineFramer> framer_; // KAV I frames on the line are told apart here
    Event* packetSignal_ = nullptr;      // guarded by receiverLock_

    std::mutex queueLock_;
    std::deque<KAV_PACKET_STRUCT_TAG> queue_;

    int listenerIndex_;
    std::thread thread_;
};

} // namespace kav

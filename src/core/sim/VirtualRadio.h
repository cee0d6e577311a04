#pragma once

#include "link/Event.h"
#include "link/KavIIReceiver.h"
#include "sim/CommandResponder.h"
#include "sim/PtyPair.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kav {

// Misbehaviour on request. The defaults make a well-behaved, unpaced radio.
struct VirtualRadioFaults {
    int replyLimit = -1;                      // replies before the radio falls silent; -1 never
    std::array<bool, 64> nackCodes = {};      // command codes answered with the NACK bit
    int noiseBytes = 0;                       // noise before each reply (never 7D, 7E, 7F, AA, CC)
    std::vector<std::uint8_t> kavIAfterReply; // a KAV I frame sent after each reply
    int corruptReplyNumber = 0;               // 1-based number of the reply to corrupt; 0 none
    int corruptOffset = 3;                    // byte of that reply's frame to flip
    std::uint32_t lineRate = 0;               // bits per second of paced I/O; 0 unpaced
    int replyDelayMs = 0;                     // extra time before each reply
    int blockReplyBytes = 0;                  // ReadBlock replies carry at most this; 0 as asked
    int duplicateReplyAfterMs = -1;           // each reply again this much later; -1 never
    int chatterPackets = 0;                   // unasked packets after each request (also silent)
    int chatterEveryMs = 100;                 // the time between those packets
    int stuckAddress = -1;                    // a memory byte that writes leave as it was
};

// A radio on the master side of a pseudo-terminal: the program opens slavePath() as its port.
// One thread reads requests, answers them through a CommandResponder and writes the replies;
// every public member may be called from any thread.
class VirtualRadio {
public:
    explicit VirtualRadio(std::uint16_t productId = 0x2200);
    ~VirtualRadio();

    VirtualRadio(const VirtualRadio&) = delete;
    VirtualRadio& operator=(const VirtualRadio&) = delete;

    // Opens the pty pair and starts the radio. False (errno kept) when the pty cannot be made.
    bool start();
    // Stops and joins the thread and closes the pty; start() may be called again.
    void stop();
    bool running() const { return thread_.joinable(); }
    const std::string& slavePath() const { return slavePath_; }

    // Runs `change` on the radio's EEPROM and state while the radio thread is held off.
    void update(const std::function<void(CommandResponder&)>& change);
    // A copy of the radio's EEPROM and state.
    CommandResponder snapshot() const;

    void setFaults(const VirtualRadioFaults& faults);
    VirtualRadioFaults faults() const;

    // Queues a KAV I frame (wire order) to send now, after any output already queued.
    void sendKavIFrame(const std::vector<std::uint8_t>& frame);
    // Data, check byte, command and type, as a radio sends them.
    static std::vector<std::uint8_t> kavIFrame(std::uint8_t type, std::uint8_t command,
                                               const std::vector<std::uint8_t>& data);

    // What the radio received: KAV II request payloads and KAV I panel replies (wire order).
    std::vector<std::vector<std::uint8_t>> requests() const;
    std::vector<std::vector<std::uint8_t>> panelReplies() const;
    int repliesSent() const;
    void clearRecords();
    // Block until that many have been recorded, or the timeout; true when they have.
    bool waitForRequests(std::size_t count, int timeoutMs) const;
    bool waitForPanelReplies(std::size_t count, int timeoutMs) const;

private:
    using Clock = std::chrono::steady_clock;
    using Bytes = std::vector<std::uint8_t>;

    struct Segment {
        Bytes bytes;
        Clock::time_point notBefore;
        std::uint32_t rateAfter = 0; // new line rate once the segment is out (baud change)
    };

    bool openPty();
    void closePty();
    void run();
    int waitForWork();
    void readMaster();
    void takeByte(std::uint8_t byte, Clock::time_point& arrival);
    void answer(const Bytes& request, Clock::time_point arrival);
    void shortenBlockReply(std::uint8_t command, Bytes& reply) const;
    void queueChatter(Clock::time_point arrival);
    Bytes noise(int count);
    void recordPanelByte(std::uint8_t byte);
    void writeDue();
    Clock::duration byteTime() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable recorded_;
    CommandResponder responder_;
    VirtualRadioFaults faults_;
    std::vector<Bytes> requests_;
    std::vector<Bytes> panelReplies_;
    int repliesSent_ = 0;

    // Owned by the radio thread while it runs.
    KavIIReceiver receiver_;
    std::array<std::uint8_t, 7> panelWindow_ = {}; // newest byte last
    std::deque<Segment> output_;
    std::size_t outputSent_ = 0; // bytes of output_.front() already written
    Clock::time_point rxFree_{}; // when the last byte read would have arrived
    Clock::time_point txFree_{}; // when the line has carried every byte written
    bool writeBlocked_ = false;
    std::uint32_t noiseSeed_ = 0x2545F491;

    int master() const { return pty_ ? pty_->master() : -1; }

    std::unique_ptr<PtyPair> pty_;
    std::string slavePath_;
    Event stop_;
    Event wake_;
    std::thread thread_;
};

} // namespace kav

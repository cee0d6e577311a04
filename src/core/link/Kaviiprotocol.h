#pragma once

#include "link/Event.h"
#include "link/KavIICommand.h"
#include "link/KavIIReceiver.h"
#include "link/LinkFailure.h"
#include "link/MessageSink.h"
#include "link/PacketMonitor.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kav {

class SerialPort;
class LineFramer;

// Notices to the KAV II packet monitor.
inline constexpr std::uint32_t kKavIIReceivedNotice = 2038; // (slot, payload length)
inline constexpr std::uint32_t kKavIISentNotice = 2039;     // (slot, payload length)
inline constexpr std::uint32_t kKavIIStatusNotice = 2040;   // (status, 0)
inline constexpr std::intptr_t kKavIIStatusTimeout = 1;
inline constexpr std::intptr_t kKavIIStatusNack = 2;

enum class KavIIReplyMatch { match, otherCommand, notAReply, refused };

// How a received command byte relates to the request's command byte.
KavIIReplyMatch matchKavIIReply(std::uint8_t reply, std::uint8_t request, bool reliableErrorFlag);

// The KAV II engine: listens on the serial port, frames what arrives into packets on its own
// thread, and runs one blocking request/reply transaction at a time for its caller.
class kavII_Protocol {
public:
    // reliableErrorFlag: the build model's row has hasReliableErrorFlag.
    kavII_Protocol(SerialPort& port, bool reliableErrorFlag);
    ~kavII_Protocol(); // stops and joins the receive thread

    kavII_Protocol(const kavII_Protocol&) = delete;
    kavII_Protocol& operator=(const kavII_Protocol&) = delete;

    // Whether a reply with the request's command code is the answer to this request (for
    // instance: it echoes the address asked for). Empty: every such reply is.
    using ReplyFilter = std::function<bool(const KAV_PACKET_STRUCT_TAG&)>;

    // Sets bit 7 of the request's command byte and sends it. Without a reply record, true once
    // queued for sending; with one, true when the matching reply came within timeoutMs of the
    // request's last byte on the line (the reply record then holds it; otherwise its length is
    // 0). Other packets that come meanwhile restart the wait, but never past a few timeouts.
    // Setting `cancel` ends the wait at once (false). Not re-entrant.
    bool Transact(KAV_PACKET_STRUCT_TAG& request, KAV_PACKET_STRUCT_TAG* reply, int timeoutMs,
                  const ReplyFilter& accepts = {}, const Event* cancel = nullptr);

    // Set after every received packet; nullptr: none. Once it returns the receive thread no
    // longer touches the previous signal.
    void SetPacketSignal(Event* signal);

    // Why the last Transact failed (None after a success). Only the transacting thread reads it.
    LinkFailure lastFailure() const { return lastFailure_; }

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
    bool waitForReply(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply, int timeoutMs,
                      const ReplyFilter& accepts, const Event* cancel);
    bool takeMatch(std::uint8_t command, KAV_PACKET_STRUCT_TAG& reply, const ReplyFilter& accepts);
    int lineTimeMs(int frameBytes) const;

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

    LinkFailure lastFailure_ = LinkFailure::None;
    LinkFailure closestMiss_ = LinkFailure::NoReply; // the most telling packet that was not it

    int listenerIndex_;
    std::thread thread_;
};

} // namespace kav

#pragma once

#include "link/Event.h"
#include "link/KavIRecognizer.h"
#include "link/PacketMonitor.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace kav {

class SerialPort;
class LineFramer;

// Notices to the KAV I packet monitor: (slot, frame length).
inline constexpr std::uint32_t kKavIReceivedNotice = 2035;
inline constexpr std::uint32_t kKavISentNotice = 2036;
inline constexpr int kKavIMonitorSlotSize = 100;

// The KAV I engine: listens on the serial port, recognises front-panel frames on its own
// thread and answers the two that ask for the panel reply.
class kavI_Protocol {
public:
    explicit kavI_Protocol(SerialPort& port);
    ~kavI_Protocol(); // stops and joins the receive thread

    kavI_Protocol(const kavI_Protocol&) = delete;
    kavI_Protocol& operator=(const kavI_Protocol&) = delete;

    // The result of SerialPort::Send.
    bool SendPanelReply();

    bool SetMonitorWindow(MessageSink* sink);
    bool ClearMonitorWindow();
    void ReadReceivedSlot(std::uint8_t* buffer, int count, int slot) const;
    void ReadSentSlot(std::uint8_t* buffer, int count, int slot) const;

    // Type and command of the last recognised frame (0 before the first).
    std::uint8_t lastType() const { return lastType_.load(); }
    std::uint8_t lastCommand() const { return lastCommand_.load(); }

private:
    using Monitor = PacketMonitor<kKavIMonitorSlotSize>;

    void receiveLoop();
    void receiveChunk();
    void frameRecognised(const KavIRecognizer& frame);
    bool sendFrame(const std::uint8_t* data, int length, std::uint8_t command, std::uint8_t type);

    SerialPort& port_;
    Event stop_;
    Event listenerSignal_;
    std::atomic<std::uint8_t> lastType_{0};
    std::atomic<std::uint8_t> lastCommand_{0};
    Monitor monitor_;

    // KAV II packets on the line are told apart here; only the receive thread uses it.
    std::unique_ptr<LineFramer> framer_;

    int listenerIndex_;
    std::thread thread_;
};

} // namespace kav

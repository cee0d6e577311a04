#pragma once

#include "link/Event.h"
#include "link/MessageSink.h"
#include "link/Mtdeque.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <termios.h>
#include <thread>

namespace kav {

inline constexpr int kMaxListeners = 8;

// Values of lastError().
inline constexpr std::uint32_t kErrorNeedsOpenPort = 1;
inline constexpr std::uint32_t kErrorAlreadyOpen = 2;

// wParam of the traffic notices posted to the notice sink.
inline constexpr std::intptr_t kNoticeReceived = 0;   // lParam: bytes received
inline constexpr std::intptr_t kNoticeSent = 1;       // lParam: bytes queued for sending
inline constexpr std::intptr_t kNoticeBaudRate = 2;   // lParam: new baud rate
inline constexpr std::intptr_t kNoticePortChange = 3; // lParam: new COM number

// Posted to the state sink when reads start failing on an open port (the adapter was
// unplugged, the pty hung up) and when they work again: wParam kLineLost or kLineBack.
inline constexpr std::uint32_t kMsgLineState = 2041;
inline constexpr std::intptr_t kLineBack = 0;
inline constexpr std::intptr_t kLineLost = 1;

// The one serial port to the radio. While open, a reader thread copies every received burst
// to each registered listener queue and a writer thread drains the transmit queue. Open,
// Close, SetBaudRate and ChangePort are called from one thread at a time; Send, the listener
// calls and the monitor reads may come from any thread.
class SerialPort {
public:
    // "COMn" names resolve through the ports folder `portsDir` (empty: the default scheme).
    explicit SerialPort(std::string portsDir = {});
    ~SerialPort(); // closes, joins threads

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // "COMn" (through the COM-port map) or a device path starting with "/". 1 or 0.
    int Open(const std::string& name, std::uint32_t baud);
    bool Close();
    bool IsOpen() const;
    bool SetBaudRate(std::uint32_t baud);
    int ChangePort(int n);
    int AddListener(Event* signal); // index 0..7, or -1
    int ReadListener(std::uint8_t* buffer, int max, int index);
    void FlushListener(int index);
    // Queues the whole frame or, when it does not fit in the transmit queue, nothing (false).
    bool Send(const std::uint8_t* bytes, int count);
    bool SetNotifyWindow(MessageSink* sink, std::uint32_t message);
    // After it returns no further notice reaches the previous sink.
    bool ClearNotifyWindow();
    // Where line-state changes go (nullptr: nowhere). After it returns the previous sink gets
    // nothing more.
    bool SetStateSink(MessageSink* sink);
    // Reads fail while the port is open; cleared when one works again and on Close.
    bool lineLost() const { return lineLost_; }
    int ReadRxMonitor(std::uint8_t* buffer, int max);
    int ReadTxMonitor(std::uint8_t* buffer, int max);
    const std::string& portsDir() const { return portsDir_; }
    std::uint32_t lastError() const;       // 1 needs an open port, 2 already open
    std::uint32_t baudRate() const;        // rate given to the last Open
    std::uint32_t appliedBaudRate() const; // rate last applied to the port (9600 before any open)
    int lastOpenErrno() const;             // errno of the last failed open, 0 otherwise

private:
    static constexpr int kChunk = 256;

    int failOpen(int error);
    void readerLoop();
    void writerLoop();
    int readBurst(std::uint8_t* buffer);
    bool writeChunk(const std::uint8_t* bytes, int count);
    void deliver(const std::uint8_t* bytes, int count);
    void setLineLost(bool lost);
    void notify(std::intptr_t wParam, std::intptr_t lParam, MTdeque* copy,
                const std::uint8_t* bytes, int count);
    bool listenerIndexValid(int index) const;

    const std::string portsDir_;
    std::string portPath_ = "COM1";
    std::atomic<std::uint32_t> baudRate_{9600};
    std::atomic<std::uint32_t> appliedBaudRate_{9600};
    std::atomic<std::uint32_t> lastError_{0};
    std::atomic<int> lastOpenErrno_{0};

    std::mutex txLock_;     // transmit queue together with dataToSend_
    std::mutex rxLock_;     // listener queues together with their signals
    std::mutex notifyLock_; // the notice sink; always taken last
    MessageSink* notifySink_ = nullptr;
    MessageSink* stateSink_ = nullptr; // guarded by notifyLock_ too
    std::atomic<bool> lineLost_{false};
    std::uint32_t notifyMessage_ = 0;

    std::atomic<int> fd_{-1};
    termios savedSettings_{}; // the device's settings before Open; restored by Close
    // Handles shared with the listeners' events, so a listener that goes away first leaves
    // the engine setting a live event rather than freed memory.
    std::array<std::unique_ptr<Event>, kMaxListeners> listenerSignals_;
    std::array<MTdeque, kMaxListeners> listenerQueues_;
    std::atomic<int> listenerCount_{0};

    MTdeque txQueue_;
    MTdeque sentCopy_;
    MTdeque receivedCopy_;

    Event stop_;       // set by Close; both threads leave their loops
    Event dataToSend_; // set exactly while txQueue_ holds bytes
    std::thread reader_;
    std::thread writer_;
};

// Opens `device` as Open does, without changing its line settings, and closes it again:
// 0 when Open could have it now, else the errno (EBUSY: another program holds it).
int tryOpenPort(const std::string& device);

// AddListener for an engine that cannot work without its copy of the received bytes: a port
// with no free slot is a programming error, so construction fails loudly (std::length_error)
// instead of leaving an engine that hears nothing.
int claimListener(SerialPort& port, Event& signal);

} // namespace kav

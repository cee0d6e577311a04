#pragma once

#include <cstdint>
#include <string>

namespace kav {

class Event;
class SerialPort;
class TRadio;

inline constexpr std::uint32_t kProbeBaudRate = 9600;
inline constexpr int kProbeSettleMs = 50;    // after the open, before Ping
inline constexpr int kProbeAfterPingMs = 30; // after Ping, before GetVersion

// Closes the port, opens COM n (resolved through portsDir) at 9600 baud, waits 50 ms, pings,
// waits 30 ms, and succeeds when GetVersion does. Setting `cancel` cuts the waits short and
// fails the probe. The port stays open when it opened.
bool probePort(SerialPort& port, TRadio& radio, int n, const std::string& portsDir,
               const Event* cancel = nullptr);

} // namespace kav

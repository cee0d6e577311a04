#include "link/PortProbe.h"

#include "link/Com_port.h"
#include "link/Event.h"
#include "link/Radio.h"
#include "link/SerialPort.h"

namespace kav {

namespace {

// A fixed pause that a cancel request ends early. False when cancelled.
bool pause(int ms, const Event* cancel) {
    if (cancel == nullptr) {
        const Event never;
        never.wait(ms);
        return true;
    }
    return !cancel->wait(ms);
}

bool cancelled(const Event* cancel) {
    return cancel != nullptr && cancel->isSet();
}

} // namespace

bool probePort(SerialPort& port, TRadio& radio, int n, const std::string& portsDir,
               const Event* cancel) {
    port.Close();
    const std::string device = resolvePortName("COM" + std::to_string(n), portsDir);
    if (cancelled(cancel) || device.empty() || port.Open(device, kProbeBaudRate) != 1) {
        return false;
    }
    if (!pause(kProbeSettleMs, cancel)) {
        return false;
    }
    radio.Ping(); // wakes the radio's link; whether it answers does not matter
    if (!pause(kProbeAfterPingMs, cancel)) {
        return false;
    }
    return radio.GetVersion();
}

} // namespace kav

#pragma once

#include "link/Com_port.h"
#include "link/PortProbe.h"
#include "model/BuildConfig.h"

#include <functional>
#include <string>
#include <vector>

namespace kav {

class Event;
class SerialPort;
class TRadio;
class TradioInfo;

inline constexpr const char* kNoSerialPortsText =
    "No serial ports found - check your Windows configuration";

// "Radio not found.", "Ensure radio is switched on.", "Check programming leads."
std::vector<std::string> radioNotFoundLines();
// "Checking COMn"
std::string checkingPortLine(int port);

// A radio is accepted when the build's model mask is 511, or when the first six characters of
// its type text equal those of the build model's name.
bool acceptsRadioType(const std::string& radioType, const TradioInfo& models,
                      const BuildConfig& config);

// One port of the scan: what one tick of the auto-detect dialog does and shows.
struct PortDetection {
    int port = 0;
    bool answered = false; // the probe succeeded
    bool busy = false;     // the port is in use by another program
    bool accepted = false; // ... and the radio is of the build's family
    bool typeRead = false;
    std::string radioType;
    std::string firmwareText;       // version text, "" when none
    std::vector<std::string> lines; // the three radio lines when answered, else empty
};

PortDetection detectOnPort(SerialPort& port, TRadio& radio, const TradioInfo& models,
                           const BuildConfig& config, int n, const std::string& portsDir,
                           const Event* cancel = nullptr);

struct AutoDetectResult {
    int detectedPort = 0; // 0: none accepted
    bool noPorts = false; // discovery found no port at all
    bool cancelled = false;
    std::vector<std::string> lines; // the found radio's three lines, the not-found lines,
                                    // or kNoSerialPortsText
};

// Progress of a scan, for a front end that shows it; either may be empty.
struct AutoDetectProgress {
    std::function<void(int port)> checking;             // before each probe
    std::function<void(const PortDetection&)> detected; // after each probe
};

// The whole scan over the existing ports of `env` in ascending order, stopping at the first
// accepted radio. The port stays open on the last port probed when that one opened.
AutoDetectResult autoDetect(SerialPort& port, TRadio& radio, const TradioInfo& models,
                            const BuildConfig& config, const PortEnvironment& env,
                            const Event* cancel = nullptr, const AutoDetectProgress& progress = {});

} // namespace kav

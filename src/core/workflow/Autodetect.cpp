#include "workflow/Autodetect.h"

#include "link/Event.h"
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "model/Radioinfo.h"

#include <cerrno>

namespace kav {

namespace {

constexpr std::size_t kTypePrefixLength = 6;

bool cancelled(const Event* cancel) {
    return cancel != nullptr && cancel->isSet();
}

} // namespace

std::vector<std::string> radioNotFoundLines() {
    return {"Radio not found.", "Ensure radio is switched on.", "Check programming leads."};
}

std::string checkingPortLine(int port) {
    return "Checking COM" + std::to_string(port);
}

bool acceptsRadioType(const std::string& radioType, const TradioInfo& models,
                      const BuildConfig& config) {
    if (config.acceptsAnyModel()) {
        return true;
    }
    int index = 0;
    std::uint32_t mask = 0;
    std::string name;
    if (!models.lookupProductId(config.buildProductId, index, mask, name) || name.empty()) {
        return false;
    }
    return radioType.substr(0, kTypePrefixLength) == name.substr(0, kTypePrefixLength);
}

PortDetection detectOnPort(SerialPort& port, TRadio& radio, const TradioInfo& models,
                           const BuildConfig& config, int n, const std::string& portsDir,
                           const Event* cancel) {
    PortDetection found;
    found.port = n;
    if (!probePort(port, radio, n, portsDir, cancel)) {
        found.busy = port.lastOpenErrno() == EBUSY;
        return found;
    }
    found.answered = true;
    found.typeRead = radio.ReadRadioType(found.radioType);
    if (!found.typeRead) {
        found.radioType.clear();
    }
    radio.GetVersionText(found.firmwareText);
    found.lines = {"Radio found on COM" + std::to_string(n),
                   found.typeRead ? found.radioType : std::string("-"),
                   "Firmware: " +
                       (found.firmwareText.empty() ? std::string("n/a") : found.firmwareText)};
    // A radio whose type could not be read shows no family, so only mask 511 takes it.
    found.accepted = (found.typeRead || config.acceptsAnyModel()) &&
                     acceptsRadioType(found.radioType, models, config);
    return found;
}

AutoDetectResult autoDetect(SerialPort& port, TRadio& radio, const TradioInfo& models,
                            const BuildConfig& config, const PortEnvironment& env,
                            const Event* cancel, const AutoDetectProgress& progress) {
    AutoDetectResult result;
    const std::vector<int> ports = existingComPorts(env);
    if (ports.empty()) {
        result.noPorts = true;
        result.lines = {kNoSerialPortsText};
        return result;
    }
    for (const int n : ports) {
        if (cancelled(cancel)) {
            result.cancelled = true;
            return result;
        }
        if (progress.checking) {
            progress.checking(n);
        }
        PortDetection found = detectOnPort(port, radio, models, config, n, env.portsDir, cancel);
        if (progress.detected) {
            progress.detected(found);
        }
        if (found.accepted) {
            result.detectedPort = n;
            result.lines = std::move(found.lines);
            return result;
        }
    }
    result.cancelled = cancelled(cancel);
    if (!result.cancelled) {
        result.lines = radioNotFoundLines();
    }
    return result;
}

} // namespace kav

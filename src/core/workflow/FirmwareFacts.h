#pragma once

#include "model/BuildConfig.h"

#include <string>

namespace kav {

class TRadio;
class TradioInfo;

inline constexpr const char* kFirmwareReadErrorText = "Unable to read from radio";
inline constexpr const char* kFirmwareReadErrorCaption = "Read Error";
inline constexpr const char* kFirmwareUnknownText = "n/a";

// The four facts the firmware window shows. After a failed type read all four are empty.
struct FirmwareFacts {
    bool typeReadFailed = false; // show kFirmwareReadErrorText, caption kFirmwareReadErrorCaption
    std::string radioType;
    std::string productId;   // uppercase hex, at least two digits; "" when it cannot be read
    std::string pcbRevision; // the same
    std::string firmware;    // the version text, or "n/a"

    // Every question was answered.
    bool complete() const {
        return !typeReadFailed && !productId.empty() && !pcbRevision.empty() &&
               firmware != kFirmwareUnknownText;
    }
};

// Reads the radio type, product ID, PCB revision and version, in that order. In a build whose
// model mask is 511 a product ID read makes that model the current one in `models`.
FirmwareFacts readFirmwareFacts(TRadio& radio, TradioInfo& models, const BuildConfig& config);

} // namespace kav

#pragma once

#include "model/BuildConfig.h"

#include <array>
#include <optional>
#include <string_view>

namespace kav {

class EEPROM;
class TradioInfo;

inline constexpr int kSquelchThresholds = 10;
inline constexpr int kRpkDelayMax = 30;
inline constexpr int kSilentTailMax = 100;
inline constexpr int kThresholdMax = 255;
inline constexpr int kDeviationRegisterMax = 255;

// The "Advanced Options" fields, as loaded from the image for the build's model. The dialog
// shows them and hands them back; store writes only what the dialog may change.
struct EngOptionsSettings {
    std::array<int, 6> options{}; // "Options-1".."Options-6", -1 where the model lacks one

    bool txOnRxOnlyShown = false; // engineering build only
    bool txOnRxOnly = false;      // Options-2 bit 4 clear
    bool ctcss535 = false;        // Options-5 bit 1 clear
    bool ctcss38ExtShown = false;
    bool ctcss38Ext = false; // Options-5 bit 7 clear
    int rpkDelay = 0;        // cycles, 0..30
    int silentTail = 0;      // cycles, 0..100
    int ctcssDeviation = 0;  // registers, 0..255
    int dcsDeviation = 0;
    bool thresholdsShown = false;
    std::array<int, kSquelchThresholds> thresholds{}; // 0..255
};

// `firmwareMajor` is the connected radio's as last read: a QM2200 from version 3 on always
// uses the extended tone set, so the box is not offered.
EngOptionsSettings loadEngOptions(const EEPROM& image, const TradioInfo& models,
                                  const BuildConfig& config, int firmwareMajor);
// A hidden box changes nothing: its bits and bytes keep what was loaded.
void storeEngOptions(const EngOptionsSettings& settings, EEPROM& image, const TradioInfo& models);

// A deviation register in Hz (r x 1050 / 256, rounded half up) and back (limited to 0..255).
int deviationHz(int reg);
int deviationRegister(long long hz);
// The register for a typed text of digits; a number too long for any register gives 255.
// nullopt for text that is not a number (empty, or not only digits).
std::optional<int> deviationRegisterOf(std::string_view text);

} // namespace kav

#include "editors/EngOptionsSettings.h"

#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <algorithm>

namespace kav {

namespace {

constexpr int kOptions2 = 1; // index into the six option bytes
constexpr int kOptions5 = 4;
constexpr int kTxOnRxOnlyBit = 0x10;
constexpr int kCtcss535Bit = 0x02;
constexpr int kLegacyTonesBit = 0x80;

constexpr long long kHzFull = 1050;
constexpr long long kRegisterSteps = 256;
// More digits than this are beyond every register, and would not fit a long long.
constexpr std::size_t kMaxDigits = 9;

int byteOf(const EEPROM& image, const TradioInfo& models, int variable) {
    return image.getByte(models.variableAddress(variable));
}

// A variable the model lacks reads -1; the controls show the nearest value they can.
int clamped(int value, int max) {
    return std::clamp(value, 0, max);
}

int withBit(int byte, int bit, bool set) {
    return set ? (byte | bit) : (byte & ~bit);
}

} // namespace

int deviationHz(int reg) {
    return static_cast<int>((reg * kHzFull + kRegisterSteps / 2) / kRegisterSteps);
}

int deviationRegister(long long hz) {
    const long long reg = (hz * kRegisterSteps + kHzFull / 2) / kHzFull;
    return static_cast<int>(std::clamp<long long>(reg, 0, kDeviationRegisterMax));
}

std::optional<int> deviationRegisterOf(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto first = text.find_first_not_of('0');
    if (first == std::string_view::npos) {
        return 0;
    }
    if (text.size() - first > kMaxDigits) {
        return kDeviationRegisterMax;
    }
    long long hz = 0;
    for (const char c : text.substr(first)) {
        hz = hz * 10 + (c - '0');
    }
    return deviationRegister(hz);
}

EngOptionsSettings loadEngOptions(const EEPROM& image, const TradioInfo& models,
                                  const BuildConfig& config, int firmwareMajor) {
    EngOptionsSettings s;
    for (std::size_t i = 0; i < s.options.size(); ++i) {
        s.options[i] = byteOf(image, models, kVarOptions1 + static_cast<int>(i));
    }
    const int options2 = std::max(s.options[kOptions2], 0);
    const int options5 = std::max(s.options[kOptions5], 0);
    s.txOnRxOnlyShown = config.engineeringBuild == 1;
    s.txOnRxOnly = (options2 & kTxOnRxOnlyBit) == 0;
    s.ctcss535 = (options5 & kCtcss535Bit) == 0;
    s.rpkDelay = clamped(byteOf(image, models, kVarRpkDelay), kRpkDelayMax);
    s.silentTail = clamped(byteOf(image, models, kVarRpkCarrierDelay), kSilentTailMax);
    s.ctcssDeviation = clamped(byteOf(image, models, kVarCtcssDev), kDeviationRegisterMax);
    s.dcsDeviation = clamped(byteOf(image, models, kVarDcsDev), kDeviationRegisterMax);
    const std::uint32_t id = config.buildProductId;
    s.ctcss38ExtShown = !models.hasExtendedCtcss(id) && !hasNewQm2200Firmware(id, firmwareMajor);
    s.ctcss38Ext = (options5 & kLegacyTonesBit) == 0;
    s.thresholdsShown = !models.hidesSquelchLevel(id);
    for (int i = 0; i < kSquelchThresholds; ++i) {
        s.thresholds[static_cast<std::size_t>(i)] =
            clamped(byteOf(image, models, kVarSql0 + i), kThresholdMax);
    }
    return s;
}

void storeEngOptions(const EngOptionsSettings& s, EEPROM& image, const TradioInfo& models) {
    std::array<int, 6> options = s.options;
    if (s.txOnRxOnlyShown && options[kOptions2] >= 0) {
        options[kOptions2] = withBit(options[kOptions2], kTxOnRxOnlyBit, !s.txOnRxOnly);
    }
    if (options[kOptions5] >= 0) {
        options[kOptions5] = withBit(options[kOptions5], kCtcss535Bit, !s.ctcss535);
        // Hidden, the box would flip the tone numbering from a state nobody saw.
        if (s.ctcss38ExtShown) {
            options[kOptions5] = withBit(options[kOptions5], kLegacyTonesBit, !s.ctcss38Ext);
        }
    }
    auto set = [&](int variable, int value) {
        image.setByte(models.variableAddress(variable), value); // a missing variable is skipped
    };
    set(kVarRpkDelay, s.rpkDelay);
    set(kVarRpkCarrierDelay, s.silentTail);
    set(kVarCtcssDev, s.ctcssDeviation);
    set(kVarDcsDev, s.dcsDeviation);
    if (s.thresholdsShown) {
        for (int i = 0; i < kSquelchThresholds; ++i) {
            set(kVarSql0 + i, s.thresholds[static_cast<std::size_t>(i)]);
        }
    }
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] >= 0) {
            set(kVarOptions1 + static_cast<int>(i), options[i]);
        }
    }
}

} // namespace kav

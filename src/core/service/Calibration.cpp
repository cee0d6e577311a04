#include "service/Calibration.h"

#include "editors/RxChannelSettings.h"
#include "link/Radio.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "workflow/AppContext.h"
#include "workflow/Outcome.h"
#include "workflow/RadioWorkflow.h"
#include "workflow/WorkflowUi.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kav {

namespace {

constexpr int kLevelZeroRegister = 12;
constexpr int kCbFirstHigh = 41;
constexpr int kCbLast = 80;
constexpr std::uint32_t kCbLowBaseHz = 476'400'000;
constexpr std::uint32_t kCbHighBaseHz = 476'412'500;
constexpr std::uint32_t kCbSpacingHz = 25'000;
constexpr int kBanksInNumbers = 101; // receive-only numbers from here on carry their bank
constexpr int kCalibrationBlock = 16;
constexpr std::size_t kCalibrationBytes = 32; // two blocks

// Calibration variables the model table does not name elsewhere.
constexpr int kVarSqlK = 14;
constexpr int kVarXtlTempCo = 20;
constexpr int kVarXtlTempCo2 = 23;
constexpr int kVarRxAdcOffset = 26;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole number of digits with an optional leading minus; nullopt for anything else. Very
// long numbers saturate, so "99999999999" still reads as large.
std::optional<long long> wholeNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : text) {
        value = std::min(value * 10 + (c - '0'), 1'000'000LL);
    }
    return negative ? -value : value;
}

std::string twoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

} // namespace

std::string levelText(int reg) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%2.1f", (kLevelZeroRegister - reg) * 0.5);
    return buffer;
}

std::optional<double> parseLevel(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        digits.remove_prefix(1);
    }
    const auto stops = std::count(digits.begin(), digits.end(), '.');
    const bool shape =
        !digits.empty() && stops <= 1 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return isDigit(c) || c == '.'; }) &&
        std::any_of(digits.begin(), digits.end(), isDigit);
    if (!shape) {
        return std::nullopt;
    }
    double value = 0;
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int registerOfLevel(double level) {
    const double limited = std::clamp(level, -kLevelMaxDb, kLevelMaxDb);
    // Never negative here, so rounding half up is rounding to nearest.
    return static_cast<int>(std::lround(kLevelZeroRegister - 2 * limited));
}

int stepRegister(int reg, bool up) {
    return std::clamp(reg + (up ? -1 : 1), 0, kRegisterMax);
}

int loadedRegister(int byte) {
    return std::clamp(byte, 0, kRegisterMax);
}

int trackedBalance(int mod, int modRef, int balRef) {
    if (modRef <= 0) {
        return std::clamp(balRef, 0, kRegisterMax);
    }
    const auto tracked = static_cast<int>(mod * (static_cast<double>(balRef) / modRef));
    return std::clamp(tracked, 0, kRegisterMax);
}

int signedByte(int byte) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(byte));
}

int valueInRange(int value, int minimum, int maximum) {
    return value < minimum || value > maximum ? 0 : value;
}

std::optional<CommittedValue> commitValueText(std::string_view text) {
    if (text.empty()) {
        return CommittedValue{0, true};
    }
    if (text.front() == '-') {
        return std::nullopt;
    }
    const std::optional<long long> number = wholeNumber(text);
    if (!number) {
        return std::nullopt;
    }
    if (*number > kByteMax) {
        return CommittedValue{kByteMax, true};
    }
    return CommittedValue{static_cast<int>(*number), false};
}

std::optional<CommittedValue> commitMicGainText(std::string_view text) {
    const std::optional<long long> number = wholeNumber(text);
    if (!number) {
        return std::nullopt;
    }
    const auto gain = static_cast<int>(std::clamp<long long>(*number, kMicGainMin, kMicGainMax));
    return CommittedValue{gain, gain != *number};
}

bool valueEditAccepts(char c) {
    return isDigit(c) || c == '.' || c == '%' || c == '\'';
}

bool levelEditAccepts(char c) {
    return isDigit(c) || c == '.' || c == '-';
}

bool micGainEditAccepts(char c) {
    return isDigit(c) || c == '-';
}

ChannelView channelView(int n, const EEPROM& image, const TradioInfo& models,
                        const BuildConfig& config) {
    ChannelView view;
    if (n >= 1 && n <= kCbLast) {
        view.bank = "CB";
        view.number = n;
        view.hz = n < kCbFirstHigh
                      ? kCbLowBaseHz + static_cast<std::uint32_t>(n) * kCbSpacingHz
                      : kCbHighBaseHz + static_cast<std::uint32_t>(n - 40) * kCbSpacingHz;
        view.name = "CB-" + twoDigits(n);
        return view;
    }
    const RxChannelLayout layout = rxChannelLayout(models, config, image.size());
    int bank = 0;
    int index = n - kFirstRxChannel; // position from channel 81
    if (n >= kBanksInNumbers) {
        bank = index / kRxSlotsPerBank;
        index %= kRxSlotsPerBank;
    } else if (layout.bankMode && layout.bankAddress >= 0) {
        const int stored = image.getByte(layout.bankAddress);
        bank = stored >= 0 && stored < kRxBankCount ? stored : 0;
    }
    if (index < 0) {
        view.bank = "RX-A";
        view.number = n;
        return view; // 0 and negative numbers name no slot
    }
    view.bank = std::string("RX-") + static_cast<char>('A' + std::min(bank, 25));
    view.number = kFirstRxChannel + index;
    const int slot = bank * kRxSlotsPerBank + index;
    RX_CH_DATA_STRUCT record;
    if (!layout.stored(slot) || image.getRxChannel(layout.tableAddress, slot, record) != 0) {
        return view;
    }
    view.slot = slot;
    if (record.frequencyHz != 0) {
        view.hz = record.frequencyHz;
        view.name = record.alphaTag;
    }
    return view;
}

CalibrationValues loadCalibration(const EEPROM& image, const TradioInfo& models) {
    const auto control = [&](int variable, auto read) {
        CalibrationControl c;
        c.address = models.variableAddress(variable);
        const int byte = c.address < 0 ? -1 : image.getByte(c.address);
        c.value = byte < 0 ? 0 : read(byte);
        return c;
    };
    const auto unsignedByte = [](int b) {
        return b;
    };
    const auto asSigned = [](int b) {
        return signedByte(b);
    };
    CalibrationValues v;
    for (int f = 0; f < 3; ++f) {
        for (int t = 0; t < 4; ++t) {
            v.tune[static_cast<std::size_t>(f)][static_cast<std::size_t>(t)] =
                control(1 + 4 * f + t, unsignedByte);
        }
    }
    v.mod = control(kVarMod, loadedRegister);
    v.bal = control(kVarBal, loadedRegister);
    v.sqlSens = control(
        kVarSqlK, [](int b) { return valueInRange(signedByte(b), kSqlSensMin, kSqlSensMax); });
    v.rfPowerHi = control(kVarRfPowerHi, unsignedByte);
    v.rfPowerLo = control(kVarRfPowerLo, unsignedByte);
    v.pllFRef = control(kVarPllFRef, unsignedByte);
    v.s1 = control(kVarS1Cal, unsignedByte);
    v.s10 = control(kVarS10Cal, unsignedByte);
    v.rxOffset = control(kVarRxAdcOffset, asSigned);
    v.tempCo = control(kVarXtlTempCo, unsignedByte);
    v.tempCoB = control(kVarXtlTempCo2, unsignedByte);
    const auto micGain = [](int b) {
        return valueInRange(signedByte(b), kMicGainMin, kMicGainMax);
    };
    v.micGain1 = control(kVarMicGain, micGain);
    v.micGain2 = control(kVarMicGainRear, micGain);
    return v;
}

WriteResult writeCalibration(TRadio& radio, bool offline, int address, int value,
                             const MemoSink& memo) {
    if (offline || address < kCalibrationFirst || address > kCalibrationLast) {
        return WriteResult::NotSent;
    }
    memo.clear();
    memo.add("Write... ");
    const bool accepted = radio.WriteByte(address, value & kByteMax);
    memo.add(accepted ? "OK" : "fail");
    return accepted ? WriteResult::Accepted : WriteResult::Refused;
}

WriteResult writeMicGain(TRadio& radio, bool offline, int address, int gain, const MemoSink& memo) {
    if (offline || address < 0) {
        return WriteResult::NotSent;
    }
    const int limited = std::clamp(gain, kMicGainMin, kMicGainMax);
    const bool accepted = radio.WriteByte(address, limited & kByteMax);
    memo.add(accepted ? "OK" : "fail");
    return accepted ? WriteResult::Accepted : WriteResult::Refused;
}

int adjustedRxOffset(int storedOffset, int averageHz) {
    return std::clamp(storedOffset - averageHz / kHzPerOffsetUnit, kRxOffsetMin, kRxOffsetMax);
}

namespace {

// Operations waiting for a reply fail as soon as `cancel` is set, while this lives.
class CancelScope {
public:
    CancelScope(TRadio& radio, const Event& cancel) : radio_(radio) {
        radio_.setCancelEvent(&cancel);
    }
    ~CancelScope() { radio_.setCancelEvent(nullptr); }
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    TRadio& radio_;
};

struct Samples {
    int good = 0;
    int sum = 0;
    bool cancelled = false;
};

Samples sampleFrequencyError(TRadio& radio, const Event& cancel) {
    const CancelScope scope(radio, cancel);
    Samples s;
    for (int i = 0; i < kRxOffsetSamples; ++i) {
        int value = 0;
        if (!radio.ReadFrequencyError(value)) {
            break;
        }
        if (cancel.wait(kRxOffsetSampleGapMs)) {
            break;
        }
        s.sum += value;
        ++s.good;
    }
    s.cancelled = cancel.isSet();
    return s;
}

} // namespace

RxOffsetResult autoRxOffset(TRadio& radio, const EEPROM& image, bool offline, int offsetAddress,
                            const Event& cancel, const MemoSink& memo,
                            const std::function<void()>& afcOff) {
    RxOffsetResult result;
    int status = 0;
    if (!radio.GetStatus(status) || (status & kStatusCarrierBit) == 0) {
        return result;
    }
    radio.SetAfc(false);
    if (afcOff) {
        afcOff();
    }
    const Samples samples = sampleFrequencyError(radio, cancel);
    if (samples.good > 0) {
        result.average = samples.sum / samples.good;
    }
    if (samples.cancelled) {
        result.status = RxOffsetResult::Status::Cancelled;
    } else if (samples.good < kRxOffsetSamples) {
        result.status = RxOffsetResult::Status::SamplesFailed;
    } else {
        result.status = RxOffsetResult::Status::Sampled;
        const int stored = signedByte(std::max(image.getByte(offsetAddress), 0));
        result.offset = adjustedRxOffset(stored, *result.average);
        result.written = writeCalibration(radio, offline, offsetAddress, result.offset, memo);
    }
    radio.SetAfc(true);
    return result;
}

SMeterResult calibrateSMeter(TRadio& radio, int address, const Event& cancel) {
    SMeterResult result;
    int sum = 0;
    int good = 0;
    {
        const CancelScope scope(radio, cancel);
        for (; good < kSMeterSamples && !cancel.isSet(); ++good) {
            int value = 0;
            if (!radio.ReadAdc(kRssiChannel, value)) {
                break;
            }
            sum += value;
        }
    }
    result.cancelled = cancel.isSet();
    if (result.cancelled || good < kSMeterSamples) {
        return result;
    }
    result.value = sum >> 4;
    result.complete = address >= kCalibrationFirst && address <= kCalibrationLast &&
                      radio.WriteByte(address, *result.value);
    return result;
}

Outcome alignPreRead(AppContext& ctx, WorkflowUi& ui, bool& offline) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    offline = false;
    int productId = 0;
    const bool identified =
        checkRadioProductId(ctx, ui, productId) == Outcome::Done && ctx.radio().GetVersion();
    if (!identified) {
        if (!ui.ask(kUnableToReadCalibration, kCommsErrorCaption, WorkflowUi::Icon::Warning)) {
            return Outcome::Refused;
        }
        offline = true;
        return Outcome::Done;
    }
    std::array<std::uint8_t, kCalibrationBytes> calibration{};
    for (int at = 0; at < static_cast<int>(kCalibrationBytes); at += kCalibrationBlock) {
        if (!ctx.radio().Read16(at, calibration.data() + at)) {
            ui.warn(kErrorReadingCalibration, kCommsErrorCaption);
            return Outcome::Failed;
        }
    }
    ctx.image().writeBlock(0, calibration.data(), static_cast<int>(calibration.size()));
    return Outcome::Done;
}

} // namespace kav

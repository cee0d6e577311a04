#pragma once

#include "link/Event.h"
#include "model/BuildConfig.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kav {

class AppContext;
class EEPROM;
class TRadio;
class TradioInfo;
class WorkflowUi;
enum class Outcome;

// The calibration lives in bytes 0..32 of the radio's memory.
inline constexpr int kCalibrationFirst = 0;
inline constexpr int kCalibrationLast = 32;

// The modulation and balance registers: 0 is +6.0 dB, 12 is 0.0 dB, 24 is -6.0 dB.
inline constexpr int kRegisterMax = 24;
inline constexpr double kLevelMaxDb = 6.0;

inline constexpr int kRxOffsetMin = -128;
inline constexpr int kRxOffsetMax = 127;
inline constexpr int kSqlSensMin = -80;
inline constexpr int kSqlSensMax = 80;
inline constexpr int kMicGainMin = -12;
inline constexpr int kMicGainMax = 30;
inline constexpr int kByteMax = 255;

// The three alignment frequencies in MHz, and the tuning the radio gets for each.
inline constexpr std::array<int, 3> kAlignmentFrequenciesMhz{450, 477, 504};
constexpr int pllStepsOfMhz(int mhz) {
    return mhz * 80; // 12.5 kHz steps
}

// Register shown as a level: "%2.1f" of (12 - r) / 2 dB.
std::string levelText(int reg);
// A typed level: a decimal number (a sign, digits, at most one full stop); nullopt otherwise.
std::optional<double> parseLevel(std::string_view text);
// The register of a level, the level limited to -6.0..6.0 dB first (1.3 gives 9).
int registerOfLevel(double level);
// One click or arrow key: "up" raises the level, so it lowers the register. Stays in 0..24.
int stepRegister(int reg, bool up);
// A stored register; a byte above 24 reads as 24.
int loadedRegister(int byte);
// The balance that follows modulation `mod`: balRef when modRef <= 0, else
// mod x balRef / modRef truncated, kept to the registers' range 0..24.
int trackedBalance(int mod, int modRef, int balRef);

// The byte read as a signed number (255 is -1).
int signedByte(int byte);
// A value in its control's range, 0 when the stored value lies outside it.
int valueInRange(int value, int minimum, int maximum);

// Enter in a value edit: an empty text is 0, 256 or more is 255, a text that is not a whole
// number gives nullopt. `shown` says the edit must show `value` instead of what was typed.
struct CommittedValue {
    int value = 0;
    bool shown = false;
};
std::optional<CommittedValue> commitValueText(std::string_view text);
// Enter in a microphone gain edit: a whole number, possibly negative, limited to -12..30.
std::optional<CommittedValue> commitMicGainText(std::string_view text);

// Characters the edits take besides Backspace and Enter.
bool valueEditAccepts(char c);   // digits, full stop, percent sign, apostrophe
bool levelEditAccepts(char c);   // digits, full stop, minus sign
bool micGainEditAccepts(char c); // digits, minus sign

// What the alignment window shows for the radio's current channel.
struct ChannelView {
    std::string bank;     // "CB", "RX-A" .. "RX-E"
    int number = 0;       // shown "%02d"
    std::uint32_t hz = 0; // 0: none known (an empty or unknown receive-only slot)
    std::string name;     // at most five characters
    int slot = -1;        // receive-only slot read, -1 for a CB channel or none
};
// Channels 1-40 and 41-80 are CB channels. Any other number is a receive-only channel: a
// number of 101 and above carries its bank (20 channels to a bank), 81..100 use the radio's
// "Rx Bank". Label and slot come from the same bank; a slot past the model's table is empty.
ChannelView channelView(int n, const EEPROM& image, const TradioInfo& models,
                        const BuildConfig& config);

// Byte addresses and loaded values of every calibration control for the current model.
struct CalibrationControl {
    int address = -1; // -1 where the model lacks the variable
    int value = 0;
};
struct CalibrationValues {
    std::array<std::array<CalibrationControl, 4>, 3> tune{}; // [frequency][T1..T4]
    CalibrationControl mod, bal, sqlSens, rfPowerHi, rfPowerLo, pllFRef, s1, s10, rxOffset;
    CalibrationControl tempCo, tempCoB, micGain1, micGain2;
};
CalibrationValues loadCalibration(const EEPROM& image, const TradioInfo& models);

// Where the calibration writes and procedures report: the window's help memo. Called on the
// thread that runs the write (a procedure's worker, too); the window hands lines over.
struct MemoSink {
    std::function<void()> clear;
    std::function<void(const std::string&)> add;
};

enum class WriteResult { NotSent, Accepted, Refused };

// One calibration value to the running radio: nothing is sent offline or for an address
// outside 0..32 (-1 included). Otherwise the memo is cleared, "Write... " and "OK" or "fail"
// added. The radio object stores the byte in the image only when the radio accepted it.
WriteResult writeCalibration(TRadio& radio, bool offline, int address, int value,
                             const MemoSink& memo);
// A microphone gain (outside the calibration area): limited to -12..30, stored as its byte,
// nothing sent offline or without an address; "OK" or "fail" added to the memo.
WriteResult writeMicGain(TRadio& radio, bool offline, int address, int gain, const MemoSink& memo);

// The automatic receive-offset adjustment. The person is asked for a -73 dBm signal.
struct RxOffsetResult {
    enum class Status { NoSignal, Sampled, SamplesFailed, Cancelled };
    Status status = Status::NoSignal;
    std::optional<int> average; // of the good samples; none without one
    int offset = 0;             // the new offset when Sampled
    WriteResult written = WriteResult::NotSent;
};
inline constexpr int kRxOffsetSamples = 8;
inline constexpr int kRxOffsetSampleGapMs = 50;
inline constexpr int kHzPerOffsetUnit = 50;
inline constexpr int kStatusCarrierBit = 0x20;
// AFC is switched off for the samples and on again at the end, whatever happens after the
// status check, cancelling included. `afcOff` runs once AFC has been switched off.
// The stored offset is read from `image` when the samples are in.
RxOffsetResult autoRxOffset(TRadio& radio, const EEPROM& image, bool offline, int offsetAddress,
                            const Event& cancel, const MemoSink& memo,
                            const std::function<void()>& afcOff = {});
// The new offset from the stored one and the average frequency error in Hz.
int adjustedRxOffset(int storedOffset, int averageHz);

// One S-meter point: 16 RSSI readings averaged and written to `address` (S1 or S10 Cal).
struct SMeterResult {
    bool complete = false; // every reading came and the radio accepted the value
    bool cancelled = false;
    std::optional<int> value; // the average, once every reading came
};
inline constexpr int kSMeterSamples = 16;
inline constexpr int kRssiChannel = 4;
inline constexpr int kNoiseChannel = 5;
SMeterResult calibrateSMeter(TRadio& radio, int address, const Event& cancel);

// Before the alignment window opens: the product-ID check and the firmware version, then the
// calibration (bytes 0..31) read from the radio into the image. `offline` is set when the
// person chose to go on without the radio. Done: open the window; Refused or Failed: not.
// The image changes only when both blocks were read.
Outcome alignPreRead(AppContext& ctx, WorkflowUi& ui, bool& offline);

inline constexpr const char* kUnableToReadCalibration =
    "Unable to read radio calibration.\nContinue in offline mode?";
inline constexpr const char* kErrorReadingCalibration = "Error reading radio calibration.";
inline constexpr const char* kCommsErrorCaption = "Comms Error";

} // namespace kav

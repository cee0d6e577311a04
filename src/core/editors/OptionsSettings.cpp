#include "editors/OptionsSettings.h"

#include "editors/VariableAccess.h"
#include "workflow/AppContext.h"
#include "workflow/PortOpening.h"
#include "workflow/RadioWorkflow.h"

#include <algorithm>
#include <cstdint>

namespace kav {

namespace {

constexpr int kPttBit = 2;          // Options-2: set = no PTT on CH22/23
constexpr int kTailMuteBit = 3;     // Options-2: set = squelch tail mute off
constexpr int kDvcBit = 2;          // Options-1
constexpr int kScramblerBit = 4;    // Options-1: set = scrambler off
constexpr int kNarrowbandBit = 5;   // Options-1
constexpr int kSpeakerBit = 6;      // Options-1
constexpr int kBusyLockoutBit = 5;  // Options-5
constexpr int kRxAudioMuteBit = 6;  // Options-6
constexpr int kZeroMinVolBit = 7;   // Options-6
constexpr int kAlphaDisplayBit = 6; // Status

constexpr int kMicSelFront = 1;
constexpr int kMicSelRear = 2;
constexpr int kScanPriKeys[] = {5, 4};
constexpr int kDownUpKeys[] = {16, 15};

// A gain byte as a signed number of dB; outside the range (or absent) it reads as 0.
int gainOf(int byte) {
    if (byte < 0) {
        return 0;
    }
    const int dB = static_cast<std::int8_t>(byte);
    return dB < OptionsSettings::kMinGain || dB > OptionsSettings::kMaxGain ? 0 : dB;
}

int gainByte(int dB) {
    return static_cast<std::uint8_t>(
        std::clamp(dB, OptionsSettings::kMinGain, OptionsSettings::kMaxGain));
}

void loadVolumes(OptionsSettings& s, const VariableReader& vars) {
    int v = vars.byte(kVarAdcVolMin);
    if (v > OptionsSettings::kMaxVolume) {
        v = 3;
    }
    if (s.audioMuteShown) {
        s.allowRxAudioMute = vars.bit(kVarOptions6, kRxAudioMuteBit);
        s.allowZeroMinVolume = vars.bit(kVarOptions6, kZeroMinVolBit);
        s.minVolume = std::clamp(v, s.minVolumeFloor(), OptionsSettings::kMaxVolume);
    } else {
        s.minVolume = std::clamp(v + 1, 1, OptionsSettings::kMaxVolume);
    }
    s.beepVolume = std::clamp(vars.byte(kVarBeepVol), 0, OptionsSettings::kMaxVolume);
}

void loadDisplay(OptionsSettings& s, const VariableReader& vars) {
    const int cb = vars.byte(kVarCbDispOptions);
    s.cbDisplay = cb < 0 || cb > 2 ? 0 : cb;
    s.alphaDisplay = vars.bit(kVarStatus, kAlphaDisplayBit);
    const int rx = vars.byte(kVarRxOnlyDispOptions);
    s.rxOnlyDisplay = rx < 0 || rx > 3 ? 0 : rx;
    const int k = vars.byte(kVarLcdContrast);
    s.contrast =
        k >= 0 && k <= 8 ? OptionsSettings::kMaxContrast - k : OptionsSettings::kDefaultContrast;
}

void loadWireless(OptionsSettings& s, const VariableReader& vars) {
    s.wirelessFront = vars.byte(kVarWirelessPttMicSel) == kMicSelFront;
    s.wirelessGain = gainOf(vars.byte(kVarWirelessMicGain));
    s.wirelessScanPri = vars.byte(kVarWirelessKeyFunc1) == kScanPriKeys[0] &&
                        vars.byte(kVarWirelessKeyFunc2) == kScanPriKeys[1];
}

void storeShownOnly(const OptionsSettings& s, VariableWriter& vars) {
    if (s.userGain) {
        vars.setByte(kVarUserMicGain, std::clamp(s.userMicGain, 0, OptionsSettings::kMaxUserGain));
    }
    if (s.rearShown) {
        vars.setByte(kVarMicGainRear, gainByte(s.micGainRear));
    }
    if (s.minVolumeShown) {
        vars.setByte(kVarAdcVolMin, s.audioMuteShown ? s.minVolume : s.minVolume - 1);
    }
    if (s.audioMuteShown) {
        vars.setBit(kVarOptions6, kZeroMinVolBit, s.allowZeroMinVolume);
        vars.setBit(kVarOptions6, kRxAudioMuteBit, s.allowRxAudioMute);
    }
    if (s.internalSpeakerShown) {
        vars.setBit(kVarOptions1, kSpeakerBit, s.internalSpeaker);
    }
    if (s.rxOnlyDisplayShown) {
        vars.setByte(kVarRxOnlyDispOptions, s.rxOnlyDisplay);
    }
    if (s.displayModeShown) {
        vars.setBit(kVarStatus, kAlphaDisplayBit, s.alphaDisplay);
    }
    if (s.contrastShown) {
        vars.setByte(kVarLcdContrast, OptionsSettings::kMaxContrast - s.contrast);
    }
    if (s.wirelessShown) {
        vars.setByte(kVarWirelessPttMicSel, s.wirelessFront ? kMicSelFront : kMicSelRear);
        vars.setByte(kVarWirelessMicGain, gainByte(s.wirelessGain));
        const int* keys = s.wirelessScanPri ? kScanPriKeys : kDownUpKeys;
        vars.setByte(kVarWirelessKeyFunc1, keys[0]);
        vars.setByte(kVarWirelessKeyFunc2, keys[1]);
    }
    if (s.narrowbandShown) {
        vars.setBit(kVarOptions1, kNarrowbandBit, s.narrowband);
    }
    if (s.scramblerShown) {
        vars.setBit(kVarOptions1, kScramblerBit, !s.scrambler);
    }
}

} // namespace

OptionsSettings OptionsSettings::load(const EEPROM& image, const TradioInfo& models,
                                      const BuildConfig& config, int firmwareMajor) {
    const VariableReader vars(image, models);
    const std::uint32_t build = config.buildProductId;
    const bool newFirmware = hasNewQm2200Firmware(config.buildProductId, firmwareMajor);
    OptionsSettings s;
    s.userGain = models.hasUserMicGain(build) || newFirmware;
    s.rearShown = models.hasRearMicGain(build) || models.hasPttMicSelect(build);
    s.internalExternalMic = models.hasIntExtMic(build);
    s.minVolumeShown = models.hasMinVolume(build);
    s.audioMuteShown = models.hasAudioMuteOptions(build);
    s.internalSpeakerShown = models.hasInternalSpeaker(build) || newFirmware;
    s.displayModeShown = models.hasAlphaTags(build) && models.hasSelcall(build);
    s.rxOnlyDisplayShown = models.hasRxOnlyChannels(build);
    s.contrastShown = models.hasLcdContrast(build);
    s.narrowbandShown = build != kQM5100ProductId;
    s.scramblerShown = models.hasScrambler(build);
    s.wirelessShown = models.hasWirelessRemote(build);

    s.ptt22_23 = !vars.bit(kVarOptions2, kPttBit);
    s.micGain = gainOf(vars.byte(kVarMicGain));
    s.userMicGain = std::clamp(vars.byte(kVarUserMicGain), 0, kMaxUserGain);
    s.micGainRear = gainOf(vars.byte(kVarMicGainRear));
    loadVolumes(s, vars);
    s.internalSpeaker = vars.bit(kVarOptions1, kSpeakerBit);
    loadDisplay(s, vars);
    s.txTimeout = std::clamp(vars.byte(kVarTxTimeout), 0, kMaxTxTimeout);
    const bool dvcBit = vars.bit(kVarOptions1, kDvcBit);
    s.dynamicVolume = build == kQM1500ProductId ? dvcBit : !dvcBit;
    s.narrowband = vars.bit(kVarOptions1, kNarrowbandBit);
    s.busyLockout = vars.bit(kVarOptions5, kBusyLockoutBit);
    s.scrambler = !vars.bit(kVarOptions1, kScramblerBit);
    loadWireless(s, vars);
    s.sqlTailMute = !vars.bit(kVarOptions2, kTailMuteBit);
    return s;
}

void store(const OptionsSettings& s, EEPROM& image, const TradioInfo& models,
           const BuildConfig& config) {
    VariableWriter vars(image, models);
    vars.setBit(kVarOptions2, kPttBit, !s.ptt22_23);
    vars.setByte(kVarMicGain, gainByte(s.micGain));
    vars.setByte(kVarBeepVol, std::clamp(s.beepVolume, 0, OptionsSettings::kMaxVolume));
    vars.setByte(kVarCbDispOptions, s.cbDisplay);
    vars.setByte(kVarTxTimeout, std::clamp(s.txTimeout, 0, OptionsSettings::kMaxTxTimeout));
    vars.setBit(kVarOptions1, kDvcBit,
                config.buildProductId == kQM1500ProductId ? s.dynamicVolume : !s.dynamicVolume);
    vars.setBit(kVarOptions5, kBusyLockoutBit, s.busyLockout);
    vars.setBit(kVarOptions2, kTailMuteBit, !s.sqlTailMute);
    storeShownOnly(s, vars);
}

Outcome writeLcdContrast(AppContext& ctx, WorkflowUi& ui, int shownContrast) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    if (!ensurePortOpen(ctx, ui)) {
        return Outcome::Failed;
    }
    int productId = 0;
    if (const Outcome checked = checkRadioProductId(ctx, ui, productId); checked != Outcome::Done) {
        return checked;
    }
    const int address = ctx.models().variableAddress(kVarLcdContrast);
    const int value =
        OptionsSettings::kMaxContrast - std::clamp(shownContrast, 1, OptionsSettings::kMaxContrast);
    if (address < 0 || !ctx.radio().WriteByte(address, value)) {
        return Outcome::Failed;
    }
    ctx.radio().ResetRadio(); // the radio restarts with the new contrast; its answer is moot
    return Outcome::Done;
}

} // namespace kav

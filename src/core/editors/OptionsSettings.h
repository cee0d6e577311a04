#pragma once

#include "model/BuildConfig.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "workflow/Outcome.h"

namespace kav {

class AppContext;
class WorkflowUi;

// The Options editor's fields, each as its control shows it, and which controls the build
// shows. A value whose control is hidden is neither shown nor written.
struct OptionsSettings {
    static constexpr int kMinGain = -12;
    static constexpr int kMaxGain = 30;
    static constexpr int kMaxUserGain = 9;
    static constexpr int kMaxVolume = 9;
    static constexpr int kMaxTxTimeout = 180;
    static constexpr int kMaxContrast = 9;
    static constexpr int kDefaultContrast = 4;

    // Shown controls.
    bool userGain = false; // fixed + user = total mic gain (new QM2200 firmware, or the model)
    bool rearShown = false;
    bool internalExternalMic = false; // the front gain is the internal mic's, the rear external
    bool minVolumeShown = false;
    bool audioMuteShown = false;
    bool internalSpeakerShown = false;
    bool displayModeShown = false;
    bool rxOnlyDisplayShown = false;
    bool contrastShown = false;
    bool narrowbandShown = false;
    bool scramblerShown = false;
    bool wirelessShown = false;

    // Values.
    bool ptt22_23 = false;
    int micGain = 0;
    int userMicGain = 0;
    int micGainRear = 0;
    int minVolume = 1;
    bool allowRxAudioMute = false;
    bool allowZeroMinVolume = false;
    int beepVolume = 0;
    bool internalSpeaker = false;
    int cbDisplay = 0; // 0 S-METER, 1 S-LINEAR, 2 BATT
    bool alphaDisplay = false;
    int rxOnlyDisplay = 0;           // ... 3 ALPHA
    int contrast = kDefaultContrast; // shown 1..9, stored as 9 - shown
    int txTimeout = 0;
    bool dynamicVolume = false;
    bool narrowband = false;
    bool busyLockout = false;
    bool scrambler = false;
    bool sqlTailMute = false;
    bool wirelessFront = true;
    int wirelessGain = 0;
    bool wirelessScanPri = false; // keys "Scan/Pri" (5, 4); otherwise "Down/Up" (16, 15)

    // The lowest minimum volume the spin allows: 0 once zero is allowed.
    int minVolumeFloor() const { return audioMuteShown && allowZeroMinVolume ? 0 : 1; }
    int totalMicGain() const { return micGain + userMicGain; }

    // firmwareMajor: as last read from the radio (-1 none).
    static OptionsSettings load(const EEPROM& image, const TradioInfo& models,
                                const BuildConfig& config, int firmwareMajor);
};

void store(const OptionsSettings& settings, EEPROM& image, const TradioInfo& models,
           const BuildConfig& config);

// "Write contrast": after the radio's product-ID check, writes 9 - `shownContrast` to the
// radio's LCD Contrast and resets it so it restarts with it. The image byte changes only when
// the radio took the byte. Failed when the write was not answered; the messages of the check
// go to `ui`.
Outcome writeLcdContrast(AppContext& ctx, WorkflowUi& ui, int shownContrast);

} // namespace kav

#pragma once

#include "editors/VariableAccess.h"
#include "model/BuildConfig.h"

#include <array>
#include <string>
#include <string_view>

namespace kav {

// Everything the Selcall editor shows.
struct SelcallSettings {
    static constexpr int kIdentLength = 5; // digits of the own ident shown and edited
    static constexpr int kCodeDigits = 8;  // digits a selcall code holds
    static constexpr int kNameLength = 5;
    static constexpr int kMaxAlertDuration = 25;
    static constexpr int kMinLeadInDelayStep = 100; // the spin's own range, in ms
    static constexpr int kMaxLeadInDelay = 2000;
    static constexpr int kNoSelection = -1;
    static constexpr std::array<std::string_view, 3> kGroupSizes{"10", "100", "1000"};
    static constexpr std::array<int, 6> kTonePeriods{20, 30, 40, 50, 70, 100};
    static constexpr int kDefaultTonePeriod = 40;

    bool extendedMemories = false; // the Quiet Memory is split into 5 + 5 bytes
    bool tonePeriodShown = false;  // engineering builds only
    bool identPresent = false;     // the model has an own ident and name (not every one does)

    // The last kIdentLength digits of the own ident, "0"-"9" and "A"-"F", a blank for an
    // empty position.
    std::string ident;
    std::string name;

    bool alertIndividualCall = false; // "Options-4" bit 6
    bool alertGroupCall = false;      // bit 7
    bool beepAlarms = false;          // bit 2
    bool beepAck = false;             // bit 3
    bool unmuteOnSelcall = false;     // bit 5
    bool reenterQuiet = false;        // bit 4
    bool leadInTone = false;          // bit 1
    int alertDuration = 0;            // seconds, 0-25

    // Group calls accepted ("Options-3" bits 3-5) and sent (bits 0-2): a size index into
    // kGroupSizes, kNoSelection while the box is clear.
    bool acceptGroupCalls = false;
    int rxGroupSize = kNoSelection;
    bool sendGroupCalls = false;
    int txGroupSize = kNoSelection;

    bool appendAni = false;         // "Options-3" bit 6
    bool leadInDelay = false;       // "Options-6" bit 5
    int leadInDelayMs = 10;         // 10-2000, a multiple of 10
    bool userModifiesIdent = false; // "Options-6" bit 1
    bool userModifiesMemory = false;
    int tonePeriod = kDefaultTonePeriod; // ms, one of kTonePeriods

    ChannelFlags quiet{};

    static SelcallSettings load(const EEPROM& image, const TradioInfo& models,
                                const BuildConfig& config);
};

// Stores every field; only the bits the editor owns change. The ident and the name are
// written only when they differ from what the image shows, so the digits of the ident the
// editor does not show survive an OK that did not change it.
void store(const SelcallSettings& settings, EEPROM& image, const TradioInfo& models);

} // namespace kav

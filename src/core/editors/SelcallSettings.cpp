#include "editors/SelcallSettings.h"

#include <algorithm>

namespace kav {

namespace {

constexpr int kIdentBytes = SelcallSettings::kCodeDigits / 2;
constexpr int kNameOffset = 4;
constexpr int kRecordBytes = 8;

constexpr int kMinLeadTone = 1;
constexpr int kMaxLeadTone = 200;

// "Options-3": the two thermometer codes of the group-call size, lowest bit first.
constexpr int kTxGroupBits = 0;
constexpr int kRxGroupBits = 3;
constexpr int kOptions3AppendAni = 6;

constexpr int kOptions4LeadInTone = 1;
constexpr int kOptions4BeepAlarms = 2;
constexpr int kOptions4BeepAck = 3;
constexpr int kOptions4ReenterQuiet = 4;
constexpr int kOptions4Unmute = 5;
constexpr int kOptions4AlertIndividual = 6;
constexpr int kOptions4AlertGroup = 7;

constexpr int kOptions6UserIdent = 1;
constexpr int kOptions6UserMemory = 2;
constexpr int kOptions6LeadInDelay = 5;

constexpr ChannelMemory quietMemory(bool split) {
    return {kVarQuietMem, kVarQuietMemExt, split};
}

// The size a thermometer code shows: its highest bit set, or none.
int groupSize(const VariableReader& vars, int firstBit) {
    for (int size = 2; size >= 0; --size) {
        if (vars.bit(kVarOptions3, firstBit + size)) {
            return size;
        }
    }
    return SelcallSettings::kNoSelection;
}

// A ticked box with no size chosen sends the smallest groups.
void storeGroupSize(VariableWriter& vars, int firstBit, bool enabled, int size) {
    const int level = enabled ? std::clamp(size, 0, 2) : -1;
    for (int bit = 0; bit < 3; ++bit) {
        vars.setBit(kVarOptions3, firstBit + bit, bit <= level);
    }
}

std::string identText(const VariableReader& vars) {
    const int at = vars.address(kVarSelcallIdent, kRecordBytes);
    if (at < 0) {
        return std::string(SelcallSettings::kIdentLength, ' ');
    }
    const std::string hex = vars.image().getHexString(at, kIdentBytes);
    return hex.substr(hex.size() - SelcallSettings::kIdentLength);
}

// The ident's digits right-aligned in kIdentLength positions, zeros in front of them.
std::string paddedIdent(std::string_view ident) {
    std::string digits(ident.substr(0, SelcallSettings::kIdentLength));
    digits.insert(0, SelcallSettings::kIdentLength - digits.size(), ' ');
    return std::string(SelcallSettings::kCodeDigits - SelcallSettings::kIdentLength, '0') + digits;
}

} // namespace

SelcallSettings SelcallSettings::load(const EEPROM& image, const TradioInfo& models,
                                      const BuildConfig& config) {
    const VariableReader vars(image, models);
    SelcallSettings s;
    s.extendedMemories = models.hasExtendedScanMemories(config.buildProductId);
    s.tonePeriodShown = config.engineeringBuild == 1;

    s.identPresent = vars.address(kVarSelcallIdent, kRecordBytes) >= 0;
    s.ident = identText(vars);
    s.name = vars.text(kVarSelcallIdent, kNameOffset);

    s.alertIndividualCall = vars.bit(kVarOptions4, kOptions4AlertIndividual);
    s.alertGroupCall = vars.bit(kVarOptions4, kOptions4AlertGroup);
    s.alertDuration = std::clamp(vars.byte(kVarSelcallAlertTime), 0, kMaxAlertDuration);
    s.beepAck = vars.bit(kVarOptions4, kOptions4BeepAck);
    s.beepAlarms = vars.bit(kVarOptions4, kOptions4BeepAlarms);
    s.unmuteOnSelcall = vars.bit(kVarOptions4, kOptions4Unmute);
    s.reenterQuiet = vars.bit(kVarOptions4, kOptions4ReenterQuiet);

    s.rxGroupSize = groupSize(vars, kRxGroupBits);
    s.acceptGroupCalls = s.rxGroupSize != kNoSelection;

    s.appendAni = vars.bit(kVarOptions3, kOptions3AppendAni);
    s.leadInDelay = vars.bit(kVarOptions6, kOptions6LeadInDelay);
    s.leadInDelayMs = 10 * std::clamp(vars.byte(kVarLeadToneLength), kMinLeadTone, kMaxLeadTone);
    s.leadInTone = vars.bit(kVarOptions4, kOptions4LeadInTone);

    s.txGroupSize = groupSize(vars, kTxGroupBits);
    s.sendGroupCalls = s.txGroupSize != kNoSelection;

    s.userModifiesIdent = vars.bit(kVarOptions6, kOptions6UserIdent);
    s.userModifiesMemory = vars.bit(kVarOptions6, kOptions6UserMemory);

    if (s.tonePeriodShown) {
        const int stored = vars.byte(kVarToneLength);
        const bool listed =
            std::find(kTonePeriods.begin(), kTonePeriods.end(), stored) != kTonePeriods.end();
        s.tonePeriod = listed ? stored : kDefaultTonePeriod;
    }

    s.quiet = vars.channels(quietMemory(s.extendedMemories));
    return s;
}

void store(const SelcallSettings& s, EEPROM& image, const TradioInfo& models) {
    VariableWriter vars(image, models);
    const int identAt = vars.address(kVarSelcallIdent, kRecordBytes);
    if (identAt >= 0 && s.ident != identText(vars)) {
        image.setHexString(paddedIdent(s.ident), identAt, kIdentBytes);
    }
    vars.setText(kVarSelcallIdent, kNameOffset, s.name);

    vars.setBit(kVarOptions4, kOptions4AlertIndividual, s.alertIndividualCall);
    vars.setBit(kVarOptions4, kOptions4AlertGroup, s.alertGroupCall);
    vars.setByte(kVarSelcallAlertTime,
                 std::clamp(s.alertDuration, 0, SelcallSettings::kMaxAlertDuration));
    vars.setBit(kVarOptions4, kOptions4BeepAck, s.beepAck);
    vars.setBit(kVarOptions4, kOptions4BeepAlarms, s.beepAlarms);
    vars.setBit(kVarOptions4, kOptions4Unmute, s.unmuteOnSelcall);
    vars.setBit(kVarOptions4, kOptions4ReenterQuiet, s.reenterQuiet);

    storeGroupSize(vars, kRxGroupBits, s.acceptGroupCalls, s.rxGroupSize);

    vars.setBit(kVarOptions3, kOptions3AppendAni, s.appendAni);
    vars.setBit(kVarOptions6, kOptions6LeadInDelay, s.leadInDelay);
    vars.setByte(kVarLeadToneLength, std::clamp(s.leadInDelayMs / 10, kMinLeadTone, kMaxLeadTone));
    vars.setBit(kVarOptions4, kOptions4LeadInTone, s.leadInTone);

    storeGroupSize(vars, kTxGroupBits, s.sendGroupCalls, s.txGroupSize);

    vars.setBit(kVarOptions6, kOptions6UserIdent, s.userModifiesIdent);
    vars.setBit(kVarOptions6, kOptions6UserMemory, s.userModifiesMemory);

    if (s.tonePeriodShown) {
        const auto& periods = SelcallSettings::kTonePeriods;
        const bool listed =
            std::find(periods.begin(), periods.end(), s.tonePeriod) != periods.end();
        vars.setByte(kVarToneLength, listed ? s.tonePeriod : SelcallSettings::kDefaultTonePeriod);
    }

    vars.setChannels(quietMemory(s.extendedMemories), s.quiet);
}

} // namespace kav

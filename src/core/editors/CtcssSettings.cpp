#include "editors/CtcssSettings.h"

#include <cstddef>

namespace kav {

namespace {

// "Options-5"
constexpr int kEnableBit = 0;
constexpr int kBar5And35Bit = 1;
constexpr int kNoDuplexBit = 2; // set: no CTCSS on the duplex channels
constexpr int kNarrowBandBit = 3;
constexpr int kOverrideBit = 4;
constexpr int kBusyLockoutBit = 5;
constexpr int kToneSet38Bit = 6;
constexpr int kLegacyNumberingBit = 7;
// "Options-9"
constexpr int kNoReversePhaseKeyBit = 0;
constexpr int kNoSilentTailBit = 1;

constexpr std::array<int, 2> kBarrableChannels{5, 35};

constexpr ChannelMemory silentMemory(bool split) {
    return {kVarSilentMem, kVarSilentMemExt, split};
}

// An absent variable and a code above the DCS range (the erased 255) load as "OFF".
int loadedTone(int byte) {
    return byte < 0 || byte > kLastDcsToneCode ? 0 : byte;
}

void clearChannels(ChannelFlags& flags, const auto& channels) {
    for (int channel : channels) {
        flags[static_cast<std::size_t>(channel - 1)] = false;
    }
}

} // namespace

CtcssSettings CtcssSettings::load(const EEPROM& image, const TradioInfo& models,
                                  const BuildConfig& config, int firmwareMajor) {
    const VariableReader vars(image, models);
    const std::uint32_t id = config.buildProductId;
    CtcssSettings s;
    s.scheme = imageToneScheme(image, models, id, firmwareMajor);
    s.enableShown = id != kQM5100ProductId;
    s.trawl = models.supportsTrawl(id);
    s.extendedMemories = models.hasExtendedScanMemories(id);
    s.channels5And35Barred = vars.bit(kVarOptions5, kBar5And35Bit);

    s.enabled = !s.enableShown || vars.bit(kVarOptions5, kEnableBit);
    s.onDuplex = !vars.bit(kVarOptions5, kNoDuplexBit);
    s.narrowBand = vars.bit(kVarOptions5, kNarrowBandBit);
    s.busyLockoutOverride = vars.bit(kVarOptions5, kOverrideBit);
    s.busyLockout = vars.bit(kVarOptions5, kBusyLockoutBit);
    s.toneSet38 = vars.bit(kVarOptions5, kToneSet38Bit);
    s.reversePhaseKey = !vars.bit(kVarOptions9, kNoReversePhaseKeyBit);
    s.silentTail = !vars.bit(kVarOptions9, kNoSilentTailBit);

    s.cbTone = loadedTone(vars.byte(kVarTxCtcssTone));
    s.trawlTone = s.trawl ? loadedTone(vars.byte(kVarTrawlCtcssTone)) : 0;
    s.silent = vars.channels(silentMemory(s.extendedMemories));
    return s;
}

void CtcssSettings::chooseToneSet(bool set38) {
    const ToneScheme next = set38 ? ToneScheme::Legacy38 : ToneScheme::Legacy50;
    if (!legacy() || next == scheme) {
        return;
    }
    cbTone = toneCodeInScheme(cbTone, scheme, next);
    trawlTone = toneCodeInScheme(trawlTone, scheme, next);
    scheme = next;
    toneSet38 = set38;
}

void store(const CtcssSettings& s, EEPROM& image, const TradioInfo& models) {
    VariableWriter vars(image, models);
    vars.setChannels(silentMemory(s.extendedMemories), s.silent);
    vars.setByte(kVarTxCtcssTone, s.cbTone);
    vars.setByte(kVarRxCtcssTone, s.cbTone);
    if (s.trawl) {
        vars.setByte(kVarTrawlCtcssTone, s.trawlTone);
    }
    vars.setBit(kVarOptions5, kEnableBit, s.enabled);
    vars.setBit(kVarOptions5, kNoDuplexBit, !s.onDuplex);
    vars.setBit(kVarOptions5, kNarrowBandBit, s.narrowBand);
    vars.setBit(kVarOptions5, kOverrideBit, s.busyLockoutOverride);
    vars.setBit(kVarOptions5, kBusyLockoutBit, s.busyLockout);
    vars.setBit(kVarOptions5, kToneSet38Bit, s.toneSet38);
    vars.setBit(kVarOptions5, kLegacyNumberingBit, s.legacy());
    vars.setBit(kVarOptions9, kNoReversePhaseKeyBit, !s.reversePhaseKey);
    vars.setBit(kVarOptions9, kNoSilentTailBit, !s.silentTail);
}

std::vector<ToneChoice> toneChoices(ToneScheme scheme, int code) {
    std::vector<ToneChoice> choices;
    const std::vector<std::string> items = toneListItems(scheme);
    choices.reserve(items.size() + 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        choices.push_back({items[i], toneCodeOfListIndex(static_cast<int>(i), scheme)});
    }
    if (standsForNoTone(code, scheme)) {
        choices.push_back({"??? (code " + std::to_string(code) + ")", code});
    }
    return choices;
}

ChannelFlags editableSilentChannels(bool enabled, bool onDuplex, bool channels5And35Barred) {
    ChannelFlags editable{};
    if (!enabled) {
        return editable;
    }
    editable.fill(true);
    if (!onDuplex) {
        clearChannels(editable, kDuplexChannels);
    }
    if (channels5And35Barred) {
        clearChannels(editable, kBarrableChannels);
    }
    return editable;
}

} // namespace kav

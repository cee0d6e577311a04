#include "editors/ScanSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace kav {

namespace {

constexpr int kFirstRxChannel = 81;
constexpr int kLastRxChannel = 99;
constexpr int kSlotsPerBank = 20;
constexpr int kBankCount = 5;
constexpr int kErasedSkipTime = 255;
constexpr int kErasedSkipTimeShown = 3;

// Bits of the bytes this editor shares with others.
constexpr int kStatusScanMemory2 = 3;
constexpr int kStatusTrawl = 5;
constexpr int kOptions2ThreeBeeps = 0;
constexpr int kOptions2GroupScan1 = 5;
constexpr int kOptions2PttExit = 7;
constexpr int kOptions6UserTrawl = 3;
constexpr int kOptions6UserScanMode = 4;

constexpr std::array<std::string_view, ScanSettings::kMemoryCount> kScanMemoryNames{
    "Scan memory 1", "Scan memory 2", "ScanWeave memory"};

std::array<ChannelMemory, ScanSettings::kMemoryCount> memoriesOf(const ScanFeatures& features) {
    const bool split = features.extendedMemories;
    return {{{kVarScanMem0, kVarScanMem0Ext, split},
             {kVarScanMem1, kVarScanMem1Ext, split},
             {kVarScanMem2, kVarScanMem2Ext, split}}};
}

// The bank whose receive-only channels are offered. A bank byte the model lacks, or one out
// of range, means the first bank.
int currentBank(const VariableReader& vars, const ScanFeatures& features) {
    const int bank = features.rxBanks ? vars.byte(kVarRxBank) : 0;
    return bank >= 0 && bank < kBankCount ? bank : 0;
}

// A receive-only slot is empty when its frequency word is 0 or erased, or when the model
// has no receive-only channels.
bool slotUsed(const VariableReader& vars, int slot) {
    const int table = vars.address(kVarRxOnlyChannels);
    if (table < 0) {
        return false;
    }
    const int word = vars.image().getWord(table + EEPROM::kRxChannelBytes * slot);
    return word > 0 && word != 0xFFFF;
}

std::vector<int> priorityList(const VariableReader& vars, const ScanFeatures& features) {
    std::vector<int> channels;
    for (int n = 1; n <= kCbChannelCount; ++n) {
        channels.push_back(n);
    }
    const int bank = currentBank(vars, features);
    for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
        if (slotUsed(vars, kSlotsPerBank * bank + (n - kFirstRxChannel))) {
            channels.push_back(n);
        }
    }
    return channels;
}

int loadScanMemory(const VariableReader& vars, const ScanSettings& s) {
    int index = 0;
    if (s.features.scanMemorySelect) {
        index = vars.byte(kVarScanMemory);
    } else if (vars.bit(kVarStatus, kStatusScanMemory2)) {
        index = 1;
    } else if (vars.bit(kVarStatus, kStatusTrawl)) {
        index = 2;
    }
    return index >= 0 && index < s.scanMemoryCount ? index : ScanSettings::kNoSelection;
}

// A list left without a selection (a stored value it has no item for) keeps what is stored.
void storeScanMemory(VariableWriter& vars, const ScanSettings& s) {
    if (s.scanMemory == ScanSettings::kNoSelection) {
        return;
    }
    if (s.features.scanMemorySelect) {
        vars.setByte(kVarScanMemory, s.scanMemory);
        return;
    }
    vars.setBit(kVarStatus, kStatusScanMemory2, s.scanMemory == 1);
    vars.setBit(kVarStatus, kStatusTrawl, s.scanMemory == 2);
}

} // namespace

ScanFeatures ScanFeatures::of(const TradioInfo& models, std::uint32_t productId) {
    ScanFeatures f;
    f.trawl = models.hasTrawl(productId);
    f.trawlPage = models.supportsTrawl(productId);
    f.skipTime = models.hasScanSkipTime(productId);
    f.userScanMode = models.hasUserScanMode(productId);
    f.scanMemorySelect = models.hasScanMemorySelect(productId);
    f.extendedMemories = models.hasExtendedScanMemories(productId);
    f.rxBanks = models.hasRxBanks(productId);
    return f;
}

ScanSettings ScanSettings::load(const EEPROM& image, const TradioInfo& models,
                                const BuildConfig& config) {
    const VariableReader vars(image, models);
    ScanSettings s;
    s.features = ScanFeatures::of(models, config.buildProductId);

    // Only channels on offer can be shown; anything else (erased, 0, an empty or missing
    // receive-only slot, 100 and above) shows as channel 1.
    s.priorityChannels = priorityList(vars, s.features);
    const int priority = vars.byte(kVarPriChannel);
    const bool listed = std::find(s.priorityChannels.begin(), s.priorityChannels.end(), priority) !=
                        s.priorityChannels.end();
    s.priorityChannel = listed ? priority : 1;

    s.priorityCheckRate = std::clamp(vars.byte(kVarPriChkRate), 1, kMaxCheckRate);

    for (std::size_t bit = 0; bit < 8; ++bit) {
        s.duplex[bit] = vars.bit(kVarDuplex, static_cast<int>(bit));
        s.duplex[bit + 8] = vars.bit(kVarDuplex80, static_cast<int>(bit));
    }

    const auto memories = memoriesOf(s.features);
    for (int m = 0; m < kMemoryCount; ++m) {
        if (m < 2 || s.features.trawlPage) {
            s.memories[static_cast<std::size_t>(m)] =
                vars.channels(memories[static_cast<std::size_t>(m)]);
        }
    }

    s.groupScan[0] = vars.bit(kVarOptions2, kOptions2GroupScan1);
    s.groupScan[1] = vars.bit(kVarOptions2, kOptions2GroupScan1 + 1);

    s.scanMemoryCount = s.features.trawl ? 3 : 2;
    s.scanMemory = loadScanMemory(vars, s);

    s.userModifiesTrawl = s.features.trawl && vars.bit(kVarOptions6, kOptions6UserTrawl);
    s.userModifiesScanMode =
        s.features.userScanMode && vars.bit(kVarOptions6, kOptions6UserScanMode);

    if (s.features.skipTime) {
        const int stored = vars.byte(kVarScanSkipTime);
        const int shown = stored == kErasedSkipTime ? kErasedSkipTimeShown : std::max(stored, 0);
        s.skipTime = 10 * shown;
    }

    s.threeBeeps = vars.bit(kVarOptions2, kOptions2ThreeBeeps);
    s.transmitOnPriority = vars.bit(kVarOptions2, kOptions2PttExit);
    return s;
}

void store(const ScanSettings& s, EEPROM& image, const TradioInfo& models) {
    VariableWriter vars(image, models);
    vars.setBit(kVarOptions2, kOptions2GroupScan1, s.groupScan[0]);
    vars.setBit(kVarOptions2, kOptions2GroupScan1 + 1, s.groupScan[1]);

    for (std::size_t bit = 0; bit < 8; ++bit) {
        vars.setBit(kVarDuplex, static_cast<int>(bit), s.duplex[bit]);
        vars.setBit(kVarDuplex80, static_cast<int>(bit), s.duplex[bit + 8]);
    }

    const auto memories = memoriesOf(s.features);
    for (int m = 0; m < ScanSettings::kMemoryCount; ++m) {
        if (m < 2 || s.features.trawlPage) {
            vars.setChannels(memories[static_cast<std::size_t>(m)],
                             s.memories[static_cast<std::size_t>(m)]);
        }
    }

    vars.setByte(kVarPriChannel, s.priorityChannel);
    vars.setByte(kVarPriChkRate, std::clamp(s.priorityCheckRate, 1, ScanSettings::kMaxCheckRate));

    if (s.features.userScanMode) {
        vars.setBit(kVarOptions6, kOptions6UserScanMode, s.userModifiesScanMode);
    }
    if (s.features.trawl) {
        vars.setBit(kVarOptions6, kOptions6UserTrawl, s.userModifiesTrawl);
    }

    storeScanMemory(vars, s);

    if (s.features.skipTime) {
        vars.setByte(kVarScanSkipTime, std::clamp(s.skipTime, 0, ScanSettings::kMaxSkipTime) / 10);
    }

    vars.setBit(kVarOptions2, kOptions2ThreeBeeps, s.threeBeeps);
    vars.setBit(kVarOptions2, kOptions2PttExit, s.transmitOnPriority);
}

std::string priorityChannelName(int channel) {
    char text[16];
    std::snprintf(text, sizeof text, channel <= kCbChannelCount ? "CB %02d" : "RX %02d", channel);
    return text;
}

std::string_view scanMemoryName(int index) {
    return index >= 0 && index < ScanSettings::kMemoryCount
               ? kScanMemoryNames[static_cast<std::size_t>(index)]
               : std::string_view();
}

std::optional<int> enterSkipTime(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    value = std::min<long long>(value, ScanSettings::kMaxSkipTime);
    return static_cast<int>((value + 5) / 10 * 10);
}

} // namespace kav

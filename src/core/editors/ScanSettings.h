#pragma once

#include "editors/VariableAccess.h"
#include "model/BuildConfig.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

// What the build's model offers in the Scan/Duplex editor.
struct ScanFeatures {
    bool trawl = false;            // a third scan memory: listed, and its user lock
    bool trawlPage = false;        // and the firmware lets its channels be edited
    bool skipTime = false;         // scan skip time
    bool userScanMode = false;     // the user may be allowed to change the scan mode
    bool scanMemorySelect = false; // memory in use kept in a byte of its own
    bool extendedMemories = false; // channel memories split into 5 + 5 bytes
    bool rxBanks = false;          // receive-only channels come in banks

    static ScanFeatures of(const TradioInfo& models, std::uint32_t productId);
};

// Everything the Scan/Duplex editor shows.
struct ScanSettings {
    static constexpr int kDuplexCount = static_cast<int>(kDuplexChannels.size()); // that order
    static constexpr int kMemoryCount = 3;    // Scan Memory 1, Scan Memory 2, Trawl
    static constexpr int kMaxSkipTime = 2540; // spin position: ten times the stored byte
    static constexpr int kMaxCheckRate = 10;
    static constexpr int kNoSelection = -1;

    ScanFeatures features;

    bool threeBeeps = false;           // "Options-2" bit 0
    bool transmitOnPriority = false;   // "Options-2" bit 7
    std::array<bool, 2> groupScan{};   // "Options-2" bits 5 and 6: memory 1 and 2 group scan
    bool userModifiesTrawl = false;    // "Options-6" bit 3, with the Trawl memory
    bool userModifiesScanMode = false; // "Options-6" bit 4, with the user scan mode

    // The list offered: CB channels 1-80, then the receive-only channels 81-99 present in the
    // current bank. The channel shown is always one of them.
    std::vector<int> priorityChannels;
    int priorityChannel = 1;
    int priorityCheckRate = 1; // 1-10

    int scanMemoryCount = 2; // items offered: 2, or 3 with the Trawl memory
    int scanMemory = 0;      // item shown, or kNoSelection for a stored value with no item

    int skipTime = 0; // with the skip time: ten times the stored value

    std::array<bool, kDuplexCount> duplex{};
    std::array<ChannelFlags, kMemoryCount> memories{}; // the Trawl one only with trawlPage

    static ScanSettings load(const EEPROM& image, const TradioInfo& models,
                             const BuildConfig& config);
};

// Stores every field the build offers; only the bits the editor owns change.
void store(const ScanSettings& settings, EEPROM& image, const TradioInfo& models);

// "CB 07" for channels 1-80, "RX 85" for receive-only ones.
std::string priorityChannelName(int channel);
// "Scan memory 1", "Scan memory 2", "ScanWeave memory".
std::string_view scanMemoryName(int index);

// The spin position the skip-time edit's Enter commits: empty text counts as 0, a value above
// the range is cut to it, and the result is the nearest multiple of 10. Text that is not a
// number commits nothing.
std::optional<int> enterSkipTime(std::string_view text);

} // namespace kav

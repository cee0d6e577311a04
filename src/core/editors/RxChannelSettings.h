#pragma once

#include "model/BuildConfig.h"
#include "model/Eeprom.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

class TradioInfo;

inline constexpr int kRxSlotCount = 100;
inline constexpr int kRxBankCount = 5;
inline constexpr int kRxSlotsPerBank = 20;
inline constexpr int kFirstRxChannel = 81;
inline constexpr int kLastRxChannel = 99; // the twentieth slot of a bank is never shown

// Bits of RX_CH_DATA_STRUCT::memberFlags.
enum RxMember : std::uint8_t {
    kMemberSilent = 1,
    kMemberQuiet = 2,
    kMemberScan2 = 4,
    kMemberScan1 = 8,
};

// Where the current model keeps its receive-only channels.
struct RxChannelLayout {
    int tableAddress = -1; // slot 0; -1 when the model has no table
    int storedSlots = 0;   // slots that fit before the next variable (at most 100)
    // First byte of the membership bits of Scan Memory 1, Scan Memory 2, the Quiet and the
    // Silent Channel Memory (in memberFlags order from bit 3 down); -1 when absent.
    std::array<int, 4> memberAddress{-1, -1, -1, -1};
    int memberBytes = 0;
    int memberSlots = 0;   // slots that have membership bits
    int bankAddress = -1;  // "Rx Bank"
    bool bankMode = false; // five banks RX-A .. RX-E, otherwise only bank 0
    bool alphaTags = false;

    bool stored(int slot) const { return slot >= 0 && slot < storedSlots; }
};

RxChannelLayout rxChannelLayout(const TradioInfo& models, const BuildConfig& config,
                                int imageSize = EEPROM::kImageSize);

// Slot of channel `number` (81..99) of `bank`.
constexpr int rxSlot(int bank, int number) {
    return bank * kRxSlotsPerBank + number - kFirstRxChannel;
}

// The working table of the "Channel Data" editor: every slot, loaded from the image when the
// window is shown and stored back whole by OK.
struct RxChannelSettings {
    RxChannelLayout layout;
    std::array<RX_CH_DATA_STRUCT, kRxSlotCount> records{}; // one per slot
    int currentBank = 0; // the bank the radio uses; tabs change only the one shown

    int bankCount() const { return layout.bankMode ? kRxBankCount : 1; }
    const RX_CH_DATA_STRUCT& channel(int bank, int number) const;
    // Channels of the bank with a frequency, and the ones free for Add, in number order.
    std::vector<int> usedChannels(int bank) const;
    std::vector<int> freeChannels(int bank) const;

    // False, changing nothing, for a channel outside the bank or the model's table.
    bool setChannel(int bank, int number, const RX_CH_DATA_STRUCT& record);
    void deleteChannel(int bank, int number);
    void clearBank(int bank);
};

RxChannelSettings loadRxChannels(const EEPROM& image, const TradioInfo& models,
                                 const BuildConfig& config);
// Writes the frequency of every stored slot (an empty slot as 0), each name that differs from
// the image's, and the membership bits of the slots that have them; other bits of the
// membership bytes stay. Without banks "Rx Bank" becomes 255.
void storeRxChannels(const RxChannelSettings& settings, EEPROM& image);

// One grid row: CH, Channel Name, Frequency (MHz), SCAN1, SCAN2, Q, S.
using RxGridRow = std::array<std::string, 7>;
// The rows of a bank; a bank without channels gives one empty row.
std::vector<RxGridRow> rxGridRows(const RxChannelSettings& settings, int bank);

// "Delete bank RX-B, channel 83?", or "Delete channel 83?" without banks.
std::string rxDeletePrompt(bool bankMode, int bank, int number);
char rxBankLetter(int bank);

// Frequencies a receive-only slot can hold: 12.5 kHz steps of its 16-bit code, 0 and 0xFFFF
// being the empty marks.
inline constexpr std::uint32_t kRxStepHz = EEPROM::kRxChannelStepHz;
inline constexpr std::uint32_t kRxLowestHz = kRxStepHz;
inline constexpr std::uint32_t kRxHighestHz = 0xFFFE * kRxStepHz; // 819.175 MHz

// MHz with four decimals, e.g. "477.0125".
std::string rxFrequencyText(std::uint32_t hz);

enum class FrequencyError { None, NotANumber, OutOfBand, OffStep };
struct FrequencyInput {
    FrequencyError error = FrequencyError::None;
    std::uint32_t hz = 0;
};
// A typed frequency in MHz as OK takes it: only a number in the band and on the step is
// accepted; nothing is rounded or limited.
FrequencyInput parseRxFrequency(std::string_view text);
// What the dialog says about a rejected frequency.
std::string frequencyErrorText(FrequencyError error);
// Enter in the frequency field: the number rounded to the nearest step and brought into the
// band, for the person to see before OK. nullopt when the text is not a number.
std::optional<std::uint32_t> snapRxFrequency(std::string_view text);
// The spin buttons: the snapped number one step up or down, kept in the band.
std::optional<std::uint32_t> stepRxFrequency(std::string_view text, bool up);

// Channel names hold what the packed text stores: ' ' to '_' without '@', which ends the
// text. Lower-case letters become capitals; nullopt when any other character is present.
std::optional<std::string> storableAlphaTag(std::string_view text);
inline constexpr int kAlphaTagLength = 5;

} // namespace kav

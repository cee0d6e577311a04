#include "editors/RxChannelSettings.h"

#include "model/Array.h"
#include "model/Radioinfo.h"

#include <algorithm>
#include <cstdio>

namespace kav {

namespace {

constexpr std::array<int, 4> kMemberVariables{kVarScanMem0, kVarScanMem1, kVarQuietMem,
                                              kVarSilentMem};
constexpr std::array<std::uint8_t, 4> kMemberBits{kMemberScan1, kMemberScan2, kMemberQuiet,
                                                  kMemberSilent};
constexpr int kFullMemberOffset = 10; // after the CB channels' 10 bytes
constexpr int kFullMemberBytes = 14;
// The QM1500 splits its CB bitmaps over two variables of 5 bytes; the memberships of its
// first 24 slots follow the first part.
constexpr int kQM1500MemberOffset = 5;
constexpr int kQM1500MemberBytes = 3;
constexpr int kNoBank = 255;

constexpr std::uint64_t kHzPerMHz = 1000000;
// Far above any band, small enough that nothing overflows while digits are read.
constexpr std::uint64_t kSaturatedHz = 1000000000000ULL;

bool inBank(int bank, int number) {
    return bank >= 0 && bank < kRxBankCount && number >= kFirstRxChannel &&
           number <= kLastRxChannel;
}

// The lowest address of another variable above `table`: the table must end there.
int tableEnd(const TradioInfo& models, int table, int imageSize) {
    int end = imageSize;
    for (int index = 0; index < kVariableCount; ++index) {
        const int address = models.variableAddress(index);
        if (index != kVarRxOnlyChannels && address > table) {
            end = std::min(end, address);
        }
    }
    return end;
}

// A decimal number of MHz as whole Hz; digits beyond the Hz are reported in *fraction.
struct ParsedNumber {
    std::uint64_t hz = 0;
    bool fraction = false; // non-zero digits below 1 Hz
};

std::optional<ParsedNumber> parseMHz(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    ParsedNumber number;
    bool digits = false;
    bool point = false;
    std::uint64_t scale = kHzPerMHz; // Hz per unit of the next digit
    std::uint64_t whole = 0;
    for (const char c : text) {
        if (c == '.') {
            if (point) {
                return std::nullopt;
            }
            point = true;
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        digits = true;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (!point) {
            whole = std::min(whole * 10 + digit, kSaturatedHz);
        } else if (scale >= 10) {
            scale /= 10;
            number.hz += digit * scale;
        } else if (digit != 0) {
            number.fraction = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    number.hz = std::min(whole * kHzPerMHz + number.hz, kSaturatedHz);
    return number;
}

std::uint32_t intoBand(std::uint64_t hz) {
    return static_cast<std::uint32_t>(std::clamp<std::uint64_t>(hz, kRxLowestHz, kRxHighestHz));
}

std::uint64_t nearestStep(std::uint64_t hz) {
    return (hz + kRxStepHz / 2) / kRxStepHz * kRxStepHz;
}

bool storableFrequency(std::uint32_t hz) {
    return hz == 0 || (hz >= kRxLowestHz && hz <= kRxHighestHz && hz % kRxStepHz == 0);
}

std::vector<std::uint8_t> readBytes(const EEPROM& image, int address, int count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    if (image.readBlock(address, bytes.data(), count) != count) {
        bytes.clear(); // a group that does not lie inside the image is not used
    }
    return bytes;
}

} // namespace

RxChannelLayout rxChannelLayout(const TradioInfo& models, const BuildConfig& config,
                                int imageSize) {
    RxChannelLayout layout;
    const std::uint32_t id = config.buildProductId;
    layout.bankMode = models.hasRxBanks(id);
    layout.alphaTags = models.hasAlphaTags(id);
    layout.bankAddress = models.variableAddress(kVarRxBank);
    const int table = models.variableAddress(kVarRxOnlyChannels);
    if (table < 0) {
        return layout;
    }
    layout.tableAddress = table;
    layout.storedSlots = std::min(kRxSlotCount, (tableEnd(models, table, imageSize) - table) /
                                                    EEPROM::kRxChannelBytes);
    const bool split = id == kQM1500ProductId;
    const int offset = split ? kQM1500MemberOffset : kFullMemberOffset;
    layout.memberBytes = split ? kQM1500MemberBytes : kFullMemberBytes;
    layout.memberSlots = std::min(layout.storedSlots, layout.memberBytes * 8);
    for (std::size_t g = 0; g < kMemberVariables.size(); ++g) {
        const int base = models.variableAddress(kMemberVariables[g]);
        layout.memberAddress[g] = base < 0 ? -1 : base + offset;
    }
    return layout;
}

const RX_CH_DATA_STRUCT& RxChannelSettings::channel(int bank, int number) const {
    static const RX_CH_DATA_STRUCT empty;
    return inBank(bank, number) ? records[static_cast<std::size_t>(rxSlot(bank, number))] : empty;
}

std::vector<int> RxChannelSettings::usedChannels(int bank) const {
    std::vector<int> numbers;
    for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
        if (layout.stored(rxSlot(bank, n)) && channel(bank, n).frequencyHz != 0) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

std::vector<int> RxChannelSettings::freeChannels(int bank) const {
    std::vector<int> numbers;
    for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
        if (layout.stored(rxSlot(bank, n)) && channel(bank, n).frequencyHz == 0) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

bool RxChannelSettings::setChannel(int bank, int number, const RX_CH_DATA_STRUCT& record) {
    if (!inBank(bank, number) || !layout.stored(rxSlot(bank, number)) ||
        !storableFrequency(record.frequencyHz) ||
        storableAlphaTag(record.alphaTag) != record.alphaTag ||
        record.alphaTag.size() > kAlphaTagLength) {
        return false;
    }
    records[static_cast<std::size_t>(rxSlot(bank, number))] = record;
    return true;
}

void RxChannelSettings::deleteChannel(int bank, int number) {
    if (inBank(bank, number)) {
        records[static_cast<std::size_t>(rxSlot(bank, number))] = RX_CH_DATA_STRUCT{};
    }
}

void RxChannelSettings::clearBank(int bank) {
    for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
        deleteChannel(bank, n);
    }
}

RxChannelSettings loadRxChannels(const EEPROM& image, const TradioInfo& models,
                                 const BuildConfig& config) {
    RxChannelSettings settings;
    settings.layout = rxChannelLayout(models, config, image.size());
    const RxChannelLayout& layout = settings.layout;
    if (layout.bankMode) {
        const int bank = image.getByte(layout.bankAddress);
        settings.currentBank = bank >= 0 && bank < kRxBankCount ? bank : 0;
    }
    std::array<std::vector<std::uint8_t>, 4> groups;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        groups[g] = readBytes(image, layout.memberAddress[g], layout.memberBytes);
    }
    for (int s = 0; s < layout.storedSlots; ++s) {
        RX_CH_DATA_STRUCT& record = settings.records[static_cast<std::size_t>(s)];
        image.getRxChannel(layout.tableAddress, s, record);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (s < layout.memberSlots && testBit(s, groups[g])) {
                record.memberFlags |= kMemberBits[g];
            }
        }
    }
    return settings;
}

void storeRxChannels(const RxChannelSettings& settings, EEPROM& image) {
    const RxChannelLayout& layout = settings.layout;
    for (int s = 0; s < layout.storedSlots; ++s) {
        const RX_CH_DATA_STRUCT& record = settings.records[static_cast<std::size_t>(s)];
        const int at = layout.tableAddress + EEPROM::kRxChannelBytes * s;
        const std::uint32_t hz = storableFrequency(record.frequencyHz) ? record.frequencyHz : 0;
        image.setWord(at, static_cast<int>(hz / kRxStepHz));
        // A name is rewritten only when it changed, so an untouched one keeps its exact bits.
        if (image.getPackedText(at + 2) != record.alphaTag) {
            image.setPackedText(at + 2, record.alphaTag);
        }
    }
    for (std::size_t g = 0; g < layout.memberAddress.size(); ++g) {
        std::vector<std::uint8_t> bytes =
            readBytes(image, layout.memberAddress[g], layout.memberBytes);
        if (bytes.empty()) {
            continue;
        }
        for (int s = 0; s < layout.memberSlots; ++s) {
            if ((settings.records[static_cast<std::size_t>(s)].memberFlags & kMemberBits[g]) != 0) {
                setBit(s, bytes);
            } else {
                clearBit(s, bytes);
            }
        }
        image.writeBlock(layout.memberAddress[g], bytes.data(), layout.memberBytes);
    }
    if (!layout.bankMode && layout.bankAddress >= 0) {
        image.setByte(layout.bankAddress, kNoBank);
    }
}

std::vector<RxGridRow> rxGridRows(const RxChannelSettings& settings, int bank) {
    std::vector<RxGridRow> rows;
    for (const int n : settings.usedChannels(bank)) {
        const RX_CH_DATA_STRUCT& c = settings.channel(bank, n);
        const auto mark = [&c](std::uint8_t bit, const char* text) {
            return std::string((c.memberFlags & bit) != 0 ? text : "-");
        };
        rows.push_back({std::to_string(n), settings.layout.alphaTags ? c.alphaTag : "",
                        rxFrequencyText(c.frequencyHz), mark(kMemberScan1, "M"),
                        mark(kMemberScan2, "M"), mark(kMemberQuiet, "Q"),
                        mark(kMemberSilent, "S")});
    }
    if (rows.empty()) {
        rows.emplace_back();
    }
    return rows;
}

char rxBankLetter(int bank) {
    return static_cast<char>('A' + std::clamp(bank, 0, kRxBankCount - 1));
}

std::string rxDeletePrompt(bool bankMode, int bank, int number) {
    std::string text = "Delete ";
    if (bankMode) {
        text += std::string("bank RX-") + rxBankLetter(bank) + ", ";
    }
    return text + "channel " + std::to_string(number) + "?";
}

std::string rxFrequencyText(std::uint32_t hz) {
    // Whole numbers only, so no binary fraction can round a step the wrong way.
    const std::uint32_t units = (hz + 50) / 100; // 100 Hz, the fourth decimal of a MHz
    char text[32];
    std::snprintf(text, sizeof text, "%u.%04u", units / 10000, units % 10000);
    return text;
}

FrequencyInput parseRxFrequency(std::string_view text) {
    const std::optional<ParsedNumber> number = parseMHz(text);
    if (!number) {
        // An empty field reads as 0 Hz, which no channel can hold.
        const bool blank = text.find_first_not_of(' ') == std::string_view::npos;
        return {blank ? FrequencyError::OutOfBand : FrequencyError::NotANumber, 0};
    }
    if (number->hz < kRxLowestHz || number->hz > kRxHighestHz) {
        return {FrequencyError::OutOfBand, 0};
    }
    if (number->fraction || number->hz % kRxStepHz != 0) {
        return {FrequencyError::OffStep, 0};
    }
    return {FrequencyError::None, static_cast<std::uint32_t>(number->hz)};
}

std::string frequencyErrorText(FrequencyError error) {
    switch (error) {
    case FrequencyError::None:
        break;
    case FrequencyError::NotANumber:
        return "Invalid Frequency";
    case FrequencyError::OutOfBand:
        return "Invalid Frequency\n\nEnter a frequency from " + rxFrequencyText(kRxLowestHz) +
               " to " + rxFrequencyText(kRxHighestHz) + " MHz.";
    case FrequencyError::OffStep:
        return "Invalid Frequency\n\nThe frequency must be a multiple of 12.5 kHz, for example "
               "477.0000 or 477.0125 MHz. Press Enter to round it.";
    }
    return "";
}

std::optional<std::uint32_t> snapRxFrequency(std::string_view text) {
    const std::optional<ParsedNumber> number = parseMHz(text);
    if (!number) {
        return std::nullopt;
    }
    return intoBand(nearestStep(number->hz));
}

std::optional<std::uint32_t> stepRxFrequency(std::string_view text, bool up) {
    const std::optional<ParsedNumber> number = parseMHz(text);
    if (!number) {
        return std::nullopt;
    }
    const std::uint64_t snapped = nearestStep(number->hz);
    const std::uint64_t stepped =
        up ? snapped + kRxStepHz : (snapped > kRxStepHz ? snapped - kRxStepHz : 0);
    return intoBand(stepped);
}

std::optional<std::string> storableAlphaTag(std::string_view text) {
    std::string tag;
    for (const char c : text) {
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper < ' ' || upper > '_' || upper == '@') {
            return std::nullopt;
        }
        tag += upper;
    }
    return tag;
}

} // namespace kav

#include "model/Radioinfo.h"

#include <cstdio>

namespace kav {

namespace {

constexpr std::int16_t X = -1; // the model lacks the variable

struct VariableRow {
    std::string_view name;
    // QM2200, QM1700/QM1400, QM5100, QM3100, QM1300, QM1700SBT, QM1500, QM3100SBT
    std::array<std::int16_t, 8> address;
};

// Where each named variable lives, per address map. A 0 outside variable 0 marks a
// variable the model lacks; it is only reached behind a capability that model lacks.
// clang-format off
constexpr std::array<VariableRow, kVariableCount> kVariables{{
    {"Product ID",                {  0,   0,   0,   0,   0,   0,   0,   0}},
    {"T1-F1",                     {  2,   2,   2,   2,   X,   2,   X,   2}},
    {"T2-F1",                     {  3,   3,   3,   3,   X,   3,   X,   3}},
    {"T3-F1",                     {  4,   4,   4,   4,   X,   4,   X,   4}},
    {"T4-F1",                     {  5,   5,   5,   5,   X,   5,   X,   5}},
    {"T1-F2",                     {  6,   6,   6,   6,   X,   6,   X,   6}},
    {"T2-F2",                     {  7,   7,   7,   7,   X,   7,   X,   7}},
    {"T3-F2",                     {  8,   8,   8,   8,   X,   8,   X,   8}},
    {"T4-F2",                     {  9,   9,   9,   9,   X,   9,   X,   9}},
    {"T1-F3",                     { 10,  10,  10,  10,   X,  10,   X,  10}},
    {"T2-F3",                     { 11,  11,  11,  11,   X,  11,   X,  11}},
    {"T3-F3",                     { 12,  12,  12,  12,   X,  12,   X,  12}},
    {"T4-F3",                     { 13,  13,  13,  13,   X,  13,   X,  13}},
    {"Mod",                       { 14,  14,  14,  14,  14,  14,  14,  14}},
    {"Sql K",                     { 15,  15,  15,  15,  15,  15,  15,  15}},
    {"Bal",                       { 16,  16,  16,  16,  16,  16,  16,  16}},
    {"AFC Limit",                 { 17,  17,  17,  17,  17,  17,  17,  17}},
    {"RF Power Hi",               { 18,  18,  18,  18,  18,  18,  18,  18}},
    {"RF Power Lo",               { 19,  19,  19,  19,  19,  19,  19,  19}},
    {"PLL FRef",                  { 20,  20,  20,  20,  20,  20,  20,  20}},
    {"Xtl Temp Co",               { 21,  21,   X,  21,   X,  21,  21,  21}},
    {"S1 Cal",                    { 22,  22,  22,  22,  22,  22,  22,  22}},
    {"S10 Cal",                   { 23,  23,  23,  23,  23,  23,  23,  23}},
    {"Xtl Temp Co2",              { 24,  24,   X,  24,   X,  24,  24,  24}},
    {"Config",                    { 25,  25,   X,  25,   X,  25,  25,  25}},
    {"Power",                     { 26,  26,   X,  26,   X,  26,  26,  26}},
    {"Rx ADC Offset",             { 27,  27,  27,  27,  27,  27,  27,  27}},
    {"PCB Rev",                   { 28,  28,   X,  28,   X,  28,  28,  28}},
    {"Status",                    { 30,  30,  30,  30,  30,  30,  30,  30}},
    {"Last Channel",              { 31,  31,  31,  31,  31,  31,  31,  31}},
    {"Sql Level",                 { 32,  32,  32,  32,  32,  32,  32,  32}},
    {"Tx Timeout",                { 33,  33,  33,  33,  33,  33,  33,  33}},
    {"Options-1",                 { 34,  34,  34,  34,  34,  34,  34,  34}},
    {"Options-2",                 { 35,  35,  35,  35,  35,  35,  35,  35}},
    {"Options-3",                 { 36,  36,  36,  36,  36,  36,  36,  36}},
    {"Options-4",                 { 37,  37,  37,  37,  37,  37,  37,  37}},
    {"Options-5",                 { 38,  38,  38,  38,  38,  38,  38,  38}},
    {"Options-6",                 { 39,  39,  39,  39,  39,  39,  39,  39}},
    {"Options-7",                 { 40,  40,  40,  40,  40,  40,  40,  40}},
    {"Options-8",                 { 41,  41,  41,  41,  41,  41,  41,  41}},
    {"Options-9",                 { 42,  42,  42,  42,  42,  42,  42,  42}},
    {"Options-10",                { 43,  43,  43,  43,  43,  43,  43,  43}},
    {"PLL R",                     { 44,  44,   X,  44,   X,  44,  44,  44}},
    {"IF offset",                 { 46,  46,   X,  46,   X,  46,  46,  46}},
    {"Sql Open Debounce",         { 48,  48,  48,  48,  48,  48,  48,  48}},
    {"Sql Min Open",              { 49,  49,  49,  49,  49,  49,  49,  49}},
    {"Pri Chk Rate",              { 50,  50,  50,  50,  50,  50,  50,  50}},
    {"Pri Channel",               { 51,  51,  51,  51,  51,  51,  51,  51}},
    {"Duplex",                    { 52,  52,  52,  52,  52,  52,  52,  52}},
    {"LCD Level",                 { 53,  53,   X,  53,   X,  53,  53,  53}},
    {"CB Disp Options",           { 54,  54,  54,  54,  54,  54,  54,  54}},
    {"Rx-only Disp Options",      { 55,  55,  55,  55,   X,  55,  55,  55}},
    {"Tx CTCSS Tone",             { 56,  56,  56,  56,  56,  56,  56,  56}},
    {"Rx CTCSS Tone",             { 57,  57,  57,  57,  57,  57,  57,  57}},
    {"Duplex-80",                 { 58,  58,  58,  58,  58,  58,  58,  58}},
    {"Lead Tone Length",          { 59,  59,  59,  59,   X,  59,  59,  59}},
    {"Menu Enable",               { 60,  60,  60,  60,   X,  60,   X,  60}},
    {"Menu Enable 1",             { 61,  61,  61,  61,   X,  61,   X,  61}},
    {"ADC Vol Min",               { 63,  63,  63,  63,  63,  63,   X,  63}},
    {"Selcall Alert Time",        { 64,  64,  64,  64,   X,  64,  64,  64}},
    {"Beep Vol",                  { 65,  65,  65,  65,  65,  65,  65,  65}},
    {"Ident Length",              { 66,  66,  66,  66,   X,  66,  66,  66}},
    {"ANI Length",                { 67,  67,  67,  67,   X,  67,  67,  67}},
    {"N Predictive",              { 68,  68,   X,  68,   X,  68,  68,  68}},
    {"Tone Length",               { 69,  69,  69,  69,   X,  69,  69,  69}},
    {"Pause pred/non-pred",       { 70,  70,  70,  70,   X,  70,  70,  70}},
    {"Last Volume",               { 71,  71,   X,  71,  86,  71,  71,  71}},
    {"Disp Hue",                  { 73,  73,   X,  73,  73,  73,  73,  73}},
    {"Disp Sat",                  { 74,  74,   X,  74,  74,  74,  74,  74}},
    {"Disp Lum",                  { 75,  75,   X,  75,  75,  75,  75,  75}},
    {"CB Unlock Count",           { 77,  77,   X,  77,   X,  77,  77,  77}},
    {"Rpk Delay",                 { 78,  78,  78,  78,  78,  78,  78,  78}},
    {"Rpk Carrier Delay",         { 79,  79,  79,  79,  79,  79,  79,  79}},
    {"Rx Bank",                   { 80,  80,  80,  80,   X,  80,   X,  80}},
    {"Sql-0",                     { 96,  96,  96,  96,  96,  96,  96,  96}},
    {"Sql-1",                     { 97,  97,  97,  97,  97,  97,  97,  97}},
    {"Sql-2",                     { 98,  98,  98,  98,  98,  98,  98,  98}},
    {"Sql-3",                     { 99,  99,  99,  99,  99,  99,  99,  99}},
    {"Sql-4",                     {100, 100, 100, 100, 100, 100, 100, 100}},
    {"Sql-5",                     {101, 101, 101, 101, 101, 101, 101, 101}},
    {"Sql-6",                     {102, 102, 102, 102, 102, 102, 102, 102}},
    {"Sql-7",                     {103, 103, 103, 103, 103, 103, 103, 103}},
    {"Sql-8",                     {104, 104, 104, 104, 104, 104, 104, 104}},
    {"Sql-9",                     {105, 105, 105, 105, 105, 105, 105, 105}},
    {"Wireless Mic Gain",         {107, 107,   X, 107,   X, 107, 107, 107}},
    {"CTCSS Dev",                 {108, 108, 108, 108, 108, 108, 108, 108}},
    {"DCS Dev",                   {109, 109, 109, 109, 109, 109, 109, 109}},
    {"Mic Gain",                  {110, 110, 110, 110, 110, 110, 110, 110}},
    {"Mic Gain Rear",             {111, 111, 111, 111,   X, 111, 111, 111}},
    {"Scan Mem 0",                {128, 128, 128, 128, 128, 128, 128, 128}},
    {"Scan Mem 1",                {152, 152, 152, 152, 152, 152, 141, 152}},
    {"Quiet Mem",                 {176, 176, 176, 176,   X, 176, 154, 176}},
    {"Silent Mem",                {200, 200, 200, 200, 200, 200, 167, 200}},
    {"Rx-only Channels",          {224, 224, 224, 224,   X, 224, 216, 224}},
    {"Selcall Mem",               {824, 824, 824, 824,   X, 824, 576, 824}},
    {"Selcall Ident",             {904, 904, 904, 904,   X, 904, 656, 904}},
    {"Selcall Last",              {912, 912, 912, 912,   X, 912, 664, 912}},
    {"Wireless PTT Mic Sel",      { 76,  76,   X,  76,   X,  76,  76,  76}},
    {"Wireless Remote Key Func1", { 81,  81,   X,  81,   X,  81,  81,  81}},
    {"Wireless Remote Key Func2", { 82,  82,   X,  82,   X,  82,  82,  82}},
    {"LCD Contrast",              {  X,   X,  62,  62,  62,   X,   X,  62}},
    {"Trawl Ctcss Tone",          { 72,  72,  72,  83,  72,  72,   X,  83}},
    {"Scan Skip Time",            { 85,  85,  85,  85,  85,  85,   X,  85}},
    {"Device Id",                 {112, 112, 112, 112, 112, 112, 112, 112}},
    {"Scan Mem 2",                {920, 920, 920, 920, 920, 920,   X, 920}},
    {"Radio Power State",         {  X,   X,   X,   X,  61,   0,   X,   X}},
    {"Scan Memory",               {  X,   X,   X,   X,  87,   0,   X,   X}},
    {"User Mic Gain",             {106,   X,   X,   X, 111,   0, 111,   X}},
    {"Scan Mem 0 (ext)",          {  X,   X,   X,   X,   X,   0, 190,   0}},
    {"Scan Mem 1 (ext)",          {  X,   X,   X,   X,   X,   0, 195,   0}},
    {"Quiet Mem (ext)",           {  X,   X,   X,   X,   X,   0, 200,   0}},
    {"Silent Mem (ext)",          {  X,   X,   X,   X,   X,   0, 205,   0}},
    {"Scan Mem 2 (ext)",          {  X,   X,   X,   X,   X,   0,   X,   0}},
}};
// clang-format on

// Models as bits, so each capability lists the models that have it.
enum ModelBit : std::uint16_t {
    QM2200 = 1 << 1,
    QM1700 = 1 << 2,
    QM5100 = 1 << 3,
    QM3100 = 1 << 4,
    QM1400 = 1 << 5,
    QM1300 = 1 << 6,
    QM1700SBT = 1 << 7,
    QM1500 = 1 << 8,
    QM3100SBT = 1 << 9,
    ALL = QM2200 | QM1700 | QM5100 | QM3100 | QM1400 | QM1300 | QM1700SBT | QM1500 | QM3100SBT,
};

struct CapabilityRow {
    std::uint32_t bit;
    unsigned models;
};

constexpr std::array<CapabilityRow, 29> kCapabilityTable{{
    {kCapSelcall, QM2200 | QM5100 | QM3100 | QM1500 | QM3100SBT},
    {kCapRxBanks, QM2200 | QM5100 | QM3100 | QM3100SBT},
    {kCapRearMicGain, QM2200 | QM1700 | QM3100 | QM1700SBT | QM3100SBT},
    {kCapHidesSquelchLevel, QM3100 | QM3100SBT},
    {kCapScrambler, QM2200 | QM3100 | QM1300 | QM1500 | QM3100SBT},
    {kCapWirelessRemote, QM2200 | QM1700 | QM3100 | QM1700SBT | QM3100SBT},
    {kCapAlphaTags, QM2200 | QM5100 | QM3100 | QM1300 | QM1500 | QM3100SBT},
    {kCapReserved80, QM5100},
    {kCapTempCo, QM2200 | QM1700 | QM3100 | QM1400 | QM1700SBT | QM1500 | QM3100SBT},
    {kCapIntExtMic, QM5100},
    {kCapExtendedCtcss, QM5100 | QM3100 | QM1300 | QM1500 | QM3100SBT},
    {kCapNotchTuning, QM5100},
    {kCapPttMicSelect, QM5100},
    {kCapHighBaudRate, 0},
    {kCapTrawl, QM2200 | QM1700 | QM5100 | QM3100 | QM1300 | QM1700SBT | QM3100SBT},
    {kCapScanSkipTime, QM2200 | QM1700 | QM5100 | QM3100 | QM1300 | QM1700SBT | QM3100SBT},
    {kCapLcdContrast, QM5100 | QM3100 | QM3100SBT},
    {kCapReliableErrorFlag, QM1300 | QM1700SBT | QM3100SBT},
    {kCapArrayReadWrite, QM5100 | QM1300},
    {kCapUserScanMode, QM2200 | QM5100 | QM1300},
    {kCapRxOnlyChannels, ALL & ~QM1300},
    {kCapReceiverAlignment, ALL & ~(QM1300 | QM1500)},
    {kCapAudioMuteOptions, QM1300},
    {kCapScanMemorySelect, QM1300},
    {kCapDualPower, QM5100},
    {kCapUserMicGain, QM1300 | QM1500},
    {kCapExtendedScanMemories, QM1500},
    {kCapMinVolume, ALL & ~QM1500},
    {kCapInternalSpeaker, QM1500},
}};

constexpr std::uint32_t capabilitiesOfRow(int row) {
    std::uint32_t word = 0;
    for (const auto& c : kCapabilityTable) {
        if ((c.models & (1u << row)) != 0) {
            word |= c.bit;
        }
    }
    return word;
}

constexpr std::array<RADIO_INFO_STRUCT, kModelRowCount> kModels{{
    {0xFFFF, 0, "", "-", capabilitiesOfRow(0), AddressMap::NoModel},
    {0x2200, 2, "QM2200", "80 channel CB land-based transceiver with selcall, compact, 5W",
     capabilitiesOfRow(1), AddressMap::QM2200},
    {0x1700, 1, "QM1700", "80 channel CB land-based transceiver, compact, 5W", capabilitiesOfRow(2),
     AddressMap::QM1700},
    {0x5100, 8, "QM5100", "80 channel CB handheld transceiver", capabilitiesOfRow(3),
     AddressMap::QM5100},
    {0x3100, 4, "QM3100", "80 channel CB land-based transceiver, DIN-sized, 5W",
     capabilitiesOfRow(4), AddressMap::QM3100},
    {0x1400, 16, "QM1400", "80 channel CB land-based transceiver, compact & simple, 5W",
     capabilitiesOfRow(5), AddressMap::QM1700},
    {0x1300, 32, "QM1300",
     "80 channel CB land-based transceiver, super compact UHF CB with ScanWeave, 5W",
     capabilitiesOfRow(6), AddressMap::QM1300},
    {0x1701, 64, "QM1700SBT", "80 channel CB land-based transceiver, compact, 5W, blue-tooth",
     capabilitiesOfRow(7), AddressMap::QM1700SBT},
    {0x1500, 128, "QM1500", "Super-compact 5W 80 channel CB land-based transceiver, with selcall",
     capabilitiesOfRow(8), AddressMap::QM1500},
    {0x3101, 256, "QM3100SBT", "80 channel CB land-based transceiver, DIN-sized, 5W, Bluetooth",
     capabilitiesOfRow(9), AddressMap::QM3100SBT},
}};

constexpr bool validIndex(int index) {
    return index >= 0 && index < kVariableCount;
}

// The no-model map: the product ID at 0, and the extended memories at 0 as well.
constexpr int noModelAddress(int index) {
    return (index == kVarProductId || index >= 108) ? 0 : -1;
}

} // namespace

std::string_view eeVarNames(int index) {
    return validIndex(index) ? kVariables[static_cast<std::size_t>(index)].name : "";
}

int mapAddress(AddressMap map, int index) {
    if (!validIndex(index)) {
        return -1;
    }
    if (map == AddressMap::NoModel) {
        return noModelAddress(index);
    }
    const auto column = static_cast<std::size_t>(map) - 1;
    return kVariables[static_cast<std::size_t>(index)].address[column];
}

const std::array<RADIO_INFO_STRUCT, kModelRowCount>& radioModels() {
    return kModels;
}

const RADIO_INFO_STRUCT* findModelRow(std::uint32_t id, int* rowIndex) {
    for (int i = 0; i < kModelRowCount; ++i) {
        if (kModels[static_cast<std::size_t>(i)].productId == id) {
            if (rowIndex != nullptr) {
                *rowIndex = i;
            }
            return &kModels[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

std::string productIdText(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", id);
    return text;
}

const RADIO_INFO_STRUCT& TradioInfo::currentRow() const {
    return kModels[static_cast<std::size_t>(currentIndex_)];
}

bool TradioInfo::lookupProductId(std::uint32_t id, int& index, std::uint32_t& modelMask,
                                 std::string& name) const {
    int row = 0;
    const RADIO_INFO_STRUCT* found = findModelRow(id, &row);
    if (found == nullptr) {
        return false;
    }
    index = row;
    modelMask = found->modelMask;
    name = std::string(found->name);
    return true;
}

bool TradioInfo::acceptsProductId(std::uint32_t id, std::uint32_t buildModelMask) const {
    const RADIO_INFO_STRUCT* found = findModelRow(id);
    return found != nullptr && (found->modelMask & buildModelMask) != 0;
}

void TradioInfo::setModelByProductId(std::uint32_t id) {
    int row = 0;
    currentIndex_ = findModelRow(id, &row) != nullptr ? row : 0;
}

int TradioInfo::variableAddress(int index) const {
    return mapAddress(currentRow().addressMap, index);
}

bool TradioInfo::has(std::uint32_t id, std::uint32_t bit) const {
    const RADIO_INFO_STRUCT* found = findModelRow(id);
    return found != nullptr && (found->capabilities & bit) != 0;
}

bool TradioInfo::firmwareAllows(std::uint32_t id) const {
    const int major = firmware_ != nullptr ? firmware_->firmwareMajorVersion() : -1;
    return id != 0x3100 || major >= 2;
}

bool TradioInfo::supportsExtendedCtcss(std::uint32_t id) const {
    return hasExtendedCtcss(id) && firmwareAllows(id);
}

bool TradioInfo::supportsTrawl(std::uint32_t id) const {
    return hasTrawl(id) && firmwareAllows(id);
}

} // namespace kav

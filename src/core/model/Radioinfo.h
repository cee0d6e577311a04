#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

inline constexpr int kVariableCount = 113; // named variables 0..112
inline constexpr int kVariableMapSize = 2048;

// Indices of the variables the program names in code (see eeVarNames for all of them).
enum Variable : int {
    kVarProductId = 0,
    kVarMod = 13,
    kVarBal = 15,
    kVarRfPowerHi = 17,
    kVarRfPowerLo = 18,
    kVarPllFRef = 19,
    kVarS1Cal = 21,
    kVarS10Cal = 22,
    kVarPcbRev = 27,
    kVarStatus = 28,
    kVarLastChannel = 29,
    kVarSqlLevel = 30,
    kVarTxTimeout = 31,
    kVarOptions1 = 32,
    kVarOptions2 = 33,
    kVarOptions3 = 34,
    kVarOptions4 = 35,
    kVarOptions5 = 36,
    kVarOptions6 = 37,
    kVarOptions9 = 40,
    kVarSqlOpenDebounce = 44,
    kVarSqlMinOpen = 45,
    kVarPriChkRate = 46,
    kVarPriChannel = 47,
    kVarDuplex = 48,
    kVarCbDispOptions = 50,
    kVarRxOnlyDispOptions = 51,
    kVarTxCtcssTone = 52,
    kVarRxCtcssTone = 53,
    kVarDuplex80 = 54,
    kVarLeadToneLength = 55,
    kVarAdcVolMin = 58,
    kVarSelcallAlertTime = 59,
    kVarBeepVol = 60,
    kVarToneLength = 64,
    kVarRpkDelay = 71,
    kVarRpkCarrierDelay = 72,
    kVarRxBank = 73,
    kVarSql0 = 74,
    kVarWirelessMicGain = 84,
    kVarCtcssDev = 85,
    kVarDcsDev = 86,
    kVarMicGain = 87,
    kVarMicGainRear = 88,
    kVarScanMem0 = 89,
    kVarScanMem1 = 90,
    kVarQuietMem = 91,
    kVarSilentMem = 92,
    kVarRxOnlyChannels = 93,
    kVarSelcallMem = 94,
    kVarSelcallIdent = 95,
    kVarWirelessPttMicSel = 97,
    kVarWirelessKeyFunc1 = 98,
    kVarWirelessKeyFunc2 = 99,
    kVarLcdContrast = 100,
    kVarTrawlCtcssTone = 101,
    kVarScanSkipTime = 102,
    kVarScanMem2 = 104,
    kVarScanMemory = 106,
    kVarUserMicGain = 107,
    kVarScanMem0Ext = 108,
    kVarScanMem1Ext = 109,
    kVarQuietMemExt = 110,
    kVarSilentMemExt = 111,
    kVarScanMem2Ext = 112,
};

// The address maps; the QM1700 and QM1400 share one.
enum class AddressMap : std::uint8_t {
    NoModel,
    QM2200,
    QM1700,
    QM5100,
    QM3100,
    QM1300,
    QM1700SBT,
    QM1500,
    QM3100SBT,
};

// Name of variable `index` ("" for indices without a name).
std::string_view eeVarNames(int index);
// Byte address of variable `index` in `map`, or -1 when that map lacks the variable.
int mapAddress(AddressMap map, int index);

enum Capability : std::uint32_t {
    kCapSelcall = 0x1,
    kCapRxBanks = 0x2,
    kCapRearMicGain = 0x4,
    kCapHidesSquelchLevel = 0x8,
    kCapScrambler = 0x10,
    kCapWirelessRemote = 0x20,
    kCapAlphaTags = 0x40,
    kCapReserved80 = 0x80,
    kCapTempCo = 0x100,
    kCapIntExtMic = 0x200,
    kCapExtendedCtcss = 0x400,
    kCapNotchTuning = 0x800,
    kCapPttMicSelect = 0x1000,
    kCapHighBaudRate = 0x2000,
    kCapTrawl = 0x4000,
    kCapScanSkipTime = 0x8000,
    kCapLcdContrast = 0x10000,
    kCapReliableErrorFlag = 0x20000,
    kCapArrayReadWrite = 0x40000,
    kCapUserScanMode = 0x80000,
    kCapRxOnlyChannels = 0x100000,
    kCapReceiverAlignment = 0x200000,
    kCapAudioMuteOptions = 0x400000,
    kCapScanMemorySelect = 0x800000,
    kCapDualPower = 0x1000000,
    kCapUserMicGain = 0x2000000,
    kCapExtendedScanMemories = 0x4000000,
    kCapMinVolume = 0x8000000,
    kCapInternalSpeaker = 0x10000000,
};

struct RADIO_INFO_STRUCT {
    std::uint32_t productId;
    std::uint32_t modelMask;
    std::string_view name;
    std::string_view description;
    std::uint32_t capabilities;
    AddressMap addressMap;
};

inline constexpr int kModelRowCount = 10;
inline constexpr std::uint32_t kNoProductId = 0xFFFF;
inline constexpr std::uint32_t kQM1300ProductId = 0x1300;
inline constexpr std::uint32_t kQM1500ProductId = 0x1500;
inline constexpr std::uint32_t kQM2200ProductId = 0x2200;
inline constexpr std::uint32_t kQM5100ProductId = 0x5100;

// A QM2200 build talking to firmware 3 or later: the extended tone numbering, the user mic
// gain and the other additions of that firmware. firmwareMajor is the version last read from
// the radio, -1 when none.
inline bool hasNewQm2200Firmware(std::uint32_t buildProductId, int firmwareMajor) {
    constexpr int kFirstNewFirmware = 3;
    return buildProductId == kQM2200ProductId && firmwareMajor >= kFirstNewFirmware;
}

// The model rows, row 0 standing for "no model".
const std::array<RADIO_INFO_STRUCT, kModelRowCount>& radioModels();
// The row of a product ID (its index in radioModels() in *rowIndex), or nullptr.
const RADIO_INFO_STRUCT* findModelRow(std::uint32_t productId, int* rowIndex = nullptr);

// Uppercase hexadecimal with at least two digits, e.g. "2200".
std::string productIdText(std::uint32_t id);

// Where the firmware rules get the major version last read from the radio.
class FirmwareVersionSource {
public:
    virtual ~FirmwareVersionSource() = default;
    // -1 while no version has been read.
    virtual int firmwareMajorVersion() const = 0;
};

class TradioInfo {
public:
    explicit TradioInfo(const FirmwareVersionSource* firmware = nullptr) : firmware_(firmware) {}

    void setFirmwareSource(const FirmwareVersionSource* firmware) { firmware_ = firmware; }

    int currentIndex() const { return currentIndex_; }
    const RADIO_INFO_STRUCT& currentRow() const;

    bool lookupProductId(std::uint32_t id, int& index, std::uint32_t& modelMask,
                         std::string& name) const;
    // A radio or file is accepted when its row's mask shares a bit with the build's mask.
    bool acceptsProductId(std::uint32_t id, std::uint32_t buildModelMask) const;
    void setModelByProductId(std::uint32_t id);
    void resetModel() { currentIndex_ = 0; }
    int variableAddress(int index) const;

    bool hasSelcall(std::uint32_t id) const { return has(id, kCapSelcall); }
    bool hasRxBanks(std::uint32_t id) const { return has(id, kCapRxBanks); }
    bool hasRearMicGain(std::uint32_t id) const { return has(id, kCapRearMicGain); }
    bool hidesSquelchLevel(std::uint32_t id) const { return has(id, kCapHidesSquelchLevel); }
    bool hasScrambler(std::uint32_t id) const { return has(id, kCapScrambler); }
    bool hasWirelessRemote(std::uint32_t id) const { return has(id, kCapWirelessRemote); }
    bool hasAlphaTags(std::uint32_t id) const { return has(id, kCapAlphaTags); }
    bool hasTempCo(std::uint32_t id) const { return has(id, kCapTempCo); }
    bool hasIntExtMic(std::uint32_t id) const { return has(id, kCapIntExtMic); }
    bool hasExtendedCtcss(std::uint32_t id) const { return has(id, kCapExtendedCtcss); }
    bool hasNotchTuning(std::uint32_t id) const { return has(id, kCapNotchTuning); }
    bool hasPttMicSelect(std::uint32_t id) const { return has(id, kCapPttMicSelect); }
    bool hasHighBaudRate(std::uint32_t id) const { return has(id, kCapHighBaudRate); }
    bool hasTrawl(std::uint32_t id) const { return has(id, kCapTrawl); }
    bool hasScanSkipTime(std::uint32_t id) const { return has(id, kCapScanSkipTime); }
    bool hasLcdContrast(std::uint32_t id) const { return has(id, kCapLcdContrast); }
    bool hasReliableErrorFlag(std::uint32_t id) const { return has(id, kCapReliableErrorFlag); }
    bool hasArrayReadWrite(std::uint32_t id) const { return has(id, kCapArrayReadWrite); }
    bool hasUserScanMode(std::uint32_t id) const { return has(id, kCapUserScanMode); }
    bool hasRxOnlyChannels(std::uint32_t id) const { return has(id, kCapRxOnlyChannels); }
    bool hasReceiverAlignment(std::uint32_t id) const { return has(id, kCapReceiverAlignment); }
    bool hasAudioMuteOptions(std::uint32_t id) const { return has(id, kCapAudioMuteOptions); }
    bool hasScanMemorySelect(std::uint32_t id) const { return has(id, kCapScanMemorySelect); }
    bool hasDualPower(std::uint32_t id) const { return has(id, kCapDualPower); }
    bool hasUserMicGain(std::uint32_t id) const { return has(id, kCapUserMicGain); }
    bool hasExtendedScanMemories(std::uint32_t id) const {
        return has(id, kCapExtendedScanMemories);
    }
    bool hasMinVolume(std::uint32_t id) const { return has(id, kCapMinVolume); }
    bool hasInternalSpeaker(std::uint32_t id) const { return has(id, kCapInternalSpeaker); }

    // The QM3100 gained these features with firmware 2.
    bool supportsExtendedCtcss(std::uint32_t id) const;
    bool supportsTrawl(std::uint32_t id) const;

private:
    bool has(std::uint32_t id, std::uint32_t bit) const;
    bool firmwareAllows(std::uint32_t id) const;

    const FirmwareVersionSource* firmware_;
    int currentIndex_ = 0;
};

} // namespace kav

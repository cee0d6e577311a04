#pragma once

#include <array>
#include <cstdint>

namespace kav {

// The KAV II command codes (bits 0..5 of a payload's command byte), shared by the radio object
// and the virtual radio so both sides speak from one table.
enum class KavIICommand : std::uint8_t {
    Ping = 0x00,
    ReadByte = 0x01,
    ReadWord = 0x02,
    Read16 = 0x03,
    GetChannel = 0x04,
    GetStatus = 0x05,
    ReadBlock = 0x0B,
    ReadRadioId = 0x0C,
    WriteByte = 0x21,
    WriteWord = 0x22,
    Write16 = 0x23,
    SetChannel = 0x24,
    SetRfPower = 0x25,
    SetPtt = 0x26,
    SetSquelchLevel = 0x27,
    StepUp = 0x29,
    StepDown = 0x2A,
    WriteBlock = 0x2B,
    WriteRadioId = 0x2C,
    SetVolume = 0x2F,
    Engineering = 0x34,
    SetTestMode = 0x38,
    EnterProgMode = 0x39,
    ReadRadioType = 0x3A,
    SetBaudRate = 0x3B,
    Reset = 0x3F,
};

// Sub-commands of KavIICommand::Engineering (0x34), the second payload byte.
enum class KavIIEngineering : std::uint8_t {
    MemRead = 0x01,
    GetArray = 0x07,
    ReadAdc = 0x08,
    MemWrite = 0x81,
    SelcallTone = 0x82,
    CtcssTone = 0x83,
    WriteLcd = 0x84,
    SquelchOpen = 0x86,
    SetPll = 0x88,
    AutoAlign = 0x89,
    Beep = 0x8A,
    AudioSamples = 0x8B,
    FrequencyError = 0x8C,
    Mode = 0x8D,
};

// The byte a command code travels as.
constexpr std::uint8_t code(KavIICommand command) {
    return static_cast<std::uint8_t>(command);
}
constexpr std::uint8_t code(KavIIEngineering command) {
    return static_cast<std::uint8_t>(command);
}

// The command byte: code in bits 0..5, a refusal in bit 6, bit 7 set on requests.
inline constexpr std::uint8_t kKavIICommandMask = 0x3F;
inline constexpr std::uint8_t kKavIINackBit = 0x40;
inline constexpr std::uint8_t kKavIIRequestBit = 0x80;

// Commands whose replies come back with bit 7 set on radios without a reliable error flag.
inline constexpr std::array<KavIICommand, 3> kKavIIBit7IgnoredCommands{
    KavIICommand::GetStatus, KavIICommand::StepUp, KavIICommand::StepDown};

} // namespace kav

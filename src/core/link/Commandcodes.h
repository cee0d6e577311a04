#pragma once

#include <cstdint>

namespace kav {

// The KAV II command codes (bits 0..5 of a payload's command byte), shared by the radio object
// and the virtual radio so both sides speak from one table.
enum KavIICommand : std::uint8_t {
    kPing = 0x00,
    kReadByte = 0x01,
    kReadWord = 0x02,
    kRead16 = 0x03,
    kGetChannel = 0x04,
    kGetStatus = 0x05,
    kReadBlock = 0x0B,
    kReadRadioId = 0x0C,
    kWriteByte = 0x21,
    kWriteWord = 0x22,
    kWrite16 = 0x23,
    kSetChannel = 0x24,
    kSetRfPower = 0x25,
    kSetPtt = 0x26,
    kSetSquelchLevel = 0x27,
    kStepUp = 0x29,
    kStepDown = 0x2A,
    kWriteBlock = 0x2B,
    kWriteRadioId = 0x2C,
    kSetVolume = 0x2F,
    kEngineering = 0x34,
    kSetTestMode = 0x38,
    kEnterProgMode = 0x39,
    kReadRadioType = 0x3A,
    kSetBaudRate = 0x3B,
    kReset = 0x3F,
};

// Sub-commands of kEngineering (0x34), the second payload byte.
enum KavIIEngineering : std::uint8_t {
    kMemRead = 0x01,
    kGetArray = 0x07,
    kReadAdc = 0x08,
    kMemWrite = 0x81,
    kSelcallTone = 0x82,
    kCtcssTone = 0x83,
    kWriteLcd = 0x84,
    kSquelchOpen = 0x86,
    kSetPll = 0x88,
    kAutoAlign = 0x89,
    kBeep = 0x8A,
    kAudioSamples = 0x8B,
    kFrequencyError = 0x8C,
    kMode = 0x8D,
};

} // namespace kav

#pragma once

#include "model/Eeprom.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kav {

// Everything a radio holds besides its EEPROM: what it reports and what the program last set.
struct RadioState {
    // Reported.
    std::string radioType = "QM2200";
    int firmwareMajor = 2;
    int firmwareMinor = 1;
    std::uint8_t firmwareLetter = 0; // 0: the version reply has no suffix byte
    std::uint8_t status = 0;
    std::array<std::uint8_t, 8> adc = {0, 180, 120, 0, 60, 40, 0, 0};
    std::int16_t frequencyError = 0;
    // When 0 or more, the frequency error follows the receive offset stored at this EEPROM
    // address, as a radio's does: each unit of offset adds 50 Hz.
    int frequencyErrorOffsetAddress = -1;
    std::array<std::int8_t, 8> arrayValues = {};
    std::array<std::uint8_t, 8> radioId = {};
    std::uint8_t channel = 1;               // the byte reported as the channel
    std::vector<std::int16_t> audioSamples; // sample i is audioSamples[i % size], 0 when empty

    // Some radios set bit 7 in replies to 05, 29 and 2A.
    bool directionBitOnStatusReplies = false;
    // When set, EEPROM writes outside programming mode are refused.
    bool writesNeedProgMode = false;

    // Set by the program.
    bool progMode = false;
    std::uint32_t baudRate = 9600;
    std::uint8_t testMode = 0;
    std::uint8_t ptt = 0;
    std::uint8_t volume = 0;
    std::uint8_t squelchLevel = 0;
    std::uint8_t rfLevel = 0;
    std::uint8_t rfMode = 0;
    std::uint8_t modeBits = 0; // bit 0 AFC, bit 1 wideband, bit 2 low power
    std::uint8_t selcallTone = 0;
    std::uint8_t ctcssTone = 0;
    std::uint8_t squelchOpen = 0;
    std::uint16_t pllSteps = 0;
    std::uint16_t beepHz = 0;
    std::array<std::uint8_t, 4> autoAlign = {};
    std::array<std::uint8_t, 10> lcd = {};
    int resets = 0;
};

// The radio's side of every KAV II command: a request payload in, the reply payload out.
// Pure: no I/O, no threads, no clock.
class CommandResponder {
public:
    static constexpr int kRamSize = 0x10000;

    // The product ID goes to address 0 of the EEPROM, the rest of which reads 0xFF.
    explicit CommandResponder(std::uint16_t productId = 0x2200);

    // The reply to `request`; empty when the bytes are not a request (direction bit clear,
    // nothing at all). A request the radio cannot serve gets the NACK reply.
    std::vector<std::uint8_t> respond(std::span<const std::uint8_t> request);

    static std::vector<std::uint8_t> nackFor(std::uint8_t commandByte);

    EEPROM& eeprom() { return eeprom_; }
    const EEPROM& eeprom() const { return eeprom_; }
    RadioState& state() { return state_; }
    const RadioState& state() const { return state_; }
    std::uint8_t ramByte(int address) const { return ram_[address & (kRamSize - 1)]; }
    void setRamByte(int address, std::uint8_t value) { ram_[address & (kRamSize - 1)] = value; }

    using Reply = std::vector<std::uint8_t>;
    using Request = std::span<const std::uint8_t>;
    using Handler = bool (CommandResponder::*)(Request, Reply&);

private:
    friend struct CommandTables;

    bool ping(Request request, Reply& reply);
    bool readRadioType(Request request, Reply& reply);
    bool enterProgMode(Request request, Reply& reply);
    bool resetRadio(Request request, Reply& reply);
    bool setBaudRate(Request request, Reply& reply);
    bool readByte(Request request, Reply& reply);
    bool readWord(Request request, Reply& reply);
    bool read16(Request request, Reply& reply);
    bool readBlock(Request request, Reply& reply);
    bool writeByte(Request request, Reply& reply);
    bool writeWord(Request request, Reply& reply);
    bool write16(Request request, Reply& reply);
    bool writeBlock(Request request, Reply& reply);
    bool getChannel(Request request, Reply& reply);
    bool stepChannel(Request request, Reply& reply);
    bool getStatus(Request request, Reply& reply);
    bool setRfPower(Request request, Reply& reply);
    bool readRadioId(Request request, Reply& reply);
    bool writeRadioId(Request request, Reply& reply);
    bool engineering(Request request, Reply& reply);

    bool memRead(Request request, Reply& reply);
    bool getArray(Request request, Reply& reply);
    bool readAdc(Request request, Reply& reply);
    bool memWrite(Request request, Reply& reply);
    bool writeLcd(Request request, Reply& reply);
    bool setPll(Request request, Reply& reply);
    bool autoAlign(Request request, Reply& reply);
    bool beep(Request request, Reply& reply);
    bool readAudioSamples(Request request, Reply& reply);
    bool readFrequencyError(Request request, Reply& reply);
    bool setMode(Request request, Reply& reply);

    // Commands that only store one request byte in the radio state; engineering ones
    // answer with a status byte.
    template <std::uint8_t RadioState::*Field, std::size_t At, bool WithStatus>
    bool storeSetting(Request request, Reply& reply);

    bool writeAllowed() const { return state_.progMode || !state_.writesNeedProgMode; }
    bool storeBytes(int address, Request bytes);

    EEPROM eeprom_;
    RadioState state_;
    std::vector<std::uint8_t> ram_;
};

} // namespace kav

#include "sim/CommandResponder.h"

#include "link/KavIICommand.h"

#include <algorithm>

namespace kav {

// Named as a friend by CommandResponder, so its tables can point at the private handlers.
struct CommandTables {
    struct Command {
        std::uint8_t code;
        int minLength; // request bytes the handler reads, the command byte included
        CommandResponder::Handler handler;
    };

    // Every KAV II command the radio serves.
    static constexpr Command commands[] = {
        {code(KavIICommand::Ping), 1, &CommandResponder::ping},
        {code(KavIICommand::ReadByte), 3, &CommandResponder::readByte},
        {code(KavIICommand::ReadWord), 3, &CommandResponder::readWord},
        {code(KavIICommand::Read16), 3, &CommandResponder::read16},
        {code(KavIICommand::GetChannel), 1, &CommandResponder::getChannel},
        {code(KavIICommand::GetStatus), 1, &CommandResponder::getStatus},
        {code(KavIICommand::ReadBlock), 4, &CommandResponder::readBlock},
        {code(KavIICommand::ReadRadioId), 1, &CommandResponder::readRadioId},
        {code(KavIICommand::WriteByte), 4, &CommandResponder::writeByte},
        {code(KavIICommand::WriteWord), 5, &CommandResponder::writeWord},
        {code(KavIICommand::Write16), 19, &CommandResponder::write16},
        {code(KavIICommand::SetChannel), 2,
         &CommandResponder::storeSetting<&RadioState::channel, 1, false>},
        {code(KavIICommand::SetRfPower), 3, &CommandResponder::setRfPower},
        {code(KavIICommand::SetPtt), 2,
         &CommandResponder::storeSetting<&RadioState::ptt, 1, false>},
        {code(KavIICommand::SetSquelchLevel), 2,
         &CommandResponder::storeSetting<&RadioState::squelchLevel, 1, false>},
        {code(KavIICommand::StepUp), 1, &CommandResponder::stepChannel},
        {code(KavIICommand::StepDown), 1, &CommandResponder::stepChannel},
        {code(KavIICommand::WriteBlock), 4, &CommandResponder::writeBlock},
        {code(KavIICommand::WriteRadioId), 9, &CommandResponder::writeRadioId},
        {code(KavIICommand::SetVolume), 2,
         &CommandResponder::storeSetting<&RadioState::volume, 1, false>},
        {code(KavIICommand::Engineering), 2, &CommandResponder::engineering},
        {code(KavIICommand::SetTestMode), 2,
         &CommandResponder::storeSetting<&RadioState::testMode, 1, false>},
        {code(KavIICommand::EnterProgMode), 1, &CommandResponder::enterProgMode},
        {code(KavIICommand::ReadRadioType), 1, &CommandResponder::readRadioType},
        {code(KavIICommand::SetBaudRate), 4, &CommandResponder::setBaudRate},
        {code(KavIICommand::Reset), 1, &CommandResponder::resetRadio},
    };

    // The sub-commands of 0x34; lengths count 34 and the sub-command byte.
    static constexpr Command engineering[] = {
        {code(KavIIEngineering::MemRead), 4, &CommandResponder::memRead},
        {code(KavIIEngineering::GetArray), 3, &CommandResponder::getArray},
        {code(KavIIEngineering::ReadAdc), 3, &CommandResponder::readAdc},
        {code(KavIIEngineering::MemWrite), 6, &CommandResponder::memWrite},
        {code(KavIIEngineering::SelcallTone), 3,
         &CommandResponder::storeSetting<&RadioState::selcallTone, 2, true>},
        {code(KavIIEngineering::CtcssTone), 3,
         &CommandResponder::storeSetting<&RadioState::ctcssTone, 2, true>},
        {code(KavIIEngineering::WriteLcd), 12, &CommandResponder::writeLcd},
        {code(KavIIEngineering::SquelchOpen), 3,
         &CommandResponder::storeSetting<&RadioState::squelchOpen, 2, true>},
        {code(KavIIEngineering::SetPll), 4, &CommandResponder::setPll},
        {code(KavIIEngineering::AutoAlign), 6, &CommandResponder::autoAlign},
        {code(KavIIEngineering::Beep), 4, &CommandResponder::beep},
        {code(KavIIEngineering::AudioSamples), 3, &CommandResponder::readAudioSamples},
        {code(KavIIEngineering::FrequencyError), 2, &CommandResponder::readFrequencyError},
        {code(KavIIEngineering::Mode), 3, &CommandResponder::setMode},
    };
};

using Command = CommandTables::Command;

namespace {

constexpr std::uint8_t kStatusOk = 0x00;
constexpr std::uint8_t kStatusFailed = 0x01;
constexpr int kBlockBytes = 16;
constexpr int kMaxPayload = 255;
constexpr int kBlockReplyHeader = 4;  // 0B, address, count
constexpr int kMaxAudioSamples = 126; // 1 + 2 * 126 bytes still fit one frame
constexpr std::uint8_t kAllArrayValues = 0xFF;

constexpr std::uint32_t kBaudRates[] = {9600, 19200, 38400, 57600};

const Command* findCommand(std::span<const Command> table, std::uint8_t code) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [code](const Command& c) { return c.code == code; });
    return it == table.end() ? nullptr : &*it;
}

int word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] << 8 | bytes[at + 1];
}

std::uint8_t highByte(int value) {
    return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t lowByte(int value) {
    return static_cast<std::uint8_t>(value);
}

} // namespace

CommandResponder::CommandResponder(std::uint16_t productId) : ram_(kRamSize, 0) {
    eeprom_.setWord(0, productId);
}

std::vector<std::uint8_t> CommandResponder::nackFor(std::uint8_t commandByte) {
    return {static_cast<std::uint8_t>((commandByte & kKavIICommandMask) | kKavIINackBit)};
}

std::vector<std::uint8_t> CommandResponder::respond(std::span<const std::uint8_t> request) {
    if (request.empty() || (request[0] & kKavIIRequestBit) == 0) {
        return {};
    }
    const std::uint8_t code = request[0] & kKavIICommandMask;
    const Command* command = findCommand(CommandTables::commands, code);
    Reply reply{code};
    if (command == nullptr || static_cast<int>(request.size()) < command->minLength ||
        !(this->*command->handler)(request, reply)) {
        return nackFor(code);
    }
    // Replies to these carry the direction bit on radios without a reliable error flag.
    const bool quirk = std::find(kKavIIBit7IgnoredCommands.begin(), kKavIIBit7IgnoredCommands.end(),
                                 KavIICommand{code}) != kKavIIBit7IgnoredCommands.end();
    if (quirk && state_.directionBitOnStatusReplies) {
        reply[0] |= kKavIIRequestBit;
    }
    return reply;
}

bool CommandResponder::ping(Request, Reply& reply) {
    reply.push_back(static_cast<std::uint8_t>(state_.firmwareMajor));
    reply.push_back(static_cast<std::uint8_t>(state_.firmwareMinor));
    if (state_.firmwareLetter != 0) {
        reply.push_back(state_.firmwareLetter);
    }
    return true;
}

bool CommandResponder::readRadioType(Request, Reply& reply) {
    constexpr std::size_t kMaxText = 16;
    const std::string text = state_.radioType.substr(0, kMaxText);
    reply.insert(reply.end(), text.begin(), text.end());
    if (text.size() < kMaxText) {
        reply.push_back(0);
    }
    return true;
}

bool CommandResponder::enterProgMode(Request, Reply&) {
    state_.progMode = true;
    return true;
}

bool CommandResponder::resetRadio(Request, Reply&) {
    state_.progMode = false;
    ++state_.resets;
    return true;
}

bool CommandResponder::setBaudRate(Request request, Reply& reply) {
    const std::uint32_t rate = static_cast<std::uint32_t>(request[1]) << 16 |
                               static_cast<std::uint32_t>(request[2]) << 8 | request[3];
    if (std::find(std::begin(kBaudRates), std::end(kBaudRates), rate) == std::end(kBaudRates)) {
        return false;
    }
    state_.baudRate = rate;
    reply.insert(reply.end(), request.begin() + 1, request.begin() + 4);
    return true;
}

bool CommandResponder::readByte(Request request, Reply& reply) {
    const int value = eeprom_.getByte(word(request, 1));
    if (value < 0) {
        return false;
    }
    reply.insert(reply.end(), {request[1], request[2], static_cast<std::uint8_t>(value)});
    return true;
}

bool CommandResponder::readWord(Request request, Reply& reply) {
    const int value = eeprom_.getWord(word(request, 1));
    if (value < 0) {
        return false;
    }
    reply.insert(reply.end(), {request[1], request[2], highByte(value), lowByte(value)});
    return true;
}

bool CommandResponder::read16(Request request, Reply& reply) {
    const int address = word(request, 1);
    if (address + kBlockBytes > eeprom_.size()) {
        return false;
    }
    reply.insert(reply.end(), {request[1], request[2]});
    reply.insert(reply.end(), eeprom_.bytes() + address, eeprom_.bytes() + address + kBlockBytes);
    return true;
}

bool CommandResponder::readBlock(Request request, Reply& reply) {
    const int address = word(request, 1);
    if (address >= eeprom_.size()) {
        return false;
    }
    const int count = std::min(
        {static_cast<int>(request[3]), eeprom_.size() - address, kMaxPayload - kBlockReplyHeader});
    reply.insert(reply.end(), {request[1], request[2], static_cast<std::uint8_t>(count)});
    reply.insert(reply.end(), eeprom_.bytes() + address, eeprom_.bytes() + address + count);
    return true;
}

bool CommandResponder::storeBytes(int address, Request bytes) {
    const int count = static_cast<int>(bytes.size());
    if (!writeAllowed() || address + count > eeprom_.size()) {
        return false;
    }
    return eeprom_.writeBlock(address, bytes.data(), count) == count;
}

bool CommandResponder::writeByte(Request request, Reply&) {
    return storeBytes(word(request, 1), request.subspan(3, 1));
}

bool CommandResponder::writeWord(Request request, Reply&) {
    return storeBytes(word(request, 1), request.subspan(3, 2));
}

bool CommandResponder::write16(Request request, Reply&) {
    return storeBytes(word(request, 1), request.subspan(3, kBlockBytes));
}

bool CommandResponder::writeBlock(Request request, Reply&) {
    const std::size_t count = request[3];
    if (request.size() < 4 + count) {
        return false;
    }
    return storeBytes(word(request, 1), request.subspan(4, count));
}

bool CommandResponder::getChannel(Request, Reply& reply) {
    reply.push_back(state_.channel);
    return true;
}

bool CommandResponder::stepChannel(Request request, Reply& reply) {
    constexpr int kChannels = 80;
    const bool up = (request[0] & kKavIICommandMask) == code(KavIICommand::StepUp);
    const int number = state_.channel & 0x7F;
    const int stepped =
        up ? (number >= kChannels ? 1 : number + 1) : (number <= 1 ? kChannels : number - 1);
    state_.channel = static_cast<std::uint8_t>((state_.channel & 0x80) | stepped);
    reply.push_back(state_.channel);
    return true;
}

template <std::uint8_t RadioState::*Field, std::size_t At, bool WithStatus>
bool CommandResponder::storeSetting(Request request, Reply& reply) {
    state_.*Field = request[At];
    if (WithStatus) {
        reply.push_back(kStatusOk);
    }
    return true;
}

bool CommandResponder::getStatus(Request, Reply& reply) {
    // A squelch the program opened reads as busy.
    reply.push_back(static_cast<std::uint8_t>(state_.status | (state_.squelchOpen != 0 ? 1 : 0)));
    return true;
}

bool CommandResponder::setRfPower(Request request, Reply&) {
    state_.rfLevel = request[1];
    state_.rfMode = request[2];
    return true;
}

bool CommandResponder::readRadioId(Request, Reply& reply) {
    reply.insert(reply.end(), state_.radioId.begin(), state_.radioId.end());
    return true;
}

bool CommandResponder::writeRadioId(Request request, Reply&) {
    std::copy_n(request.begin() + 1, state_.radioId.size(), state_.radioId.begin());
    return true;
}

bool CommandResponder::engineering(Request request, Reply& reply) {
    const Command* command = findCommand(CommandTables::engineering, request[1]);
    if (command == nullptr || static_cast<int>(request.size()) < command->minLength) {
        return false;
    }
    return (this->*command->handler)(request, reply);
}

bool CommandResponder::memRead(Request request, Reply& reply) {
    const int address = word(request, 2);
    reply.insert(reply.end(), {kStatusOk, request[2], request[3], ramByte(address)});
    return true;
}

bool CommandResponder::getArray(Request request, Reply& reply) {
    const std::uint8_t index = request[2];
    if (index == kAllArrayValues) {
        reply.insert(reply.end(), {kStatusOk, index});
        for (const std::int8_t value : state_.arrayValues) {
            reply.push_back(static_cast<std::uint8_t>(value));
        }
    } else if (index < state_.arrayValues.size()) {
        reply.insert(reply.end(),
                     {kStatusOk, index, static_cast<std::uint8_t>(state_.arrayValues[index])});
    } else {
        reply.insert(reply.end(), {kStatusFailed, index});
    }
    return true;
}

bool CommandResponder::readAdc(Request request, Reply& reply) {
    const std::uint8_t channel = request[2];
    if (channel >= state_.adc.size()) {
        reply.insert(reply.end(), {kStatusFailed, channel});
        return true;
    }
    reply.insert(reply.end(), {kStatusOk, channel, state_.adc[channel]});
    return true;
}

bool CommandResponder::memWrite(Request request, Reply& reply) {
    const int address = word(request, 2);
    const std::uint8_t data = request[4];
    const std::uint8_t mask = request[5];
    setRamByte(address, static_cast<std::uint8_t>((ramByte(address) & ~mask) | (data & mask)));
    reply.push_back(kStatusOk);
    return true;
}

bool CommandResponder::writeLcd(Request request, Reply& reply) {
    std::copy_n(request.begin() + 2, state_.lcd.size(), state_.lcd.begin());
    reply.push_back(kStatusOk);
    return true;
}

bool CommandResponder::setPll(Request request, Reply& reply) {
    state_.pllSteps = static_cast<std::uint16_t>(word(request, 2));
    reply.push_back(kStatusOk);
    return true;
}

bool CommandResponder::autoAlign(Request request, Reply& reply) {
    std::copy_n(request.begin() + 2, state_.autoAlign.size(), state_.autoAlign.begin());
    reply.push_back(kStatusOk);
    return true;
}

bool CommandResponder::beep(Request request, Reply& reply) {
    state_.beepHz = static_cast<std::uint16_t>(word(request, 2));
    reply.push_back(kStatusOk);
    return true;
}

bool CommandResponder::readAudioSamples(Request request, Reply& reply) {
    const int count = std::min(static_cast<int>(request[2]), kMaxAudioSamples);
    const auto& samples = state_.audioSamples;
    for (int i = 0; i < count; ++i) {
        const int sample =
            samples.empty() ? 0 : samples[static_cast<std::size_t>(i) % samples.size()];
        reply.insert(reply.end(), {highByte(sample), lowByte(sample)});
    }
    return true;
}

bool CommandResponder::readFrequencyError(Request, Reply& reply) {
    constexpr int kHzPerOffsetUnit = 50;
    int value = state_.frequencyError;
    if (const int at = state_.frequencyErrorOffsetAddress; at >= 0 && eeprom_.getByte(at) >= 0) {
        value += kHzPerOffsetUnit * static_cast<std::int8_t>(eeprom_.getByte(at));
    }
    reply.insert(reply.end(), {kStatusOk, lowByte(value), highByte(value)});
    return true;
}

bool CommandResponder::setMode(Request request, Reply& reply) {
    state_.modeBits = request[2];
    reply.push_back(kStatusOk);
    return true;
}

} // namespace kav

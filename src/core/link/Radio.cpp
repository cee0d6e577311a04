#include "link/Radio.h"

#include "link/KavIICommand.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace kav {

namespace {

std::string hexDigits(int value) {
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[value & 15]);
        value >>= 4;
    } while (value > 0);
    return out;
}

constexpr int kShortTimeout = 350;
constexpr int kBlockTimeout = 500;
constexpr int kModeTimeout = 1000;
constexpr int kAutoAlignTimeout = 5000;

constexpr int kMaxPayload = 255;
constexpr int kMaxRadioType = 16;
constexpr int kAllArrayValues = 255;
constexpr std::uint8_t kStatusFailed = 0x01;

// Bits of the 34 8D mode byte; each request sends the whole byte.
constexpr int kModeAfc = 0x01;
constexpr int kModeWideband = 0x02;
constexpr int kModeLowPower = 0x04;

// Products whose GetChannel reports bit 7 inverted, below the given firmware major.
struct GetChannelRule {
    std::uint32_t productId;
    int belowMajor;
};
constexpr GetChannelRule kInvertedOnGet[] = {{0x3100, 2}, {0x1500, INT_MAX}};

// Products whose StepChannel reports the channel as is, from the given firmware version on.
struct StepChannelRule {
    std::uint32_t productId;
    int fromMajor;
    int fromMinor;
};
constexpr StepChannelRule kPlainOnStep[] = {
    {0x1700, INT_MIN, 0}, {0x1300, INT_MIN, 0}, {0x2200, 2, 0},
    {0x3100, 2, 0},       {0x5100, 1, 1},       {0x3101, INT_MIN, 0},
};

int invertBit7(int code) {
    return code < 128 ? code + 128 : code - 128;
}

std::uint8_t hi(int value) {
    return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t lo(int value) {
    return static_cast<std::uint8_t>(value);
}

} // namespace

TRadio::TRadio(SerialPort& port, EEPROM& image, const BuildConfig& config)
    : port_(port), image_(image), config_(config), kavI_(std::make_unique<kavI_Protocol>(port)),
      kavII_(std::make_unique<kavII_Protocol>(
          port, TradioInfo().hasReliableErrorFlag(config.buildProductId))) {}

// Each engine tells the other's frames apart on its own (LineFramer), so neither touches the
// other and they may end in any order.
TRadio::~TRadio() = default;

bool TRadio::Transact(KAV_PACKET_STRUCT_TAG& request, KAV_PACKET_STRUCT_TAG* reply, int timeoutMs,
                      const kavII_Protocol::ReplyFilter& accepts) {
    if (!port_.IsOpen()) {
        lastFailure_ = LinkFailure::PortClosed;
        return false;
    }
    const bool ok = kavII_->Transact(request, reply, timeoutMs, accepts, cancel_);
    lastFailure_ = kavII_->lastFailure();
    return ok;
}

// A reply too short for the fields the caller reads fails the operation.
bool TRadio::longEnough(int minReply) {
    if (reply_.length >= static_cast<std::uint32_t>(minReply)) {
        return true;
    }
    lastFailure_ = LinkFailure::ShortReply;
    return false;
}

// Copies the command byte and its arguments into the request record; false when they do not
// fit one payload.
bool TRadio::compose(std::initializer_list<int> head, std::initializer_list<int> args,
                     const std::uint8_t* tail, int tailCount) {
    const int headCount = static_cast<int>(head.size() + args.size());
    if (tailCount < 0 || headCount + tailCount > kMaxPayload || (tailCount > 0 && !tail)) {
        return false;
    }
    const auto toByte = [](int b) {
        return static_cast<std::uint8_t>(b);
    };
    std::uint8_t* out = std::transform(head.begin(), head.end(), request_.data, toByte);
    out = std::transform(args.begin(), args.end(), out, toByte);
    std::copy_n(tail, tailCount, out);
    request_.length = static_cast<std::uint32_t>(headCount + tailCount);
    return true;
}

bool TRadio::request(KavIICommand command, std::initializer_list<int> args, int timeoutMs,
                     int minReply) {
    return compose({code(command)}, args, nullptr, 0) && Transact(request_, &reply_, timeoutMs) &&
           longEnough(minReply);
}

// A read's reply echoes the address asked for; one that does not answers another request.
bool TRadio::readAt(KavIICommand command, int addr, std::initializer_list<int> args, int timeoutMs,
                    int minReply) {
    const auto echoes = [addr](const KAV_PACKET_STRUCT_TAG& reply) {
        return reply.length >= 3 && reply.data[1] == hi(addr) && reply.data[2] == lo(addr);
    };
    return compose({code(command), hi(addr), lo(addr)}, args, nullptr, 0) &&
           Transact(request_, &reply_, timeoutMs, echoes) && longEnough(minReply);
}

bool TRadio::requestBytes(KavIICommand command, std::initializer_list<int> args,
                          const std::uint8_t* tail, int tailCount, int timeoutMs) {
    return compose({code(command)}, args, tail, tailCount) &&
           Transact(request_, &reply_, timeoutMs);
}

bool TRadio::engineering(KavIIEngineering command, std::initializer_list<int> args, int timeoutMs,
                         int minReply) {
    return compose({code(KavIICommand::Engineering), code(command)}, args, nullptr, 0) &&
           Transact(request_, &reply_, timeoutMs) && longEnough(minReply);
}

bool TRadio::exactReply(KavIICommand command, int timeoutMs) {
    if (!request(command, {}, timeoutMs)) {
        return false;
    }
    if (reply_.length == 1 && (replyByte(0) & kKavIICommandMask) == code(command)) {
        return true;
    }
    lastFailure_ = LinkFailure::UnexpectedReply;
    return false;
}

bool TRadio::engineeringStatus(KavIIEngineering command, std::initializer_list<int> args,
                               int minReply) {
    return engineering(command, args, kShortTimeout, std::max(minReply, 2)) &&
           (replyByte(1) & kStatusFailed) == 0;
}

// ---- Identity and mode

bool TRadio::Ping() {
    return request(KavIICommand::Ping, {}, kShortTimeout);
}

bool TRadio::GetVersion() {
    firmwareMajor_ = -1;
    if (!request(KavIICommand::Ping, {}, kShortTimeout, 3)) {
        return false;
    }
    firmwareMinor_ = replyByte(2);
    firmwareLetter_ = reply_.length >= 4 ? replyByte(3) : 0;
    firmwareMajor_ = replyByte(1);
    return true;
}

bool TRadio::GetVersionText(std::string& text) const {
    text.clear();
    if (firmwareMajor_ < 0) {
        return false;
    }
    // The major number takes (major / 10 + 1) hex digits, zero-padded.
    const std::size_t digits = static_cast<std::size_t>(firmwareMajor_) / 10 + 1;
    std::string major = hexDigits(firmwareMajor_);
    if (major.size() < digits) {
        major.insert(0, digits - major.size(), '0');
    }
    std::string minor = hexDigits(firmwareMinor_ & 0xFF);
    if (minor.size() < 2) {
        minor.insert(0, 1, '0');
    }
    text = "v" + major + "." + minor;
    if (firmwareLetter_ != 0) {
        text += static_cast<char>(firmwareLetter_);
    }
    return true;
}

void TRadio::GetVersionNumbers(int& major, int& minor, int& letter) const {
    major = firmwareMajor_;
    minor = firmwareMinor_;
    letter = firmwareLetter_;
}

bool TRadio::ReadRadioType(std::string& text) {
    if (!request(KavIICommand::ReadRadioType, {}, kShortTimeout)) {
        return false;
    }
    const int available = std::min(static_cast<int>(reply_.length) - 1, kMaxRadioType);
    int n = 0;
    while (n < available && replyByte(1 + n) != 0) {
        radioType_[static_cast<std::size_t>(n)] = static_cast<char>(replyByte(1 + n));
        ++n;
    }
    std::fill(radioType_.begin() + n, radioType_.end(), '\0');
    text = radioType_.data();
    return true;
}

bool TRadio::EnterProgMode() {
    return exactReply(KavIICommand::EnterProgMode, kModeTimeout);
}

bool TRadio::ResetRadio() {
    return exactReply(KavIICommand::Reset, kModeTimeout);
}

bool TRadio::SetRadioBaudRate(std::uint32_t rate) {
    const int b2 = static_cast<int>(rate >> 16 & 0xFF);
    const int b1 = static_cast<int>(rate >> 8 & 0xFF);
    const int b0 = static_cast<int>(rate & 0xFF);
    return request(KavIICommand::SetBaudRate, {b2, b1, b0}, kShortTimeout, 4) &&
           replyByte(1) == b2 && replyByte(2) == b1 && replyByte(3) == b0;
}

int TRadio::modelAddress(int variable) const {
    if (modelTable_ != nullptr) {
        return modelTable_->variableAddress(variable);
    }
    const RADIO_INFO_STRUCT* row = findModelRow(config_.buildProductId);
    return row != nullptr ? mapAddress(row->addressMap, variable) : -1;
}

bool TRadio::ReadProductId(int& id) {
    const int address = modelAddress(kVarProductId);
    return address >= 0 && ReadWord(address, id);
}

bool TRadio::ReadPcbRevision(int& rev) {
    const int address = modelAddress(kVarPcbRev);
    return address >= 0 && ReadWord(address, rev);
}

bool TRadio::SendCommand(const std::uint8_t* bytes, int n) {
    if (bytes == nullptr || n < 1 || n > kMaxPayload) {
        return false;
    }
    request_.length = static_cast<std::uint32_t>(n);
    std::copy_n(bytes, n, request_.data);
    return Transact(request_, nullptr, 0);
}

// ---- EEPROM access

bool TRadio::ReadByte(int addr, int& value) {
    if (!readAt(KavIICommand::ReadByte, addr, {}, kShortTimeout, 4)) {
        return false;
    }
    value = replyByte(3);
    return true;
}

bool TRadio::ReadWord(int addr, int& value) {
    if (!readAt(KavIICommand::ReadWord, addr, {}, kShortTimeout, 5)) {
        return false;
    }
    value = replyByte(3) * 256 + replyByte(4);
    return true;
}

bool TRadio::Read16(int addr, std::uint8_t* bytes) {
    if (!readAt(KavIICommand::Read16, addr, {}, kShortTimeout, 3 + kBlockBytes)) {
        return false;
    }
    std::copy_n(reply_.data + 3, kBlockBytes, bytes);
    return true;
}

int TRadio::ReadBlock(int count, int addr, std::uint8_t* bytes) {
    if (count < 1 || count > kMaxPayload ||
        !readAt(KavIICommand::ReadBlock, addr, {count}, kBlockTimeout, 4)) {
        return 0;
    }
    // A reply claiming more than was asked for, or more than it carries, would overrun the
    // caller's buffer or hand over stale bytes.
    const int n = replyByte(3);
    if (n > count || 4 + n > static_cast<int>(reply_.length)) {
        return 0;
    }
    std::copy_n(reply_.data + 4, n, bytes);
    return n;
}

bool TRadio::WriteByte(int addr, int value) {
    if (!request(KavIICommand::WriteByte, {hi(addr), lo(addr), value}, kShortTimeout)) {
        return false;
    }
    image_.setByte(addr, value & 0xFF);
    return true;
}

bool TRadio::WriteWord(int addr, int value) {
    if (!request(KavIICommand::WriteWord, {hi(addr), lo(addr), hi(value), lo(value)},
                 kShortTimeout)) {
        return false;
    }
    image_.setWord(addr, value & 0xFFFF);
    return true;
}

bool TRadio::Write16(int addr, const std::uint8_t* bytes) {
    return requestBytes(KavIICommand::Write16, {hi(addr), lo(addr)}, bytes, kBlockBytes,
                        kShortTimeout);
}

bool TRadio::WriteBlock(int count, int addr, const std::uint8_t* bytes) {
    return count >= 1 && requestBytes(KavIICommand::WriteBlock, {hi(addr), lo(addr), count}, bytes,
                                      count, kBlockTimeout);
}

// ---- Radio control

int TRadio::normaliseForGet(int code) const {
    for (const GetChannelRule& rule : kInvertedOnGet) {
        if (rule.productId == config_.buildProductId && firmwareMajor_ < rule.belowMajor) {
            return invertBit7(code);
        }
    }
    return code;
}

int TRadio::normaliseForStep(int code) const {
    for (const StepChannelRule& rule : kPlainOnStep) {
        const bool recentEnough =
            firmwareMajor_ > rule.fromMajor ||
            (firmwareMajor_ == rule.fromMajor && firmwareMinor_ >= rule.fromMinor);
        if (rule.productId == config_.buildProductId && recentEnough) {
            return code;
        }
    }
    return invertBit7(code);
}

int TRadio::GetChannel() {
    if (!request(KavIICommand::GetChannel, {}, kShortTimeout, 2)) {
        return -1;
    }
    channelCode_ = replyByte(1);
    currentChannel_ = normaliseForGet(channelCode_);
    return channelCode_;
}

bool TRadio::StepChannel(int direction, int& channel) {
    if (!request(direction >= 0 ? KavIICommand::StepUp : KavIICommand::StepDown, {}, kShortTimeout,
                 2)) {
        return false;
    }
    channelCode_ = replyByte(1);
    currentChannel_ = normaliseForStep(channelCode_);
    channel = currentChannel_;
    return true;
}

bool TRadio::SetChannel(int channel) {
    return request(KavIICommand::SetChannel, {channel}, kShortTimeout);
}

bool TRadio::GetStatus(int& flags) {
    if (!request(KavIICommand::GetStatus, {}, kShortTimeout, 2)) {
        return false;
    }
    flags = replyByte(1);
    return true;
}

bool TRadio::SetRfPower(int level, int mode) {
    return request(KavIICommand::SetRfPower, {level, mode}, kShortTimeout);
}

bool TRadio::SetPtt(int mode) {
    return request(KavIICommand::SetPtt, {mode}, kShortTimeout);
}

bool TRadio::SetSquelchLevel(int level) {
    const std::uint8_t bytes[] = {code(KavIICommand::SetSquelchLevel),
                                  static_cast<std::uint8_t>(level)};
    return SendCommand(bytes, 2);
}

bool TRadio::SetVolume(int level) {
    return request(KavIICommand::SetVolume, {level}, kShortTimeout) && reply_.length == 1;
}

bool TRadio::SetTestMode(int mode) {
    return request(KavIICommand::SetTestMode, {mode}, kShortTimeout);
}

bool TRadio::ReadRadioId(std::uint8_t* id) {
    if (!request(KavIICommand::ReadRadioId, {}, kShortTimeout, 1 + kRadioIdBytes)) {
        return false;
    }
    std::copy_n(reply_.data + 1, kRadioIdBytes, id);
    return true;
}

bool TRadio::WriteRadioId(const std::uint8_t* id) {
    return requestBytes(KavIICommand::WriteRadioId, {}, id, kRadioIdBytes, kShortTimeout);
}

// ---- Engineering group

bool TRadio::MemRead(int addr, int& value) {
    if (!engineeringStatus(KavIIEngineering::MemRead, {hi(addr), lo(addr)}, 5)) {
        return false;
    }
    value = replyByte(4);
    return true;
}

bool TRadio::GetArray(int index) {
    const int minReply = index == kAllArrayValues ? 11 : 4;
    if (!engineeringStatus(KavIIEngineering::GetArray, {index}, minReply)) {
        return false;
    }
    const int echoed = replyByte(2);
    if (echoed == kAllArrayValues && reply_.length >= 11) {
        for (std::size_t i = 0; i < arrayValues_.size(); ++i) {
            arrayValues_[i] = replyByte(3 + static_cast<int>(i));
        }
    } else if (echoed < static_cast<int>(arrayValues_.size())) {
        arrayValues_[static_cast<std::size_t>(echoed)] = static_cast<std::int8_t>(replyByte(3));
    }
    return true;
}

bool TRadio::ReadAdc(int channel, int& value) {
    if (channel < 0 || channel >= kAdcChannels ||
        !engineeringStatus(KavIIEngineering::ReadAdc, {channel}, 4)) {
        return false;
    }
    adcValues_[replyByte(2) & 7] = replyByte(3);
    value = adcValues_[static_cast<std::size_t>(channel)];
    return true;
}

bool TRadio::MemWrite(int addr, int data, int mask) {
    return engineering(KavIIEngineering::MemWrite, {hi(addr), lo(addr), data, mask}, kShortTimeout);
}

bool TRadio::SetSelcallTone(int n) {
    return engineering(KavIIEngineering::SelcallTone, {n}, kShortTimeout);
}

bool TRadio::SetCtcssTone(int n) {
    return engineering(KavIIEngineering::CtcssTone, {n}, kShortTimeout);
}

bool TRadio::WriteLcd(const std::uint8_t* digits, const std::uint8_t* text, int extra, int icons) {
    if (digits == nullptr || text == nullptr) {
        return false;
    }
    // The icon mask goes low byte first, unlike every other field.
    return engineering(KavIIEngineering::WriteLcd,
                       {digits[0], digits[1], text[0], text[1], text[2], text[3], text[4],
                        lo(icons), hi(icons), extra},
                       kShortTimeout);
}

bool TRadio::SetSquelchOpen(bool on) {
    return engineering(KavIIEngineering::SquelchOpen, {on ? 1 : 0}, kShortTimeout);
}

bool TRadio::SetPll(int steps) {
    return engineering(KavIIEngineering::SetPll, {hi(steps), lo(steps)}, kShortTimeout);
}

bool TRadio::AutoAlign(int flags, int a, int b, int c) {
    return engineering(KavIIEngineering::AutoAlign, {flags, a, b, c}, kAutoAlignTimeout);
}

bool TRadio::Beep(int hz) {
    return engineering(KavIIEngineering::Beep, {hi(hz), lo(hz)}, kShortTimeout);
}

bool TRadio::ReadAudioSamples(int count, std::int16_t* samples) {
    const int n = std::clamp(count, 0, kMaxAudioSamples);
    if (!engineering(KavIIEngineering::AudioSamples, {n}, kShortTimeout, 1 + 2 * n)) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        samples[i] = static_cast<std::int16_t>(replyByte(1 + 2 * i) * 256 + replyByte(2 + 2 * i));
    }
    return true;
}

bool TRadio::ReadFrequencyError(int& value) {
    if (!engineering(KavIIEngineering::FrequencyError, {}, kShortTimeout, 4)) {
        return false;
    }
    frequencyError_ = static_cast<std::int16_t>(replyByte(2) + replyByte(3) * 256);
    value = frequencyError_;
    return true;
}

bool TRadio::SetAfc(bool on) {
    return engineering(KavIIEngineering::Mode, {on ? kModeAfc : 0}, kShortTimeout);
}

bool TRadio::SetWideband() {
    return engineering(KavIIEngineering::Mode, {kModeWideband}, kShortTimeout);
}

bool TRadio::SetLowPower(bool on) {
    return engineering(KavIIEngineering::Mode, {on ? kModeLowPower : 0}, kShortTimeout);
}

} // namespace kav

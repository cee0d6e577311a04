#pragma once

#include "link/KavIICommand.h"
#include "link/Kaviiprotocol.h"
#include "link/Kaviprotocol.h"
#include "model/BuildConfig.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace kav {

class SerialPort;

// The radio object: one typed operation per radio command, each one KAV II request and its
// reply, blocking its caller until the reply or the timeout. One operation at a time.
class TRadio : public FirmwareVersionSource {
public:
    static constexpr int kAdcChannels = 8;
    static constexpr int kMaxAudioSamples = 126;
    static constexpr int kRadioIdBytes = 8;
    static constexpr int kBlockBytes = 16;

    TRadio(SerialPort& port, EEPROM& image, const BuildConfig& config);
    ~TRadio() override;

    TRadio(const TRadio&) = delete;
    TRadio& operator=(const TRadio&) = delete;

    // The table whose current model gives the addresses of "Product ID" and "PCB Rev";
    // without one the build model's addresses are used.
    void setModelTable(const TradioInfo* table) { modelTable_ = table; }

    kavI_Protocol& kavI() { return *kavI_; }
    kavII_Protocol& kavII() { return *kavII_; }

    int firmwareMajorVersion() const override { return firmwareMajor_; }

    // False at once, sending nothing, while the port is closed.
    bool Transact(KAV_PACKET_STRUCT_TAG& request, KAV_PACKET_STRUCT_TAG* reply, int timeoutMs,
                  const kavII_Protocol::ReplyFilter& accepts = {});

    // While set, an operation waiting for its reply fails as soon as `cancel` is set, so a
    // cancelled transfer reaches its end steps at once. nullptr: operations run to their reply.
    void setCancelEvent(const Event* cancel) { cancel_ = cancel; }

    // Why the last operation failed (its value after a success means nothing).
    LinkFailure lastFailure() const { return lastFailure_; }

    // Identity and mode.
    bool Ping();
    bool GetVersion();
    bool GetVersionText(std::string& text) const;
    void GetVersionNumbers(int& major, int& minor, int& letter) const;
    bool ReadRadioType(std::string& text);
    void GetRadioTypeText(std::string& text) const { text = radioType_.data(); }
    bool EnterProgMode();
    bool ResetRadio();
    bool SetRadioBaudRate(std::uint32_t rate);
    bool ReadProductId(int& id);
    bool ReadPcbRevision(int& rev);
    bool SendCommand(const std::uint8_t* bytes, int n);

    // EEPROM access.
    bool ReadByte(int addr, int& value);
    bool ReadWord(int addr, int& value);
    bool Read16(int addr, std::uint8_t* bytes);
    // Bytes copied to `bytes` (never more than count), 0 on failure.
    int ReadBlock(int count, int addr, std::uint8_t* bytes);
    bool WriteByte(int addr, int value);
    bool WriteWord(int addr, int value);
    bool Write16(int addr, const std::uint8_t* bytes);
    bool WriteBlock(int count, int addr, const std::uint8_t* bytes);

    // Radio control.
    int GetChannel();
    bool StepChannel(int direction, int& channel);
    bool SetChannel(int channel);
    bool GetStatus(int& flags);
    bool SetRfPower(int level, int mode);
    bool SetPtt(int mode);
    bool SetSquelchLevel(int level);
    bool SetVolume(int level);
    bool SetTestMode(int mode);
    bool ReadRadioId(std::uint8_t* id);
    bool WriteRadioId(const std::uint8_t* id);

    // Engineering group (command 0x34).
    bool MemRead(int addr, int& value);
    bool GetArray(int index);
    bool ReadAdc(int channel, int& value);
    bool MemWrite(int addr, int data, int mask);
    bool SetSelcallTone(int n);
    bool SetCtcssTone(int n);
    bool WriteLcd(const std::uint8_t* digits, const std::uint8_t* text, int extra, int icons);
    bool SetSquelchOpen(bool on);
    bool SetPll(int steps);
    bool AutoAlign(int flags, int a, int b, int c);
    bool Beep(int hz);
    bool ReadAudioSamples(int count, std::int16_t* samples);
    bool ReadFrequencyError(int& value);
    bool SetAfc(bool on);
    bool SetWideband();
    bool SetLowPower(bool on);

    int arrayValue(int index) const { return arrayValues_.at(static_cast<std::size_t>(index)); }
    int adcValue(int channel) const { return adcValues_.at(static_cast<std::size_t>(channel)); }
    int frequencyError() const { return frequencyError_; }

    // Whole-radio reads started since start-up; a write asks first while there was none.
    int readCount() const { return readCount_; }
    void noteRadioRead() { ++readCount_; }
    // The channel, normalised; the alignment window also sets it.
    int currentChannel() const { return currentChannel_; }
    void setCurrentChannel(int channel) { currentChannel_ = channel; }
    // The channel byte as the radio last reported it.
    int channelCode() const { return channelCode_; }

private:
    bool longEnough(int minReply);
    bool compose(std::initializer_list<int> head, std::initializer_list<int> args,
                 const std::uint8_t* tail, int tailCount);
    // Transacts the request and checks the reply has at least `minReply` bytes (a shorter
    // one carries none of the fields the caller reads).
    bool request(KavIICommand command, std::initializer_list<int> args, int timeoutMs,
                 int minReply = 1);
    bool readAt(KavIICommand command, int addr, std::initializer_list<int> args, int timeoutMs,
                int minReply);
    bool requestBytes(KavIICommand command, std::initializer_list<int> args,
                      const std::uint8_t* tail, int tailCount, int timeoutMs);
    bool engineering(KavIIEngineering command, std::initializer_list<int> args, int timeoutMs,
                     int minReply = 1);
    bool exactReply(KavIICommand command, int timeoutMs);
    bool engineeringStatus(KavIIEngineering command, std::initializer_list<int> args, int minReply);
    int modelAddress(int variable) const;
    int normaliseForGet(int code) const;
    int normaliseForStep(int code) const;
    std::uint8_t replyByte(int i) const { return reply_.data[i]; }

    SerialPort& port_;
    EEPROM& image_;
    const BuildConfig config_;
    const TradioInfo* modelTable_ = nullptr;
    const Event* cancel_ = nullptr;
    LinkFailure lastFailure_ = LinkFailure::None;

    std::array<int, 8> arrayValues_{};
    std::array<int, kAdcChannels> adcValues_{};
    int frequencyError_ = 0;
    int readCount_ = 0;
    int currentChannel_ = 0;
    int channelCode_ = 0;
    std::unique_ptr<kavI_Protocol> kavI_;
    std::unique_ptr<kavII_Protocol> kavII_;
    int firmwareMajor_ = -1;
    int firmwareMinor_ = 0;
    int firmwareLetter_ = 0;
    KAV_PACKET_STRUCT_TAG request_;
    KAV_PACKET_STRUCT_TAG reply_;
    std::array<char, 20> radioType_{};
};

} // namespace kav

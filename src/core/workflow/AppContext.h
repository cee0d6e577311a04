#pragma once

#include "link/Com_port.h"
#include "link/Event.h"
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "model/BuildConfig.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "workflow/DataSource.h"
#include "workflow/Settings.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace kav {

// The objects every window and workflow shares, and the main window's state that the
// workflows read and change. Built once at start-up; one instance.
//
// Members are created in the order the radio needs them (port, image, radio, model table,
// cancel event) and destroyed in reverse, but only after the transfer worker has ended: the
// worker uses the radio and the image and may run on after its progress dialog closed.
class AppContext {
public:
    static constexpr int kDefaultBaudRate = 9600;

    // `ports` says where COM names lead; programs read it from the environment once.
    AppContext(const BuildConfig& config, int advancedMode, PortEnvironment ports = {});
    ~AppContext(); // waits for a running transfer worker first

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const BuildConfig& config() const { return config_; }
    int advancedMode() const { return advancedMode_; }
    const PortEnvironment& ports() const { return ports_; }

    SerialPort& port() { return *port_; }
    EEPROM& image() { return *image_; }
    TRadio& radio() { return *radio_; }
    TradioInfo& models() { return *models_; }
    const TradioInfo& models() const { return *models_; }
    Event& cancelEvent() { return *cancel_; }

    // "COM" + comPort.
    std::string portName() const;
    // Transfers use 128-byte blocks: the check mark in an engineering build, otherwise the
    // build model's capability.
    bool useArrays() const;

    // True from the start of a transfer worker until it has run its last step. While it is,
    // no transfer, editor or file command may start: they all use the radio or the image.
    bool transferRunning() const { return workerRunning_.load(); }
    // Blocks until the current worker (if any) has ended and is joined. UI thread only.
    void waitForTransfer();
    // Runs `body` on the transfer worker. False, running nothing, while one still runs.
    bool startWorker(std::function<void()> body);

    // Main window state shared by the workflows; UI thread only.
    int comPort() const { return settings_.comPort; }
    void setComPort(int port) { settings_.comPort = port; }
    int maxBaudRate() const { return settings_.maxBaudRate; }
    void setMaxBaudRate(int rate) { settings_.maxBaudRate = rate; }
    const std::string& defaultFileName() const { return settings_.defaultFileName; }
    void setDefaultFileName(const std::string& path) { settings_.defaultFileName = path; }
    // The three persisted values together, as the settings store loads and saves them.
    const PersistedSettings& settings() const { return settings_; }
    void applySettings(const PersistedSettings& settings) { settings_ = settings; }

    int currentBaudRate() const { return currentBaudRate_; }
    void setCurrentBaudRate(int rate) { currentBaudRate_ = rate; }
    const std::string& currentFileName() const { return currentFileName_; }
    void setCurrentFileName(const std::string& path) { currentFileName_ = path; }
    DataSource dataSource() const { return dataSource_; }
    void setDataSource(DataSource source) { dataSource_ = source; }
    int radioProductId() const { return radioProductId_; }
    void setRadioProductId(int id) { radioProductId_ = id; }
    // The last read raised the baud rate, so the write raises it too.
    bool baudRaised() const { return baudRaised_; }
    void setBaudRaised(bool raised) { baudRaised_ = raised; }
    // The image holds what a read that stopped part-way left: old and new blocks mixed. A
    // complete read or a file loaded afterwards clears it.
    bool imageFromIncompleteRead() const { return imageFromIncompleteRead_; }
    // Where each completed read is also kept; "" keeps none (the demo, tests).
    const std::string& historyFolder() const { return historyFolder_; }
    void setHistoryFolder(std::string folder) { historyFolder_ = std::move(folder); }
    void setImageFromIncompleteRead(bool incomplete) { imageFromIncompleteRead_ = incomplete; }
    // The size of the ".mem" file the image was last loaded from, while the image holds it.
    std::optional<std::uintmax_t> loadedFileBytes() const { return loadedFileBytes_; }
    void setLoadedFileBytes(std::optional<std::uintmax_t> bytes) { loadedFileBytes_ = bytes; }
    // The last transfer's closing reset went unanswered: the radio may still be in
    // programming mode.
    bool radioLeftInProgMode() const { return radioLeftInProgMode_; }
    void setRadioLeftInProgMode(bool left) { radioLeftInProgMode_ = left; }
    // "Read/Write using arrays", engineering build only.
    bool arrayReadWriteChecked() const { return arrayReadWriteChecked_; }
    void setArrayReadWriteChecked(bool checked) { arrayReadWriteChecked_ = checked; }

private:
    const BuildConfig config_;
    const int advancedMode_;
    const PortEnvironment ports_;

    PersistedSettings settings_;
    int currentBaudRate_ = kDefaultBaudRate;
    std::string currentFileName_;
    DataSource dataSource_ = DataSource::Nothing;
    int radioProductId_ = 0;
    bool baudRaised_ = false;
    bool imageFromIncompleteRead_ = false;
    std::string historyFolder_;
    bool radioLeftInProgMode_ = false;
    std::optional<std::uintmax_t> loadedFileBytes_;
    bool arrayReadWriteChecked_ = false;

    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<EEPROM> image_;
    std::unique_ptr<TRadio> radio_;
    std::unique_ptr<TradioInfo> models_;
    std::unique_ptr<Event> cancel_;

    std::atomic<bool> workerRunning_{false};
    std::thread worker_;
};

} // namespace kav

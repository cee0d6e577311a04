#pragma once

#include "link/Event.h"
#include "link/Radio.h"
#include "link/Serialport.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "workflow/BuildConfig.h"
#include "workflow/Statusbar.h"

#include <atomic>
#include <functional>
#include <memory>
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

    AppContext(const BuildConfig& config, int advancedMode);
    ~AppContext(); // waits for a running transfer worker first

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const BuildConfig& config() const { return config_; }
    int advancedMode() const { return advancedMode_; }

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
    int comPort = 1;
    int maxBaudRate = kDefaultBaudRate;
    int currentBaudRate = kDefaultBaudRate;
    std::string defaultFileName;
    std::string currentFileName;
    DataSource dataSource = DataSource::Nothing;
    int radioProductId = 0;
    bool baudRaised = false;
    bool arrayReadWriteChecked = false; // "Read/Write using arrays", engineering build only

private:
    const BuildConfig config_;
    const int advancedMode_;

    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<EEPROM> image_;
    std::unique_ptr<TRadio> radio_;
    std::unique_ptr<TradioInfo> models_;
    std::unique_ptr<Event> cancel_;

    std::atomic<bool> workerRunning_{false};
    std::thread worker_;
};

} // namespace kav

#include "workflow/AppContext.h"

namespace kav {

AppContext::AppContext(const BuildConfig& config, int advancedMode, PortEnvironment ports)
    : config_(config), advancedMode_(advancedMode), ports_(std::move(ports)) {
    port_ = std::make_unique<SerialPort>(ports_.portsDir);
    image_ = std::make_unique<EEPROM>(EEPROM::kImageSize);
    image_->fill(0xFF);
    radio_ = std::make_unique<TRadio>(*port_, *image_, config_);
    models_ = std::make_unique<TradioInfo>(radio_.get());
    radio_->setModelTable(models_.get());
    cancel_ = std::make_unique<Event>(false);
    arrayReadWriteChecked_ = models_->hasArrayReadWrite(config_.buildProductId);
}

AppContext::~AppContext() {
    waitForTransfer();
    // Reverse order of creation.
    cancel_.reset();
    models_.reset();
    radio_.reset();
    image_.reset();
    port_.reset();
}

std::string AppContext::portName() const {
    return "COM" + std::to_string(settings_.comPort);
}

bool AppContext::useArrays() const {
    if (config_.engineeringBuild == 1) {
        return arrayReadWriteChecked_;
    }
    return models_->hasArrayReadWrite(config_.buildProductId);
}

void AppContext::waitForTransfer() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool AppContext::startWorker(std::function<void()> body) {
    if (workerRunning_.load()) {
        return false;
    }
    waitForTransfer(); // the previous worker has ended; release its thread
    workerRunning_.store(true);
    worker_ = std::thread([this, work = std::move(body)] {
        work();
        workerRunning_.store(false);
    });
    return true;
}

} // namespace kav

#pragma once

#include "link/Com_port.h"
#include "model/BuildConfig.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;

namespace kav {

class TradioInfo;

// "Configure serial port": the COM ports present, the one to use and, on models that allow
// faster transfers, the highest baud rate. The main window hands in the configured values,
// shows it, and on OK reads the choice back.
class TfrmPorts : public QDialog {
    Q_OBJECT

public:
    TfrmPorts(const PortEnvironment& ports, const TradioInfo& models, const BuildConfig& config,
              QWidget* parent = nullptr);

    int selectedPort() const { return selectedPort_; }
    void setSelectedPort(int port) { selectedPort_ = port; }
    int selectedBaudRate() const { return selectedBaudRate_; }
    void setSelectedBaudRate(int rate) { selectedBaudRate_ = rate; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnOKClick();

    const PortEnvironment ports_;
    const TradioInfo& models_;
    const BuildConfig config_;
    int selectedPort_ = 0;
    int selectedBaudRate_ = 0;
    QComboBox* cbPort_ = nullptr;
    QComboBox* cbBaud_ = nullptr;
    QLabel* lblMaxBaudRate_ = nullptr;
};

} // namespace kav

#pragma once

#include "engineering/MonitorForm.h"

#include <cstdint>

class QCheckBox;

namespace kav {

class SerialPort;

// "Byte Monitor": every byte the serial port sends and receives, with the time, in
// hexadecimal and optionally as text, and a line for each rate or port change.
class TbyteMonitorForm : public MonitorForm {
    Q_OBJECT

public:
    static constexpr std::uint32_t kNoticeMessage = 2034;

    TbyteMonitorForm(SerialPort& port, QWidget* parent = nullptr);
    ~TbyteMonitorForm() override;

private:
    void attach() override;
    void detach() override;
    void handle(const MonitorNotice& notice) override;

    SerialPort& port_;
    QCheckBox* chkDecodeASCII_ = nullptr;
};

} // namespace kav

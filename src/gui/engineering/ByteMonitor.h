#pragma once

#include "app/QueuedSink.h"
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
    void notice(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);

    SerialPort& port_;
    QCheckBox* chkDecodeASCII_ = nullptr;
    QueuedSink sink_;
};

} // namespace kav

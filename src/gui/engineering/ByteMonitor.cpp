#include "engineering/ByteMonitor.h"

#include "link/SerialPort.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <array>

namespace kav {

namespace {

constexpr int kMaxBytesPerLine = 512;

} // namespace

TbyteMonitorForm::TbyteMonitorForm(SerialPort& port, QWidget* parent)
    : MonitorForm("Byte Monitor",
                  {"byteMonMemo", "byteMonStart", "byteMonPause", "byteMonClose", false}, parent),
      port_(port) {
    setObjectName("byteMonitorForm");
    chkDecodeASCII_ = new QCheckBox("Decode ASCII", this);
    chkDecodeASCII_->setObjectName("chkDecodeASCII");
    buttonRow().insertWidget(3, chkDecodeASCII_);
}

TbyteMonitorForm::~TbyteMonitorForm() {
    port_.ClearNotifyWindow();
}

void TbyteMonitorForm::attach() {
    port_.SetNotifyWindow(&notices(), kNoticeMessage);
}

void TbyteMonitorForm::detach() {
    port_.ClearNotifyWindow();
}

// The copy queues are drained whether or not the window logs, so a pause never leaves old
// bytes to turn up later. Each read takes every byte waiting, so when the window falls behind
// one line carries the bytes of several notices.
void TbyteMonitorForm::handle(const MonitorNotice& notice) {
    if (notice.message != kNoticeMessage) {
        return;
    }
    switch (notice.wParam) {
    case kNoticeReceived:
    case kNoticeSent: {
        std::array<std::uint8_t, kMaxBytesPerLine> bytes{};
        const bool received = notice.wParam == kNoticeReceived;
        const int n = received ? port_.ReadRxMonitor(bytes.data(), kMaxBytesPerLine)
                               : port_.ReadTxMonitor(bytes.data(), kMaxBytesPerLine);
        // A notice whose bytes an earlier line already took adds nothing worth a line.
        if (!paused() && n > 0) {
            addLine(trafficLine(clockStamp(notice.at), received, bytes.data(), n, notice.lParam,
                                chkDecodeASCII_->isChecked()));
        }
        break;
    }
    case kNoticeBaudRate:
        addLine("Baud-rate changed to " + std::to_string(notice.lParam));
        break;
    case kNoticePortChange:
        addLine("Serial-port changed to " + std::to_string(notice.lParam));
        break;
    default:
        break;
    }
}

} // namespace kav

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
      port_(port),
      sink_(this, [this](std::uint32_t m, std::intptr_t w, std::intptr_t l) { notice(m, w, l); }) {
    setObjectName("byteMonitorForm");
    chkDecodeASCII_ = new QCheckBox("Decode ASCII", this);
    chkDecodeASCII_->setObjectName("chkDecodeASCII");
    buttonRow().insertWidget(3, chkDecodeASCII_);
}

TbyteMonitorForm::~TbyteMonitorForm() {
    port_.ClearNotifyWindow();
}

void TbyteMonitorForm::attach() {
    port_.SetNotifyWindow(&sink_, kNoticeMessage);
}

void TbyteMonitorForm::detach() {
    port_.ClearNotifyWindow();
}

// The copy queues are drained whether or not the window logs, so a pause never leaves old
// bytes to turn up later. Each read takes every byte waiting, so when the window falls behind
// one line carries the bytes of several notices.
void TbyteMonitorForm::notice(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    if (message != kNoticeMessage) {
        return;
    }
    switch (wParam) {
    case kNoticeReceived:
    case kNoticeSent: {
        std::array<std::uint8_t, kMaxBytesPerLine> bytes{};
        const bool received = wParam == kNoticeReceived;
        const int n = received ? port_.ReadRxMonitor(bytes.data(), kMaxBytesPerLine)
                               : port_.ReadTxMonitor(bytes.data(), kMaxBytesPerLine);
        // A notice whose bytes an earlier line already took adds nothing worth a line.
        if (!paused() && n > 0) {
            addLine(trafficLine(clockStamp(), received, bytes.data(), n, lParam,
                                chkDecodeASCII_->isChecked()));
        }
        break;
    }
    case kNoticeBaudRate:
        addLine("Baud-rate changed to " + std::to_string(lParam));
        break;
    case kNoticePortChange:
        addLine("Serial-port changed to " + std::to_string(lParam));
        break;
    default:
        break;
    }
}

} // namespace kav

#include "app/AutoDetectDialog.h"

#include "workflow/AppContext.h"
#include "workflow/Autodetect.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kTickMs = 50;
constexpr QSize kMemoSize(260, 90);

} // namespace

TfrmAutoDetect::TfrmAutoDetect(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName("frmAutoDetect");
    setWindowTitle("AutoDetect");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    Memo1_ = new QPlainTextEdit(panel);
    Memo1_->setObjectName("Memo1");
    Memo1_->setReadOnly(true);
    Memo1_->setFixedSize(kMemoSize);
    Memo1_->setFocusPolicy(Qt::NoFocus);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(Memo1_);

    btnClose_ = new QPushButton("Close", this);
    btnClose_->setObjectName("btnClose");
    // The dialog's result is OK however the button reads.
    connect(btnClose_, &QPushButton::clicked, this, &QDialog::accept);

    TimerAutoDetect_ = new QTimer(this);
    TimerAutoDetect_->setObjectName("TimerAutoDetect");
    connect(TimerAutoDetect_, &QTimer::timeout, this, &TfrmAutoDetect::TimerAutoDetectTimer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(btnClose_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmAutoDetect::scanning() const {
    return TimerAutoDetect_->isActive();
}

void TfrmAutoDetect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// Every way out (the button, the close box, Esc, the owner closing) comes through here or
// hides the dialog: the scan must not go on opening ports behind the person's back.
void TfrmAutoDetect::done(int result) {
    finishScan();
    QDialog::done(result);
}

void TfrmAutoDetect::hideEvent(QHideEvent* event) {
    finishScan();
    QDialog::hideEvent(event);
}

void TfrmAutoDetect::FormShow() {
    setButton("Cancel");
    nextIndex_ = 0;
    probed_ = false;
    busyPorts_.clear();
    // Also with no ports: a port found by an earlier show must not be taken again.
    detectedPort_ = 0;
    ports_ = existingComPorts(ctx_.ports());
    if (ports_.empty()) {
        showLines({kNoSerialPortsText});
        return;
    }
    Memo1_->clear();
    TimerAutoDetect_->start(kTickMs);
}

void TfrmAutoDetect::TimerAutoDetectTimer() {
    Memo1_->clear();
    if (nextIndex_ >= ports_.size()) {
        detectedPort_ = 0;
        TimerAutoDetect_->stop();
        std::vector<std::string> lines = radioNotFoundLines();
        for (const int busy : busyPorts_) {
            lines.push_back("COM" + std::to_string(busy) + " is in use by another program.");
        }
        showLines(lines);
        setButton("Close");
        return;
    }
    const int n = ports_[nextIndex_++];
    showLines({checkingPortLine(n)});
    repaint();
    probed_ = true;
    const PortDetection found = detectOnPort(ctx_.port(), ctx_.radio(), ctx_.models(),
                                             ctx_.config(), n, ctx_.ports().portsDir);
    if (found.busy) {
        busyPorts_.push_back(n);
    }
    if (!found.answered) {
        return;
    }
    showLines(found.lines);
    if (found.accepted) {
        TimerAutoDetect_->stop();
        detectedPort_ = n;
        setButton("Close");
    }
}

// Stops the timer; when no radio was accepted, the port goes back to the configured one
// (left closed when that does not open, as the status bar then shows).
void TfrmAutoDetect::finishScan() {
    TimerAutoDetect_->stop();
    if (!probed_) {
        return;
    }
    probed_ = false;
    if (detectedPort_ == 0) {
        SerialPort& port = ctx_.port();
        port.Close();
        port.Open(ctx_.portName(), static_cast<std::uint32_t>(ctx_.currentBaudRate()));
    }
}

void TfrmAutoDetect::showLines(const std::vector<std::string>& lines) {
    Memo1_->clear();
    for (const std::string& line : lines) {
        Memo1_->appendPlainText(QString::fromStdString(line));
    }
}

void TfrmAutoDetect::setButton(const char* caption) {
    btnClose_->setText(caption);
    btnClose_->setFocus();
}

} // namespace kav

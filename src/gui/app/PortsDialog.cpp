#include "app/PortsDialog.h"

#include "app/Popups.h"
#include "link/PortList.h"
#include "model/Radioinfo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>

namespace kav {

namespace {

constexpr std::array<int, 4> kBaudRates{9600, 19200, 38400, 57600};
constexpr int kListWidth = 130;

// The Linux device behind the entry, and for USB adapters what it is and its stable name.
QString portToolTip(const PortListing& port) {
    QStringList lines{QString::fromStdString(port.device)};
    if (!port.product.empty()) {
        lines << QString::fromStdString(port.product);
    }
    if (!port.byId.empty()) {
        lines << QString::fromStdString(port.byId);
    }
    return lines.join('\n');
}

} // namespace

TfrmPorts::TfrmPorts(const PortEnvironment& ports, const TradioInfo& models,
                     const BuildConfig& config, QWidget* parent)
    : QDialog(parent), ports_(ports), models_(models), config_(config) {
    setObjectName("frmPorts");
    setWindowTitle("Configure serial port");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);

    auto* label = new QLabel("Serial Port:", this);
    label->setObjectName("Label2");
    cbPort_ = new QComboBox(this);
    cbPort_->setObjectName("cbPort");
    cbPort_->setFixedWidth(kListWidth);
    connect(cbPort_, &QComboBox::currentIndexChanged, this, [this](int index) {
        cbPort_->setToolTip(cbPort_->itemData(index, Qt::ToolTipRole).toString());
    });
    lblMaxBaudRate_ = new QLabel("Max Baud Rate:", this);
    lblMaxBaudRate_->setObjectName("lblMaxBaudRate");
    cbBaud_ = new QComboBox(this);
    cbBaud_->setObjectName("cbBaud");
    cbBaud_->setFixedWidth(kListWidth);

    auto* fields = new QGridLayout;
    fields->addWidget(label, 0, 0);
    fields->addWidget(cbPort_, 0, 1);
    fields->addWidget(lblMaxBaudRate_, 1, 0);
    fields->addWidget(cbBaud_, 1, 1);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("BitBtn2");
    connect(ok, &QPushButton::clicked, this, [this] {
        btnOKClick();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmPorts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TfrmPorts::FormShow() {
    const bool fast = models_.hasHighBaudRate(config_.buildProductId);
    lblMaxBaudRate_->setVisible(fast);
    cbBaud_->setVisible(fast);
    cbBaud_->clear();
    if (fast) {
        for (const int rate : kBaudRates) {
            cbBaud_->addItem(QString::number(rate), rate);
        }
        cbBaud_->setCurrentIndex(std::max(0, cbBaud_->findData(selectedBaudRate_)));
    }

    cbPort_->clear();
    const std::vector<PortListing> present = listPorts(ports_);
    if (present.empty()) {
        popups::warn(this, "No com ports to select??", "Invalid serial port");
        return;
    }
    for (const PortListing& port : present) {
        cbPort_->addItem(QString("COM%1").arg(port.com), port.com);
        cbPort_->setItemData(cbPort_->count() - 1, portToolTip(port), Qt::ToolTipRole);
    }
    const int configured = cbPort_->findData(selectedPort_);
    cbPort_->setCurrentIndex(std::max(0, configured));
    if (configured < 0) {
        popups::warn(this, "Configured port no longer valid, please select correct port",
                     "Serial port");
    }
}

// An empty or hidden list leaves its value as the main window handed it in.
void TfrmPorts::btnOKClick() {
    if (cbPort_->count() > 0) {
        selectedPort_ = cbPort_->currentData().toInt();
    }
    if (cbBaud_->isVisibleTo(this) && cbBaud_->count() > 0) {
        selectedBaudRate_ = cbBaud_->currentData().toInt();
    }
}

} // namespace kav

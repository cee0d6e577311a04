#include "service/Firmware.h"

#include "app/Popups.h"
#include "workflow/AppContext.h"
#include "workflow/FirmwareFacts.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kValueWidth = 150;

} // namespace

TfrmFirmware::TfrmFirmware(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("frmFirmware");
    setWindowTitle("Firmware Version");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* grid = new QGridLayout(panel);
    const std::pair<const char*, QLabel**> rows[] = {
        {"Radio Type:", &lblRadioTypeInfo_},
        {"Product ID:", &lblProductIDInfo_},
        {"PCB Rev.:", &lblPCBRevInfo_},
        {"Firmware:", &lblFirmwareInfo_},
    };
    const char* names[] = {"lblRadioTypeInfo", "lblProductIDInfo", "lblPCBRevInfo",
                           "lblFirmwareInfo"};
    int row = 0;
    for (const auto& [caption, value] : rows) {
        grid->addWidget(new QLabel(caption, panel), row, 0);
        *value = new QLabel(panel);
        (*value)->setObjectName(names[row]);
        (*value)->setMinimumWidth(kValueWidth);
        (*value)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(*value, row, 1);
        ++row;
    }

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// Dismissing the window's own "Unable to read from radio" box makes it active again; reading
// then would bring the box back at once, for ever when no radio answers. So an activation
// while a read runs, or the one that returns from that box, asks nothing.
bool TfrmFirmware::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && reading_) {
        leftForOwnMessage_ = true;
    } else if (event->type() == QEvent::WindowActivate) {
        if (reading_ || leftForOwnMessage_) {
            leftForOwnMessage_ = false; // this is the return from the box
        } else {
            reading_ = true;
            // Once the window is painted: the read blocks for up to a few time-outs.
            QTimer::singleShot(0, this, &TfrmFirmware::FormActivate);
        }
    }
    return QDialog::event(event);
}

void TfrmFirmware::FormActivate() {
    for (QLabel* label : {lblRadioTypeInfo_, lblProductIDInfo_, lblPCBRevInfo_, lblFirmwareInfo_}) {
        label->clear();
    }
    repaint();
    ++readCount_;
    const FirmwareFacts facts = readFirmwareFacts(ctx_.radio(), ctx_.models(), ctx_.config());
    if (facts.typeReadFailed) {
        popups::warn(this, kFirmwareReadErrorText, kFirmwareReadErrorCaption);
    } else {
        lblRadioTypeInfo_->setText(QString::fromStdString(facts.radioType));
        lblProductIDInfo_->setText(QString::fromStdString(facts.productId));
        lblPCBRevInfo_->setText(QString::fromStdString(facts.pcbRevision));
        lblFirmwareInfo_->setText(QString::fromStdString(facts.firmware));
    }
    reading_ = false;
}

} // namespace kav

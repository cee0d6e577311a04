#include "app/Radio_rw.h"

#include "link/Event.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace kav {

TfrmReadWrite::TfrmReadWrite(QWidget* parent) : QDialog(parent) {
    setObjectName("frmReadWrite");
    setFixedSize(320, 148);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setStyleSheet("QDialog { background: #000080; } QLabel { color: white; }");

    lblAction_ = new QLabel(this);
    lblAction_->setObjectName("lblAction");
    lblAction_->setAlignment(Qt::AlignCenter);
    lblAction_->setWordWrap(true);
    lblAction_->setFont(QFont("Arial", 10, QFont::Bold));
    lblAction_->setGeometry(16, 12, 288, 40);

    gaugeProgress_ = new QProgressBar(this);
    gaugeProgress_->setObjectName("gaugeProgress");
    gaugeProgress_->setTextVisible(false);
    gaugeProgress_->setGeometry(16, 60, 288, 22);

    btnCancel_ = new QPushButton("Cancel", this);
    btnCancel_->setObjectName("btnCancel");
    btnCancel_->setGeometry(120, 100, 80, 28);
    connect(btnCancel_, &QPushButton::clicked, this, &TfrmReadWrite::btnCancelClick);
}

void TfrmReadWrite::setRange(int min, int max) {
    gaugeProgress_->setRange(min, max);
}

void TfrmReadWrite::setProgress(int position) {
    gaugeProgress_->setValue(position);
}

void TfrmReadWrite::setRunning() {
    running_ = true;
    btnCancel_->setText("Cancel");
}

void TfrmReadWrite::setEnded() {
    running_ = false;
    btnCancel_->setText("Close");
}

void TfrmReadWrite::showResult(const QString& text) {
    lblAction_->setText(text);
}

void TfrmReadWrite::showEvent(QShowEvent* event) {
    lblAction_->clear();
    gaugeProgress_->setValue(gaugeProgress_->minimum());
    QDialog::showEvent(event);
}

void TfrmReadWrite::btnCancelClick() {
    if (cancelEvent_ != nullptr) {
        cancelEvent_->set();
    }
    close();
}

// Esc means Cancel while the transfer runs; only the close box leaves it running unseen.
void TfrmReadWrite::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && running_) {
        btnCancelClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmReadWrite::done(int result) {
    cancelEvent_ = nullptr;
    QDialog::done(result);
}

} // namespace kav

#include "Main.h"

#include <QLabel>
#include <QPalette>

namespace kav {

TfrmMain::TfrmMain(const BuildConfig& config, QWidget* parent)
    : QMainWindow(parent), config_(config) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromStdString(mainWindowCaption(config_)));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(192, 192, 192));
    panel->setPalette(palette);
    setCentralWidget(panel);

    lblVersion_ = new QLabel(QString::fromStdString(versionLabelText(config_)), panel);
    lblVersion_->setObjectName("lblVersion");
    QFont font("Arial", 10, QFont::Bold);
    lblVersion_->setFont(font);
    lblVersion_->adjustSize();
    lblVersion_->move(kClientWidth - lblVersion_->width() - 16,
                      kClientHeight - lblVersion_->height() - 12);

    setFixedSize(kClientWidth, kClientHeight);
}

} // namespace kav

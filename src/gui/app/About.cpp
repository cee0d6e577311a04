#include "app/About.h"

#include "app/Artwork.h"
#include "workflow/Version.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

namespace kav {

namespace {

constexpr QSize kClient(440, 420);

QPlainTextEdit* memo(QWidget* parent, const char* name, QRect geometry) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(name);
    m->setReadOnly(true);
    m->setFrameShape(QFrame::NoFrame);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setGeometry(geometry);
    m->setStyleSheet("background: transparent;");
    return m;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

} // namespace

TAboutBox::TAboutBox(const BuildConfig& config, int advancedMode, QWidget* parent)
    : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setFixedSize(kClient);

    auto* picture = new QLabel(this);
    picture->setObjectName("imgLogo");
    picture->setGeometry(0, 0, kClient.width(), 110);
    picture->setPixmap(paintAboutPicture(picture->size()));

    mmoHeading_ = memo(this, "mmoHeading", {20, 122, 400, 48});
    mmoHeading_->setFont(QFont("Arial", 11, QFont::Bold));
    mmoHeading_->setPlainText(QString(VersionInfo::familyText) + " UHF Transceiver\n" +
                              "Programmer Software");

    lblVersion_ = label(this, "lblVersion", QString::fromStdString(versionLabelText(config)),
                        {24, 176, 200, 20});
    QString built;
    if (advancedMode == 1) {
        built = QString("Last build: ") + VersionInfo::buildDate + " " + VersionInfo::buildTime;
    }
    lblBuildDate_ = label(this, "lblBuildDate", built, {24, 196, 396, 20});

    mmoModelsInfo_ = memo(this, "mmoModelsInfo", {20, 222, 400, 44});
    mmoModelsInfo_->setStyleSheet("background: #f4f4f4; border: 1px solid #c8c8c8;");

    label(this, "lblCompany", "KAV Radio Communications", {24, 276, 396, 20})
        ->setFont(QFont("Arial", 10, QFont::Bold));
    label(this, "lblAddress", "Radio programming and service tools", {24, 296, 396, 20});
    label(this, "lblWeb", "Web: www.kavradio.example", {24, 316, 396, 20});
    label(this, "lblEmail", "E-mail: support@kavradio.example", {24, 336, 396, 20});

    btnClose_ = new QPushButton("Close", this);
    btnClose_->setObjectName("btnClose");
    btnClose_->setGeometry(kClient.width() - 110, kClient.height() - 44, 90, 28);
    btnClose_->setDefault(true);
    connect(btnClose_, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::prepareModelsInfo() {
    mmoModelsInfo_->clear();
    mmoModelsInfo_->appendPlainText("This programmer supports QM2100, QM2200, QM2400 and QM2500S.");
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    btnClose_->setFocus();
}

} // namespace kav

#include "service/Engoptions.h"

#include "app/Popups.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kPollMs = 250;
constexpr int kNoiseChannel = 5;
constexpr int kCtcssEditLength = 4;
constexpr int kNumberWidth = 64;

// A spin box is the edit and its up-down in one: the box takes the up-down's name and its
// edit the edit's, so both can be found as the window names them.
QSpinBox* numberBox(QWidget* parent, const QString& editName, const QString& udName, int max) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(udName);
    box->setRange(0, max);
    box->setFixedWidth(kNumberWidth);
    if (auto* edit = box->findChild<QLineEdit*>()) {
        edit->setObjectName(editName);
    }
    return box;
}

QLabel* label(const QString& text, QWidget* parent, const QString& name = {}) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) {
        l->setObjectName(name);
    }
    return l;
}

} // namespace

TfrmEngOptions::TfrmEngOptions(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName("frmEngOptions");
    setWindowTitle("Advanced Options");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(kPollMs);
    connect(Timer1_, &QTimer::timeout, this, &TfrmEngOptions::Timer1Timer);

    auto* right = new QVBoxLayout;
    right->addWidget(createGeneral());
    right->addWidget(createCtcss());
    right->addStretch();
    auto* groups = new QHBoxLayout;
    groups->addWidget(createThresholds());
    groups->addLayout(right);

    // No default button: Enter in a deviation edit takes its number, it does not close.
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnOk");
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] {
        btnOkClick();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* TfrmEngOptions::createThresholds() {
    gbSquelchThresholds_ = new QGroupBox("Squelch Thresholds", this);
    gbSquelchThresholds_->setObjectName("gbSquelchThresholds");
    auto* grid = new QGridLayout(gbSquelchThresholds_);
    grid->addWidget(label("Noisevolts", gbSquelchThresholds_), 0, 2);
    for (int i = 0; i < kSquelchThresholds; ++i) {
        const auto at = static_cast<std::size_t>(i);
        lblSql_[at] = label(i == 0 ? QString("Close") : QString("SQL-%1").arg(i),
                            gbSquelchThresholds_, QString("lbl_Sql_%1").arg(i));
        udSql_[at] = numberBox(gbSquelchThresholds_, QString("editSql_%1").arg(i),
                               QString("udSql_%1").arg(i), kThresholdMax);
        grid->addWidget(lblSql_[at], i + 1, 0);
        grid->addWidget(udSql_[at], i + 1, 1);
    }
    editNoiseVolts_ = new QLineEdit(gbSquelchThresholds_);
    editNoiseVolts_->setObjectName("editNoiseVolts");
    editNoiseVolts_->setReadOnly(true);
    editNoiseVolts_->setFixedWidth(kNumberWidth);
    grid->addWidget(editNoiseVolts_, 1, 2);
    chkAdcPolling_ = new QCheckBox("A/D Polling", gbSquelchThresholds_);
    chkAdcPolling_->setObjectName("chkAdcPolling");
    connect(chkAdcPolling_, &QCheckBox::clicked, this, &TfrmEngOptions::chkAdcPollingClick);
    grid->addWidget(chkAdcPolling_, 2, 2);
    grid->setRowStretch(kSquelchThresholds + 1, 1);
    return gbSquelchThresholds_;
}

QGroupBox* TfrmEngOptions::createGeneral() {
    auto* group = new QGroupBox("General", this);
    group->setObjectName("gbGeneral");
    chkEnableTx_RxOnly_ = new QCheckBox("Enable TX on Rx-only channels", group);
    chkEnableTx_RxOnly_->setObjectName("chkEnableTx_RxOnly");
    auto* nextFree = new QCheckBox("Transmit on next free channel if busy", group);
    nextFree->setEnabled(false);
    auto* box = new QVBoxLayout(group);
    box->addWidget(chkEnableTx_RxOnly_);
    box->addWidget(nextFree);
    return group;
}

QWidget* TfrmEngOptions::deviationRow(Deviation& deviation, const char* editName,
                                      const char* udName, int maxLength) {
    auto* row = new QWidget(this);
    deviation.edit = new QLineEdit(row);
    deviation.edit->setObjectName(editName);
    deviation.edit->setFixedWidth(kNumberWidth - 16);
    deviation.edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), deviation.edit));
    if (maxLength > 0) {
        deviation.edit->setMaxLength(maxLength);
    }
    connect(deviation.edit, &QLineEdit::returnPressed, this,
            [this, &deviation] { enterDeviation(deviation); });
    // The up-down never moves: each click steps the register by one.
    auto* ud = new QWidget(row);
    ud->setObjectName(udName);
    auto* arrows = new QVBoxLayout(ud);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (const auto& [arrow, step] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto* button = new QToolButton(ud);
        button->setObjectName(QString(udName) + (step > 0 ? "_Up" : "_Down"));
        button->setArrowType(arrow);
        button->setFixedSize(16, 11);
        connect(button, &QToolButton::clicked, this,
                [this, &deviation, step = step] { stepDeviation(deviation, step); });
        arrows->addWidget(button);
    }
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(deviation.edit);
    layout->addWidget(ud);
    layout->addWidget(label("Hz", row));
    layout->addStretch();
    return row;
}

QGroupBox* TfrmEngOptions::createCtcss() {
    auto* group = new QGroupBox("CTCSS/DCS", this);
    group->setObjectName("gbCTCSS");
    auto* grid = new QGridLayout(group);
    udCTCSS_SilentTail_ =
        numberBox(group, "editCTCSS_SilentTail", "udCTCSS_SilentTail", kSilentTailMax);
    udCTCSS_RPK_ = numberBox(group, "editCTCSS_RPK", "udCTCSS_RPK", kRpkDelayMax);
    grid->addWidget(label("CTCSS Silent Tail", group), 0, 0);
    grid->addWidget(udCTCSS_SilentTail_, 0, 1);
    grid->addWidget(label("(cycles)", group), 0, 2);
    grid->addWidget(label("CTCSS RPK", group), 1, 0);
    grid->addWidget(udCTCSS_RPK_, 1, 1);
    grid->addWidget(label("(cycles)", group), 1, 2);
    chkCTCSS_5_35_ = new QCheckBox("Enable CTCSS on 5/35", group);
    chkCTCSS_5_35_->setObjectName("chkCTCSS_5_35");
    grid->addWidget(chkCTCSS_5_35_, 2, 0, 1, 3);
    grid->addWidget(label("CTCSS Deviation", group), 3, 0);
    grid->addWidget(deviationRow(ctcss_, "editCTCSS_Hz", "ud_CTCSS_Hz", kCtcssEditLength), 3, 1, 1,
                    2);
    grid->addWidget(label("DCS Deviation", group), 4, 0);
    grid->addWidget(deviationRow(dcs_, "editDCS_Hz", "ud_DCS_Hz", 0), 4, 1, 1, 2);
    chkCTCSS38Ext_ = new QCheckBox("Use extended CTCSS 38-toneset", group);
    chkCTCSS38Ext_->setObjectName("chkCTCSS38Ext");
    grid->addWidget(chkCTCSS38Ext_, 5, 0, 1, 3);
    return group;
}

void TfrmEngOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// However the window closes, the noise reading stops with it.
void TfrmEngOptions::hideEvent(QHideEvent* event) {
    Timer1_->stop();
    chkAdcPolling_->setChecked(false);
    QDialog::hideEvent(event);
}

void TfrmEngOptions::FormShow() {
    Timer1_->stop();
    chkAdcPolling_->setChecked(false);
    int major = 0;
    int minor = 0;
    int letter = 0;
    ctx_.radio().GetVersionNumbers(major, minor, letter);
    loaded_ = loadEngOptions(ctx_.image(), ctx_.models(), ctx_.config(), major);
    const EngOptionsSettings& s = loaded_;
    chkEnableTx_RxOnly_->setVisible(s.txOnRxOnlyShown);
    chkEnableTx_RxOnly_->setChecked(s.txOnRxOnly);
    chkCTCSS_5_35_->setChecked(s.ctcss535);
    udCTCSS_RPK_->setValue(s.rpkDelay);
    udCTCSS_SilentTail_->setValue(s.silentTail);
    ctcss_.reg = s.ctcssDeviation;
    dcs_.reg = s.dcsDeviation;
    showDeviation(ctcss_);
    showDeviation(dcs_);
    chkCTCSS38Ext_->setVisible(s.ctcss38ExtShown);
    chkCTCSS38Ext_->setChecked(s.ctcss38Ext);
    for (std::size_t i = 0; i < udSql_.size(); ++i) {
        lblSql_[i]->setVisible(s.thresholdsShown);
        udSql_[i]->setVisible(s.thresholdsShown);
        udSql_[i]->setValue(s.thresholds[i]);
    }
    editNoiseVolts_->clear();
}

void TfrmEngOptions::btnOkClick() {
    enterDeviation(ctcss_);
    enterDeviation(dcs_);
    EngOptionsSettings s = loaded_;
    s.txOnRxOnly = chkEnableTx_RxOnly_->isChecked();
    s.ctcss535 = chkCTCSS_5_35_->isChecked();
    s.rpkDelay = udCTCSS_RPK_->value();
    s.silentTail = udCTCSS_SilentTail_->value();
    s.ctcssDeviation = ctcss_.reg;
    s.dcsDeviation = dcs_.reg;
    s.ctcss38Ext = chkCTCSS38Ext_->isChecked();
    for (std::size_t i = 0; i < udSql_.size(); ++i) {
        s.thresholds[i] = udSql_[i]->value();
    }
    storeEngOptions(s, ctx_.image(), ctx_.models());
}

void TfrmEngOptions::chkAdcPollingClick(bool checked) {
    if (checked) {
        Timer1_->start();
    } else {
        Timer1_->stop();
    }
}

void TfrmEngOptions::Timer1Timer() {
    int value = 0;
    editNoiseVolts_->setText(ctx_.radio().ReadAdc(kNoiseChannel, value) ? QString::number(value)
                                                                        : QString("???"));
}

void TfrmEngOptions::stepDeviation(Deviation& deviation, int step) {
    deviation.reg = std::clamp(deviation.reg + step, 0, kDeviationRegisterMax);
    showDeviation(deviation);
}

void TfrmEngOptions::enterDeviation(Deviation& deviation) {
    const std::optional<int> reg = deviationRegisterOf(deviation.edit->text().toStdString());
    if (!reg) {
        popups::warn(this,
                     QString("%1: \"%2\" is not a number; it stays %3 Hz.")
                         .arg(deviation.name, deviation.edit->text())
                         .arg(deviationHz(deviation.reg)),
                     "Advanced Options");
    } else {
        deviation.reg = *reg;
    }
    showDeviation(deviation);
}

void TfrmEngOptions::showDeviation(const Deviation& deviation) {
    deviation.edit->setText(QString::number(deviationHz(deviation.reg)));
}

} // namespace kav

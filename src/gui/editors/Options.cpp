#include "editors/Options.h"

#include "app/Popups.h"
#include "editors/DialogUi.h"
#include "editors/EditorWidgets.h"
#include "editors/HelpPanel.h"
#include "editors/UpDown.h"
#include "workflow/AppContext.h"
#include "workflow/WorkflowUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>

namespace kav {

namespace {

constexpr int kEditWidth = 40;

constexpr const char* kMicHelp = "Total Mic Gain value of 0dB equates to 26mV at 1kHz.";
constexpr const char* kMicHelpWithUser =
    "Total Mic Gain value of 0dB equates to 26mV at 1kHz.\n\n"
    "The Fixed Mic Gain is for factory and dealer setting only.\n"
    "The User Mic Gain may also be set in the radio menu.\n"
    "Note that the Total Mic Gain is the sum of the Fixed Mic Gain and the User Mic Gain values.";
constexpr const char* kPttHelp =
    "Note: Selcall operation is always possible on CH22/23 regardless of this setting.\n\n"
    "Note: The ACMA Class Licence prohibits voice communication on CH22/23. PTT on CH22/23 "
    "should only be allowed if the radio is to be used for telemetry applications using an "
    "external data modem connected via the microphone.";
constexpr const char* kContrastHelp =
    "To increase LCD contrast (darker), increase the value and then click on 'Write contrast'.\n"
    "To decrease LCD contrast (lighter), decrease the value and then click on 'Write contrast'.";
constexpr const char* kTimeoutHelp =
    "Set maximum transmit time (secs).\nNote: ACMA Class License requires this to be fitted to "
    "all radios.";

constexpr std::array<const char*, 10> kMicControls{
    "lblMicGain",    "editMicGain",      "udMicGain",     "lblUserMicGain", "editUserMicGain",
    "udUserMicGain", "lblUserMicGaindB", "lblNetMicGain", "editNetMicGain", "lblNetMicGaindB"};

// The help tables, without and with the user mic gain (its lines only apply then).
template <bool WithUser> const std::vector<HelpText>& helpTable() {
    static const std::vector<HelpText> table = [] {
        std::vector<HelpText> t{
            {"chkPTT22_23", kPttHelp},
            {"chkAllowRxAudioMute",
             "Check this option to enable mute by short press of volume knob button."},
            {"chkAllowZeroMinVol",
             "Check this option to allow minimum volume to be set to 0, i.e. off."},
            {"chkEnaIntSpkr", "Enable radio base speaker, in addition to the microphone speaker."},
            {"lblCBDisplay", "Select CB channel display option."},
            {"cbCBDisplay", "Select CB channel display option."},
            {"lblRxonlyDisplay", "Select Rx-only channel display option."},
            {"cbRxonlyDisplay", "Select Rx-only channel display option."},
            {"lblTime", kTimeoutHelp},
            {"editTxTimeout", kTimeoutHelp},
        };
        for (const char* c :
             {"lblLCDContrast", "edtLCDContrast", "udLCDContrast", "btnUpdateContrast"}) {
            t.push_back({c, kContrastHelp});
        }
        for (const char* c : kMicControls) {
            t.push_back({c, WithUser ? kMicHelpWithUser : kMicHelp});
        }
        return t;
    }();
    return table;
}

// A read-only edit showing its spin buttons' position, the spin buttons, and a unit label.
UpDown* spinRow(QWidget* parent, QHBoxLayout& row, const char* editName, const char* spinName,
                int minimum, int maximum, std::vector<QWidget*>* parts = nullptr,
                const char* unitName = nullptr, const char* unit = nullptr) {
    QLineEdit* edit = newEdit(parent, editName);
    edit->setReadOnly(true);
    edit->setFixedWidth(kEditWidth);
    auto* spin = new UpDown(*edit, parent);
    spin->setObjectName(spinName);
    spin->setRange(minimum, maximum);
    row.setSpacing(0);
    row.addWidget(edit);
    row.addWidget(spin);
    QLabel* unitLabel = nullptr;
    if (unit != nullptr) {
        row.addSpacing(4);
        unitLabel = newLabel(parent, unitName, unit);
        row.addWidget(unitLabel);
    }
    row.addStretch();
    if (parts != nullptr) {
        parts->insert(parts->end(), {edit, spin});
        if (unitLabel != nullptr) {
            parts->push_back(unitLabel);
        }
    }
    return spin;
}

} // namespace

TfrmOptions::TfrmOptions(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("TfrmOptions");
    setWindowTitle("Radio Options");

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(createGeneralOptions());
    left->addWidget(createMicGain());
    left->addWidget(createTimeout());
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(createDisplayOptions());
    right->addWidget(createWirelessRemote());
    right->addWidget(createOtherOptions());
    right->addStretch();
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns, 1);
    const EditorFoot foot = addEditorFoot(*this, *layout);
    foot.memo->setObjectName("memoHelptext");
    connect(foot.ok, &QPushButton::clicked, this, &TfrmOptions::OKBtnClick);
    help_ = new HelpPanel(*foot.memo, helpTable<false>());
    connectHelp();
    setFixedSize(QSize(kClientWidth, kClientHeight).expandedTo(minimumSizeHint()));
}

QGroupBox* TfrmOptions::createGeneralOptions() {
    QGroupBox* group = newGroupBox(this, "GroupBox3", "General Options");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    chkPTT22_23_ = newCheckBox(group, "chkPTT22_23", "PTT on CH22/23");
    grid->addWidget(chkPTT22_23_, 0, 0, 1, 2);
    grid->addWidget(newLabel(group, "lblBeepVol", "Beep Volume"), 1, 0);
    auto* beep = new QHBoxLayout;
    udBeepVol_ = spinRow(group, *beep, "editBeepVol", "udBeepVol", 0, OptionsSettings::kMaxVolume);
    grid->addLayout(beep, 1, 1);
    QLabel* minLabel = newLabel(group, "lblMinVolume", "Minimum Volume");
    grid->addWidget(minLabel, 2, 0);
    auto* minRow = new QHBoxLayout;
    std::vector<QWidget*> minParts;
    udMinVolume_ = spinRow(group, *minRow, "editMinVolume", "udMinVolume", 1,
                           OptionsSettings::kMaxVolume, &minParts);
    grid->addLayout(minRow, 2, 1);
    minVolumeRow_[0] = minLabel;
    minVolumeRow_[1] = minParts[0];
    minVolumeRow_[2] = minParts[1];
    chkAllowRxAudioMute_ = newCheckBox(group, "chkAllowRxAudioMute", "Allow rx audio mute");
    chkAllowZeroMinVol_ = newCheckBox(group, "chkAllowZeroMinVol", "Allow zero min volume");
    chkEnaIntSpkr_ = newCheckBox(group, "chkEnaIntSpkr", "Enable internal speaker");
    grid->addWidget(chkAllowRxAudioMute_, 3, 0, 1, 2);
    grid->addWidget(chkAllowZeroMinVol_, 4, 0, 1, 2);
    grid->addWidget(chkEnaIntSpkr_, 5, 0, 1, 2);
    connect(chkAllowZeroMinVol_, &QCheckBox::clicked, this,
            &TfrmOptions::chkAllowZeroMinVolumeClick);
    return group;
}

QGroupBox* TfrmOptions::createMicGain() {
    QGroupBox* group = newGroupBox(this, "gbMicGain", "Mic Gain");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    lblMicGain_ = newLabel(group, "lblMicGain", "Mic Gain (front)");
    grid->addWidget(lblMicGain_, 0, 0);
    auto* front = new QHBoxLayout;
    udMicGain_ = spinRow(group, *front, "editMicGain", "udMicGain", OptionsSettings::kMinGain,
                         OptionsSettings::kMaxGain, nullptr, "lblMicGaindB", "dB");
    grid->addLayout(front, 0, 1);

    auto* upper = newLabel(group, "pnlUpperMicGain", "");
    upper->setFrameShape(QFrame::HLine);
    grid->addWidget(upper, 1, 0, 1, 2);
    QLabel* userLabel = newLabel(group, "lblUserMicGain", "User Mic Gain");
    grid->addWidget(userLabel, 2, 0);
    auto* user = new QHBoxLayout;
    userGainControls_ = {upper, userLabel};
    udUserMicGain_ =
        spinRow(group, *user, "editUserMicGain", "udUserMicGain", 0, OptionsSettings::kMaxUserGain,
                &userGainControls_, "lblUserMicGaindB", "dB");
    grid->addLayout(user, 2, 1);
    QLabel* netLabel = newLabel(group, "lblNetMicGain", "Total Mic Gain");
    grid->addWidget(netLabel, 3, 0);
    auto* net = new QHBoxLayout;
    editNetMicGain_ = newEdit(group, "editNetMicGain");
    editNetMicGain_->setReadOnly(true);
    editNetMicGain_->setFixedWidth(kEditWidth);
    QLabel* netUnit = newLabel(group, "lblNetMicGaindB", "dB");
    net->addWidget(editNetMicGain_);
    net->addSpacing(20);
    net->addWidget(netUnit);
    net->addStretch();
    grid->addLayout(net, 3, 1);
    auto* lower = newLabel(group, "pnlLowerMicGain", "");
    lower->setFrameShape(QFrame::HLine);
    grid->addWidget(lower, 4, 0, 1, 2);
    userGainControls_.insert(userGainControls_.end(), {netLabel, editNetMicGain_, netUnit, lower});

    lblMicGainRear_ = newLabel(group, "lblMicGainRear", "Mic Gain (rear)");
    grid->addWidget(lblMicGainRear_, 5, 0);
    auto* rear = new QHBoxLayout;
    rearControls_ = {lblMicGainRear_};
    udMicGainRear_ =
        spinRow(group, *rear, "editMicGainRear", "udMicGainRear", OptionsSettings::kMinGain,
                OptionsSettings::kMaxGain, &rearControls_, "lblMicGainReardB", "dB");
    grid->addLayout(rear, 5, 1);
    for (QLineEdit* edit : {group->findChild<QLineEdit*>("editMicGain"),
                            group->findChild<QLineEdit*>("editUserMicGain")}) {
        connect(edit, &QLineEdit::textChanged, this, &TfrmOptions::showTotalMicGain);
    }
    return group;
}

QGroupBox* TfrmOptions::createWirelessRemote() {
    gbWirelessRemote_ = newGroupBox(this, "gbWirelessRemote", "Wireless Remote");
    auto* grid = new QGridLayout(gbWirelessRemote_);
    grid->setVerticalSpacing(2);
    grid->addWidget(newLabel(gbWirelessRemote_, "lblWPTTMicSel", "PTT Mic Select"), 0, 0);
    cbWPTTMicSel_ = newDropDownList(gbWirelessRemote_, "cbWPTTMicSel");
    cbWPTTMicSel_->addItems({"Front", "Rear"});
    grid->addWidget(cbWPTTMicSel_, 0, 1);
    grid->addWidget(newLabel(gbWirelessRemote_, "lblWPTTMicGain", "PTT Mic Gain"), 1, 0);
    auto* gain = new QHBoxLayout;
    udMicGainWireless_ = spinRow(gbWirelessRemote_, *gain, "edtWPTTMicGain", "udMicGainWireless",
                                 OptionsSettings::kMinGain, OptionsSettings::kMaxGain, nullptr,
                                 "lblWPTTMicGaindB", "dB");
    grid->addLayout(gain, 1, 1);
    grid->addWidget(newLabel(gbWirelessRemote_, "lblWPTTKeyFunctions", "Key Functions"), 2, 0);
    cbWPTTKeyFunctions_ = newDropDownList(gbWirelessRemote_, "cbWPTTKeyFunctions");
    cbWPTTKeyFunctions_->addItems({"Down/Up", "Scan/Pri"});
    grid->addWidget(cbWPTTKeyFunctions_, 2, 1);
    return gbWirelessRemote_;
}

QGroupBox* TfrmOptions::createDisplayOptions() {
    QGroupBox* group = newGroupBox(this, "gbDisplayOptions", "Display Options");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->addWidget(newLabel(group, "lblCBDisplay", "Default CB Display"), 0, 0);
    cbCBDisplay_ = newDropDownList(group, "cbCBDisplay");
    cbCBDisplay_->addItems({"S-METER", "S-LINEAR", "BATT"});
    grid->addWidget(cbCBDisplay_, 0, 1);

    rgDisplayMode_ = newGroupBox(group, "rgDisplayMode", "Display Mode");
    auto* modes = new QHBoxLayout(rgDisplayMode_);
    rbNumeric_ = newRadioButton(rgDisplayMode_, "rbNumeric", "Numeric");
    rbAlpha_ = newRadioButton(rgDisplayMode_, "rbAlpha", "Alpha");
    modes->addWidget(rbNumeric_);
    modes->addWidget(rbAlpha_);
    grid->addWidget(rgDisplayMode_, 1, 0, 1, 2);

    QLabel* rxLabel = newLabel(group, "lblRxonlyDisplay", "Default Rx-only Display");
    grid->addWidget(rxLabel, 2, 0);
    cbRxonlyDisplay_ = newDropDownList(group, "cbRxonlyDisplay");
    cbRxonlyDisplay_->addItems({"S-METER", "S-LINEAR", "BATT", "ALPHA"});
    grid->addWidget(cbRxonlyDisplay_, 2, 1);
    rxOnlyDisplayControls_ = {rxLabel, cbRxonlyDisplay_};

    QLabel* contrastLabel = newLabel(group, "lblLCDContrast", "LCD Contrast");
    grid->addWidget(contrastLabel, 3, 0);
    auto* contrast = new QHBoxLayout;
    contrastControls_ = {contrastLabel};
    udLCDContrast_ = spinRow(group, *contrast, "edtLCDContrast", "udLCDContrast", 1,
                             OptionsSettings::kMaxContrast, &contrastControls_);
    udLCDContrast_->setPosition(OptionsSettings::kDefaultContrast);
    QPushButton* write = newButton(group, "btnUpdateContrast", "Write contrast");
    contrast->insertSpacing(contrast->count() - 1, 4);
    contrast->insertWidget(contrast->count() - 1, write);
    contrastControls_.push_back(write);
    grid->addLayout(contrast, 3, 1);
    connect(write, &QPushButton::clicked, this, &TfrmOptions::btnUpdateContrastClick);
    return group;
}

QGroupBox* TfrmOptions::createTimeout() {
    QGroupBox* group = newGroupBox(this, "gbTimeoutTimer", "Transmit Timeout");
    auto* row = new QHBoxLayout(group);
    row->addWidget(newLabel(group, "lblTime", "Timeout"));
    row->addSpacing(8);
    auto* spin = new QHBoxLayout;
    udTxTimeOut_ = spinRow(group, *spin, "editTxTimeout", "udTxTimeOut", 0,
                           OptionsSettings::kMaxTxTimeout, nullptr, "lblSec", "sec");
    row->addLayout(spin, 1);
    return group;
}

QGroupBox* TfrmOptions::createOtherOptions() {
    QGroupBox* group = newGroupBox(this, "gbOtherOptions", "Other Options");
    auto* column = new QVBoxLayout(group);
    column->setSpacing(2);
    cbDVC_ = newCheckBox(group, "cbDVC", "Enable Dynamic Volume Control");
    cbNarrowbandCB1_40_ = newCheckBox(group, "cbNarrowbandCB1_40", "Narrow-band receive CB1-40");
    cbBusyLockout_ = newCheckBox(group, "cbBusyLockout", "Busy lockout");
    cbScrambler_ = newCheckBox(group, "cbScrambler", "Enable voice inversion scrambler");
    chkEnableSqlTailMute_ = newCheckBox(group, "chkEnableSqlTailMute", "Enable squelch tail mute");
    for (QWidget* box : std::initializer_list<QWidget*>{cbDVC_, cbNarrowbandCB1_40_, cbBusyLockout_,
                                                        cbScrambler_, chkEnableSqlTailMute_}) {
        column->addWidget(box);
    }
    return group;
}

void TfrmOptions::connectHelp() {
    std::vector<QWidget*> focus;
    std::vector<QWidget*> hover;
    for (const HelpText& h : helpTable<true>()) {
        QWidget* control = findChild<QWidget*>(h.control);
        if (control == nullptr) {
            continue;
        }
        (qobject_cast<QLabel*>(control) != nullptr ? hover : focus).push_back(control);
    }
    for (const char* name : {"lblMicGaindB", "lblUserMicGaindB", "lblNetMicGaindB"}) {
        hover.push_back(findChild<QWidget*>(name));
    }
    for (const char* name :
         {"OKBtn", "CancelBtn", "GroupBox3", "gbDisplayOptions", "gbTimeoutTimer"}) {
        hover.push_back(findChild<QWidget*>(name));
    }
    hover.push_back(this);
    help_->serveOnFocus(focus);
    help_->serveOnHover(hover);
}

void TfrmOptions::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmOptions::showMicGain(const OptionsSettings& s) {
    udMicGain_->setPosition(s.micGain);
    for (QWidget* w : userGainControls_) {
        w->setVisible(s.userGain);
    }
    lblMicGain_->setText(s.userGain ? "Fixed Mic Gain" : "Mic Gain (internal)");
    udUserMicGain_->setPosition(s.userMicGain);
    for (QWidget* w : rearControls_) {
        w->setVisible(s.rearShown);
    }
    udMicGainRear_->setPosition(s.micGainRear);
    if (s.rearShown && s.internalExternalMic) {
        lblMicGain_->setText("Mic Gain (internal)");
        lblMicGainRear_->setText("Mic Gain (external)");
    }
    help_->setTexts(s.userGain ? helpTable<true>() : helpTable<false>());
    showTotalMicGain();
}

void TfrmOptions::FormShow() {
    int major = -1;
    int minor = 0;
    int letter = 0;
    ctx_.radio().GetVersionNumbers(major, minor, letter);
    loaded_ = OptionsSettings::load(ctx_.image(), ctx_.models(), ctx_.config(), major);
    const OptionsSettings& s = loaded_;
    chkPTT22_23_->setChecked(s.ptt22_23);
    showMicGain(s);
    for (QWidget* w : minVolumeRow_) {
        w->setVisible(s.minVolumeShown);
    }
    // The spin's floor follows the loaded "allow zero" bit at every showing.
    udMinVolume_->setRange(s.minVolumeFloor(), OptionsSettings::kMaxVolume);
    udMinVolume_->setPosition(s.minVolume);
    chkAllowRxAudioMute_->setVisible(s.audioMuteShown);
    chkAllowZeroMinVol_->setVisible(s.audioMuteShown && s.minVolumeShown);
    chkAllowRxAudioMute_->setChecked(s.allowRxAudioMute);
    chkAllowZeroMinVol_->setChecked(s.allowZeroMinVolume);
    udBeepVol_->setPosition(s.beepVolume);
    chkEnaIntSpkr_->setVisible(s.internalSpeakerShown);
    chkEnaIntSpkr_->setChecked(s.internalSpeaker);
    cbCBDisplay_->setCurrentIndex(s.cbDisplay);
    rgDisplayMode_->setVisible(s.displayModeShown);
    (s.alphaDisplay ? rbAlpha_ : rbNumeric_)->setChecked(true);
    for (QWidget* w : rxOnlyDisplayControls_) {
        w->setVisible(s.rxOnlyDisplayShown);
    }
    cbRxonlyDisplay_->setCurrentIndex(s.rxOnlyDisplay);
    for (QWidget* w : contrastControls_) {
        w->setVisible(s.contrastShown);
    }
    udLCDContrast_->setPosition(s.contrast);
    udTxTimeOut_->setPosition(s.txTimeout);
    cbDVC_->setChecked(s.dynamicVolume);
    cbNarrowbandCB1_40_->setVisible(s.narrowbandShown);
    cbNarrowbandCB1_40_->setChecked(s.narrowband);
    cbBusyLockout_->setChecked(s.busyLockout);
    cbScrambler_->setVisible(s.scramblerShown);
    cbScrambler_->setChecked(s.scrambler);
    gbWirelessRemote_->setVisible(s.wirelessShown);
    cbWPTTMicSel_->setCurrentIndex(s.wirelessFront ? 0 : 1);
    udMicGainWireless_->setPosition(s.wirelessGain);
    cbWPTTKeyFunctions_->setCurrentIndex(s.wirelessScanPri ? 1 : 0);
    chkEnableSqlTailMute_->setChecked(s.sqlTailMute);
    findChild<QWidget*>("OKBtn")->setFocus();
}

void TfrmOptions::showTotalMicGain() {
    editNetMicGain_->setText(QString::number(udMicGain_->position() + udUserMicGain_->position()));
}

void TfrmOptions::chkAllowZeroMinVolumeClick(bool checked) {
    if (checked) {
        udMinVolume_->setRange(0, OptionsSettings::kMaxVolume);
    } else {
        udMinVolume_->setRange(1, OptionsSettings::kMaxVolume); // a 0 is raised to 1
    }
}

void TfrmOptions::OKBtnClick() {
    OptionsSettings s = loaded_;
    s.ptt22_23 = chkPTT22_23_->isChecked();
    s.micGain = udMicGain_->position();
    s.userMicGain = udUserMicGain_->position();
    s.micGainRear = udMicGainRear_->position();
    s.minVolume = udMinVolume_->position();
    s.allowRxAudioMute = chkAllowRxAudioMute_->isChecked();
    s.allowZeroMinVolume = chkAllowZeroMinVol_->isChecked();
    s.beepVolume = udBeepVol_->position();
    s.internalSpeaker = chkEnaIntSpkr_->isChecked();
    s.cbDisplay = cbCBDisplay_->currentIndex();
    s.alphaDisplay = rbAlpha_->isChecked();
    s.rxOnlyDisplay = cbRxonlyDisplay_->currentIndex();
    s.contrast = udLCDContrast_->position();
    s.txTimeout = udTxTimeOut_->position();
    s.dynamicVolume = cbDVC_->isChecked();
    s.narrowband = cbNarrowbandCB1_40_->isChecked();
    s.busyLockout = cbBusyLockout_->isChecked();
    s.scrambler = cbScrambler_->isChecked();
    s.wirelessFront = cbWPTTMicSel_->currentIndex() == 0;
    s.wirelessGain = udMicGainWireless_->position();
    s.wirelessScanPri = cbWPTTKeyFunctions_->currentIndex() == 1;
    s.sqlTailMute = chkEnableSqlTailMute_->isChecked();
    store(s, ctx_.image(), ctx_.models(), ctx_.config());
    accept();
}

void TfrmOptions::btnUpdateContrastClick() {
    DialogUi ui(*this);
    const Outcome outcome = writeLcdContrast(ctx_, ui, udLCDContrast_->position());
    if (outcome == Outcome::Busy) {
        QApplication::beep();
    } else if (outcome == Outcome::Failed) {
        popups::inform(this, "Unable to write LCD contrast to radio", windowTitle());
    }
}

} // namespace kav

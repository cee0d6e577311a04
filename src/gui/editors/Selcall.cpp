#include "editors/Selcall.h"

#include "editors/EditorWidgets.h"
#include "editors/HelpPanel.h"
#include "editors/KeyFilter.h"
#include "editors/Selc_mem.h"
#include "editors/UpDown.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace kav {

namespace {

constexpr QSize kClient(674, 694);
constexpr int kLeadInDelayStep = 100;

constexpr std::array<HelpText, 25> kHelp{{
    {"blbRadioIdent", "Selcall Ident of this radio."},
    {"MaskEditRadioIdent", "Selcall Ident of this radio."},
    {"chkAlertIndividualCall",
     "Select alarm tone for received calls that match own selcall ident."},
    {"chkAlertGroupCall", "Select alarm tone for received group calls."},
    {"lblAlertDuration", "Set timeout for alarm tone."},
    {"chkBeepAckEnable", "Enable the transmit beep acknowledge tones"},
    {"chkBeepAlarms", "Beep indefinitely at slow beep rate after the selcall alert ends."},
    {"chkUnmuteOnSelcall", "Clear QUIET mode if valid selcall received."},
    {"chkReenterQuiet", "If no keypress or PTT occurs after receiving a selcall during the alert "
                        "time, then re-enter QUIET at end of alert duration."},
    {"chkAcceptGroupCalls", "Enable radio to respond to received group calls."},
    {"lblRxGroupSize", "Set range of selcalls accepted as group calls."},
    {"chkAppendAni", "Append radio's own ident to transmitted selcalls.  The last N-digits of own "
                     "ident are appended, where N is  the Appended ANI Length value."},
    {"chkLeadInDelay", "Turn carrier on for short period before start of selcall transmission."},
    {"chkLead_In_Tone", "Enable the first tone of the selcall to be sent during the lead-in delay"},
    {"lblLeadInDelayl", "Set the lead-in tone length."},
    {"editLeadInDelay", "Set the lead-in tone length."},
    {"chkSendGroupCalls", "Enable editing and transmission of group calls"},
    {"lblTxGroupSize", "Set selcall transmit group call size."},
    {"chkUserModifyOwnIdent", "Enable user to modify radio's own selcall ident.  Radio's selcall "
                              "ident appears as Selcall Memory 41."},
    {"editUserModifyMemory", "Selcall memory can be edited by the user.  "},
    {"lblTonePeriod", "Select tone period (40ms recommended)."},
    {"btnSelcallMem", "Edit Selcall memories."},
    {"gbQuietMem", "Select from CH 1-80 for Selcall Quiet Memory"},
    {"OKBtn", "Save and exit."},
    {"CancelBtn", "Exit without saving."},
}};

// Group boxes and panels that clear the help box when pointed at.
constexpr std::array<const char*, 4> kPlainAreas{"GroupBox2", "GroupBox3", "gbGeneralOptions",
                                                 "Panel2"};

QComboBox* groupSizeList(QWidget* parent, const char* name) {
    QComboBox* list = newDropDownList(parent, name);
    for (std::string_view size : SelcallSettings::kGroupSizes) {
        list->addItem(QString::fromLatin1(size.data(), static_cast<int>(size.size())));
    }
    return list;
}

QLabel* boldLabel(QWidget* parent, const char* name, const QString& caption) {
    QLabel* label = newLabel(parent, name, caption);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A read-only edit showing the position of its spin buttons, and the unit after them.
UpDown* addSpinner(QGridLayout& grid, int row, int column, QLineEdit* edit, const char* spinName,
                   QLabel* unit) {
    auto* spin = new UpDown(*edit, edit->parentWidget());
    spin->setObjectName(spinName);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(edit);
    cell->addWidget(spin);
    cell->addSpacing(4);
    cell->addWidget(unit);
    cell->addStretch();
    grid.addLayout(cell, row, column);
    return spin;
}

} // namespace

TfrmSelcall::TfrmSelcall(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("TfrmSelcall");
    setWindowTitle("Selcall Options");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createIdentPanel());
    auto* options = new QHBoxLayout;
    options->addWidget(createReceiveOptions(), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(createTransmitOptions());
    right->addWidget(createGeneralOptions());
    options->addLayout(right, 1);
    layout->addLayout(options);
    layout->addWidget(createQuietMemory(), 1);
    const EditorFoot foot = addEditorFoot(*this, *layout);
    connect(foot.ok, &QPushButton::clicked, this, &TfrmSelcall::OKBtnClick);
    setFixedSize(kClient.expandedTo(minimumSizeHint())); // a larger desktop font needs room

    help_ = new HelpPanel(*foot.memo, kHelp);
    help_->serveOnFocus({chkAcceptGroupCalls_, editLeadInDelay_});
    std::vector<QWidget*> pointed;
    for (const HelpText& h : kHelp) {
        pointed.push_back(findChild<QWidget*>(h.control));
    }
    for (const char* area : kPlainAreas) {
        pointed.push_back(findChild<QWidget*>(area));
    }
    help_->serveOnHover(pointed);
}

TfrmSelcall::~TfrmSelcall() = default;

QWidget* TfrmSelcall::createIdentPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel2");
    panel->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(panel);
    MaskEditRadioIdent_ = newEdit(panel, "MaskEditRadioIdent");
    // Stored digits A-F are shown as they are; only digits and blanks can be typed.
    MaskEditRadioIdent_->setInputMask("hhhhh; ");
    MaskEditRadioIdent_->setFont(
        QFont("Courier New", MaskEditRadioIdent_->font().pointSize(), QFont::Bold));
    MaskEditRadioIdent_->setFixedWidth(
        MaskEditRadioIdent_->fontMetrics().horizontalAdvance("0000000") + 8);
    KeyFilter::install(*MaskEditRadioIdent_, keys::digitOrBlank);
    editRadioAlpha_ = newEdit(panel, "editRadioAlpha");
    editRadioAlpha_->setMaxLength(SelcallSettings::kNameLength);
    editRadioAlpha_->setFixedWidth(editRadioAlpha_->fontMetrics().horizontalAdvance("WWWWWW") + 8);
    KeyFilter::install(*editRadioAlpha_, keys::radioName);
    row->addWidget(boldLabel(panel, "blbRadioIdent", "Radio Ident:"));
    row->addWidget(MaskEditRadioIdent_);
    row->addSpacing(24);
    row->addWidget(boldLabel(panel, "Label5", "Radio Name:"));
    row->addWidget(editRadioAlpha_);
    row->addStretch();
    return panel;
}

QWidget* TfrmSelcall::createReceiveOptions() {
    auto* group = newGroupBox(this, "GroupBox2", "Receive Options");
    auto* grid = new QGridLayout(group);
    chkAlertIndividualCall_ =
        newCheckBox(group, "chkAlertIndividualCall", "Alert Tones for Individual Calls");
    chkAlertGroupCall_ = newCheckBox(group, "chkAlertGroupCall", "Alert Tones for Group Calls");
    chkBeepAlarms_ = newCheckBox(group, "chkBeepAlarms", "Enable Alert Slow Beeps");
    chkBeepAckEnable_ = newCheckBox(group, "chkBeepAckEnable", "Enable Beep Acknowledge");
    chkUnmuteOnSelcall_ = newCheckBox(group, "chkUnmuteOnSelcall", "Unmute on receipt of Selcall");
    chkReenterQuiet_ =
        newCheckBox(group, "chkReenterQuiet", "Re-enter Quiet if no operator response");
    int row = 0;
    for (QCheckBox* box : {chkAlertIndividualCall_, chkAlertGroupCall_, chkBeepAlarms_,
                           chkBeepAckEnable_, chkUnmuteOnSelcall_, chkReenterQuiet_}) {
        grid->addWidget(box, row++, 0, 1, 3);
    }
    chkAcceptGroupCalls_ = newCheckBox(group, "chkAcceptGroupCalls", "Accept Group Calls");
    comboRxGrpSize_ = groupSizeList(group, "comboRxGrpSize");
    grid->addWidget(chkAcceptGroupCalls_, row, 0);
    grid->addWidget(newLabel(group, "lblRxGroupSize", "Group size:"), row, 1, Qt::AlignRight);
    grid->addWidget(comboRxGrpSize_, row++, 2);

    grid->addWidget(newLabel(group, "lblAlertDuration", "Alert Duration / Response Timeout"), row++,
                    0, 1, 3);
    auto* duration = newEdit(group, "editAlertDuration");
    duration->setReadOnly(true);
    duration->setFixedWidth(duration->fontMetrics().horizontalAdvance("00000") + 8);
    udAlertDuration_ = addSpinner(*grid, row++, 0, duration, "udAlertDuration",
                                  newLabel(group, "lblAlertDurationUnit", "s"));
    udAlertDuration_->setRange(0, SelcallSettings::kMaxAlertDuration);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(0, 1);
    return group;
}

QWidget* TfrmSelcall::createTransmitOptions() {
    auto* group = newGroupBox(this, "GroupBox3", "Transmit Options");
    auto* grid = new QGridLayout(group);
    chkAppendAni_ = newCheckBox(group, "chkAppendAni", "Append ANI on CALL-TO");
    chkLeadInDelay_ = newCheckBox(group, "chkLeadInDelay", "Lead-in delay ");
    grid->addWidget(chkAppendAni_, 0, 0, 1, 3);
    grid->addWidget(chkLeadInDelay_, 1, 0, 1, 3);

    grid->addWidget(newLabel(group, "lblLeadInDelayl", "Lead in delay length:"), 2, 0);
    editLeadInDelay_ = newEdit(group, "editLeadInDelay");
    editLeadInDelay_->setReadOnly(true);
    editLeadInDelay_->setFixedWidth(editLeadInDelay_->fontMetrics().horizontalAdvance("000000") +
                                    8);
    udLeadInDelay_ = addSpinner(*grid, 2, 1, editLeadInDelay_, "udLeadInDelay",
                                newLabel(group, "lblLeadInDelayUnit", "ms"));
    udLeadInDelay_->setSingleStep(kLeadInDelayStep);

    chkLead_In_Tone_ = newCheckBox(group, "chkLead_In_Tone", "Lead-in tone");
    grid->addWidget(chkLead_In_Tone_, 3, 0, 1, 3);
    chkSendGroupCalls_ = newCheckBox(group, "chkSendGroupCalls", "Send Group Calls");
    comboTxGrpSize_ = groupSizeList(group, "comboTxGrpSize");
    grid->addWidget(chkSendGroupCalls_, 4, 0);
    auto* size = new QHBoxLayout;
    size->addWidget(newLabel(group, "lblTxGroupSize", "Group Size:"));
    size->addWidget(comboTxGrpSize_);
    size->addStretch();
    grid->addLayout(size, 4, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* TfrmSelcall::createGeneralOptions() {
    auto* group = newGroupBox(this, "gbGeneralOptions", "General Options");
    auto* grid = new QGridLayout(group);
    auto* memories = newButton(group, "btnSelcallMem", "Edit Selcall Memories");
    connect(memories, &QPushButton::clicked, this, &TfrmSelcall::btnSelcallMemClick);
    grid->addWidget(memories, 0, 0, 1, 3, Qt::AlignLeft);
    chkUserModifyOwnIdent_ =
        newCheckBox(group, "chkUserModifyOwnIdent", "Enable User Modify Radio Ident");
    editUserModifyMemory_ =
        newCheckBox(group, "editUserModifyMemory", "Enable User Modify Selcall Memory");
    grid->addWidget(chkUserModifyOwnIdent_, 1, 0, 1, 3);
    grid->addWidget(editUserModifyMemory_, 2, 0, 1, 3);
    auto* label = newLabel(group, "lblTonePeriod", "Tone period:");
    comboTonePeriod_ = newDropDownList(group, "comboTonePeriod");
    for (int period : SelcallSettings::kTonePeriods) {
        comboTonePeriod_->addItem(QString::number(period), period);
    }
    auto* unit = newLabel(group, "Label8", "ms");
    grid->addWidget(label, 3, 0);
    grid->addWidget(comboTonePeriod_, 3, 1);
    grid->addWidget(unit, 3, 2);
    grid->setColumnStretch(2, 1);
    tonePeriodControls_ = {label, comboTonePeriod_, unit};
    return group;
}

QWidget* TfrmSelcall::createQuietMemory() {
    auto* group = newGroupBox(this, "gbQuietMem", "Quiet Memory");
    auto* row = new QHBoxLayout(group);
    auto* grid = new QGridLayout;
    quiet_ = addChannelBoxes(group, *grid, [](int channel) {
        return QString(channel <= 40 ? "chkGs%1" : "chkQuiet%1").arg(channel);
    });
    row->addLayout(grid, 1);
    auto* buttons = new QVBoxLayout;
    auto* all = newButton(group, "btnSelectAll", "Select All");
    auto* none = newButton(group, "btnDeselectAll", "Deselect All");
    connect(all, &QPushButton::clicked, this, [this] { setAll(quiet_, true); });
    connect(none, &QPushButton::clicked, this, [this] { setAll(quiet_, false); });
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    row->addLayout(buttons);
    return group;
}

void TfrmSelcall::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmSelcall::FormShow() {
    loaded_ = SelcallSettings::load(ctx_.image(), ctx_.models(), ctx_.config());
    const SelcallSettings& s = loaded_;
    MaskEditRadioIdent_->setText(QString::fromStdString(s.ident));
    editRadioAlpha_->setText(QString::fromStdString(s.name));
    MaskEditRadioIdent_->setEnabled(s.identPresent); // nothing typed there could be stored
    editRadioAlpha_->setEnabled(s.identPresent);
    chkAlertIndividualCall_->setChecked(s.alertIndividualCall);
    chkAlertGroupCall_->setChecked(s.alertGroupCall);
    udAlertDuration_->setPosition(s.alertDuration);
    chkBeepAckEnable_->setChecked(s.beepAck);
    chkBeepAlarms_->setChecked(s.beepAlarms);
    chkUnmuteOnSelcall_->setChecked(s.unmuteOnSelcall);
    chkReenterQuiet_->setChecked(s.reenterQuiet);
    // A list whose box is clear shows no size, never one left from an earlier showing.
    chkAcceptGroupCalls_->setChecked(s.acceptGroupCalls);
    comboRxGrpSize_->setCurrentIndex(s.rxGroupSize);
    chkAppendAni_->setChecked(s.appendAni);
    chkLeadInDelay_->setChecked(s.leadInDelay);
    // The spin's own range starts at 100 ms; a shorter stored delay is shown as it is.
    udLeadInDelay_->setRange(std::min(SelcallSettings::kMinLeadInDelayStep, s.leadInDelayMs),
                             SelcallSettings::kMaxLeadInDelay);
    udLeadInDelay_->setPosition(s.leadInDelayMs);
    chkLead_In_Tone_->setChecked(s.leadInTone);
    chkSendGroupCalls_->setChecked(s.sendGroupCalls);
    comboTxGrpSize_->setCurrentIndex(s.txGroupSize);
    chkUserModifyOwnIdent_->setChecked(s.userModifiesIdent);
    editUserModifyMemory_->setChecked(s.userModifiesMemory);
    for (QWidget* control : tonePeriodControls_) {
        control->setVisible(s.tonePeriodShown);
    }
    comboTonePeriod_->setCurrentIndex(comboTonePeriod_->findData(s.tonePeriod));
    for (std::size_t ch = 0; ch < quiet_.size(); ++ch) {
        quiet_[ch]->setChecked(s.quiet[ch]);
    }
}

void TfrmSelcall::OKBtnClick() {
    SelcallSettings s = loaded_;
    s.ident = MaskEditRadioIdent_->displayText().toStdString(); // blanks at empty positions
    s.name = editRadioAlpha_->text().toStdString();
    s.alertIndividualCall = chkAlertIndividualCall_->isChecked();
    s.alertGroupCall = chkAlertGroupCall_->isChecked();
    s.alertDuration = udAlertDuration_->position();
    s.beepAck = chkBeepAckEnable_->isChecked();
    s.beepAlarms = chkBeepAlarms_->isChecked();
    s.unmuteOnSelcall = chkUnmuteOnSelcall_->isChecked();
    s.reenterQuiet = chkReenterQuiet_->isChecked();
    s.acceptGroupCalls = chkAcceptGroupCalls_->isChecked();
    s.rxGroupSize = comboRxGrpSize_->currentIndex();
    s.appendAni = chkAppendAni_->isChecked();
    s.leadInDelay = chkLeadInDelay_->isChecked();
    s.leadInDelayMs = udLeadInDelay_->position();
    s.leadInTone = chkLead_In_Tone_->isChecked();
    s.sendGroupCalls = chkSendGroupCalls_->isChecked();
    s.txGroupSize = comboTxGrpSize_->currentIndex();
    s.userModifiesIdent = chkUserModifyOwnIdent_->isChecked();
    s.userModifiesMemory = editUserModifyMemory_->isChecked();
    if (comboTonePeriod_->currentIndex() >= 0) {
        s.tonePeriod = comboTonePeriod_->currentData().toInt();
    }
    for (std::size_t ch = 0; ch < quiet_.size(); ++ch) {
        s.quiet[ch] = quiet_[ch]->isChecked();
    }
    store(s, ctx_.image(), ctx_.models());
    accept();
}

void TfrmSelcall::btnSelcallMemClick() {
    if (!frmSelcallIdents_) {
        frmSelcallIdents_ = std::make_unique<TfrmSelcallIdents>(ctx_, this);
    }
    frmSelcallIdents_->setIdentLength(SelcallSettings::kIdentLength);
    frmSelcallIdents_->exec();
}

} // namespace kav

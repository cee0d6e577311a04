#include "editors/Ctcss.h"

#include "editors/EditorWidgets.h"
#include "editors/HelpPanel.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

namespace kav {

namespace {

constexpr int kToneListWidth = 150;
constexpr QMargins kGroupMargins(9, 2, 9, 2); // the window's height holds ten rows of boxes
constexpr int kToneSet38Item = 1;             // "CTCSS 1-50", then "CTCSS 1-38"

constexpr const char* kCbToneHelp = "Set the CTCSS tone to use for CB channels";
constexpr const char* kTrawlToneHelp = "Set the CTCSS tone to use for ScanWeave";
constexpr const char* kToneSetHelp = "Select CTCSS Tone Set - CCIR (38 tones) or KAV (50 tones)";

constexpr std::array<HelpText, 10> kHelp{{
    {"chkEnableCbCtcss", "Enable CTCSS Operation"},
    {"chkCtcssOnDup", "Enable CTCSS operation on Duplex channels (1-8)"},
    {"chkCtcssNb", "Enable automatic shift to narrow bandwidth CTCSS above 151.4Hz.\n"
                   "Gives best rejection of adjacent codes but response is slower."},
    {"cmbTxCtcss", kCbToneHelp},
    {"lblCbCtcssTx", kCbToneHelp},
    {"cmbTrawlTone", kTrawlToneHelp},
    {"lblTrawlTone", kTrawlToneHelp},
    {"gbCtcssMem", "Select from channels 1 - 80 for silent memory"},
    {"lblCTCSSToneSet", kToneSetHelp},
    {"cbCTCSSToneSet", kToneSetHelp},
}};

// Fills a tone list for the scheme, each item carrying the code it stores, and shows `code`.
void showToneList(QComboBox& list, ToneScheme scheme, int code) {
    const QSignalBlocker quiet(list);
    list.clear();
    for (const ToneChoice& choice : toneChoices(scheme, code)) {
        list.addItem(QString::fromStdString(choice.text), choice.code);
    }
    list.setCurrentIndex(std::max(list.findData(code), 0));
}

// The code of the item shown; no item counts as "OFF".
int shownTone(const QComboBox& list) {
    return list.currentIndex() < 0 ? 0 : list.currentData().toInt();
}

} // namespace

TfrmCtcss::TfrmCtcss(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("TfrmCtcss");
    setWindowTitle("CTCSS Setup");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(createOptions());
    layout->addWidget(createSilentMemory(), 1);
    const EditorFoot foot = addEditorFoot(*this, *layout);
    connect(foot.ok, &QPushButton::clicked, this, &TfrmCtcss::OKBtnClick);
    help_ = new HelpPanel(*foot.memo, kHelp);
    connectHelp();
    setFixedSize(QSize(kClientWidth, kClientHeight).expandedTo(minimumSizeHint()));
}

QGroupBox* TfrmCtcss::createOptions() {
    QGroupBox* group = newGroupBox(this, "GroupBox1", "CTCSS options");
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(kGroupMargins);
    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    chkEnableCbCtcss_ = newCheckBox(group, "chkEnableCbCtcss", "CTCSS Operation Enabled");
    chkCtcssOnDup_ = newCheckBox(group, "chkCtcssOnDup", "CTCSS on duplex channels.");
    chkCtcssNb_ = newCheckBox(group, "chkCtcssNb", "CTCSS narrow band above 151.4Hz");
    chkBusyLockout_ = newCheckBox(group, "chkBusyLockout", "Busy Lockout");
    chkBusyLockoutOverride_ =
        newCheckBox(group, "chkBusyLockoutOverride", "Busy Lockout override if CTCSS tone match.");
    chkCTCSS_RPK_ = newCheckBox(group, "chkCTCSS_RPK", "CTCSS Reverse Phase Key");
    chkCTCSS_SilentTail_ = newCheckBox(group, "chkCTCSS_SilentTail", "CTCSS Silent Tail");
    for (QCheckBox* box : {chkEnableCbCtcss_, chkCtcssOnDup_, chkCtcssNb_, chkBusyLockout_,
                           chkBusyLockoutOverride_, chkCTCSS_RPK_, chkCTCSS_SilentTail_}) {
        checks->addWidget(box);
    }
    row->addLayout(checks, 1);
    for (QCheckBox* box : {chkEnableCbCtcss_, chkCtcssOnDup_}) {
        connect(box, &QCheckBox::toggled, this, &TfrmCtcss::chkEnableCbCtcssClick);
    }

    auto* tones = new QGridLayout;
    const auto addList = [&](int line, QLabel*& label, const char* labelName, const char* caption,
                             QComboBox*& list, const char* listName) {
        label = newLabel(group, labelName, caption);
        list = newDropDownList(group, listName);
        list->setFixedWidth(kToneListWidth);
        tones->addWidget(label, line, 0);
        tones->addWidget(list, line, 1);
    };
    addList(0, lblCbCtcssTx_, "lblCbCtcssTx", "CTCSS/DCS Tone", cmbTxCtcss_, "cmbTxCtcss");
    addList(1, lblCTCSSToneSet_, "lblCTCSSToneSet", "CTCSS Tone Set:", cbCTCSSToneSet_,
            "cbCTCSSToneSet");
    addList(2, lblTrawlTone_, "lblTrawlTone", "Trawl Tone", cmbTrawlTone_, "cmbTrawlTone");
    tones->setRowStretch(3, 1);
    cbCTCSSToneSet_->addItems({"CTCSS 1-50", "CTCSS 1-38"});
    connect(cbCTCSSToneSet_, &QComboBox::currentIndexChanged, this,
            &TfrmCtcss::cbCTCSSToneSetChange);
    row->addLayout(tones);
    return group;
}

QGroupBox* TfrmCtcss::createSilentMemory() {
    gbCtcssMem_ = newGroupBox(this, "gbCtcssMem", "Silent Channel Memory");
    auto* row = new QHBoxLayout(gbCtcssMem_);
    row->setContentsMargins(kGroupMargins);
    auto* grid = new QGridLayout;
    silent_ = addChannelBoxes(gbCtcssMem_, *grid,
                              [](int channel) { return QString("chkCtcss%1").arg(channel); });
    row->addLayout(grid, 1);
    auto* buttons = new QVBoxLayout;
    btnCtcssSelectAll_ = newButton(gbCtcssMem_, "btnCtcssSelectAll", "&Select All");
    btnCtcssDeselectAll_ = newButton(gbCtcssMem_, "btnCtcssDeselectAll", "&Deselect All");
    connect(btnCtcssSelectAll_, &QPushButton::clicked, this,
            [this] { btnCtcssSelectAllClick(true); });
    connect(btnCtcssDeselectAll_, &QPushButton::clicked, this,
            [this] { btnCtcssSelectAllClick(false); });
    buttons->addWidget(btnCtcssSelectAll_);
    buttons->addWidget(btnCtcssDeselectAll_);
    buttons->addStretch();
    row->addLayout(buttons);
    return gbCtcssMem_;
}

void TfrmCtcss::connectHelp() {
    help_->serveOnFocus({cmbTxCtcss_, chkCtcssOnDup_, chkEnableCbCtcss_, chkCtcssNb_,
                         cbCTCSSToneSet_, cmbTrawlTone_, chkBusyLockout_});
    help_->serveOnHover({this, findChild<QWidget*>("OKBtn"), findChild<QWidget*>("CancelBtn"),
                         findChild<QWidget*>("GroupBox1"), lblCbCtcssTx_, lblCTCSSToneSet_,
                         lblTrawlTone_, chkCtcssOnDup_, chkEnableCbCtcss_, chkCtcssNb_,
                         chkBusyLockout_, gbCtcssMem_});
}

void TfrmCtcss::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmCtcss::FormShow() {
    s_ = CtcssSettings::load(ctx_.image(), ctx_.models(), ctx_.config(),
                             ctx_.radio().firmwareMajorVersion());
    chkEnableCbCtcss_->setVisible(s_.enableShown);
    chkEnableCbCtcss_->setChecked(s_.enabled);
    chkCtcssOnDup_->setChecked(s_.onDuplex);
    chkCtcssNb_->setChecked(s_.narrowBand);
    chkBusyLockout_->setChecked(s_.busyLockout);
    chkBusyLockoutOverride_->setChecked(s_.busyLockoutOverride);
    chkCTCSS_RPK_->setChecked(s_.reversePhaseKey);
    chkCTCSS_SilentTail_->setChecked(s_.silentTail);
    for (std::size_t i = 0; i < silent_.size(); ++i) {
        silent_[i]->setChecked(s_.silent[i]);
    }
    lblCTCSSToneSet_->setVisible(s_.legacy());
    cbCTCSSToneSet_->setVisible(s_.legacy());
    if (s_.legacy()) {
        const QSignalBlocker quiet(cbCTCSSToneSet_);
        cbCTCSSToneSet_->setCurrentIndex(s_.toneSet38 ? kToneSet38Item : 0);
    }
    lblTrawlTone_->setVisible(s_.trawl);
    cmbTrawlTone_->setVisible(s_.trawl);
    showTones();
    chkEnableCbCtcssClick();
}

void TfrmCtcss::showTones() {
    showToneList(*cmbTxCtcss_, s_.scheme, s_.cbTone);
    if (s_.trawl) {
        showToneList(*cmbTrawlTone_, s_.scheme, s_.trawlTone);
    }
}

void TfrmCtcss::takeTones() {
    s_.cbTone = shownTone(*cmbTxCtcss_);
    if (s_.trawl) {
        s_.trawlTone = shownTone(*cmbTrawlTone_);
    }
}

void TfrmCtcss::chkEnableCbCtcssClick() {
    const bool on = chkEnableCbCtcss_->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             chkCtcssOnDup_, chkCtcssNb_, lblCbCtcssTx_, cmbTxCtcss_, lblTrawlTone_, cmbTrawlTone_,
             lblCTCSSToneSet_, cbCTCSSToneSet_, btnCtcssSelectAll_, btnCtcssDeselectAll_,
             gbCtcssMem_}) {
        control->setEnabled(on);
    }
    const ChannelFlags editable =
        editableSilentChannels(on, chkCtcssOnDup_->isChecked(), s_.channels5And35Barred);
    for (std::size_t i = 0; i < silent_.size(); ++i) {
        silent_[i]->setEnabled(editable[i]);
    }
}

void TfrmCtcss::btnCtcssSelectAllClick(bool checked) {
    // The boxes that cannot be changed now keep what they show.
    const ChannelFlags editable = editableSilentChannels(
        chkEnableCbCtcss_->isChecked(), chkCtcssOnDup_->isChecked(), s_.channels5And35Barred);
    for (std::size_t i = 0; i < silent_.size(); ++i) {
        if (editable[i]) {
            silent_[i]->setChecked(checked);
        }
    }
    chkEnableCbCtcssClick();
}

void TfrmCtcss::cbCTCSSToneSetChange(int index) {
    if (!s_.legacy() || index < 0) {
        return;
    }
    takeTones();
    s_.chooseToneSet(index == kToneSet38Item);
    showTones();
}

void TfrmCtcss::OKBtnClick() {
    for (std::size_t i = 0; i < silent_.size(); ++i) {
        s_.silent[i] = silent_[i]->isChecked();
    }
    if (s_.legacy()) {
        s_.toneSet38 = cbCTCSSToneSet_->currentIndex() != 0; // no selection counts as 1-38
    }
    takeTones();
    s_.enabled = chkEnableCbCtcss_->isChecked();
    s_.onDuplex = chkCtcssOnDup_->isChecked();
    s_.narrowBand = chkCtcssNb_->isChecked();
    s_.busyLockout = chkBusyLockout_->isChecked();
    s_.busyLockoutOverride = chkBusyLockoutOverride_->isChecked();
    s_.reversePhaseKey = chkCTCSS_RPK_->isChecked();
    s_.silentTail = chkCTCSS_SilentTail_->isChecked();
    store(s_, ctx_.image(), ctx_.models());
    accept();
}

} // namespace kav

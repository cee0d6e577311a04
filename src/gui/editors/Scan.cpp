#include "editors/Scan.h"

#include "editors/EditorWidgets.h"
#include "editors/HelpPanel.h"
#include "editors/KeyFilter.h"
#include "editors/UpDown.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr QSize kClient(790, 550);
constexpr int kSkipTimeStep = 10;
constexpr int kSkipTimeTextLength = 6;
constexpr int kPriorityRowsShown = 10;

constexpr std::array<HelpText, 9> kHelp{{
    {"lblRecallM1",
     "Set the priority channel. Used in group scan and also with the priority button"},
    {"cmbRecallM1",
     "Set the priority channel. Used in group scan and also with the priority button"},
    {"lblPriCheck", "Number of channels scanned before the priority channel is checked"},
    {"cmbPriChkRate", "Number of channels scanned before the priority channel is checked"},
    {"chk3Beep", "During group scan if held on a scan channel and during that period, priority "
                 "channel becomes active then switch over to priority channel and generate "
                 "triple beep"},
    {"chkGS_PTT_EXIT", "While held on a scan channel while scanning in Group Scan, a press of "
                       "PTT will cause transmit on priority channel."},
    {"lblScanMemory", "Set radio scan memory"},
    {"cbScanMemory", "Set radio scan memory"},
    {"gbDuplex", "Select from channels 1 - 8 for duplex operation"},
}};

// The pages of the three scan memories, in the order of ScanSettings::memories.
struct PageRow {
    const char* page;
    const char* caption;
    const char* boxPrefix;
    const char* selectAll;
    const char* deselectAll;
    const char* openScan; // nullptr: the Trawl memory has no scan mode
    const char* groupScan;
};
constexpr std::array<PageRow, ScanSettings::kMemoryCount> kPages{{
    {"tsScanMem1", "Scan Memory 1", "chkOs", "btnOsSelectAll", "btnOsDeselectAll", "rbOS1",
     "rbGS1"},
    {"tsScanMem2", "Scan Memory 2", "chkGs", "btnGsSelectAll", "btnGsDeselectAll", "rbOS2",
     "rbGS2"},
    {"tsTrawlMem", "Trawl Memory", "chkNs", "btnNsSelectAll", "btnNsDeselectAll", nullptr, nullptr},
}};
constexpr int kTrawlPage = 2;

} // namespace

TfrmScan::TfrmScan(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("TfrmScan");
    setWindowTitle("Scan and Duplex settings");

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* options = newGroupBox(this, "gbScanOptions", "Scan Options");
    createScanOptions(options);
    auto* duplex = newGroupBox(this, "gbDuplex", "Duplex Channels");
    createDuplex(duplex);
    left->addWidget(options);
    left->addWidget(duplex, 1);
    top->addLayout(left);
    createPages();
    top->addWidget(pcScanMem_, 1);
    layout->addLayout(top, 1);
    const EditorFoot foot = addEditorFoot(*this, *layout);
    connect(foot.ok, &QPushButton::clicked, this, &TfrmScan::OKBtnClick);
    // Room for every control any model shows, in whatever font the desktop uses.
    setFixedSize(kClient.expandedTo(minimumSizeHint()));
    chkUserModNSMem_->hide();
    chkUserModScanMode_->hide();

    help_ = new HelpPanel(*foot.memo, kHelp);
    help_->serveOnFocus({chk3Beep_, chkGS_PTT_EXIT_, cbScanMemory_, cmbRecallM1_, cmbPriChkRate_});
    help_->serveOnHover({this, foot.ok, foot.cancel, options, duplex,
                         findChild<QLabel*>("lblPriCheck"), findChild<QLabel*>("lblRecallM1"),
                         lblScanMemory_, chk3Beep_, chkGS_PTT_EXIT_});
}

void TfrmScan::createScanOptions(QWidget* group) {
    auto* grid = new QGridLayout(group);
    chk3Beep_ = newCheckBox(group, "chk3Beep", "Enable 3 beeps on Group Scan");
    chkGS_PTT_EXIT_ = newCheckBox(group, "chkGS_PTT_EXIT", "Transmit on PRI channel in Group Scan");
    chkUserModNSMem_ = newCheckBox(group, "chkUserModNSMem", "User can modify Trawl memory");
    chkUserModScanMode_ = newCheckBox(group, "chkUserModScanMode", "User can modify Scan mode");
    int row = 0;
    for (QCheckBox* box : {chk3Beep_, chkGS_PTT_EXIT_, chkUserModNSMem_, chkUserModScanMode_}) {
        grid->addWidget(box, row++, 0, 1, 3);
    }

    // Labels, then the lists and the skip time in one column.
    lblScanMemory_ = newLabel(group, "lblScanMemory", "Scan Memory");
    cbScanMemory_ = newDropDownList(group, "cbScanMemory");
    grid->addWidget(lblScanMemory_, row, 0);
    grid->addWidget(cbScanMemory_, row++, 1);

    cmbRecallM1_ = newDropDownList(group, "cmbRecallM1");
    cmbRecallM1_->setMaxVisibleItems(kPriorityRowsShown);
    grid->addWidget(newLabel(group, "lblRecallM1", "Priority Channel"), row, 0);
    grid->addWidget(cmbRecallM1_, row++, 1);

    cmbPriChkRate_ = newDropDownList(group, "cmbPriChkRate");
    for (int rate = 1; rate <= ScanSettings::kMaxCheckRate; ++rate) {
        cmbPriChkRate_->addItem(QString::number(rate));
    }
    grid->addWidget(newLabel(group, "lblPriCheck", "Priority Check Rate"), row, 0);
    grid->addWidget(cmbPriChkRate_, row, 1);
    grid->addWidget(newLabel(group, "lblChannels", "channels"), row++, 2);

    edtScanSkipTime_ = newEdit(group, "edtScanSkipTime");
    edtScanSkipTime_->setMaxLength(kSkipTimeTextLength);
    edtScanSkipTime_->setText("0");
    edtScanSkipTime_->setFixedWidth(
        edtScanSkipTime_->fontMetrics().horizontalAdvance(QString(kSkipTimeTextLength + 1, '0')));
    KeyFilter::install(*edtScanSkipTime_, keys::digit);
    edtScanSkipTime_->installEventFilter(this);
    udScanSkipTime_ = new UpDown(*edtScanSkipTime_, group);
    udScanSkipTime_->setObjectName("udScanSkipTime");
    udScanSkipTime_->setRange(0, ScanSettings::kMaxSkipTime);
    udScanSkipTime_->setSingleStep(kSkipTimeStep);
    auto* skipLabel = newLabel(group, "lblScanSkipTime", "Scan Skip Time");
    auto* secLabel = newLabel(group, "lblScanSkipSec", "sec");
    auto* skip = new QHBoxLayout;
    skip->setSpacing(0);
    skip->addWidget(edtScanSkipTime_);
    skip->addWidget(udScanSkipTime_);
    skip->addSpacing(6);
    skip->addWidget(secLabel);
    skip->addStretch();
    grid->addWidget(skipLabel, row, 0);
    grid->addLayout(skip, row, 1, 1, 2);
    skipTimeControls_ = {skipLabel, edtScanSkipTime_, udScanSkipTime_, secLabel};
    grid->setColumnStretch(1, 1);
}

void TfrmScan::createDuplex(QWidget* group) {
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(0); // as the channel boxes of the pages
    for (std::size_t i = 0; i < kDuplexChannels.size(); ++i) {
        const int channel = kDuplexChannels[i];
        auto* box = newCheckBox(group, QString("chkDup%1").arg(channel), QString::number(channel));
        grid->addWidget(box, static_cast<int>(i % 8), static_cast<int>(i / 8));
        duplex_.push_back(box);
    }
    auto* all = newButton(group, "btnDupSelectAll", "&Select All");
    auto* none = newButton(group, "btnDupDeselectAll", "&Deselect All");
    connect(all, &QPushButton::clicked, this, [this] { btnScanMemSelectAllClick(duplex_, true); });
    connect(none, &QPushButton::clicked, this,
            [this] { btnScanMemSelectAllClick(duplex_, false); });
    grid->addWidget(all, 0, 2);
    grid->addWidget(none, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(8, 1); // spare room below the boxes, not between them
}

void TfrmScan::createPages() {
    pcScanMem_ = new QTabWidget(this);
    pcScanMem_->setObjectName("pcScanMem");
    for (std::size_t m = 0; m < kPages.size(); ++m) {
        const PageRow& row = kPages[m];
        auto* page = new QWidget;
        page->setObjectName(row.page);
        auto* column = new QVBoxLayout(page);
        if (row.openScan != nullptr) {
            auto* modes = new QHBoxLayout;
            openScan_[m] = newRadioButton(page, row.openScan, "Open Scan");
            groupScan_[m] = newRadioButton(page, row.groupScan, "Group Scan");
            openScan_[m]->setChecked(true);
            modes->addWidget(openScan_[m]);
            modes->addWidget(groupScan_[m]);
            modes->addStretch();
            column->addLayout(modes);
        }
        auto* grid = new QGridLayout;
        const QString prefix = row.boxPrefix;
        memories_[m] =
            addChannelBoxes(page, *grid, [&](int ch) { return prefix + QString::number(ch); });
        column->addLayout(grid);
        column->addStretch();
        auto* buttons = new QHBoxLayout;
        auto* all = newButton(page, row.selectAll, "&Select All");
        auto* none = newButton(page, row.deselectAll, "&Deselect All");
        auto& boxes = memories_[m];
        connect(all, &QPushButton::clicked, this,
                [this, &boxes] { btnScanMemSelectAllClick(boxes, true); });
        connect(none, &QPushButton::clicked, this,
                [this, &boxes] { btnScanMemSelectAllClick(boxes, false); });
        buttons->addStretch();
        buttons->addWidget(all);
        buttons->addWidget(none);
        column->addLayout(buttons);
        pcScanMem_->addTab(page, row.caption);
    }
}

void TfrmScan::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmScan::FormShow() {
    loaded_ = ScanSettings::load(ctx_.image(), ctx_.models(), ctx_.config());
    const ScanSettings& s = loaded_;

    cmbRecallM1_->clear();
    for (int channel : s.priorityChannels) {
        cmbRecallM1_->addItem(QString::fromStdString(priorityChannelName(channel)), channel);
    }
    cmbRecallM1_->setCurrentIndex(cmbRecallM1_->findData(s.priorityChannel));
    cmbPriChkRate_->setCurrentIndex(s.priorityCheckRate - 1);

    for (std::size_t i = 0; i < duplex_.size(); ++i) {
        duplex_[i]->setChecked(s.duplex[i]);
    }
    for (std::size_t m = 0; m < memories_.size(); ++m) {
        if (m != kTrawlPage || s.features.trawlPage) {
            for (std::size_t ch = 0; ch < memories_[m].size(); ++ch) {
                memories_[m][ch]->setChecked(s.memories[m][ch]);
            }
        }
    }
    for (std::size_t m = 0; m < groupScan_.size(); ++m) {
        (s.groupScan[m] ? groupScan_[m] : openScan_[m])->setChecked(true);
    }

    cbScanMemory_->clear();
    for (int i = 0; i < s.scanMemoryCount; ++i) {
        cbScanMemory_->addItem(QString::fromStdString(std::string(scanMemoryName(i))));
    }
    cbScanMemory_->setCurrentIndex(s.scanMemory);
    cbScanMemory_->show();
    lblScanMemory_->show();

    chkUserModNSMem_->setVisible(s.features.trawl);
    chkUserModNSMem_->setChecked(s.userModifiesTrawl);
    chkUserModScanMode_->setVisible(s.features.userScanMode);
    chkUserModScanMode_->setChecked(s.userModifiesScanMode);

    for (QWidget* control : skipTimeControls_) {
        control->setVisible(s.features.skipTime);
    }
    udScanSkipTime_->setPosition(s.skipTime);

    chk3Beep_->setChecked(s.threeBeeps);
    chkGS_PTT_EXIT_->setChecked(s.transmitOnPriority);

    pcScanMem_->setTabVisible(kTrawlPage, s.features.trawlPage);
    pcScanMem_->setCurrentIndex(0);
}

void TfrmScan::OKBtnClick() {
    ScanSettings s = loaded_;
    for (std::size_t m = 0; m < groupScan_.size(); ++m) {
        s.groupScan[m] = groupScan_[m]->isChecked();
    }
    for (std::size_t i = 0; i < duplex_.size(); ++i) {
        s.duplex[i] = duplex_[i]->isChecked();
    }
    for (std::size_t m = 0; m < memories_.size(); ++m) {
        for (std::size_t ch = 0; ch < memories_[m].size(); ++ch) {
            s.memories[m][ch] = memories_[m][ch]->isChecked();
        }
    }
    if (cmbRecallM1_->currentIndex() >= 0) {
        s.priorityChannel = cmbRecallM1_->currentData().toInt();
    }
    s.priorityCheckRate = cmbPriChkRate_->currentIndex() + 1;
    s.userModifiesScanMode = chkUserModScanMode_->isChecked();
    s.userModifiesTrawl = chkUserModNSMem_->isChecked();
    s.scanMemory = cbScanMemory_->currentIndex();
    udScanSkipTime_->takeBuddyText(); // digits typed without Enter count as shown
    s.skipTime = udScanSkipTime_->position();
    s.threeBeeps = chk3Beep_->isChecked();
    s.transmitOnPriority = chkGS_PTT_EXIT_->isChecked();
    store(s, ctx_.image(), ctx_.models());
    accept();
}

void TfrmScan::btnScanMemSelectAllClick(const std::vector<QCheckBox*>& boxes, bool checked) {
    setAll(boxes, checked);
}

void TfrmScan::edtScanSkipTimeEnter() {
    if (const auto position = enterSkipTime(edtScanSkipTime_->text().toStdString())) {
        udScanSkipTime_->setPosition(*position);
    }
}

// Enter in the skip-time edit commits it and goes no further: it does not close the dialog.
bool TfrmScan::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtScanSkipTime_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            edtScanSkipTimeEnter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kav

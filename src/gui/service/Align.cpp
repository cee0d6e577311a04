#include "service/Align.h"

#include "app/Popups.h"
#include "editors/DialogUi.h"
#include "editors/EditorWidgets.h"
#include "editors/KeyFilter.h"
#include "editors/UpDown.h"
#include "workflow/AppContext.h"
#include "workflow/Outcome.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kVolumeMax = 31;
constexpr int kToneOff = 15;
constexpr int kTone1kHz = 16;
constexpr int kTone50Hz = 17;
constexpr int kHighPower = 0;
constexpr int kLowPower = 2;
constexpr int kPowerMode = 2;
constexpr int kEditWidth = 44;
constexpr int kValueLength = 3;
constexpr int kLevelLength = 4; // "-6.0"
constexpr int kPttExternalMic = 2;

enum ToneItem { kTone1k = 0, kTone50 = 1, kToneItemOff = 2 };
enum PowerItem { kPowerItemHigh = 0, kPowerItemLow = 1 };

constexpr const char* kDeviationHelp =
    "To set deviation:\n"
    "- select 1kHz Test Tone: adjust modulation to achieve 3kHz/1.5kHz deviation\n"
    "- uncheck BAL tracks MOD, select 50Hz Test Tone: adjust balance to achieve 3kHz/1.5kHz "
    "deviation";
constexpr const char* kDualPowerHelp =
    "To set Low transmit power:\n"
    "- set radio to LO power, select PTT and adjust 1W value to achieve 1W measured power\n"
    "To set High transmit power:\n"
    "- set radio to HI power, select PTT and adjust 5W value to achieve 5W measured power";
constexpr const char* kSinglePowerHelp =
    "To set transmit power:\n"
    "- select PTT and adjust 5W value to achieve 5W measured power";
constexpr const char* kReceiverHelp =
    "To tune receiver:\n"
    "- select alignment frequency\n"
    "- enable A/D polling of RSSI and Noise volts\n"
    "- adjust the corresponding T1, T2, T3 value for maximum RSSI at -90dBm at the alignment "
    "frequency";
constexpr const char* kReceiverNotchHelp =
    "To tune receiver:\n"
    "- select alignment frequency\n"
    "- enable A/D polling of RSSI and Noise volts\n"
    "- adjust the corresponding T1, T2, T3 value for maximum RSSI at -90dBm at the alignment "
    "frequency\n"
    "- adjust the notch value for minimum RSSI with input signal of -50dBm at the alignment "
    "frequency - 77.7MHz";
constexpr const char* kSquelchHelp =
    "Squelch threshold level calibration:\n"
    "- set SQL level to 2\n"
    "- set input signal to -121 dBm\n"
    "- if the speaker is unmuted, decrease the Squelch Sensitivity value until the speaker is "
    "muted\n"
    "- increase the Squelch Sensitivity value until the speaker is unmuted";
constexpr const char* kFrequencyHelp = "Transmit:\n"
                                       "- adjust transmit frequency +/- 100Hz\n"
                                       "Receive:\n"
                                       "- connect -73dBm source to antenna; click Auto Adjust";
constexpr const char* kSpeakerHelp =
    "Ensure that internal speaker is enabled if you want to hear audio from the base speaker.  "
    "To do this, check 'Enable internal speaker' in Options and write to the radio.";

constexpr std::array kDeviationControls{"lblModulation", "lblBalance",  "editMod_dB", "editBal_dB",
                                        "udMod_dB",      "udBal_dB",    "lblModdB",   "lblBaldB",
                                        "rgTestTone",    "lblDeviation"};
constexpr std::array kTestToneItems{"rgTestTone_0", "rgTestTone_1", "rgTestTone_2"};
constexpr std::array kPowerControls{"lblHighPower",  "editRfPowerHi", "udRfPowerHi", "lblLowPower",
                                    "editRfPowerLo", "udRfPowerLo",   "lblRFPower"};

QString tuneName(const char* prefix, int f, int t) {
    return QString("%1TuneFreq%2T%3").arg(prefix).arg(f + 1).arg(t + 1);
}

std::optional<QChar> keep(QChar typed, bool (*accepts)(char)) {
    if (typed.unicode() > 0x7F || !accepts(static_cast<char>(typed.unicode()))) {
        return std::nullopt;
    }
    return typed;
}

void setPanel(QLabel* panel, bool transmit) {
    panel->setText(transmit ? "TRANSMIT" : "RECEIVE");
    panel->setStyleSheet(transmit ? "background: red; color: white; font-weight: bold;"
                                  : "background: lime; color: black; font-weight: bold;");
}

void setChecked(QCheckBox* box, bool checked) {
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
}

} // namespace

TformAlign::TformAlign(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context),
      sink_(this, [](std::uint32_t, std::intptr_t, std::intptr_t) {}) {
    setObjectName("formAlign");
    setWindowTitle("Alignment");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    uiMemo_ = {[this] { memoClear(); },
               [this](const std::string& line) {
                   memoAdd(QString::fromStdString(line));
               }};
    // A procedure's memo lines reach the window in the order they were written.
    workerMemo_ = {[this] { sink_.queue([this] { memoClear(); }); },
                   [this](const std::string& line) {
                       sink_.queue([this, text = QString::fromStdString(line)] { memoAdd(text); });
                   }};

    TimerRSSI_ = new QTimer(this);
    TimerRSSI_->setObjectName("TimerRSSI");
    TimerRSSI_->setInterval(kPollRssiMs);
    connect(TimerRSSI_, &QTimer::timeout, this, &TformAlign::TimerRSSITimer);
    KeyTimer_ = new QTimer(this);
    KeyTimer_->setObjectName("KeyTimer");
    connect(KeyTimer_, &QTimer::timeout, this, &TformAlign::KeyTimerTimer);
    TimerFreqError_ = new QTimer(this);
    TimerFreqError_->setObjectName("TimerFreqError");
    TimerFreqError_->setInterval(kPollFreqErrorMs);
    connect(TimerFreqError_, &QTimer::timeout, this, &TformAlign::TimerFreqErrorTimer);

    content_ = new QWidget(this);
    content_->setObjectName("panelContent");
    PageControl1_ = new QTabWidget(content_);
    PageControl1_->setObjectName("PageControl1");
    const auto page = [this](QWidget* sheet, const char* caption) {
        PageControl1_->addTab(sheet, caption);
        return sheet;
    };
    TabSheetFrequency_ = page(createFrequencyPage(), "Frequency");
    TabSheetTransmit_ = page(createTransmitPage(), "Transmitter");
    TabSheetReceiver_ = page(createReceiverPage(), "Receiver");
    TabSheetSquelch_ = page(createSquelchPage(), "Squelch");
    TabSheetSMeter_ = page(createSMeterPage(), "S-Meter");
    TabSheetBattery_ = page(new QWidget(PageControl1_), "Battery");
    TabSheetBattery_->setObjectName("TabSheetBattery");
    connect(PageControl1_, &QTabWidget::currentChanged, this, &TformAlign::PageControl1Change);

    auto* top = new QHBoxLayout;
    top->addWidget(createLeftPanel());
    top->addWidget(PageControl1_, 1);
    auto* contentLayout = new QVBoxLayout(content_);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addLayout(top);
    contentLayout->addWidget(createLowerPanel());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(content_);
    layout->addWidget(createBottomPanel());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connectHelp();
    // FormCreate.
    KeyTimer_->stop();
    PageControl1_->setCurrentWidget(TabSheetFrequency_);
    sqlSens_.ud->setRange(kSqlSensMin, kSqlSensMax);
}

TformAlign::~TformAlign() {
    stopProcedure();
}

// --- construction ---------------------------------------------------------------------------

QGroupBox* TformAlign::radioGroup(const QString& name, const QString& caption,
                                  const QStringList& items, QButtonGroup*& group) {
    QGroupBox* box = newGroupBox(this, name, caption);
    group = new QButtonGroup(box);
    auto* column = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], box);
        item->setObjectName(QString("%1_%2").arg(name).arg(i));
        group->addButton(item, i);
        column->addWidget(item);
    }
    return box;
}

QWidget* TformAlign::createLeftPanel() {
    auto* panel = new QWidget(content_);
    panel->setObjectName("panelLeft");
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    panelTxRx_ = newLabel(panel, "panelTxRx", "RECEIVE");
    panelTxRx_->setAlignment(Qt::AlignCenter);
    panelTxRx_->setMinimumHeight(28);
    setPanel(panelTxRx_, false);
    column->addWidget(panelTxRx_);

    btnPTT_ = newButton(panel, "btnPTT", "PTT");
    connect(btnPTT_, &QPushButton::clicked, this, &TformAlign::btnPTTClick);
    column->addWidget(btnPTT_);
    auto* sqlRow = new QHBoxLayout;
    btnSquelch_ = newButton(panel, "btnSquelch", "SQL");
    connect(btnSquelch_, &QPushButton::clicked, this, &TformAlign::btnSquelchClick);
    lblSQL_ = newLabel(panel, "lblSQL", "BUSY");
    lblSQL_->setStyleSheet("color: red; font-weight: bold;");
    sqlRow->addWidget(btnSquelch_);
    sqlRow->addWidget(lblSQL_);
    column->addLayout(sqlRow);

    auto* channelRow = new QHBoxLayout;
    editChannel_ = newEdit(panel, "editChannel");
    editChannel_->setReadOnly(true);
    editChannel_->setAlignment(Qt::AlignCenter);
    QFont big = editChannel_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    editChannel_->setFont(big);
    editChannel_->setFixedWidth(64);
    editChannel_->installEventFilter(this);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    for (auto [button, name, arrow, direction] :
         {std::tuple{&BitBtnUp_, "BitBtnUp", Qt::UpArrow, 1},
          std::tuple{&BitBtnDown_, "BitBtnDown", Qt::DownArrow, 0}}) {
        *button = new QToolButton(panel);
        (*button)->setObjectName(name);
        (*button)->setArrowType(arrow);
        (*button)->setMinimumWidth(28);
        (*button)->setProperty("Tag", direction);
        connect(*button, &QToolButton::pressed, this,
                [this, d = direction] { BitBtnUpMouseDown(d); });
        connect(*button, &QToolButton::released, this, &TformAlign::BitBtnUpMouseUp);
        arrows->addWidget(*button);
    }
    channelRow->addWidget(editChannel_);
    channelRow->addLayout(arrows);
    channelRow->addStretch();
    column->addLayout(channelRow);

    lblBank_ = newLabel(panel, "lblBank", "CB");
    column->addWidget(lblBank_);
    auto* freqRow = new QHBoxLayout;
    lblRxFreq_ = newLabel(panel, "lblRxFreq", "");
    lblRxFreq_->setMinimumWidth(lblRxFreq_->fontMetrics().horizontalAdvance("000.0000") + 8);
    freqRow->addWidget(lblRxFreq_);
    freqRow->addWidget(newLabel(panel, "lblMHz", "MHz"));
    freqRow->addStretch();
    column->addLayout(freqRow);
    lblChannelAlpha_ = newLabel(panel, "lblChannelAlpha", "");
    column->addWidget(lblChannelAlpha_);

    QStringList freqs;
    for (const int mhz : kAlignmentFrequenciesMhz) {
        freqs << QString("%1 MHz").arg(mhz);
    }
    rgAlignmentFreq_ = radioGroup("rgAlignmentFreq", "Alignment Frequency", freqs, alignFreqGroup_);
    connect(alignFreqGroup_, &QButtonGroup::idClicked, this, &TformAlign::rbAlignFreqClick);
    column->addWidget(rgAlignmentFreq_);

    rgPTTMic_ = radioGroup("rgPTTMic", "Mic", {"Int", "Ext"}, pttMicGroup_);
    pttMicGroup_->button(0)->setChecked(true);
    column->addWidget(rgPTTMic_);

    lblOffline_ = newLabel(panel, "lblOffline", "OFFLINE MODE");
    lblOffline_->setStyleSheet("color: red; font-weight: bold;");
    column->addWidget(lblOffline_);
    column->addStretch();
    panel->setFixedWidth(172);
    return panel;
}

QWidget* TformAlign::valueRow(Value& value, const QString& editName, const QString& udName,
                              int minimum, int maximum, EditKind kind) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    value.edit = newEdit(row, editName);
    value.edit->setFixedWidth(kEditWidth);
    value.ud = new UpDown(*value.edit, row);
    value.ud->setObjectName(udName);
    value.ud->setRange(minimum, maximum);
    layout->addWidget(value.edit);
    layout->addWidget(value.ud);
    row->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    switch (kind) {
    case EditKind::Committed:
        value.edit->setMaxLength(kValueLength);
        KeyFilter::install(*value.edit, [](QChar c) { return keep(c, valueEditAccepts); });
        connect(value.edit, &QLineEdit::returnPressed, this,
                [this, &value] { OnEditKeyPress(value); });
        [[fallthrough]];
    case EditKind::UpDownOnly:
        connect(value.ud, &UpDown::stepped, this, [this, &value] { udAlignClick(value); });
        break;
    case EditKind::MicGain:
        KeyFilter::install(*value.edit, [](QChar c) { return keep(c, micGainEditAccepts); });
        connect(value.edit, &QLineEdit::returnPressed, this,
                [this, &value] { micGainEnter(value); });
        connect(value.ud, &UpDown::stepped, this, [this, &value] { micGainClick(value); });
        break;
    }
    return row;
}

QWidget* TformAlign::levelRow(Level& level, const QString& editName, const QString& udName,
                              const QString& unitName) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    level.edit = newEdit(row, editName);
    level.edit->setFixedWidth(kEditWidth);
    level.edit->setMaxLength(kLevelLength);
    KeyFilter::install(*level.edit, [](QChar c) { return keep(c, levelEditAccepts); });
    // The up-down itself never moves: each click or arrow key steps the register.
    level.ud = new UpDown(*level.edit, row);
    level.ud->setObjectName(udName);
    level.ud->setRange(0, 0);
    connect(level.ud, &UpDown::stepped, this,
            [this, &level](int steps) { stepLevel(level, steps > 0, &level == &mod_); });
    connect(level.edit, &QLineEdit::returnPressed, this, [this, &level] { enterLevel(level); });
    level.edit->installEventFilter(this); // after the up-down's, so it sees the keys first
    layout->addWidget(level.edit);
    layout->addWidget(level.ud);
    layout->addSpacing(4);
    layout->addWidget(newLabel(row, unitName, "dB"));
    layout->addStretch();
    return row;
}

QWidget* TformAlign::createFrequencyPage() {
    auto* sheet = new QWidget(this);
    sheet->setObjectName("TabSheetFrequency");
    auto* grid = new QGridLayout(sheet);
    grid->addWidget(newLabel(sheet, "lblTxFreqAdjust", "Transmit Frequency Adjust:"), 0, 0, 1, 3);
    grid->addWidget(newLabel(sheet, "lblCentreFreq", "Centre Frequency:"), 1, 0);
    grid->addWidget(
        valueRow(pllFreq_, "editPLL_Freq", "udPLL_Freq", 0, kByteMax, EditKind::Committed), 1, 1);

    grid->addWidget(newLabel(sheet, "lblRxFreqOffset", "Receive Frequency Offset:"), 2, 0, 1, 2);
    btnAutoRxOffset_ = newButton(sheet, "btnAutoRxOffset", "Auto Adjust");
    connect(btnAutoRxOffset_, &QPushButton::clicked, this, &TformAlign::btnAutoRxOffsetClick);
    grid->addWidget(btnAutoRxOffset_, 2, 2);
    grid->addWidget(newLabel(sheet, "lblFreqError", "Freq Error:"), 3, 0);
    auto* errorRow = new QHBoxLayout;
    editFreqError_ = newEdit(sheet, "editFreqError");
    editFreqError_->setReadOnly(true);
    editFreqError_->setFixedWidth(kEditWidth + 16);
    errorRow->addWidget(editFreqError_);
    errorRow->addWidget(newLabel(sheet, "lblFreqErrorHz", "Hz"));
    errorRow->addStretch();
    grid->addLayout(errorRow, 3, 1);
    chkRxFreqError_ = newCheckBox(sheet, "chkRxFreqError", "Freq Err Polling");
    connect(chkRxFreqError_, &QCheckBox::toggled, this, &TformAlign::chkRxFreqErrorClick);
    grid->addWidget(chkRxFreqError_, 3, 2);
    grid->addWidget(newLabel(sheet, "lblRxOffset", "Adjust"), 4, 0);
    grid->addWidget(valueRow(rxOffset_, "editRxOffset", "udRxOffset", kRxOffsetMin, kRxOffsetMax,
                             EditKind::UpDownOnly),
                    4, 1);
    chkAfcDisable_ = newCheckBox(sheet, "chkAfcDisable", "Disable AFC");
    connect(chkAfcDisable_, &QCheckBox::toggled, this, &TformAlign::chkAfcDisableClick);
    grid->addWidget(chkAfcDisable_, 4, 2);

    QLabel* tempCoTitle = newLabel(sheet, "txtTempCo", "Temperature Compensation:");
    QLabel* linear = newLabel(sheet, "lblTempCo", "Linear Term:");
    QLabel* cubic = newLabel(sheet, "lblTempCoB", "Cubic Term:");
    QWidget* linearRow =
        valueRow(tempCo_, "editTempCo", "udTempCo", 0, kByteMax, EditKind::Committed);
    QWidget* cubicRow =
        valueRow(tempCoB_, "editTempCoB", "udTempCoB", 0, kByteMax, EditKind::Committed);
    grid->addWidget(tempCoTitle, 5, 0, 1, 3);
    grid->addWidget(linear, 6, 0);
    grid->addWidget(linearRow, 6, 1);
    grid->addWidget(cubic, 7, 0);
    grid->addWidget(cubicRow, 7, 1);
    tempCoControls_ = {tempCoTitle, linear, cubic, linearRow, cubicRow};
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(3, 1);
    return sheet;
}

QWidget* TformAlign::createTransmitPage() {
    auto* sheet = new QWidget(this);
    sheet->setObjectName("TabSheetTransmit");
    auto* grid = new QGridLayout(sheet);
    grid->addWidget(newLabel(sheet, "lblDeviation", "Deviation:"), 0, 0, 1, 2);
    mod_.invalidText = "Invalid modulation value";
    bal_.invalidText = "Invalid balance value";
    grid->addWidget(newLabel(sheet, "lblModulation", "Modulation"), 1, 0);
    grid->addWidget(levelRow(mod_, "editMod_dB", "udMod_dB", "lblModdB"), 1, 1);
    grid->addWidget(newLabel(sheet, "lblBalance", "Balance"), 2, 0);
    grid->addWidget(levelRow(bal_, "editBal_dB", "udBal_dB", "lblBaldB"), 2, 1);
    chkTrackMod_ = newCheckBox(sheet, "chkTrackMod", "BAL tracks MOD");
    connect(chkTrackMod_, &QCheckBox::toggled, this, &TformAlign::chkTrackModClick);
    grid->addWidget(chkTrackMod_, 3, 0, 1, 2);

    rgTestTone_ = radioGroup("rgTestTone", "Test Tone", {"1 kHz", "50 Hz", "OFF"}, testToneGroup_);
    connect(testToneGroup_, &QButtonGroup::idClicked, this, &TformAlign::rgTestToneClick);
    grid->addWidget(rgTestTone_, 0, 2, 4, 1);

    grid->addWidget(newLabel(sheet, "lblRFPower", "RF Power:"), 4, 0, 1, 2);
    grid->addWidget(newLabel(sheet, "lblHighPower", "High Power (5W)"), 5, 0);
    grid->addWidget(
        valueRow(rfPowerHi_, "editRfPowerHi", "udRfPowerHi", 0, kByteMax, EditKind::Committed), 5,
        1);
    QLabel* low = newLabel(sheet, "lblLowPower", "Low Power (1W)");
    QWidget* lowRow =
        valueRow(rfPowerLo_, "editRfPowerLo", "udRfPowerLo", 0, kByteMax, EditKind::Committed);
    grid->addWidget(low, 6, 0);
    grid->addWidget(lowRow, 6, 1);
    grpSelectPowerOutput_ =
        radioGroup("grpSelectPowerOutput", "Select Output", {"High (5W)", "Low (1W)"}, powerGroup_);
    connect(powerGroup_, &QButtonGroup::idClicked, this, &TformAlign::rgRFPowerSelectOutput);
    grid->addWidget(grpSelectPowerOutput_, 4, 2, 3, 1);
    lowPowerControls_ = {low, lowRow};

    gbMicGains_ = newGroupBox(sheet, "gbMicGains", "Mic Gain");
    auto* gains = new QGridLayout(gbMicGains_);
    lblMicGain1_ = newLabel(gbMicGains_, "lblMicGain1", "F");
    lblMicGain2_ = newLabel(gbMicGains_, "lblMicGain2", "R");
    QWidget* gain1 = valueRow(micGain1_, "editMicGain1", "udMicGain1", kMicGainMin, kMicGainMax,
                              EditKind::MicGain);
    QWidget* gain2 = valueRow(micGain2_, "editMicGain2", "udMicGain2", kMicGainMin, kMicGainMax,
                              EditKind::MicGain);
    QLabel* dB1 = newLabel(gbMicGains_, "lblMicGain1dB", "dB");
    QLabel* dB2 = newLabel(gbMicGains_, "lblMicGain2dB", "dB");
    gains->addWidget(lblMicGain1_, 0, 0);
    gains->addWidget(gain1, 0, 1);
    gains->addWidget(dB1, 0, 2);
    gains->addWidget(lblMicGain2_, 1, 0);
    gains->addWidget(gain2, 1, 1);
    gains->addWidget(dB2, 1, 2);
    micGain2Controls_ = {lblMicGain2_, gain2, dB2};
    gains->setColumnStretch(3, 1);
    btnReset_ = newButton(sheet, "btnReset", "reset radio");
    connect(btnReset_, &QPushButton::clicked, this, &TformAlign::btnResetClick);
    grid->addWidget(gbMicGains_, 7, 0, 1, 2);
    grid->addWidget(btnReset_, 7, 2, Qt::AlignBottom);
    grid->setRowStretch(8, 1);
    return sheet;
}

QWidget* TformAlign::createReceiverPage() {
    auto* sheet = new QWidget(this);
    sheet->setObjectName("TabSheetReceiver");
    auto* grid = new QGridLayout(sheet);
    grid->addWidget(newLabel(sheet, "lblTuneReceiver", "Tune Receiver:"), 0, 0, 1, 5);
    for (int t = 0; t < 3; ++t) {
        grid->addWidget(newLabel(sheet, QString("lblT%1").arg(t + 1), QString("T%1").arg(t + 1)), 1,
                        t + 1);
    }
    lblNotch_ = newLabel(sheet, "lblNotch", "Notch");
    grid->addWidget(lblNotch_, 1, 4);
    for (int f = 0; f < 3; ++f) {
        const auto fi = static_cast<std::size_t>(f);
        lblFreq_[fi] = newLabel(sheet, QString("lblFreq%1").arg(f + 1), "");
        grid->addWidget(lblFreq_[fi], f + 2, 0);
        for (int t = 0; t < 4; ++t) {
            grid->addWidget(valueRow(tune_[fi][static_cast<std::size_t>(t)], tuneName("txt", f, t),
                                     tuneName("ud", f, t), 0, kByteMax, EditKind::Committed),
                            f + 2, t + 1);
        }
    }
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(5, 1);
    return sheet;
}

QWidget* TformAlign::createSquelchPage() {
    auto* sheet = new QWidget(this);
    sheet->setObjectName("TabSheetSquelch");
    auto* grid = new QGridLayout(sheet);
    grid->addWidget(newLabel(sheet, "lblSqlSens", "Squelch Sensitivity"), 0, 0);
    grid->addWidget(valueRow(sqlSens_, "edtSqlSens", "udSqlSens", kSqlSensMin, kSqlSensMax,
                             EditKind::UpDownOnly),
                    0, 1);
    sqlSens_.edit->setReadOnly(true);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return sheet;
}

QWidget* TformAlign::createSMeterPage() {
    auto* sheet = new QWidget(this);
    sheet->setObjectName("TabSheetSMeter");
    auto* grid = new QGridLayout(sheet);
    grid->addWidget(newLabel(sheet, "lblSMeterCal", "S-Meter Calibration:"), 0, 0, 1, 4);
    grid->addWidget(newLabel(sheet, "lblAutoSet", "Auto Set"), 1, 2);
    grid->addWidget(newLabel(sheet, "lblManualAdjust", "Manual Adjust"), 1, 3);
    const auto step = [&](int row, const char* stepText, const char* text, const char* nominal,
                          QPushButton*& button, const char* name, const char* caption, Value& value,
                          const char* editName, const char* udName, int point) {
        grid->addWidget(newLabel(sheet, QString("lblStep%1").arg(point), stepText), row, 0);
        grid->addWidget(newLabel(sheet, QString("lblStep%1Text").arg(point), text), row, 1);
        grid->addWidget(newLabel(sheet, QString("lblStep%1Nominal").arg(point), nominal), row + 1,
                        1);
        button = newButton(sheet, name, caption);
        connect(button, &QPushButton::clicked, this, [this, point] { btnSetSClick(point); });
        grid->addWidget(button, row, 2);
        grid->addWidget(valueRow(value, editName, udName, 0, kByteMax, EditKind::Committed), row,
                        3);
    };
    step(2, "Step 1:", "Set RF signal generator S1 level:", "(nominally -122dBm)", btnSetS1_,
         "btnSetS1", "Set S1", s1_, "editS1", "udS1", 1);
    step(4, "Step 2:", "Set RF signal generator S9+ level:", "(nominally -74dBm)", btnSetS10_,
         "btnSetS10", "Set S9+", s10_, "editS10", "udS10", 2);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(4, 1);
    return sheet;
}

QWidget* TformAlign::createLowerPanel() {
    auto* panel = new QWidget(content_);
    panel->setObjectName("panelLower");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);

    gbSetVolume_ = newGroupBox(panel, "gbSetVolume", "Set volume");
    auto* volume = new QGridLayout(gbSetVolume_);
    tbVolume_ = new QSlider(Qt::Vertical, gbSetVolume_);
    tbVolume_->setObjectName("tbVolume");
    tbVolume_->setRange(0, kVolumeMax);
    // Position 0 at the top: volume = 31 - position, so the loudest is at the top.
    tbVolume_->setInvertedAppearance(true);
    tbVolume_->setFixedHeight(84);
    connect(tbVolume_, &QSlider::valueChanged, this, &TformAlign::tbVolumeChange);
    QPushButton* refresh = newButton(gbSetVolume_, "btnRefreshVolume", "Refresh");
    connect(refresh, &QPushButton::clicked, this, &TformAlign::btnRefreshVolumeClick);
    edtVolume_ = newEdit(gbSetVolume_, "edtVolume");
    edtVolume_->setReadOnly(true);
    edtVolume_->setFixedWidth(kEditWidth);
    volume->addWidget(tbVolume_, 0, 0, 2, 1);
    volume->addWidget(edtVolume_, 0, 1);
    volume->addWidget(refresh, 1, 1);
    row->addWidget(gbSetVolume_);

    auto* readings = new QGridLayout;
    readings->addWidget(newLabel(panel, "lblRSSI", "RSSI"), 0, 0);
    editRSSI_ = newEdit(panel, "editRSSI");
    editRSSI_->setReadOnly(true);
    editRSSI_->setFixedWidth(kEditWidth);
    readings->addWidget(editRSSI_, 0, 1);
    readings->addWidget(newLabel(panel, "lblNoisevolts", "Noise volts"), 1, 0);
    editNoisevolts_ = newEdit(panel, "editNoisevolts");
    editNoisevolts_->setReadOnly(true);
    editNoisevolts_->setFixedWidth(kEditWidth);
    readings->addWidget(editNoisevolts_, 1, 1);
    chk_rssipolling2_ = newCheckBox(panel, "chk_rssipolling2", "A/D polling");
    chk_rssipolling2_->setToolTip("Enable polling of RSSI and noise volts");
    connect(chk_rssipolling2_, &QCheckBox::toggled, this, &TformAlign::chk_rssipolling2Click);
    for (QLineEdit* reading : {editRSSI_, editNoisevolts_}) {
        reading->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    readings->addWidget(chk_rssipolling2_, 2, 0, 1, 2);
    readings->setRowStretch(3, 1);
    row->addSpacing(12);
    row->addLayout(readings);
    row->addStretch();
    return panel;
}

QWidget* TformAlign::createBottomPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("panelBottom");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    MemoAlignHelp_ = new QPlainTextEdit(panel);
    MemoAlignHelp_->setObjectName("MemoAlignHelp");
    MemoAlignHelp_->setReadOnly(true);
    MemoAlignHelp_->setFixedHeight(112);
    MemoAlignHelp_->setMinimumWidth(600);
    btnClose_ = newButton(panel, "btnClose", "Close");
    connect(btnClose_, &QPushButton::clicked, this, &TformAlign::btnCloseClick);
    row->addWidget(MemoAlignHelp_, 1);
    row->addWidget(btnClose_, 0, Qt::AlignBottom);
    return panel;
}

void TformAlign::connectHelp() {
    help_ = new HelpPanel(*MemoAlignHelp_, helpTexts_);
    const auto find = [this](const char* name) {
        return findChild<QWidget*>(name);
    };
    std::vector<QWidget*> focus{chkTrackMod_,  mod_.edit,       bal_.edit,       mod_.ud,
                                bal_.ud,       rfPowerHi_.edit, rfPowerLo_.edit, rfPowerHi_.ud,
                                rfPowerLo_.ud, sqlSens_.edit,   sqlSens_.ud,     micGain1_.edit,
                                micGain1_.ud,  micGain2_.edit,  micGain2_.ud,    rgTestTone_};
    for (QAbstractButton* b : testToneGroup_->buttons()) {
        focus.push_back(b);
    }
    help_->serveOnFocus(focus);
    std::vector<QWidget*> hover{btnPTT_, btnSquelch_, find("lblTxFreqAdjust"),
                                find("lblRxFreqOffset"), find("lblSqlSens")};
    for (const char* name : {"lblDeviation", "lblModulation", "lblBalance", "lblModdB", "lblBaldB",
                             "lblHighPower", "lblLowPower", "lblRFPower"}) {
        hover.push_back(find(name));
    }
    hover.insert(hover.end(),
                 {lblMicGain1_, lblMicGain2_, find("lblMicGain1dB"), find("lblMicGain2dB")});
    for (QWidget* w : focus) {
        if (w != rgTestTone_ && w->parent() != rgTestTone_) {
            hover.push_back(w);
        }
    }
    for (const auto& row : tune_) {
        for (const Value& v : row) {
            hover.insert(hover.end(), {v.edit, v.ud});
        }
    }
    help_->serveOnHover(hover);
}

// --- showing and closing --------------------------------------------------------------------

int TformAlign::exec() {
    QWidget* owner = parentWidget() != nullptr ? parentWidget() : this;
    DialogUi ui(*owner);
    bool offline = false;
    if (alignPreRead(ctx_, ui, offline) != Outcome::Done) {
        return Rejected;
    }
    setOffline(offline);
    return QDialog::exec();
}

void TformAlign::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// However the window goes, its timers go with it.
void TformAlign::hideEvent(QHideEvent* event) {
    KeyTimer_->stop();
    TimerRSSI_->stop();
    TimerFreqError_->stop();
    QDialog::hideEvent(event);
}

void TformAlign::done(int result) {
    if (isVisible()) {
        FormClose();
    }
    QDialog::done(result);
}

void TformAlign::FormShow() {
    int minor = 0;
    int letter = 0;
    ctx_.radio().GetVersionNumbers(firmwareMajor_, minor, letter);

    transmitting_ = false;
    showTxRx();
    setChecked(chk_rssipolling2_, false);
    TimerRSSI_->stop();
    editNoisevolts_->clear();
    editRSSI_->clear();
    chkRxFreqError_->setChecked(false);
    TimerFreqError_->stop();
    editFreqError_->setEnabled(false);
    editChannel_->setStyleSheet("background: white;");
    btnPTT_->setEnabled(true);
    edtVolume_->setText("0");
    tbVolume_->setValue(kVolumeMax);

    lblOffline_->setVisible(offline_);
    if (offline_) {
        ctx_.radio().setCurrentChannel(1);
        status_ = 0;
    } else {
        ctx_.radio().GetChannel();
        int status = 0;
        if (ctx_.radio().GetStatus(status)) {
            status_ = status;
        }
    }
    showChannel();
    lblSQL_->setVisible((status_ & 1) != 0);

    setChecked(chkTrackMod_, true);
    chkTrackModClick(true);
    loadValues();
    showPages();
    MemoAlignHelp_->clear();
}

void TformAlign::loadValues() {
    const CalibrationValues v = loadCalibration(ctx_.image(), ctx_.models());
    const auto load = [](Value& value, const CalibrationControl& c) {
        value.address = c.address;
        value.ud->setPosition(c.value);
    };
    load(rxOffset_, v.rxOffset);
    mod_.reg = v.mod.value;
    mod_.address = v.mod.address;
    bal_.reg = v.bal.value;
    bal_.address = v.bal.address;
    showLevel(mod_);
    showLevel(bal_);
    modRef_ = mod_.reg;
    balRef_ = bal_.reg;
    load(pllFreq_, v.pllFRef);
    load(s1_, v.s1);
    load(s10_, v.s10);
    load(rfPowerHi_, v.rfPowerHi);
    load(rfPowerLo_, v.rfPowerLo);
    load(sqlSens_, v.sqlSens);
    load(tempCo_, v.tempCo);
    load(tempCoB_, v.tempCoB);
    load(micGain1_, v.micGain1);
    load(micGain2_, v.micGain2);
    for (std::size_t f = 0; f < tune_.size(); ++f) {
        for (std::size_t t = 0; t < tune_[f].size(); ++t) {
            load(tune_[f][t], v.tune[f][t]);
        }
    }
}

void TformAlign::showPages() {
    const TradioInfo& m = ctx_.models();
    const std::uint32_t id = ctx_.config().buildProductId;
    const bool engineering = ctx_.config().engineeringBuild == 1;

    gbMicGains_->setVisible(engineering);
    btnReset_->setVisible(engineering);
    lblMicGain1_->setText(m.hasIntExtMic(id) ? "Int" : "F");
    lblMicGain2_->setText(m.hasIntExtMic(id) ? "Ext" : "R");
    rgPTTMic_->setVisible(engineering && m.hasPttMicSelect(id));
    for (QWidget* w : tempCoControls_) {
        w->setVisible(engineering && m.hasTempCo(id));
    }
    for (std::size_t f = 0; f < lblFreq_.size(); ++f) {
        lblFreq_[f]->setText(QString("%1 MHz").arg(kAlignmentFrequenciesMhz[f]));
    }
    const bool receiver = m.hasReceiverAlignment(id);
    const bool notch = m.hasNotchTuning(id);
    rgAlignmentFreq_->setVisible(receiver);
    PageControl1_->setTabVisible(PageControl1_->indexOf(TabSheetReceiver_), receiver);
    lblNotch_->setVisible(notch);
    for (auto& row : tune_) {
        row[3].edit->parentWidget()->setVisible(notch);
    }
    clearSelection(alignFreqGroup_);
    if (PageControl1_->currentWidget() == TabSheetTransmit_) {
        rgAlignmentFreq_->setEnabled(false);
    } else {
        rgAlignmentFreq_->setEnabled(true);
        showChannel();
    }
    const bool dual = m.hasDualPower(id);
    grpSelectPowerOutput_->setVisible(dual);
    for (QWidget* w : lowPowerControls_) {
        w->setVisible(dual);
    }
    if (dual) {
        powerGroup_->button(kPowerItemHigh)->setChecked(true);
    }
    selectItem(testToneGroup_, kToneItemOff, [this](int item) { rgTestToneClick(item); });
    PageControl1_->setTabVisible(PageControl1_->indexOf(TabSheetSquelch_),
                                 !m.hidesSquelchLevel(id));
    PageControl1_->setTabVisible(PageControl1_->indexOf(TabSheetBattery_), false);
    for (QWidget* w : micGain2Controls_) {
        w->setVisible(m.hasRearMicGain(id));
    }
    const bool volume = m.hasInternalSpeaker(id) || hasNewQm2200Firmware(id, firmwareMajor_);
    gbSetVolume_->setVisible(volume);
    updateHelpTexts(volume);
}

void TformAlign::updateHelpTexts(bool volumeShown) {
    const std::uint32_t id = ctx_.config().buildProductId;
    const char* power = ctx_.models().hasDualPower(id) ? kDualPowerHelp : kSinglePowerHelp;
    std::vector<HelpText> texts;
    if (volumeShown) {
        texts.push_back({"btnSquelch", kSpeakerHelp});
    }
    for (const char* name : kDeviationControls) {
        texts.push_back({name, kDeviationHelp});
    }
    for (const char* name : kTestToneItems) {
        texts.push_back({name, kDeviationHelp});
    }
    texts.push_back({"chkTrackMod", "Balance tracks modulation"});
    for (const char* name : kPowerControls) {
        texts.push_back({name, power});
    }
    texts.push_back({"TabSheetReceiver",
                     ctx_.models().hasNotchTuning(id) ? kReceiverNotchHelp : kReceiverHelp});
    texts.push_back({"TabSheetSquelch", kSquelchHelp});
    for (const char* name : {"TabSheetFrequency", "lblTxFreqAdjust", "lblRxFreqOffset"}) {
        texts.push_back({name, kFrequencyHelp});
    }
    const auto same = [](const HelpText& a, const HelpText& b) {
        return std::string_view(a.control) == b.control && a.text == b.text;
    };
    // The help memory of the last control served survives while the texts stay the same.
    if (!std::equal(texts.begin(), texts.end(), helpTexts_.begin(), helpTexts_.end(), same)) {
        helpTexts_ = std::move(texts);
        help_->setTexts(helpTexts_);
    }
}

void TformAlign::FormClose() {
    stopProcedure();
    KeyTimer_->stop();
    MemoAlignHelp_->clear();
    transmitting_ = false;
    showTxRx();
    if (!offline_) {
        ctx_.radio().SetPtt(0);
    }
    chk_rssipolling2_->setChecked(false);
    chkRxFreqError_->setChecked(false);
    selectItem(powerGroup_, kPowerItemHigh, [this](int item) { rgRFPowerSelectOutput(item); });
    ctx_.radio().SetSelcallTone(kToneOff);
    testToneGroup_->button(kToneItemOff)->setChecked(true);
    if (ctx_.config().buildProductId == kQM1500ProductId) {
        ctx_.radio().ResetRadio();
    }
}

void TformAlign::btnCloseClick() {
    stopProcedure();
    if (!offline_) {
        if (ctx_.config().buildProductId == kQM1300ProductId) {
            ctx_.radio().SetLowPower(false);
        } else {
            ctx_.radio().SetRfPower(kHighPower, kPowerMode);
        }
    }
    reject();
}

// --- the window's own radio controls --------------------------------------------------------

bool TformAlign::radioFree() const {
    return !ctx_.transferRunning();
}

void TformAlign::rgTestToneClick(int item) {
    const int tone = item == kTone1k ? kTone1kHz : item == kTone50 ? kTone50Hz : kToneOff;
    ctx_.radio().SetSelcallTone(tone);
}

void TformAlign::btnPTTClick() {
    const bool transmit = !transmitting_;
    if (!offline_) {
        const bool external = rgPTTMic_->isVisible() && pttMicGroup_->checkedId() == 1;
        const int mode = transmit ? (external ? kPttExternalMic : 1) : 0;
        if (!ctx_.radio().SetPtt(mode)) {
            // The panel keeps showing what the radio still does; the next click retries.
            memoClear();
            memoAdd(transmit ? "Transmit..." : "Receive...");
            memoAdd("failed");
            return;
        }
    }
    transmitting_ = transmit;
    showTxRx();
}

void TformAlign::showTxRx() {
    setPanel(panelTxRx_, transmitting_);
}

void TformAlign::btnSquelchClick() {
    if (offline_) {
        status_ ^= 1;
    } else {
        int status = 0;
        if (ctx_.radio().GetStatus(status)) {
            status_ = status;
        }
        ctx_.radio().SetSquelchOpen((status_ & 1) == 0);
        if (ctx_.radio().GetStatus(status)) {
            status_ = status;
        }
    }
    lblSQL_->setVisible((status_ & 1) != 0);
}

void TformAlign::BitBtnUpMouseDown(int direction) {
    btnPTT_->setEnabled(true);
    keyDirection_ = direction;
    stepChannel();
    KeyTimer_->start(kKeyFirstMs);
    editChannel_->setStyleSheet("background: white;");
    clearSelection(alignFreqGroup_);
}

void TformAlign::KeyTimerTimer() {
    if (!isVisible() || !radioFree()) {
        KeyTimer_->stop();
        return;
    }
    KeyTimer_->setInterval(kKeyRepeatMs);
    stepChannel();
}

void TformAlign::BitBtnUpMouseUp() {
    KeyTimer_->stop();
}

void TformAlign::stepChannel() {
    TRadio& radio = ctx_.radio();
    if (offline_) {
        const int n = radio.currentChannel();
        radio.setCurrentChannel(keyDirection_ == 1 ? (n >= 80 ? 1 : n + 1) : (n <= 1 ? 80 : n - 1));
    } else {
        int channel = 0;
        radio.StepChannel(keyDirection_ == 1 ? 1 : -1, channel);
    }
    showChannel();
}

void TformAlign::showChannel() {
    const ChannelView v =
        channelView(ctx_.radio().currentChannel(), ctx_.image(), ctx_.models(), ctx_.config());
    lblBank_->setText(QString::fromStdString(v.bank));
    editChannel_->setText(QString::asprintf("%02d", v.number));
    lblRxFreq_->setText(v.hz == 0 ? QString() : QString::asprintf("%08.4f", v.hz * 1e-6));
    lblChannelAlpha_->setText(QString::fromStdString(v.name));
}

bool TformAlign::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editChannel_ && event->type() == QEvent::MouseButtonRelease) {
        editChannelClick();
    }
    // The arrow keys in a level edit step its register without tracking (the up-down's
    // filter would take them as clicks).
    if ((watched == mod_.edit || watched == bal_.edit) && event->type() == QEvent::KeyPress &&
        static_cast<QWidget*>(watched)->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepLevel(watched == mod_.edit ? mod_ : bal_, key == Qt::Key_Up, false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TformAlign::editChannelClick() {
    editChannel_->setStyleSheet("background: white;");
    clearSelection(alignFreqGroup_);
    if (!offline_) {
        ctx_.radio().SetChannel(ctx_.radio().currentChannel());
    }
    showChannel();
}

void TformAlign::rbAlignFreqClick(int item) {
    if (item < 0 || item >= static_cast<int>(kAlignmentFrequenciesMhz.size())) {
        return;
    }
    ctx_.radio().SetPll(pllStepsOfMhz(kAlignmentFrequenciesMhz[static_cast<std::size_t>(item)]));
    editChannel_->setStyleSheet("background: silver;");
}

void TformAlign::PageControl1Change(int index) {
    chkRxFreqError_->setChecked(false);
    rgAlignmentFreq_->setEnabled(PageControl1_->widget(index) == TabSheetReceiver_);
    help_->serve(PageControl1_->widget(index));
}

void TformAlign::chkRxFreqErrorClick(bool checked) {
    if (checked) {
        TimerFreqError_->start(kPollFreqErrorMs);
    } else {
        TimerFreqError_->stop();
    }
    editFreqError_->setEnabled(checked);
}

void TformAlign::TimerFreqErrorTimer() {
    if (!isVisible() || !radioFree()) {
        return;
    }
    int error = 0;
    editFreqError_->setText(ctx_.radio().ReadFrequencyError(error) ? QString::number(error)
                                                                   : QString("----"));
}

void TformAlign::chkAfcDisableClick(bool checked) {
    ctx_.radio().SetAfc(!checked);
}

void TformAlign::chk_rssipolling2Click(bool checked) {
    if (checked) {
        TimerRSSI_->start(kPollRssiMs);
    } else {
        TimerRSSI_->stop();
    }
}

void TformAlign::TimerRSSITimer() {
    if (!isVisible() || !radioFree()) {
        return;
    }
    int noise = 0;
    int rssi = 0;
    const bool read = !offline_ && ctx_.radio().ReadAdc(kNoiseChannel, noise) &&
                      ctx_.radio().ReadAdc(kRssiChannel, rssi);
    editNoisevolts_->setText(read ? QString::number(noise) : QString("-"));
    editRSSI_->setText(read ? QString::number(rssi) : QString("-"));
}

void TformAlign::tbVolumeChange(int position) {
    const int volume = kVolumeMax - position;
    MemoAlignHelp_->clear();
    memoAdd("Set volume...");
    edtVolume_->setText(QString::number(volume));
    memoAdd(ctx_.radio().SetVolume(volume) ? "OK" : "failed");
}

void TformAlign::btnRefreshVolumeClick() {
    MemoAlignHelp_->clear();
    memoAdd("Refresh volume...");
    memoAdd(ctx_.radio().SetVolume(kVolumeMax - tbVolume_->value()) ? "OK" : "failed");
}

void TformAlign::btnResetClick() {
    MemoAlignHelp_->clear();
    memoAdd("RESET radio...");
    MemoAlignHelp_->repaint();
    memoAdd(QString("RESET radio...") + (ctx_.radio().ResetRadio() ? " OK" : " fail"));
}

// --- calibration ----------------------------------------------------------------------------

void TformAlign::udAlignClick(const Value& value) {
    writeCalibration(ctx_.radio(), offline_, value.address, value.ud->position(), uiMemo_);
}

void TformAlign::OnEditKeyPress(Value& value) {
    const std::optional<CommittedValue> committed =
        commitValueText(value.edit->text().toStdString());
    if (!committed) {
        return;
    }
    if (committed->shown) {
        value.edit->setText(QString::number(committed->value));
    }
    value.ud->setPosition(committed->value);
    writeCalibration(ctx_.radio(), offline_, value.address, committed->value, uiMemo_);
}

void TformAlign::stepLevel(Level& level, bool up, bool tracking) {
    level.reg = stepRegister(level.reg, up);
    showLevel(level);
    writeCalibration(ctx_.radio(), offline_, level.address, level.reg, uiMemo_);
    if (tracking && chkTrackMod_->isChecked()) {
        bal_.reg = trackedBalance(mod_.reg, modRef_, balRef_);
        showLevel(bal_);
        writeCalibration(ctx_.radio(), offline_, bal_.address, bal_.reg, uiMemo_);
    }
}

void TformAlign::enterLevel(Level& level) {
    const std::optional<double> typed = parseLevel(level.edit->text().toStdString());
    if (!typed) {
        popups::warn(this, level.invalidText, "Error");
        return;
    }
    level.reg = registerOfLevel(*typed);
    showLevel(level);
    writeCalibration(ctx_.radio(), offline_, level.address, level.reg, uiMemo_);
}

void TformAlign::showLevel(const Level& level) {
    level.edit->setText(QString::fromStdString(levelText(level.reg)));
}

void TformAlign::chkTrackModClick(bool checked) {
    bal_.edit->setEnabled(!checked);
    bal_.ud->setEnabled(!checked);
    if (checked) {
        modRef_ = mod_.reg;
        balRef_ = bal_.reg;
    }
}

void TformAlign::rgRFPowerSelectOutput(int item) {
    MemoAlignHelp_->clear();
    const bool low = item == kPowerItemLow;
    memoAdd(low ? "Lo power... " : "Hi power... ");
    const bool ok = ctx_.config().buildProductId == kQM1300ProductId
                        ? ctx_.radio().SetLowPower(low)
                        : ctx_.radio().SetRfPower(low ? kLowPower : kHighPower, kPowerMode);
    memoAdd(ok ? "OK" : "fail");
}

void TformAlign::micGainClick(Value& value) {
    writeMicGain(ctx_.radio(), offline_, value.address, value.ud->position(), uiMemo_);
}

void TformAlign::micGainEnter(Value& value) {
    const std::optional<CommittedValue> committed =
        commitMicGainText(value.edit->text().toStdString());
    if (!committed) {
        return;
    }
    value.ud->setPosition(committed->value);
    writeMicGain(ctx_.radio(), offline_, value.address, committed->value, uiMemo_);
}

// --- the measuring procedures ---------------------------------------------------------------

bool TformAlign::startProcedure(const std::function<std::function<void()>()>& body) {
    if (procedureRunning()) {
        return false;
    }
    cancel_.reset();
    const int seq = procedureSeq_ + 1;
    const bool started = ctx_.startWorker([this, body, seq] {
        std::function<void()> show = body();
        sink_.queue([this, seq, show] { procedureEnded(seq, show); });
    });
    if (!started) {
        QApplication::beep();
        return false;
    }
    procedureSeq_ = seq;
    setProcedureUi(true);
    return true;
}

void TformAlign::procedureEnded(int seq, const std::function<void()>& show) {
    if (seq != procedureSeq_ || finishedSeq_ >= seq) {
        return; // the window closed (and waited for it) first
    }
    ctx_.waitForTransfer();
    finishedSeq_ = seq;
    setProcedureUi(false);
    show();
}

void TformAlign::stopProcedure() {
    if (!procedureRunning()) {
        return;
    }
    cancel_.set();
    ctx_.waitForTransfer();
    finishedSeq_ = procedureSeq_;
    setProcedureUi(false);
}

void TformAlign::setProcedureUi(bool running) {
    // Close stays usable: it cancels the procedure.
    content_->setEnabled(!running);
    if (running) {
        content_->setCursor(Qt::WaitCursor);
    } else {
        content_->unsetCursor();
    }
}

void TformAlign::btnAutoRxOffsetClick() {
    const bool offline = offline_;
    const int address = rxOffset_.address;
    startProcedure([this, offline, address]() -> std::function<void()> {
        const RxOffsetResult r = autoRxOffset(ctx_.radio(), ctx_.image(), offline, address, cancel_,
                                              workerMemo_, [this] {
                                                  sink_.queue([this] {
                                                      if (procedureRunning()) {
                                                          setChecked(chkAfcDisable_, true);
                                                      }
                                                  });
                                              });
        return [this, r] {
            if (r.status == RxOffsetResult::Status::NoSignal) {
                popups::warn(this, "No received signal.\nCheck signal is on and BUSY displayed.",
                             "Error");
                return;
            }
            if (r.status == RxOffsetResult::Status::SamplesFailed) {
                popups::warn(this, "Failed to get 8 frequency samples", "Error");
            }
            if (r.written == WriteResult::Accepted) {
                rxOffset_.ud->setPosition(r.offset);
            }
            editFreqError_->setText(r.average ? QString::number(*r.average) : QString("----"));
            setChecked(chkAfcDisable_, false);
        };
    });
}

void TformAlign::btnSetSClick(int point) {
    if (offline_) {
        return;
    }
    QPushButton* pressed = point == 1 ? btnSetS1_ : btnSetS10_;
    Value& value = point == 1 ? s1_ : s10_;
    pressed->setEnabled(false);
    TimerRSSI_->stop();
    const int address = value.address;
    const bool started = startProcedure([this, address, &value]() -> std::function<void()> {
        const SMeterResult r = calibrateSMeter(ctx_.radio(), address, cancel_);
        return [this, r, &value] {
            btnSetS1_->setEnabled(true);
            btnSetS10_->setEnabled(true);
            if (r.complete) {
                value.ud->setPosition(*r.value);
            } else if (!r.cancelled) {
                popups::warn(this, "S-Meter calibration not complete", "Error");
            }
            if (chk_rssipolling2_->isChecked()) {
                TimerRSSI_->start(kPollRssiMs);
            }
        };
    });
    if (!started) {
        pressed->setEnabled(true);
    }
}

// --- helpers --------------------------------------------------------------------------------

void TformAlign::memoClear() {
    MemoAlignHelp_->clear();
}

void TformAlign::memoAdd(const QString& line) {
    MemoAlignHelp_->appendPlainText(line);
}

void TformAlign::selectItem(QButtonGroup* group, int item,
                            const std::function<void(int)>& handler) {
    if (group->checkedId() == item) {
        return;
    }
    group->button(item)->setChecked(true);
    handler(item);
}

void TformAlign::clearSelection(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) {
        b->setChecked(false);
    }
    group->setExclusive(true);
}

} // namespace kav

#include "engineering/Engineering.h"

#include "app/Popups.h"
#include "editors/EditorWidgets.h"
#include "editors/UpDown.h"
#include "engineering/PanelInput.h"
#include "engineering/SamplesChart.h"
#include "model/Radioinfo.h"
#include "workflow/AppContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace kav {

namespace {

constexpr int kFirstHeldMs = 1000;
constexpr int kHeldMs = 100;
constexpr int kMaxVolume = 31;
constexpr int kBeepHz = 880;
constexpr int kPanelChannel = 129;
constexpr int kTemperatureChannel = 2;
constexpr int kRssiChannel = 4;
constexpr int kNoiseChannel = 5;
constexpr int kContrastVariable = 100;
constexpr int kEditWidth = 56;
constexpr std::array<std::uint32_t, 4> kBaudRates{9600, 19200, 38400, 57600};
constexpr const char* kCaption = "Development";

QLineEdit* newField(QWidget* parent, const char* name, const QString& text, int maxLength = 0,
                    int width = kEditWidth) {
    QLineEdit* edit = newEdit(parent, name);
    edit->setText(text);
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    if (width > 0) {
        edit->setFixedWidth(width);
    }
    return edit;
}

// An edit and its up-down, as one row of the grid.
UpDown* upDown(QWidget* parent, QGridLayout& grid, int row, const char* editName,
               const char* udName, int max) {
    QLineEdit* edit = newField(parent, editName, "0", 3, 40);
    auto* ud = new UpDown(*edit, parent);
    ud->setObjectName(udName);
    ud->setRange(0, max);
    ud->setPosition(0);
    grid.addWidget(edit, row, 0);
    grid.addWidget(ud, row, 1);
    return ud;
}

// A label and its edit on each row of the grid, from the first row.
struct LabelledEdit {
    const char* labelName;
    const char* caption;
    QLineEdit* edit;
};
void addLabelledEdits(QWidget* parent, QGridLayout& grid,
                      std::initializer_list<LabelledEdit> rows) {
    int row = 0;
    for (const LabelledEdit& r : rows) {
        grid.addWidget(newLabel(parent, r.labelName, r.caption), row, 0);
        grid.addWidget(r.edit, row++, 1);
    }
}

QString okText(bool ok) {
    return ok ? "OK" : "failed";
}

} // namespace

TfrmEngineering::TfrmEngineering(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName("frmEngineering");
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    TimerKeyHeld_ = new QTimer(this);
    TimerKeyHeld_->setObjectName("TimerKeyHeld");
    connect(TimerKeyHeld_, &QTimer::timeout, this, &TfrmEngineering::TimerKeyHeldTimer);
    ADPollTimer_ = new QTimer(this);
    ADPollTimer_->setObjectName("ADPollTimer");
    ADPollTimer_->setInterval(kPollMs);
    connect(ADPollTimer_, &QTimer::timeout, this, &TfrmEngineering::ADPollTimerTimer);
    frmSamplesChart_ = new TfrmSamplesChart(this);

    auto* columns = new QHBoxLayout;
    using Group = QGroupBox* (TfrmEngineering::*)();
    const std::array<std::vector<Group>, 3> kColumns{{
        {&TfrmEngineering::createFrequency, &TfrmEngineering::createConfiguration,
         &TfrmEngineering::createTones, &TfrmEngineering::createAutoAlign,
         &TfrmEngineering::createWideband},
        {&TfrmEngineering::createLcdTest, &TfrmEngineering::createMemory,
         &TfrmEngineering::createVolume, &TfrmEngineering::createRadioId,
         &TfrmEngineering::createSendKavII},
        {&TfrmEngineering::createArray, &TfrmEngineering::createBaudRate,
         &TfrmEngineering::createContrast, &TfrmEngineering::createAnalog},
    }};
    for (const auto& column : kColumns) {
        auto* box = new QVBoxLayout;
        for (const Group make : column) {
            box->addWidget((this->*make)());
        }
        box->addStretch();
        columns->addLayout(box);
    }

    memoEng_ = new QPlainTextEdit(this);
    memoEng_->setObjectName("memoEng");
    memoEng_->setReadOnly(true);
    memoEng_->setFixedHeight(90);
    QPushButton* close = newButton(this, "btnClose", "Close");
    connect(close, &QPushButton::clicked, this, [this] {
        ADPollTimer_->stop();
        accept();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(memoEng_, 1);
    bottom->addWidget(close, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createTopPanel());
    layout->addLayout(columns);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Enter in an edit must not press some command button.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
    }

    // FormCreate.
    cbFreqStep_->setCurrentIndex(0);
}

TfrmEngineering::~TfrmEngineering() = default;

void TfrmEngineering::addCommands(QWidget* parent, QGridLayout& grid, int column,
                                  std::initializer_list<Command> commands) {
    int row = 0;
    for (const Command& c : commands) {
        QPushButton* button = newButton(parent, c.name, c.caption);
        connect(button, &QPushButton::clicked, this, c.handler);
        grid.addWidget(button, row++, column);
    }
}

QGroupBox* TfrmEngineering::createFrequency() {
    QGroupBox* group = newGroupBox(this, "gbFrequency", "Radio Frequency");
    auto* grid = new QGridLayout(group);
    editFreq_ = newField(group, "editFreq", "", 0, 96);
    editFreq_->setReadOnly(true);
    QPushButton* inc = newButton(group, "btnFreqInc", "+");
    QPushButton* dec = newButton(group, "btnFreqDec", "-");
    inc->setFixedWidth(28);
    dec->setFixedWidth(28);
    connect(inc, &QPushButton::pressed, this, [this] { btnFreqMouseDown(1); });
    connect(dec, &QPushButton::pressed, this, [this] { btnFreqMouseDown(-1); });
    connect(inc, &QPushButton::released, this, &TfrmEngineering::btnFreqIncMouseUp);
    connect(dec, &QPushButton::released, this, &TfrmEngineering::btnFreqIncMouseUp);
    auto* freqRow = new QHBoxLayout;
    freqRow->addWidget(editFreq_);
    freqRow->addWidget(newLabel(group, "lblMHz", "MHz"));
    freqRow->addWidget(inc);
    freqRow->addWidget(dec);
    freqRow->addStretch();
    grid->addLayout(freqRow, 0, 0, 1, 3);
    cbFreqStep_ = newDropDownList(group, "cbFreqStep");
    for (const FrequencyStep& step : kFrequencySteps) {
        cbFreqStep_->addItem(step.text, step.hz);
    }
    grid->addWidget(newLabel(group, "lblStepSize", "Step Size:"), 1, 0);
    grid->addWidget(cbFreqStep_, 1, 1, 1, 2);
    QPushButton* refresh = newButton(group, "btnRefreshPLL", "Refresh PLL");
    connect(refresh, &QPushButton::clicked, this, &TfrmEngineering::tune);
    grid->addWidget(refresh, 2, 0);
    auto* presets = new QHBoxLayout;
    for (const auto& [name, caption, hz] :
         {std::tuple{"btn_450", "450", 450000000}, std::tuple{"btn_477", "477", 477000000},
          std::tuple{"btn_504", "504", 504000000}}) {
        QPushButton* preset = newButton(group, name, caption);
        preset->setFixedWidth(40);
        connect(preset, &QPushButton::clicked, this, [this, hz = hz] { setFrequency(hz); });
        presets->addWidget(preset);
    }
    grid->addLayout(presets, 2, 1, 1, 2);
    return group;
}

QWidget* TfrmEngineering::createTopPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlTop");
    lblTxRx_ = newLabel(panel, "lblTxRx", "RECEIVE");
    lblTxRx_->setAlignment(Qt::AlignCenter);
    lblTxRx_->setFixedWidth(100);
    lblTxRx_->setAutoFillBackground(true);
    QPushButton* ptt = newButton(panel, "btnPTT", "PTT");
    QPushButton* sql = newButton(panel, "btnSquelch", "SQL");
    QPushButton* reset = newButton(panel, "btnReset", "Reset Radio");
    chkTestMode_ = newCheckBox(panel, "chkTestMode", "Test Mode");
    QPushButton* prog = newButton(panel, "btnProgMode", "Reset Radio");
    connect(ptt, &QPushButton::clicked, this, &TfrmEngineering::btnPTTClick);
    connect(sql, &QPushButton::clicked, this, &TfrmEngineering::btnSquelchClick);
    connect(reset, &QPushButton::clicked, this, &TfrmEngineering::btnResetClick);
    connect(chkTestMode_, &QCheckBox::clicked, this, &TfrmEngineering::chkTestModeClick);
    connect(prog, &QPushButton::clicked, this, &TfrmEngineering::btnProgModeClick);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblTxRx_, ptt, sql, reset, chkTestMode_, prog}) {
        row->addWidget(w);
    }
    row->addStretch();
    return panel;
}

QGroupBox* TfrmEngineering::createConfiguration() {
    QGroupBox* group = newGroupBox(this, "gbConfiguration", "Configuration");
    auto* grid = new QGridLayout(group);
    addLabelledEdits(group, *grid,
                     {{"lblPLL_R", "PLL Ref", newField(group, "editPLL_R", "")},
                      {"lblIF_OFFSET", "IF Offset", newField(group, "editIF_OFFSET", "")}});
    addCommands(group, *grid, 2,
                {{"btnSetChannel", "Set Channel", &TfrmEngineering::btnSetChannelClick}});
    return group;
}

// "CTCSS TX", "Selcall TX" and "BeepTone" side by side in one frame.
QGroupBox* TfrmEngineering::createTones() {
    QGroupBox* group = newGroupBox(this, "gbTones", "");
    group->setFlat(true);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(0, 0, 0, 0);
    struct Tone {
        const char* box;
        const char* caption;
        const char* edit;
        const char* ud;
        int max;
        const char* button;
        const char* buttonCaption;
    };
    const std::array<Tone, 3> tones{{
        {"gbCTCSS", "CTCSS TX", "editCTCSS", "udCTCSS", 50, "btnCTCSS", "Set CTCSS"},
        {"gbSelcall", "Selcall TX", "editSelcall", "udSelcall", 17, "btnSelcall", "Set Selcall"},
        {"gbBeepTone", "BeepTone", "editBeepTone", "udBeepTone", 17, "btnBeep", "Beep Test"},
    }};
    std::array<UpDown*, 3> uds{};
    std::array<QPushButton*, 3> buttons{};
    for (std::size_t i = 0; i < tones.size(); ++i) {
        QGroupBox* box = newGroupBox(group, tones[i].box, tones[i].caption);
        auto* grid = new QGridLayout(box);
        uds[i] = upDown(box, *grid, 0, tones[i].edit, tones[i].ud, tones[i].max);
        buttons[i] = newButton(box, tones[i].button, tones[i].buttonCaption);
        grid->addWidget(buttons[i], 1, 0, 1, 2);
        row->addWidget(box);
    }
    udCTCSS_ = uds[0];
    udSelcall_ = uds[1];
    connect(buttons[0], &QPushButton::clicked, this, &TfrmEngineering::btnCTCSSClick);
    connect(buttons[1], &QPushButton::clicked, this, &TfrmEngineering::btnSelcallClick);
    connect(buttons[2], &QPushButton::pressed, this, [this] { ctx_.radio().Beep(kBeepHz); });
    connect(buttons[2], &QPushButton::released, this, [this] { ctx_.radio().Beep(0); });
    return group;
}

QGroupBox* TfrmEngineering::createAutoAlign() {
    QGroupBox* group = newGroupBox(this, "gbAutoAlign", "Auto Align");
    auto* grid = new QGridLayout(group);
    editAlignStart_ = newField(group, "editAlignStart", "0", 3, 40);
    editAlignStop_ = newField(group, "editAlignStop", "255", 3, 40);
    editAlignStep_ = newField(group, "editAlignStep", "16", 3, 40);
    const std::array<std::pair<const char*, QLineEdit*>, 3> edits{
        {{"Start", editAlignStart_}, {"Stop", editAlignStop_}, {"Step", editAlignStep_}}};
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const int column = 2 * static_cast<int>(i);
        grid->addWidget(newLabel(group, QString("lblAlign%1").arg(edits[i].first), edits[i].first),
                        0, column);
        grid->addWidget(edits[i].second, 0, column + 1);
    }
    auto* checks = new QHBoxLayout;
    for (std::size_t i = 0; i < chkAlign_.size(); ++i) {
        const QString caption = QString("T%1").arg(i + 1);
        chkAlign_[i] = newCheckBox(group, "chkAlign" + caption, caption);
        checks->addWidget(chkAlign_[i]);
    }
    QPushButton* align = newButton(group, "btnAutoAlign", "Auto Align");
    connect(align, &QPushButton::clicked, this, &TfrmEngineering::btnAutoAlignClick);
    checks->addWidget(align);
    grid->addLayout(checks, 1, 0, 1, 6);
    return group;
}

QGroupBox* TfrmEngineering::createLcdTest() {
    QGroupBox* group = newGroupBox(this, "gbLCDTest", "LCD Test");
    auto* grid = new QGridLayout(group);
    edit7seg_ = newField(group, "edit7seg", "88", 2);
    editAlphaText_ = newField(group, "editAlphaText", "ALPHA", 5);
    edtIcons_ = newField(group, "edtIcons", "0000", 4);
    grid->addWidget(newLabel(group, "lbl7seg", "7-seg"), 0, 0);
    grid->addWidget(edit7seg_, 0, 1);
    grid->addWidget(newLabel(group, "lblAlpha", "Alpha"), 0, 2);
    grid->addWidget(editAlphaText_, 0, 3);
    grid->addWidget(newLabel(group, "lblIcons", "Icons"), 1, 0);
    grid->addWidget(edtIcons_, 1, 1);
    grid->addWidget(newLabel(group, "lblFlags", "Flags"), 1, 2);
    grid->addWidget(newField(group, "edtFlags", "00", 2), 1, 3);
    QPushButton* write = newButton(group, "btnWriteLCD", "Write LCD");
    connect(write, &QPushButton::clicked, this, &TfrmEngineering::btnWriteLCDClick);
    grid->addWidget(write, 2, 0, 1, 4);
    return group;
}

QGroupBox* TfrmEngineering::createMemory() {
    QGroupBox* group = newGroupBox(this, "gbMemory", "Memory");
    auto* grid = new QGridLayout(group);
    edit_memaddr_ = newField(group, "edit_memaddr", "", 4);
    edit_memdata_ = newField(group, "edit_memdata", "", 2);
    edit_memmask_ = newField(group, "edit_memmask", "", 2);
    addLabelledEdits(group, *grid,
                     {{"lblMemAddr", "Addr:", edit_memaddr_},
                      {"lblMemData", "Data:", edit_memdata_},
                      {"lblMemMask", "Mask:", edit_memmask_}});
    addCommands(group, *grid, 2,
                {{"btnMemWrite", "Write", &TfrmEngineering::btnMemWriteClick},
                 {"btnMemRead", "Read", &TfrmEngineering::btnMemReadClick}});
    QPushButton* sample = newButton(group, "btnAudioSamples", "Sample");
    connect(sample, &QPushButton::clicked, this, &TfrmEngineering::btnAudioSamplesClick);
    QGroupBox* samples = newGroupBox(group, "gbAudioSamples", "Audio Samples");
    auto* box = new QHBoxLayout(samples);
    box->addWidget(sample);
    grid->addWidget(samples, 2, 2, 1, 2);
    return group;
}

QGroupBox* TfrmEngineering::createVolume() {
    QGroupBox* group = newGroupBox(this, "gbSetVolume", "Set volume");
    auto* row = new QHBoxLayout(group);
    tbVolume_ = new QSlider(Qt::Horizontal, group);
    tbVolume_->setObjectName("tbVolume");
    tbVolume_->setRange(0, kMaxVolume);
    connect(tbVolume_, &QSlider::valueChanged, this, &TfrmEngineering::tbVolumeChange);
    QPushButton* refresh = newButton(group, "btnRefreshVolume", "Refresh");
    connect(refresh, &QPushButton::clicked, this, &TfrmEngineering::btnRefreshVolumeClick);
    edtVolume_ = newField(group, "edtVolume", "0", 0, 32);
    edtVolume_->setReadOnly(true);
    row->addWidget(tbVolume_, 1);
    row->addWidget(refresh);
    row->addWidget(edtVolume_);
    return group;
}

QGroupBox* TfrmEngineering::createRadioId() {
    QGroupBox* group = newGroupBox(this, "gbRadioID", "Radio ID");
    auto* row = new QHBoxLayout(group);
    edtID_ = newField(group, "edtID", "", kRadioIdDigits, 136);
    QPushButton* read = newButton(group, "btnReadID", "read");
    QPushButton* write = newButton(group, "btnWriteID", "write");
    connect(read, &QPushButton::clicked, this, &TfrmEngineering::btnReadIDClick);
    connect(write, &QPushButton::clicked, this, &TfrmEngineering::btnWriteIDClick);
    row->addWidget(edtID_);
    row->addWidget(read);
    row->addWidget(write);
    return group;
}

QGroupBox* TfrmEngineering::createWideband() {
    QGroupBox* group = newGroupBox(this, "gbSetWideBand", "Set Wideband");
    auto* row = new QHBoxLayout(group);
    QLabel* note =
        newLabel(group, "lblWidebandNote",
                 "NOTE:  This will re-enable AFC, and WB will be enabled until radio is reset.");
    note->setWordWrap(true);
    note->setFixedWidth(230);
    QPushButton* set = newButton(group, "btnSetWideband", "Set");
    connect(set, &QPushButton::clicked, this, &TfrmEngineering::btnSetWidebandClick);
    row->addWidget(note, 1);
    row->addWidget(set);
    return group;
}

QGroupBox* TfrmEngineering::createSendKavII() {
    QGroupBox* group = newGroupBox(this, "gbSendKAVIICommand", "Send KAVII Command");
    auto* row = new QHBoxLayout(group);
    edtSendKAVII_ = newField(group, "edtSendKAVII", "00", 0, 0);
    QPushButton* send = newButton(group, "btnSendKAVIICommand", "send");
    connect(send, &QPushButton::clicked, this, &TfrmEngineering::btnSendKAVIICommandClick);
    row->addWidget(edtSendKAVII_, 1);
    row->addWidget(send);
    return group;
}

QGroupBox* TfrmEngineering::createContrast() {
    QGroupBox* group = newGroupBox(this, "gbLCDContrast", "LCD Constrast");
    auto* grid = new QGridLayout(group);
    udLCDContrast_ = upDown(group, *grid, 0, "edtLCDContrast", "udLCDContrast", 8);
    udLCDContrast_->setPosition(4);
    btnSetContrast_ = newButton(group, "btnSetContrast", "Set contrast");
    connect(btnSetContrast_, &QPushButton::clicked, this, &TfrmEngineering::btnSetContrastClick);
    grid->addWidget(btnSetContrast_, 0, 2);
    return group;
}

QGroupBox* TfrmEngineering::createArray() {
    QGroupBox* group = newGroupBox(this, "gbArray", "Array");
    auto* grid = new QGridLayout(group);
    edtArrayAddress_ = newField(group, "edtArrayAddress", "0", 5);
    edtArrayNumBytes_ = newField(group, "edtArrayNumBytes", "128", 3);
    addLabelledEdits(group, *grid,
                     {{"lblArrayAddress", "address", edtArrayAddress_},
                      {"lblArrayNumBytes", "num bytes", edtArrayNumBytes_}});
    addCommands(group, *grid, 2,
                {{"btnReadArray", "Read", &TfrmEngineering::btnReadArrayClick},
                 {"btnWriteArray", "Write", &TfrmEngineering::btnWriteArrayClick}});
    return group;
}

QGroupBox* TfrmEngineering::createBaudRate() {
    QGroupBox* group = newGroupBox(this, "gbBaudRate", "Baud Rate");
    auto* grid = new QGridLayout(group);
    cbBaudRate_ = newDropDownList(group, "cbBaudRate");
    QPushButton* radio = newButton(group, "btnSetRadioBaudRate", "Set Radio");
    QPushButton* pc = newButton(group, "btnSetPCBaudRate", "Set PC");
    connect(radio, &QPushButton::clicked, this, &TfrmEngineering::btnSetRadioBaudRateClick);
    connect(pc, &QPushButton::clicked, this, &TfrmEngineering::btnSetPCBaudRateClick);
    grid->addWidget(cbBaudRate_, 0, 0, 1, 2);
    grid->addWidget(radio, 1, 0);
    grid->addWidget(pc, 1, 1);
    return group;
}

QGroupBox* TfrmEngineering::createAnalog() {
    QGroupBox* group = newGroupBox(this, "gbAnalogValues", "A/D values");
    auto* grid = new QGridLayout(group);
    editRSSI_ = newField(group, "editRSSI", "");
    editNoisevolts_ = newField(group, "editNoisevolts", "");
    editRSSI_->setReadOnly(true);
    editNoisevolts_->setReadOnly(true);
    addLabelledEdits(
        group, *grid,
        {{"lblRSSI", "RSSI", editRSSI_}, {"lblNoisevolts", "Noise volts", editNoisevolts_}});
    chkADPolling_ = newCheckBox(group, "chkADPolling", "A/D polling");
    chkADPolling_->setToolTip("Enable polling of RSSI and noise volts");
    connect(chkADPolling_, &QCheckBox::clicked, this, &TfrmEngineering::chkADPollingClick);
    grid->addWidget(chkADPolling_, 2, 0, 1, 2);

    QGroupBox* temperature = newGroupBox(group, "gbReadTemp", "Temperature");
    auto* row = new QHBoxLayout(temperature);
    QPushButton* request = newButton(temperature, "btnReqTemp", "request");
    connect(request, &QPushButton::clicked, this, &TfrmEngineering::btnReqTempClick);
    edtTempVal_ = newField(temperature, "edtTempVal", "");
    edtTempVal_->setReadOnly(true);
    row->addWidget(request);
    row->addWidget(edtTempVal_);
    grid->addWidget(temperature, 3, 0, 1, 2);
    return group;
}

void TfrmEngineering::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// However the window closes, nothing of it keeps running: no polling, no held step, and a
// transmitter it keyed is unkeyed.
void TfrmEngineering::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        ADPollTimer_->stop();
        chkADPolling_->setChecked(false);
        TimerKeyHeld_->stop();
        stepDirection_ = 0;
        if (transmitting_) {
            ctx_.radio().SetPtt(0);
            transmitting_ = false;
            showTxRx();
        }
    }
    QDialog::hideEvent(event);
}

void TfrmEngineering::FormShow() {
    chkADPolling_->setChecked(false);
    chkADPollingClick(false);
    transmitting_ = false;
    showTxRx();
    showFrequency();
    edtVolume_->setText("0");
    tbVolume_->setValue(kMaxVolume);
    // A model without the contrast variable has nothing to read or set.
    const int contrast = contrastAddress();
    btnSetContrast_->setEnabled(contrast >= 0);
    int value = 0;
    if (contrast >= 0 && ctx_.radio().ReadByte(contrast, value)) {
        udLCDContrast_->setPosition(value);
        // The edit shows the byte read, as two hexadecimal digits.
        findChild<QLineEdit*>("edtLCDContrast")->setText(QString::fromStdString(hexByte(value)));
    }
    cbBaudRate_->clear();
    for (const std::uint32_t rate : kBaudRates) {
        cbBaudRate_->addItem(QString::number(rate), rate);
    }
    cbBaudRate_->setCurrentIndex(0);
}

int TfrmEngineering::contrastAddress() const {
    return ctx_.models().variableAddress(kContrastVariable);
}

void TfrmEngineering::begin(const QString& line) {
    memoEng_->clear();
    addLine(line);
}

void TfrmEngineering::addLine(const QString& line) {
    memoEng_->appendPlainText(line);
}

void TfrmEngineering::report(bool ok) {
    addLine(okText(ok));
}

std::optional<int> TfrmEngineering::field(QLineEdit* edit, const FieldRule& rule) {
    const std::optional<int> value = readField(edit->text().toStdString(), rule);
    if (!value) {
        refuse(QString::fromStdString(fieldError(edit->text().toStdString(), rule)));
    }
    return value;
}

void TfrmEngineering::refuse(const QString& why) {
    popups::warn(this, why, kCaption);
}

void TfrmEngineering::showFrequency() {
    editFreq_->setText(QString::asprintf("%010.6f", frequency_ / 1e6));
}

void TfrmEngineering::tune() {
    begin("Update PLL...");
    report(ctx_.radio().SetPll(pllSteps(frequency_)));
}

void TfrmEngineering::setFrequency(int hz) {
    frequency_ = hz;
    tune();
    showFrequency();
}

void TfrmEngineering::stepFrequency(int direction) {
    const int step = cbFreqStep_->currentIndex() >= 0 ? cbFreqStep_->currentData().toInt() : 0;
    setFrequency(steppedFrequency(frequency_, step, direction));
}

void TfrmEngineering::btnFreqMouseDown(int direction) {
    stepDirection_ = direction;
    TimerKeyHeld_->start(kFirstHeldMs);
    stepFrequency(direction);
}

void TfrmEngineering::btnFreqIncMouseUp() {
    TimerKeyHeld_->stop();
    stepDirection_ = 0;
}

void TfrmEngineering::TimerKeyHeldTimer() {
    if (stepDirection_ == 0) {
        TimerKeyHeld_->stop();
        return;
    }
    TimerKeyHeld_->setInterval(kHeldMs);
    stepFrequency(stepDirection_);
}

void TfrmEngineering::showTxRx() {
    lblTxRx_->setText(transmitting_ ? "TRANSMIT" : "RECEIVE");
    lblTxRx_->setStyleSheet(transmitting_ ? "background: red;" : "background: lime;");
}

void TfrmEngineering::btnPTTClick() {
    transmitting_ = !transmitting_;
    showTxRx();
    ctx_.radio().SetPtt(transmitting_ ? 1 : 0);
}

void TfrmEngineering::btnSquelchClick() {
    squelchOpen_ = !squelchOpen_;
    ctx_.radio().SetSquelchOpen(squelchOpen_);
}

void TfrmEngineering::btnResetClick() {
    addLine("Reset req..");
    if (ctx_.radio().ResetRadio()) {
        addLine("OK");
    } else {
        popups::warn(this, "Radio Response Timeout.", "Comms Error");
    }
}

void TfrmEngineering::btnProgModeClick() {
    ctx_.radio().EnterProgMode();
}

void TfrmEngineering::btnSetChannelClick() {
    ctx_.radio().SetChannel(kPanelChannel);
}

void TfrmEngineering::btnCTCSSClick() {
    udCTCSS_->takeBuddyText();
    ctx_.radio().SetCtcssTone(udCTCSS_->position());
}

void TfrmEngineering::btnSelcallClick() {
    udSelcall_->takeBuddyText();
    ctx_.radio().SetSelcallTone(udSelcall_->position());
}

void TfrmEngineering::btnAutoAlignClick() {
    const std::optional<int> start = field(editAlignStart_, kAlignStart);
    const std::optional<int> stop = start ? field(editAlignStop_, kAlignStop) : std::nullopt;
    const std::optional<int> step = stop ? field(editAlignStep_, kAlignStep) : std::nullopt;
    if (!step) {
        return;
    }
    int mask = 0;
    for (std::size_t i = 0; i < chkAlign_.size(); ++i) {
        mask |= chkAlign_[i]->isChecked() ? 1 << i : 0;
    }
    begin("Auto Align...");
    report(ctx_.radio().AutoAlign(mask, *start, *stop, *step));
}

void TfrmEngineering::btnWriteLCDClick() {
    const std::string digits = displayText(edit7seg_->text().toStdString(), 2);
    const std::string text = displayText(editAlphaText_->text().toStdString(), 5);
    begin("Write LCD...");
    report(ctx_.radio().WriteLcd(reinterpret_cast<const std::uint8_t*>(digits.data()),
                                 reinterpret_cast<const std::uint8_t*>(text.data()), 0,
                                 iconMask(edtIcons_->text().toStdString())));
}

void TfrmEngineering::btnMemWriteClick() {
    begin("Write memory...");
    const std::optional<int> address = field(edit_memaddr_, kMemAddress);
    const std::optional<int> value = address ? field(edit_memdata_, kMemData) : std::nullopt;
    const std::optional<int> mask = value ? field(edit_memmask_, kMemMask) : std::nullopt;
    if (mask) {
        report(ctx_.radio().MemWrite(*address, *value, *mask));
    }
}

void TfrmEngineering::btnMemReadClick() {
    begin("Read memory...");
    const std::optional<int> address = field(edit_memaddr_, kMemAddress);
    if (!address) {
        return;
    }
    int value = 0;
    const bool ok = ctx_.radio().MemRead(*address, value);
    if (ok) {
        edit_memdata_->setText(QString::fromStdString(hexByte(value)));
    }
    report(ok);
}

void TfrmEngineering::chkTestModeClick(bool checked) {
    begin(checked ? "Set test mode..." : "Set normal mode...");
    report(ctx_.radio().SetTestMode(checked ? 1 : 0));
}

void TfrmEngineering::btnAudioSamplesClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    begin("Read audio samples...");
    std::array<std::int16_t, TRadio::kMaxAudioSamples> samples{};
    if (!ctx_.radio().ReadAudioSamples(TRadio::kMaxAudioSamples, samples.data())) {
        addLine("failed");
        QApplication::restoreOverrideCursor();
        popups::inform(this, "Failed to read audio samples", QApplication::applicationName());
        return;
    }
    addLine("Samples:");
    QString text;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        text += QString("%1:%2 ").arg(i).arg(samples[i]);
    }
    frmSamplesChart_->setSamples(samples);
    QApplication::restoreOverrideCursor();
    frmSamplesChart_->exec();
    addLine(text);
    addLine("OK");
}

void TfrmEngineering::tbVolumeChange(int position) {
    const int volume = kMaxVolume - position;
    edtVolume_->setText(QString::number(volume));
    begin("Set volume...");
    report(ctx_.radio().SetVolume(volume));
}

void TfrmEngineering::btnRefreshVolumeClick() {
    begin("Refresh volume...");
    report(ctx_.radio().SetVolume(kMaxVolume - tbVolume_->value()));
}

void TfrmEngineering::btnReadIDClick() {
    begin("Read ID...");
    edtID_->clear();
    std::array<std::uint8_t, TRadio::kRadioIdBytes> id{};
    const bool ok = ctx_.radio().ReadRadioId(id.data());
    if (ok) {
        edtID_->setText(QString::fromStdString(radioIdText(id)));
    }
    report(ok);
}

void TfrmEngineering::btnWriteIDClick() {
    const std::optional<std::array<std::uint8_t, 8>> id =
        radioIdBytes(edtID_->text().toStdString());
    if (!id) {
        refuse("Radio ID: \"" + edtID_->text() +
               "\" is not 16 hexadecimal digits; nothing was sent.");
        return;
    }
    begin("Write ID...");
    report(ctx_.radio().WriteRadioId(id->data()));
}

void TfrmEngineering::btnSetWidebandClick() {
    begin("Setting to Wideband...");
    report(ctx_.radio().SetWideband());
}

void TfrmEngineering::btnSendKAVIICommandClick() {
    const auto bytes = packetBytes(edtSendKAVII_->text().toStdString());
    if (!bytes) {
        refuse("\"" + edtSendKAVII_->text() +
               "\" is not a packet: give 1 to 20 bytes as two hexadecimal digits each, one "
               "character between bytes (for example 34 89 0F); nothing was sent.");
        return;
    }
    ctx_.radio().SendCommand(bytes->data(), static_cast<int>(bytes->size()));
}

void TfrmEngineering::btnSetContrastClick() {
    const int address = contrastAddress();
    if (address < 0) {
        return;
    }
    udLCDContrast_->takeBuddyText();
    addLine(ctx_.radio().WriteByte(address, udLCDContrast_->position())
                ? "Wrote contrast - now reset radio"
                : "Failed to write contrast");
}

std::optional<std::pair<int, int>> TfrmEngineering::arrayRequest() {
    const std::optional<int> address = field(edtArrayAddress_, kArrayAddress);
    const std::optional<int> count = address ? field(edtArrayNumBytes_, kArrayCount) : std::nullopt;
    if (!count) {
        return std::nullopt;
    }
    edtArrayAddress_->setText(QString::number(*address));
    edtArrayNumBytes_->setText(QString::number(*count));
    return std::pair{*address, *count};
}

void TfrmEngineering::btnReadArrayClick() {
    const auto request = arrayRequest();
    if (!request) {
        return;
    }
    const auto [address, count] = *request;
    std::array<std::uint8_t, kMaxArrayBytes> bytes{};
    const int got = ctx_.radio().ReadBlock(count, address, bytes.data());
    popups::inform(this,
                   got > 0 ? QString::fromStdString(arrayReadText(bytes.data(), got))
                           : QString("FAILED"),
                   "Read Array");
}

// Writes the test pattern 0, 1, 2 ... for exactly the count asked for.
void TfrmEngineering::btnWriteArrayClick() {
    const auto request = arrayRequest();
    if (!request) {
        return;
    }
    const auto [address, count] = *request;
    std::array<std::uint8_t, kMaxArrayBytes> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    const bool ok = ctx_.radio().WriteBlock(count, address, bytes.data());
    popups::inform(this, ok ? QString("Wrote %1 bytes\n").arg(count) : QString("FAILED"),
                   "Write Array");
}

void TfrmEngineering::btnSetRadioBaudRateClick() {
    memoEng_->clear();
    addLine(ctx_.radio().SetRadioBaudRate(cbBaudRate_->currentData().toUInt())
                ? "Set radio to new baud-rate"
                : "Unable to set radio to new baud-rate");
}

void TfrmEngineering::btnSetPCBaudRateClick() {
    memoEng_->clear();
    addLine(ctx_.port().SetBaudRate(cbBaudRate_->currentData().toUInt())
                ? "Set PC to baud-rate"
                : "Unable to change PC baud-rate");
}

void TfrmEngineering::chkADPollingClick(bool checked) {
    if (checked) {
        ADPollTimer_->start();
    } else {
        ADPollTimer_->stop();
    }
}

// Polls only while nothing else uses the radio: a whole-radio transfer owns it until it ends.
void TfrmEngineering::ADPollTimerTimer() {
    if (ctx_.transferRunning()) {
        return;
    }
    int noise = 0;
    int rssi = 0;
    const bool ok =
        ctx_.radio().ReadAdc(kNoiseChannel, noise) && ctx_.radio().ReadAdc(kRssiChannel, rssi);
    editNoisevolts_->setText(ok ? QString::number(noise) : QString("-"));
    editRSSI_->setText(ok ? QString::number(rssi) : QString("-"));
}

void TfrmEngineering::btnReqTempClick() {
    int value = 0;
    edtTempVal_->setText(ctx_.radio().ReadAdc(kTemperatureChannel, value) ? QString::number(value)
                                                                          : QString("--"));
}

} // namespace kav

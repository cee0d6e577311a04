#include "editors/Rxchedit.h"

#include "app/Popups.h"
#include "editors/RxChannelSettings.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <array>
#include <functional>

namespace kav {

// Up and down buttons with no value of their own: each click steps the frequency text.
class FrequencySpin : public QAbstractSpinBox {
public:
    explicit FrequencySpin(QWidget* parent) : QAbstractSpinBox(parent) {
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setFocusPolicy(Qt::NoFocus);
        lineEdit()->setReadOnly(true);
        lineEdit()->setFocusPolicy(Qt::NoFocus);
    }
    void stepBy(int steps) override {
        if (onStep) {
            onStep(steps > 0);
        }
    }
    std::function<void(bool up)> onStep;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

namespace {

// Channel names: what the packed text can store, lower-case letters made capitals.
class AlphaTagValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        const std::optional<std::string> tag = storableAlphaTag(input.toStdString());
        if (!tag) {
            return Invalid;
        }
        input = QString::fromStdString(*tag);
        return Acceptable;
    }
};

constexpr int kFreqLength = 10;

QString frequencyText(std::uint32_t hz) {
    return QString::fromStdString(rxFrequencyText(hz));
}

} // namespace

TfrmRxChEdit::TfrmRxChEdit(bool alphaTags, QWidget* parent) : QDialog(parent) {
    setObjectName("frmRxChEdit");
    setWindowTitle("Add Channel");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    editFreq_ = new QLineEdit(this);
    editFreq_->setObjectName("editFreq");
    editFreq_->setMaxLength(kFreqLength);
    // Digits and the decimal point only; Enter is taken by eventFilter.
    editFreq_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9.]*"), editFreq_));
    editFreq_->installEventFilter(this);
    udFreq_ = new FrequencySpin(this);
    udFreq_->setObjectName("udFreq");
    udFreq_->onStep = [this](bool up) {
        udFreqChangingEx(up);
    };
    cbChannel_ = new QComboBox(this);
    cbChannel_->setObjectName("cbChannel");
    editChannel_ = new QLineEdit(this);
    editChannel_->setObjectName("editChannel");
    editChannel_->setReadOnly(true);
    lblAlphaTag_ = new QLabel("AlphaTag", this);
    lblAlphaTag_->setObjectName("lblAlphaTag");
    editAlphaTag_ = new QLineEdit(this);
    editAlphaTag_->setObjectName("editAlphaTag");
    editAlphaTag_->setMaxLength(kAlphaTagLength);
    editAlphaTag_->setValidator(new AlphaTagValidator(editAlphaTag_));

    const std::array<std::pair<QCheckBox**, std::pair<const char*, const char*>>, 4> boxes{{
        {&chkScan1_, {"chkScan1", "Scan Mem 1"}},
        {&chkScan2_, {"chkScan2", "Scan Mem 2"}},
        {&chkQuiet_, {"chkQuiet", "Quiet"}},
        {&chkSilent_, {"chkSilent", "Silent"}},
    }};

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->addWidget(new QLabel("Freq:", this), 0, 0);
    auto* freqRow = new QHBoxLayout;
    freqRow->setSpacing(0);
    editFreq_->setFixedWidth(84);
    udFreq_->setFixedWidth(18);
    udFreq_->setFixedHeight(editFreq_->sizeHint().height());
    freqRow->addWidget(editFreq_);
    freqRow->addWidget(udFreq_);
    freqRow->addSpacing(6);
    freqRow->addWidget(new QLabel("MHz", this));
    freqRow->addStretch();
    grid->addLayout(freqRow, 0, 1);
    grid->addWidget(new QLabel("Channel:", this), 1, 0);
    auto* channelRow = new QHBoxLayout;
    cbChannel_->setFixedWidth(64);
    editChannel_->setFixedWidth(64);
    channelRow->addWidget(cbChannel_);
    channelRow->addWidget(editChannel_);
    channelRow->addStretch();
    grid->addLayout(channelRow, 1, 1);
    grid->addWidget(lblAlphaTag_, 2, 0);
    editAlphaTag_->setFixedWidth(84);
    grid->addWidget(editAlphaTag_, 2, 1, Qt::AlignLeft);

    // The check boxes line up with the fields above them.
    int row = 4;
    grid->setRowMinimumHeight(3, 2);
    for (const auto& [box, names] : boxes) {
        *box = new QCheckBox(names.second, this);
        (*box)->setObjectName(names.first);
        grid->addWidget(*box, row++, 1);
    }
    grid->setRowStretch(row, 1);

    auto* btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    auto* btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    lblAlphaTag_->setVisible(alphaTags);
    editAlphaTag_->setVisible(alphaTags);
    setFixedSize(kClientWidth, kClientHeight);
}

TfrmRxChEdit::~TfrmRxChEdit() = default;

void TfrmRxChEdit::prepare(Mode mode, const RX_CH_DATA_STRUCT& record, int number,
                           const std::vector<int>& freeChannels) {
    mode_ = mode;
    const bool adding = mode == Mode::Add;
    setWindowTitle(adding ? "Add Channel" : "Edit Channel");
    cbChannel_->setVisible(adding);
    editChannel_->setVisible(!adding);
    cbChannel_->clear();
    for (const int n : freeChannels) {
        cbChannel_->addItem(QString::number(n));
    }
    cbChannel_->setCurrentIndex(0);
    editChannel_->setText(adding ? QString() : QString::number(number));
    editAlphaTag_->setText(adding ? QString() : QString::fromStdString(record.alphaTag));
    showFrequency(record.frequencyHz);
    chkScan1_->setChecked((record.memberFlags & kMemberScan1) != 0);
    chkScan2_->setChecked((record.memberFlags & kMemberScan2) != 0);
    chkQuiet_->setChecked((record.memberFlags & kMemberQuiet) != 0);
    chkSilent_->setChecked((record.memberFlags & kMemberSilent) != 0);
    editFreq_->setFocus();
}

int TfrmRxChEdit::storeTo(RX_CH_DATA_STRUCT& record) const {
    const FrequencyInput frequency = parseRxFrequency(editFreq_->text().toStdString());
    if (frequency.error != FrequencyError::None) {
        return -1;
    }
    record.frequencyHz = frequency.hz;
    record.alphaTag = storableAlphaTag(editAlphaTag_->text().left(kAlphaTagLength).toStdString())
                          .value_or(std::string());
    record.memberFlags = static_cast<std::uint8_t>((chkScan1_->isChecked() ? kMemberScan1 : 0) |
                                                   (chkScan2_->isChecked() ? kMemberScan2 : 0) |
                                                   (chkQuiet_->isChecked() ? kMemberQuiet : 0) |
                                                   (chkSilent_->isChecked() ? kMemberSilent : 0));
    return (mode_ == Mode::Add ? cbChannel_->currentText() : editChannel_->text()).toInt();
}

void TfrmRxChEdit::showFrequency(std::uint32_t hz) {
    editFreq_->setText(frequencyText(hz));
}

// Enter rounds the typed frequency to the channel step and into the band, in view of the
// person, rather than pressing OK.
bool TfrmRxChEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editFreq_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editFreqReturn();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmRxChEdit::editFreqReturn() {
    if (const auto hz = snapRxFrequency(editFreq_->text().toStdString())) {
        showFrequency(*hz);
    }
}

void TfrmRxChEdit::udFreqChangingEx(bool up) {
    if (const auto hz = stepRxFrequency(editFreq_->text().toStdString(), up)) {
        showFrequency(*hz);
    }
}

void TfrmRxChEdit::btnOKClick() {
    const FrequencyInput frequency = parseRxFrequency(editFreq_->text().toStdString());
    if (frequency.error != FrequencyError::None) {
        popups::warn(this, QString::fromStdString(frequencyErrorText(frequency.error)), "Error");
        editFreq_->setFocus();
        return;
    }
    accept();
}

} // namespace kav

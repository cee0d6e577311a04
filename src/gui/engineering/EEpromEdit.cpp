#include "engineering/EEpromEdit.h"

#include "app/Popups.h"
#include "app/Radio_rw.h"
#include "workflow/AppContext.h"
#include "workflow/Transfer.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace kav {

namespace {

constexpr int kGridWidth = 580;
constexpr int kGridHeight = 460;
constexpr int kLabelWidth = 155;
// Wide enough for the "Data (Hi)" and "Data (Lo)" headings.
constexpr int kByteWidth = 62;
constexpr int kWordWidth = 2 * kByteWidth;
constexpr int kAddrSlack = 25;
constexpr int kRowHeight = 18;
constexpr int kBlock = 16;
constexpr int kProgressPosted = 0;
constexpr int kFinishedPosted = 1;

constexpr std::array<const char*, 2> kSizeItems{"8-bit", "16-bit"};
constexpr std::array<const char*, 3> kBaseItems{"Bin", "Dec", "Hex"};

struct ActionButton {
    const char* name;
    const char* caption;
    void (TfrmEEpromEdit::*handler)();
};

QGroupBox* radioGroup(const char* caption, const char* name, std::span<const char* const> items,
                      QButtonGroup*& group, QWidget* parent) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], box);
        item->setObjectName(QString("%1_%2").arg(name).arg(i));
        group->addButton(item, static_cast<int>(i));
        layout->addWidget(item);
    }
    return box;
}

} // namespace

TfrmEEpromEdit::TfrmEEpromEdit(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context), source_(&context.image()),
      sink_(this, [this](std::uint32_t m, std::intptr_t w, std::intptr_t l) {
          transferNotice(m, w, l);
      }) {
    setObjectName("frmEEpromEdit");
    setWindowTitle("EEPROM");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    sg_eeprom_ = new QTableWidget(kCellRows, 5, this);
    sg_eeprom_->setObjectName("sg_eeprom");
    sg_eeprom_->setFixedSize(kGridWidth, kGridHeight);
    sg_eeprom_->verticalHeader()->hide();
    sg_eeprom_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    sg_eeprom_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sg_eeprom_->setSelectionMode(QAbstractItemView::ContiguousSelection);

    progress_ = new TfrmReadWrite(this);

    auto* top = new QHBoxLayout;
    top->addWidget(sg_eeprom_);
    top->addWidget(createSidePanel());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(createBottomPanel());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // FormCreate: 8-bit, decimal.
    rgDataSize_->button(static_cast<int>(CellSize::Byte))->setChecked(true);
    rgBase_->button(static_cast<int>(CellBase::Dec))->setChecked(true);
    connect(rgBase_, &QButtonGroup::idClicked, this, &TfrmEEpromEdit::rgBaseClick);
    connect(rgDataSize_, &QButtonGroup::idClicked, this, &TfrmEEpromEdit::rgDataSizeClick);
}

TfrmEEpromEdit::~TfrmEEpromEdit() {
    stopTransfer();
}

QWidget* TfrmEEpromEdit::createSidePanel() {
    sidePanel_ = new QWidget(this);
    auto* layout = new QVBoxLayout(sidePanel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(radioGroup("Data Size", "rgDataSize", kSizeItems, rgDataSize_, sidePanel_));
    layout->addWidget(radioGroup("Base", "rgBase", kBaseItems, rgBase_, sidePanel_));
    static constexpr std::array<ActionButton, 7> kActions{{
        {"btnReadAddr", "Read", &TfrmEEpromEdit::btnReadAddrClick},
        {"btnWriteAddr", "Write", &TfrmEEpromEdit::btnWriteAddrClick},
        {"btnErase", "Erase Buffer", &TfrmEEpromEdit::btnEraseClick},
        {"btnReadAll", "Read All", &TfrmEEpromEdit::btnReadAllClick},
        {"btnWriteAll", "Write All", &TfrmEEpromEdit::btnWriteAllClick},
        {"btnReset", "Reset Radio", &TfrmEEpromEdit::btnResetClick},
        {"btnProgrMode", "Prog Mode", &TfrmEEpromEdit::btnProgrModeClick},
    }};
    for (const ActionButton& action : kActions) {
        auto* button = new QPushButton(action.caption, sidePanel_);
        button->setObjectName(action.name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action.handler);
        layout->addWidget(button);
    }
    layout->addStretch();
    return sidePanel_;
}

QWidget* TfrmEEpromEdit::createBottomPanel() {
    auto* panel = new QWidget(this);
    memoEE_ = new QPlainTextEdit(panel);
    memoEE_->setObjectName("memoEE");
    memoEE_->setReadOnly(true);
    memoEE_->setFixedHeight(52);
    btnOK_ = new QPushButton("OK", panel);
    btnOK_->setObjectName("btnOK");
    btnOK_->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel", panel);
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    connect(btnOK_, &QPushButton::clicked, this, &TfrmEEpromEdit::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOK_);
    buttons->addWidget(cancel);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memoEE_, 1);
    layout->addLayout(buttons);
    return panel;
}

void TfrmEEpromEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

// However the window closes, a whole-memory transfer still running is cancelled and its
// worker waited for: it uses the radio and the working copy.
void TfrmEEpromEdit::done(int result) {
    stopTransfer();
    QDialog::done(result);
}

void TfrmEEpromEdit::FormShow() {
    memoEE_->clear();
    if (source_ == nullptr) {
        memoEE_->appendPlainText("No EEPROM data source specified.");
        return;
    }
    working_ = *source_;
    sg_eeprom_->clearContents();
    layoutGrid();
    writeLabels();
    showData();
}

void TfrmEEpromEdit::layoutGrid() {
    const bool word = size_ == CellSize::Word;
    sg_eeprom_->setColumnCount(word ? 4 : 5);
    QStringList headings{"Addr", "Variable (Hi)", "Variable (Lo)"};
    headings << (word ? QStringList{"Data (16-bit)"} : QStringList{"Data (Hi)", "Data (Lo)"});
    sg_eeprom_->setHorizontalHeaderLabels(headings);
    const int dataWidth = word ? kWordWidth : 2 * kByteWidth;
    sg_eeprom_->setColumnWidth(0, kGridWidth - 2 * kLabelWidth - dataWidth - kAddrSlack);
    sg_eeprom_->setColumnWidth(1, kLabelWidth);
    sg_eeprom_->setColumnWidth(2, kLabelWidth);
    for (int c = kFirstDataColumn; c < sg_eeprom_->columnCount(); ++c) {
        sg_eeprom_->setColumnWidth(c, word ? kWordWidth : kByteWidth);
    }
    for (int r = 0; r < kCellRows; ++r) {
        auto* address = new QTableWidgetItem(QString::number(2 * r));
        address->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        sg_eeprom_->setItem(r, 0, address);
    }
}

void TfrmEEpromEdit::writeLabels() {
    const AddressLabels labels = addressLabels(ctx_.models().currentRow().addressMap);
    for (std::size_t a = 0; a < labels.size(); ++a) {
        auto* item = new QTableWidgetItem(QString::fromStdString(labels[a]));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        sg_eeprom_->setItem(static_cast<int>(a / 2), 1 + static_cast<int>(a % 2), item);
    }
}

// The table's rows are the grid's rows after its heading row, so grid row r is table row r-1.
void TfrmEEpromEdit::showData() {
    const bool word = size_ == CellSize::Word;
    for (int r = 1; r <= kCellRows; ++r) {
        for (int c = kFirstDataColumn; c < sg_eeprom_->columnCount(); ++c) {
            const int address = cellAddress(r, c, size_);
            const int value = word ? working_.getWord(address) : working_.getByte(address);
            sg_eeprom_->setItem(
                r - 1, c,
                new QTableWidgetItem(QString::fromStdString(cellText(value, base_, size_))));
        }
    }
}

bool TfrmEEpromEdit::applyGrid() {
    for (int r = 1; r <= kCellRows; ++r) {
        for (int c = kFirstDataColumn; c < sg_eeprom_->columnCount(); ++c) {
            const QTableWidgetItem* item = sg_eeprom_->item(r - 1, c);
            const std::string text = item != nullptr ? item->text().toStdString() : std::string();
            const std::optional<int> value = parseCell(text, base_, size_);
            if (!value) {
                sg_eeprom_->setCurrentCell(r - 1, c);
                popups::warn(this,
                             QString("Address %1: %2")
                                 .arg(cellAddress(r, c, size_))
                                 .arg(QString::fromStdString(cellError(text, base_, size_))),
                             "EEPROM");
                return false;
            }
            const int address = cellAddress(r, c, size_);
            if (size_ == CellSize::Word) {
                working_.setWord(address, *value);
            } else {
                working_.setByte(address, *value);
            }
        }
    }
    return true;
}

void TfrmEEpromEdit::changeView(CellBase base, CellSize size) {
    const int top = sg_eeprom_->rowAt(0);
    const int row = sg_eeprom_->currentRow();
    const int column = sg_eeprom_->currentColumn();
    if (!applyGrid()) {
        // The cell stays as typed; the choice goes back to what the cells are written in.
        rgBase_->button(static_cast<int>(base_))->setChecked(true);
        rgDataSize_->button(static_cast<int>(size_))->setChecked(true);
        return;
    }
    base_ = base;
    size_ = size;
    layoutGrid();
    showData();
    sg_eeprom_->scrollToItem(sg_eeprom_->item(std::max(top, 0), 0),
                             QAbstractItemView::PositionAtTop);
    if (row >= 0) {
        sg_eeprom_->setCurrentCell(row, std::min(column, sg_eeprom_->columnCount() - 1));
    }
}

void TfrmEEpromEdit::rgBaseClick(int id) {
    changeView(static_cast<CellBase>(id), size_);
}

void TfrmEEpromEdit::rgDataSizeClick(int id) {
    changeView(base_, static_cast<CellSize>(id));
}

void TfrmEEpromEdit::startLine(const QString& line) {
    memoEE_->clear();
    memoEE_->appendPlainText(line);
    memoEE_->repaint();
}

// The memo's one line gets its ending.
void TfrmEEpromEdit::endLine(const QString& ending) {
    memoEE_->setPlainText(memoEE_->toPlainText() + ending);
}

// Applies the grid and starts the memo line; the address of the current data cell, or -1
// (after saying why) when there is nothing to do.
int TfrmEEpromEdit::singleLocation(const QString& text, const QString& caption,
                                   const QString& line) {
    if (!applyGrid()) {
        return -1;
    }
    const int address =
        cellAddress(sg_eeprom_->currentRow() + 1, sg_eeprom_->currentColumn(), size_);
    if (address < 0) {
        popups::inform(this, text, caption);
        return -1;
    }
    startLine(line);
    return address;
}

void TfrmEEpromEdit::btnReadAddrClick() {
    const int address =
        singleLocation("Please select data location to read", "Read EEPROM", "Reading EEPROM ...");
    if (address < 0) {
        return;
    }
    int value = 0;
    const bool word = size_ == CellSize::Word;
    const bool ok =
        word ? ctx_.radio().ReadWord(address, value) : ctx_.radio().ReadByte(address, value);
    if (ok && word) {
        working_.setWord(address, value);
    } else if (ok) {
        working_.setByte(address, value);
    }
    endLine(ok ? " OK" : " Fail");
    showData();
}

void TfrmEEpromEdit::btnWriteAddrClick() {
    const int address = singleLocation("Please select data location to write", "Write EEPROM",
                                       "Writing EEPROM ...");
    if (address < 0) {
        return;
    }
    const bool ok = size_ == CellSize::Word
                        ? ctx_.radio().WriteWord(address, working_.getWord(address))
                        : ctx_.radio().WriteByte(address, working_.getByte(address));
    endLine(ok ? " OK" : " Fail");
}

void TfrmEEpromEdit::btnOKClick() {
    if (source_ == nullptr || !applyGrid()) {
        return;
    }
    source_->writeBlock(0, working_.bytes(), std::min(source_->size(), working_.size()));
    accept();
}

void TfrmEEpromEdit::btnEraseClick() {
    working_.fill(0xFF);
    showData();
}

void TfrmEEpromEdit::btnResetClick() {
    startLine("RESET radio...");
    endLine(ctx_.radio().ResetRadio() ? " OK" : " fail");
}

void TfrmEEpromEdit::btnProgrModeClick() {
    startLine("Prog mode...");
    if (ctx_.radio().EnterProgMode()) {
        endLine(" OK");
        return;
    }
    endLine(" fail");
    popups::warn(this, "Radio Response Timeout.", "Comms Error");
}

void TfrmEEpromEdit::btnReadAllClick() {
    startTransfer(false);
}

void TfrmEEpromEdit::btnWriteAllClick() {
    if (applyGrid()) {
        startTransfer(true);
    }
}

void TfrmEEpromEdit::startTransfer(bool write) {
    if (ctx_.transferRunning()) {
        popups::warn(this, "A radio transfer is still running: try again when it ends.", "EEPROM");
        return;
    }
    if (!ctx_.radio().EnterProgMode()) {
        popups::inform(this, "Failed to enter prog mode", "Read all");
        return;
    }
    writing_ = write;
    progress_->setWindowTitle(write ? "Writing to Radio" : "Reading from Radio");
    progress_->setRange(kImageFirst, kImageLast);
    progress_->setRunning();
    progress_->setCancelEvent(&cancel_);
    cancel_.reset();
    startLine(write ? "Writing radio EEPROM..." : "Reading radio EEPROM...");
    const int generation = generation_;
    if (!ctx_.startWorker([this, write, generation] { runWorker(write, generation); })) {
        return;
    }
    setBusy(true);
    progress_->exec();
}

// On the worker: moves the working copy block by block, then resets the radio. It reaches
// the window only through queued notices and steps.
void TfrmEEpromEdit::runWorker(bool write, int generation) {
    TRadio& radio = ctx_.radio();
    radio.setCancelEvent(&cancel_);
    Result result = Result::Completed;
    std::array<std::uint8_t, kBlock> block{};
    for (int a = kImageFirst;;) {
        if (cancel_.isSet()) {
            result = Result::Cancelled;
            break;
        }
        bool ok = false;
        if (write) {
            working_.readBlock(a, block.data(), kBlock);
            radio.SetTestMode(1);
            ok = radio.Write16(a, block.data());
        } else {
            ok = radio.Read16(a, block.data());
            if (ok) {
                working_.writeBlock(a, block.data(), kBlock);
            }
        }
        if (!ok) {
            result = cancel_.isSet() ? Result::Cancelled : Result::Failed;
            break;
        }
        a += kBlock;
        sink_.post(kTransferMessage, kProgressPosted, a);
        if (a >= kImageLast) {
            break;
        }
    }
    cancel_.reset();
    radio.setCancelEvent(nullptr);
    sink_.post(kTransferMessage, kFinishedPosted, static_cast<std::intptr_t>(result));
    const bool resetOk = radio.ResetRadio();
    sink_.queue([this, write, result, resetOk, generation] {
        transferEnded(write, result, resetOk, generation);
    });
}

void TfrmEEpromEdit::transferNotice(std::uint32_t message, std::intptr_t wParam,
                                    std::intptr_t lParam) {
    if (message != kTransferMessage || !transferRunning_) {
        return;
    }
    if (wParam == kProgressPosted) {
        progress_->setProgress(static_cast<int>(lParam));
        return;
    }
    progress_->setEnded();
    switch (static_cast<Result>(lParam)) {
    case Result::Failed:
        progress_->showResult(writing_ ? "Timeout writing to radio" : "Timeout reading from radio");
        break;
    case Result::Cancelled:
        progress_->showResult(writing_ ? "Writing to radio cancelled"
                                       : "Reading from radio cancelled");
        break;
    case Result::Completed:
        progress_->close();
        break;
    }
}

// On the UI thread once the worker has done its last radio operation.
void TfrmEEpromEdit::transferEnded(bool write, Result result, bool resetOk, int generation) {
    if (generation != generation_) {
        return; // the window was closed meanwhile; that showing's copy is gone
    }
    setBusy(false);
    if (!write) {
        showData(); // blocks read before a failure stay read
    }
    if (!resetOk) {
        endLine("Fail");
        popups::warn(this, "Radio Response Timeout.", "Comms Error");
        return;
    }
    // "OK" only for a transfer that ran to its end.
    endLine(result == Result::Completed   ? "OK"
            : result == Result::Cancelled ? "Cancelled"
                                          : "Fail");
}

void TfrmEEpromEdit::setBusy(bool busy) {
    transferRunning_ = busy;
    sidePanel_->setEnabled(!busy);
    btnOK_->setEnabled(!busy);
    sg_eeprom_->setEditTriggers(busy ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::AllEditTriggers);
}

void TfrmEEpromEdit::stopTransfer() {
    if (!transferRunning_) {
        return;
    }
    cancel_.set();
    ctx_.waitForTransfer();
    ++generation_;
    setBusy(false);
    progress_->setEnded();
    progress_->close();
}

} // namespace kav

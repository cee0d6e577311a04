#include "editors/Selc_mem.h"

#include "editors/EditorWidgets.h"
#include "editors/HelpPanel.h"
#include "editors/KeyFilter.h"
#include "workflow/AppContext.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <numeric>

namespace kav {

namespace {

constexpr QSize kClient(411, 358);
constexpr std::array<int, 3> kColumnWidths{50, 100, 100};
constexpr int kRowHeight = 20;
constexpr int kCodeColumn = 1;
constexpr int kTagColumn = 2;
constexpr std::array<const char*, 3> kHeadings{"Mem", "Selcall", "Alpha Tag"};

// The help box is never given a text; pointing at OK or Cancel clears it.
constexpr std::array<HelpText, 0> kHelp{};

// The cell editors: a code cell holds N positions, blank where empty, and takes only selcall
// digits; a name cell takes up to five characters a name can store.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(const int& identLength, QObject* parent)
        : QStyledItemDelegate(parent), identLength_(identLength) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        if (index.column() == kCodeColumn) {
            edit->setInputMask(identLength_ > 0 ? QString(identLength_, 'x') + "; " : QString());
            edit->setMaxLength(identLength_);
            KeyFilter::install(*edit, keys::selcallCode);
        } else {
            edit->setMaxLength(SelcallMemory::kTagLength);
            KeyFilter::install(*edit, keys::selcallName);
        }
        return edit;
    }

    // Enter ends the cell's edit and goes no further: it does not close the dialog.
    bool eventFilter(QObject* editor, QEvent* event) override {
        const bool handled = QStyledItemDelegate::eventFilter(editor, event);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            return handled || key == Qt::Key_Return || key == Qt::Key_Enter;
        }
        return handled;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        // A code keeps its empty positions as blanks: each stands for a digit.
        model->setData(index, index.column() == kCodeColumn ? edit->displayText() : edit->text());
    }

private:
    const int& identLength_;
};

QTableWidgetItem* fixedCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(QColor(0xE0, 0xE0, 0xE0));
    return item;
}

} // namespace

TfrmSelcallIdents::TfrmSelcallIdents(AppContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName("TfrmSelcallIdents");
    setWindowTitle("Selcall Memory");

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    sgSelcallMemory_ =
        new QTableWidget(SelcallMemories::kCount + 1, static_cast<int>(kColumnWidths.size()), this);
    sgSelcallMemory_->setObjectName("sgSelcallMemory");
    sgSelcallMemory_->setFont(QFont("Courier New", sgSelcallMemory_->font().pointSize()));
    sgSelcallMemory_->horizontalHeader()->hide();
    sgSelcallMemory_->verticalHeader()->hide();
    sgSelcallMemory_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSelcallMemory_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSelcallMemory_->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    sgSelcallMemory_->setItemDelegate(new CellDelegate(identLength_, sgSelcallMemory_));
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c) {
        sgSelcallMemory_->setColumnWidth(static_cast<int>(c), kColumnWidths[c]);
    }
    for (int r = 0; r <= SelcallMemories::kCount; ++r) {
        sgSelcallMemory_->setRowHeight(r, kRowHeight);
    }
    // Sized to its cells: no scrolling, no empty margin.
    const int frame = 2 * sgSelcallMemory_->frameWidth();
    sgSelcallMemory_->setFixedSize(
        std::accumulate(kColumnWidths.begin(), kColumnWidths.end(), frame),
        (SelcallMemories::kCount + 1) * kRowHeight + frame);
    top->addWidget(sgSelcallMemory_, 0, Qt::AlignTop);
    btnClear_ = newButton(this, "btnClear", "Clear All");
    connect(btnClear_, &QPushButton::clicked, this, &TfrmSelcallIdents::btnClearClick);
    top->addWidget(btnClear_, 0, Qt::AlignTop);
    top->addStretch();
    layout->addLayout(top, 1);
    const EditorFoot foot = addEditorFoot(*this, *layout);
    connect(foot.ok, &QPushButton::clicked, this, &TfrmSelcallIdents::OKBtnClick);
    setFixedSize(kClient.expandedTo(minimumSizeHint())); // a larger desktop font needs room
    help_ = new HelpPanel(*foot.memo, kHelp);
    help_->serveOnHover({foot.ok, foot.cancel});
}

void TfrmSelcallIdents::setIdentLength(int length) {
    identLength_ = clampIdentLength(length);
}

void TfrmSelcallIdents::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmSelcallIdents::FormShow() {
    memories_ = SelcallMemories::load(ctx_.image(), ctx_.models());
    // A model without selcall memories has nothing to show or edit.
    sgSelcallMemory_->setEnabled(memories_.present);
    btnClear_->setEnabled(memories_.present);
    fillGrid();
    sgSelcallMemory_->setCurrentCell(1, kCodeColumn);
}

void TfrmSelcallIdents::fillGrid() {
    for (std::size_t c = 0; c < kHeadings.size(); ++c) {
        sgSelcallMemory_->setItem(0, static_cast<int>(c), fixedCell(kHeadings[c]));
    }
    for (int i = 0; i < SelcallMemories::kCount; ++i) {
        const SelcallMemory& entry = memories_.entries[static_cast<std::size_t>(i)];
        const bool shown = memories_.present;
        sgSelcallMemory_->setItem(i + 1, 0, fixedCell(QString::number(i)));
        sgSelcallMemory_->setItem(
            i + 1, kCodeColumn,
            new QTableWidgetItem(shown ? QString::fromStdString(entry.codeText(identLength_))
                                       : ""));
        sgSelcallMemory_->setItem(
            i + 1, kTagColumn,
            new QTableWidgetItem(shown ? QString::fromStdString(entry.tag) : ""));
    }
}

void TfrmSelcallIdents::OKBtnClick() {
    // A cell still being edited counts as typed.
    const QModelIndex current = sgSelcallMemory_->currentIndex();
    if (QWidget* editor = sgSelcallMemory_->indexWidget(current)) {
        sgSelcallMemory_->itemDelegate()->setModelData(editor, sgSelcallMemory_->model(), current);
    }
    for (int i = 0; i < SelcallMemories::kCount; ++i) {
        SelcallMemory& entry = memories_.entries[static_cast<std::size_t>(i)];
        entry.setCodeText(sgSelcallMemory_->item(i + 1, kCodeColumn)->text().toStdString());
        entry.tag = sgSelcallMemory_->item(i + 1, kTagColumn)
                        ->text()
                        .left(SelcallMemory::kTagLength)
                        .toStdString();
    }
    store(memories_, ctx_.image(), ctx_.models());
    accept();
}

void TfrmSelcallIdents::btnClearClick() {
    memories_.clear();
    fillGrid();
}

} // namespace kav

#include "editors/Rxchdata.h"

#include "app/Popups.h"
#include "editors/Rxchedit.h"
#include "workflow/AppContext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace kav {

namespace {

constexpr int kTabWidth = 94;
constexpr int kRowHeight = 18;

struct Column {
    const char* caption;
    int width; // 0: takes the rest
};
constexpr std::array<Column, 7> kColumns{{
    {"CH", 40},
    {"Channel Name", 0},
    {"Frequency (MHz)", 90},
    {"SCAN1", 60},
    {"SCAN2", 60},
    {"Q", 60},
    {"S", 60},
}};
constexpr int kNameColumn = 1;

// Tabs of one fixed width, whatever their text.
class BankTabs : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        return {kTabWidth, QTabBar::tabSizeHint(index).height()};
    }
};

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TfrmRxChData::TfrmRxChData(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("frmRxChData");
    setWindowTitle("Channel Data");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    tcBanks_ = new BankTabs(this);
    tcBanks_->setObjectName("tcBanks");
    tcBanks_->setExpanding(false);
    tcBanks_->setDrawBase(false);
    connect(tcBanks_, &QTabBar::currentChanged, this, [this](int index) { tcBanksChange(index); });

    sgRxChEdit_ = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
    sgRxChEdit_->setObjectName("sgRxChEdit");
    sgRxChEdit_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgRxChEdit_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgRxChEdit_->setSelectionMode(QAbstractItemView::SingleSelection);
    sgRxChEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sgRxChEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRxChEdit_->setShowGrid(true);
    sgRxChEdit_->setWordWrap(false);
    sgRxChEdit_->verticalHeader()->hide();
    sgRxChEdit_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgRxChEdit_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    sgRxChEdit_->verticalHeader()->setMinimumSectionSize(kRowHeight);
    QHeaderView* header = sgRxChEdit_->horizontalHeader();
    // The captions must fit the narrow fixed columns whole.
    QFont headerFont = header->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() - 1);
    header->setFont(headerFont);
    header->setStyleSheet("QHeaderView::section { padding: 1px 1px; }");
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) {
        const Column& column = kColumns[static_cast<std::size_t>(c)];
        sgRxChEdit_->setHorizontalHeaderItem(c, new QTableWidgetItem(column.caption));
        if (column.width > 0) {
            header->setSectionResizeMode(c, QHeaderView::Fixed);
            const int caption = QFontMetrics(headerFont).horizontalAdvance(column.caption) + 8;
            header->resizeSection(c, std::max(column.width, caption));
        } else {
            header->setSectionResizeMode(c, QHeaderView::Stretch);
        }
    }
    sgRxChEdit_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sgRxChEdit_, &QTableWidget::cellDoubleClicked, this, [this] { btnEditClick(); });

    popUpMenu_ = new QMenu(this);
    popUpMenu_->setObjectName("PopUpMenu");
    const std::array<std::pair<const char*, void (TfrmRxChData::*)()>, 3> items{{
        {"PopUpMenuAdd", &TfrmRxChData::btnAddClick},
        {"PopUpMenuEdit", &TfrmRxChData::btnEditClick},
        {"PopUpMenuDelete", &TfrmRxChData::btnDeleteClick},
    }};
    const std::array<const char*, 3> itemCaptions{"Add", "Edit", "Delete"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* action = popUpMenu_->addAction(itemCaptions[i]);
        action->setObjectName(items[i].first);
        connect(action, &QAction::triggered, this,
                [this, handler = items[i].second] { (this->*handler)(); });
    }
    connect(sgRxChEdit_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popUpMenu_->popup(sgRxChEdit_->viewport()->mapToGlobal(at));
    });

    auto* btnAdd = makeButton(this, "btnAdd", "Add");
    auto* btnEdit = makeButton(this, "btnEdit", "Edit");
    auto* btnDelete = makeButton(this, "btnDelete", "Delete");
    btnClearAll_ = makeButton(this, "btnClearAll", "Clear All");
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { btnEditClick(); });
    connect(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
    connect(btnClearAll_, &QPushButton::clicked, this, [this] { btnClearAllClick(); });
    auto* actions = new QHBoxLayout;
    actions->setSpacing(6);
    for (QPushButton* b : {btnAdd, btnEdit, btnDelete, btnClearAll_}) {
        actions->addWidget(b);
    }
    actions->addStretch();

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName("Memo1");
    memo1_->setReadOnly(true);
    memo1_->setFixedHeight(64);
    auto* btnOK = makeButton(this, "btnOK", "OK");
    auto* btnCancel = makeButton(this, "btnCancel", "Cancel");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* closing = new QVBoxLayout;
    closing->addWidget(btnOK);
    closing->addWidget(btnCancel);
    closing->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(memo1_, 1);
    bottom->addLayout(closing);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 8, 6, 8);
    layout->setSpacing(0);
    layout->addWidget(tcBanks_);
    layout->addWidget(sgRxChEdit_, 1);
    layout->addSpacing(8);
    layout->addLayout(actions);
    layout->addSpacing(10);
    layout->addLayout(bottom);

    setFixedSize(kClientWidth, kClientHeight);
}

TfrmRxChData::~TfrmRxChData() = default;

void TfrmRxChData::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

// Every showing starts again from the image: what Cancel dropped last time is gone.
void TfrmRxChData::FormShow() {
    settings_ = loadRxChannels(ctx_.image(), ctx_.models(), ctx_.config());
    bank_ = settings_.currentBank;
    {
        const QSignalBlocker quiet(tcBanks_);
        while (tcBanks_->count() > 0) {
            tcBanks_->removeTab(0);
        }
        if (settings_.layout.bankMode) {
            for (int b = 0; b < kRxBankCount; ++b) {
                tcBanks_->addTab(QString("RX-") + rxBankLetter(b));
            }
            tcBanks_->setCurrentIndex(bank_);
        }
    }
    tcBanks_->setVisible(settings_.layout.bankMode);
    sgRxChEdit_->horizontalHeaderItem(kNameColumn)
        ->setText(settings_.layout.alphaTags ? kColumns[kNameColumn].caption : "");
    btnClearAll_->setVisible(ctx_.config().engineeringBuild == 1);
    fillGrid();
}

void TfrmRxChData::fillGrid(int selectChannel) {
    const std::vector<RxGridRow> rows = rxGridRows(settings_, bank_);
    sgRxChEdit_->clearContents();
    sgRxChEdit_->setRowCount(static_cast<int>(rows.size()));
    int selected = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c != kNameColumn) {
                item->setTextAlignment(Qt::AlignCenter);
            }
            sgRxChEdit_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
        if (rows[r][0] == std::to_string(selectChannel)) {
            selected = static_cast<int>(r);
        }
    }
    sgRxChEdit_->selectRow(selected);
}

void TfrmRxChData::tcBanksChange(int index) {
    bank_ = index < 0 ? 0 : index;
    fillGrid();
}

int TfrmRxChData::selectedChannel() const {
    const int row = sgRxChEdit_->currentRow();
    const QTableWidgetItem* item = sgRxChEdit_->item(row < 0 ? 0 : row, 0);
    return item == nullptr ? 0 : item->text().toInt();
}

TfrmRxChEdit& TfrmRxChData::channelDialog() {
    if (!frmRxChEdit_) {
        frmRxChEdit_ = std::make_unique<TfrmRxChEdit>(settings_.layout.alphaTags, this);
    }
    return *frmRxChEdit_;
}

void TfrmRxChData::btnAddClick() {
    const std::vector<int> free = settings_.freeChannels(bank_);
    if (free.empty()) {
        popups::inform(this, "There are no spare channels.", "Add Channel");
        return;
    }
    TfrmRxChEdit& dialog = channelDialog();
    dialog.prepare(TfrmRxChEdit::Mode::Add, addTemplate_, free.front(), free);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    RX_CH_DATA_STRUCT added = addTemplate_;
    const int number = dialog.storeTo(added);
    if (settings_.setChannel(bank_, number, added)) {
        addTemplate_ = added; // the next Add starts from this channel's values
    }
    fillGrid(number);
}

void TfrmRxChData::btnEditClick() {
    const int number = selectedChannel();
    if (number == 0) {
        return;
    }
    TfrmRxChEdit& dialog = channelDialog();
    dialog.prepare(TfrmRxChEdit::Mode::Edit, settings_.channel(bank_, number), number);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    RX_CH_DATA_STRUCT edited = settings_.channel(bank_, number);
    if (dialog.storeTo(edited) == number) {
        settings_.setChannel(bank_, number, edited);
    }
    fillGrid(number);
}

void TfrmRxChData::btnDeleteClick() {
    const int number = selectedChannel();
    if (number == 0) {
        return;
    }
    const QString prompt =
        QString::fromStdString(rxDeletePrompt(settings_.layout.bankMode, bank_, number));
    if (!popups::ask(this, prompt, "Delete", popups::Kind::Warning)) {
        return;
    }
    settings_.deleteChannel(bank_, number);
    fillGrid();
}

void TfrmRxChData::btnClearAllClick() {
    settings_.clearBank(bank_);
    fillGrid();
}

void TfrmRxChData::btnOKClick() {
    storeRxChannels(settings_, ctx_.image());
    accept();
}

} // namespace kav

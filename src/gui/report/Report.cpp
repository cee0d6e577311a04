#include "report/Report.h"

#include "app/Popups.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr int kPrintPointSize = 10;
constexpr int kFooterLines = 2; // a blank line, then the page number

QFont reportFont(int pointSize) {
    QFont font("Courier New", pointSize);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

// A name for a saved or printed report: beside the .mem file it describes, if any.
QString suggestedPath(const std::string& memFile, const char* suffix) {
    if (memFile.empty()) {
        return QDir::home().filePath(QString("report.") + suffix);
    }
    const QFileInfo info(QString::fromStdString(memFile));
    return info.dir().filePath(info.completeBaseName() + "." + suffix);
}

} // namespace

TfrmReport::TfrmReport(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    setObjectName("frmReport");
    setWindowTitle("Report");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu("&File");
    file->setObjectName("mnuFile");
    QAction* save = file->addAction("Save");
    save->setObjectName("mnuSave");
    QAction* saveAs = file->addAction("Save As");
    saveAs->setObjectName("mnuSaveAs");
    file->addSeparator();
    QAction* exit = file->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(save, &QAction::triggered, this, [this] { mnuSaveClick(); });
    connect(saveAs, &QAction::triggered, this, [this] { mnuSaveClick(); });
    connect(exit, &QAction::triggered, this, &QDialog::reject);

    memo_report_ = new QPlainTextEdit(this);
    memo_report_->setObjectName("memo_report");
    memo_report_->setReadOnly(true);
    memo_report_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_report_->setFont(reportFont(kPrintPointSize));

    chkCalibration_ = makeCheck(this, "chkCalibration", "Calibration Area");
    chkRxChannels_ = makeCheck(this, "chkRxChannels", "Receive-only Channels");
    chkSelcallMem_ = makeCheck(this, "chkSelcallMem", "Selcall Memory");
    auto* checks = new QHBoxLayout;
    checks->setSpacing(16);
    for (QCheckBox* box : {chkCalibration_, chkRxChannels_, chkSelcallMem_}) {
        checks->addWidget(box);
    }
    checks->addStretch();

    auto* btnCreate = makeButton(this, "btnCreate", "Update");
    auto* btnPrint = makeButton(this, "btnPrint", "Print");
    auto* btnClose = makeButton(this, "btnClose", "Close");
    connect(btnCreate, &QPushButton::clicked, this, [this] { btnCreateClick(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnCreate, btnPrint, btnClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->addWidget(memo_report_, 1);
    layout->addSpacing(4);
    layout->addLayout(checks);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    setFixedSize(kClientWidth, kClientHeight);
}

TfrmReport::~TfrmReport() = default;

void TfrmReport::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmReport::FormShow() {
    chkRxChannels_->setVisible(reportOffersRxChannels(ctx_.models(), ctx_.config()));
    chkSelcallMem_->setVisible(reportOffersSelcallMemory(ctx_.models(), ctx_.config()));
    btnCreateClick();
}

ReportOptions TfrmReport::options() const {
    return {chkCalibration_->isChecked(), chkRxChannels_->isChecked(), chkSelcallMem_->isChecked()};
}

void TfrmReport::btnCreateClick() {
    lines_ = buildReportLines(reportInput(ctx_), options(), reportDateToday());
    QStringList text;
    for (const std::string& line : lines_) {
        text.push_back(QString::fromStdString(line));
    }
    memo_report_->setPlainText(text.join('\n'));
}

void TfrmReport::mnuSaveClick() {
    const QString path =
        popups::chooseFile(this, {true, "Save Report", "Text files (*.txt);;All Files (*)",
                                  suggestedPath(ctx_.currentFileName(), "txt"), "txt"});
    if (path.isEmpty()) {
        return;
    }
    if (!saveReport(path.toStdString(), lines_)) {
        popups::warn(this, "Unable to save file " + path, "File Save Error");
    }
}

void TfrmReport::btnPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("KAV Report");
    if (!popups::choosePrinter(this, printer, suggestedPath(ctx_.currentFileName(), "pdf"))) {
        return;
    }
    if (!printReport(printer)) {
        popups::warn(this, "Unable to print the report.", "Print Error");
    }
}

bool TfrmReport::printReport(QPrinter& printer) const {
    printer.setPageMargins(QMarginsF(20, 15, 20, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setFont(reportFont(kPrintPointSize));
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect area(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const int step = metrics.lineSpacing();
    const int rows = std::max(1, area.height() / step - kFooterLines);
    const int columns = std::max(1, area.width() / metrics.horizontalAdvance('M'));
    const std::vector<ReportPage> pages = reportPages(lines_, rows, columns);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            return false;
        }
        int y = metrics.ascent();
        for (const std::string& line : pages[p]) {
            painter.drawText(0, y, QString::fromStdString(line));
            y += step;
        }
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom,
                         QString("Page %1 of %2").arg(p + 1).arg(pages.size()));
    }
    return painter.end();
}

} // namespace kav

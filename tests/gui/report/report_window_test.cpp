#include "app/Main.h"
#include "app/Popups.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDialog.h"
#include "gui/QtPrinters.h"
#include "report/Report.h"
#include "sim/DemoImage.h"
#include "support/FileSizeLimit.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kav {
namespace {

constexpr BuildConfig kQM2200 = {0x2200, 2, 0};

// The report window over the demo configuration, loaded from a file.
struct ReportWindow {
    explicit ReportWindow(const BuildConfig& config = kQM2200) : ctx(config, 0) {
        ctx.models().setModelByProductId(config.buildProductId);
        ctx.image() = demoImage();
        ctx.setDataSource(DataSource::File);
        ctx.setCurrentFileName("/home/dealer/base.mem");
    }

    QCheckBox& check(const char* name) { return *window.findChild<QCheckBox*>(name); }
    QString memo() { return window.findChild<QPlainTextEdit*>("memo_report")->toPlainText(); }
    // What the core makes of the same image and options today.
    QString expected(const ReportOptions& options) {
        std::string text = buildReport(reportInput(ctx), options, reportDateToday());
        text.pop_back(); // the memo has no line end after its last line
        return QString::fromStdString(text);
    }
    // Every receive-only channel in use: the report runs over several pages.
    void fillAllChannels() {
        const int table = ctx.models().variableAddress(kVarRxOnlyChannels);
        for (int slot = 0; slot < 100; ++slot) {
            ctx.image().setWord(table + 6 * slot, 38160 + slot);
            ctx.image().setPackedText(table + 6 * slot + 2, "N" + std::to_string(slot));
        }
    }

    QTemporaryDir dir;
    AppContext ctx;
    TfrmReport window{ctx};
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray crlfText(const std::vector<std::string>& lines) {
    return QByteArray::fromStdString(joinReportLines(lines, "\r\n"));
}

// The text of each page of a PDF file, as pdftotext lays it out.
QStringList pdfPages(const QString& path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils) did not read " << path.toStdString();
        return {};
    }
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

// pdftotext guesses the width of runs of spaces from the glyph positions, so lines are
// compared word by word.
QString words(const QString& line) {
    return line.simplified();
}

TEST(TfrmReportTest, MemoShowsTheCoreReportForTheChosenSections) {
    ReportWindow r;
    r.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&r.window));
    EXPECT_EQ(r.window.windowTitle(), "Report");
    EXPECT_FALSE(r.check("chkCalibration").isChecked());
    EXPECT_EQ(r.memo(), r.expected({}));

    const ReportOptions choices[] = {
        {true, false, false}, {false, true, false}, {true, true, true}};
    for (const ReportOptions& o : choices) {
        r.check("chkCalibration").setChecked(o.calibration);
        r.check("chkRxChannels").setChecked(o.rxChannels);
        r.check("chkSelcallMem").setChecked(o.selcallMemory);
        test::click(r.window, "btnCreate");
        EXPECT_EQ(r.memo(), r.expected(o));
    }
    EXPECT_TRUE(r.memo().contains("CH82     477.4000MHz     MARIN"));

    // The choices stay for the next showing, which reads the image again.
    r.window.hide();
    r.ctx.image().setByte(r.ctx.models().variableAddress(kVarSqlLevel), 9);
    r.window.show();
    EXPECT_TRUE(r.check("chkCalibration").isChecked());
    EXPECT_TRUE(r.memo().contains("Squelch level = 9"));
    EXPECT_EQ(r.memo(), r.expected({true, true, true}));
}

TEST(TfrmReportTest, SectionChoicesFollowTheBuild) {
    struct Case {
        const char* what;
        BuildConfig config;
        bool rxChannels, selcall;
    };
    const Case cases[] = {
        {"QM2200", kQM2200, true, true},
        {"QM1700", {0x1700, 1, 0}, true, false},
        {"QM1300", {0x1300, 32, 0}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportWindow r(c.config);
        r.window.show();
        EXPECT_TRUE(r.check("chkCalibration").isVisible());
        EXPECT_EQ(r.check("chkRxChannels").isVisible(), c.rxChannels);
        EXPECT_EQ(r.check("chkSelcallMem").isVisible(), c.selcall);
        for (QWidget* child : r.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible()) {
                EXPECT_TRUE(r.window.rect().contains(child->geometry()))
                    << child->objectName().toStdString();
            }
        }
    }
}

TEST(TfrmReportTest, SaveWritesCrLfLinesAndAFailedSaveKeepsTheFile) {
    popups::Script script;
    ReportWindow r;
    r.window.show();
    const QString path = r.dir.filePath("report.txt");
    script.nextFile(path);
    test::click(r.window, "mnuSave");
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].kind, popups::Kind::SaveFile);
    EXPECT_EQ(fileBytes(path), crlfText(r.window.lines()));
    EXPECT_EQ(fileBytes(path).count("\r\n"), static_cast<int>(r.window.lines().size()));

    // Saving again replaces the file with what the memo now shows.
    r.check("chkCalibration").setChecked(true);
    test::click(r.window, "btnCreate");
    script.nextFile(path);
    test::click(r.window, "mnuSaveAs");
    const QByteArray saved = crlfText(r.window.lines());
    EXPECT_EQ(fileBytes(path), saved);

    // A disk that fills up half way: reported as Write file does, the old file untouched.
    r.check("chkRxChannels").setChecked(true);
    test::click(r.window, "btnCreate");
    script.nextFile(path);
    {
        const test::FileSizeLimit fullDisk(64);
        test::click(r.window, "mnuSave");
    }
    ASSERT_EQ(script.shown.size(), 4u);
    EXPECT_EQ(script.shown[3].kind, popups::Kind::Warning);
    EXPECT_EQ(script.shown[3].text, "Unable to save file " + path);
    EXPECT_EQ(script.shown[3].caption, "File Save Error");
    EXPECT_EQ(fileBytes(path), saved);
    EXPECT_EQ(QDir(r.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file left behind";

    // A cancelled dialog writes nothing.
    test::click(r.window, "mnuSave");
    EXPECT_EQ(script.shown.size(), 5u);
    EXPECT_EQ(fileBytes(path), saved);
}

TEST(TfrmReportTest, PrintsEveryLineToPdfOnNumberedPages) {
    struct Case {
        const char* what;
        bool allChannels;
        ReportOptions options;
        bool severalPages;
    };
    const Case cases[] = {
        {"short", false, {}, false},
        {"every channel and section", true, {true, true, true}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        popups::Script script;
        ReportWindow r;
        if (c.allChannels) {
            r.fillAllChannels();
        }
        r.check("chkCalibration").setChecked(c.options.calibration);
        r.check("chkRxChannels").setChecked(c.options.rxChannels);
        r.check("chkSelcallMem").setChecked(c.options.selcallMemory);
        r.window.show();
        const QString pdf = r.dir.filePath("report.pdf");
        script.nextFile(pdf);
        test::click(r.window, "btnPrint");
        ASSERT_EQ(script.shown.size(), 1u) << "the print dialog and no error";
        EXPECT_EQ(script.shown[0].kind, popups::Kind::Print);

        const QStringList pages = pdfPages(pdf);
        ASSERT_FALSE(pages.isEmpty());
        EXPECT_EQ(pages.size() > 1, c.severalPages) << pages.size() << " pages";
        QStringList printed;
        for (int p = 0; p < pages.size(); ++p) {
            QStringList lines = pages[p].split('\n');
            while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) {
                lines.removeLast();
            }
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.takeLast().trimmed(),
                      QString("Page %1 of %2").arg(p + 1).arg(pages.size()));
            for (const QString& line : lines) {
                printed << words(line);
            }
        }
        // Every report line, in order; blank lines may merge where a page ends.
        QStringList expected;
        for (const std::string& line : r.window.lines()) {
            expected << words(QString::fromStdString(line));
        }
        printed.removeAll(QString());
        expected.removeAll(QString());
        EXPECT_EQ(printed, expected);
    }
}

TEST(TfrmReportTest, CancelledPrintDialogPrintsNothing) {
    popups::Script script;
    ReportWindow r;
    r.window.show();
    test::click(r.window, "btnPrint");
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_TRUE(QDir(r.dir.path()).isEmpty());
}

TEST(TfrmReportTest, FilePrintOpensTheReportModallyAndKeepsIt) {
    popups::Script script; // start-up messages
    QTemporaryDir dir;
    AppContext ctx(kQM2200, 0);
    TfrmMain main(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
    main.startUp();
    TfrmReport* first = nullptr;
    test::whenModal<TfrmReport>([&](TfrmReport& report) {
        first = &report;
        EXPECT_TRUE(report.isModal());
        EXPECT_FALSE(report.findChild<QPlainTextEdit*>("memo_report")->toPlainText().isEmpty());
        test::click(report, "btnClose");
    });
    KAV_CLICK(main, "mnuPrint");
    ASSERT_NE(first, nullptr);
    test::whenModal<TfrmReport>([&](TfrmReport& report) {
        EXPECT_EQ(&report, first);
        test::click(report, "mnuExit");
    });
    KAV_CLICK(main, "mnuPrint");
}

} // namespace
} // namespace kav

#include "editors/HelpPanel.h"
#include "editors/Scan.h"
#include "editors/Selcall.h"
#include "gui/editors/EditorHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace kav {
namespace {

void pointAt(QWidget& w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w.mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
}

void focus(QWidget& w) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&w, &in);
}

constexpr HelpText kTexts[] = {{"chkA", "Text of A"}, {"lblB", "Text of B"}};

// A window with two controls that have texts and one that has none.
struct HelpWindow {
    HelpWindow() {
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{a, b, plain, memo}) {
            layout->addWidget(w);
        }
        a->setObjectName("chkA");
        b->setObjectName("lblB");
        plain->setObjectName("chkPlain");
        panel.serveOnFocus({a, plain});
        panel.serveOnHover({a, b, plain, &window});
        window.show(); // laid out: the window's own margin has no control under it
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    QCheckBox* a = new QCheckBox("A", &window);
    QLabel* b = new QLabel("B", &window);
    QCheckBox* plain = new QCheckBox("plain", &window);
    QPlainTextEdit* memo = new QPlainTextEdit(&window);
    HelpPanel panel{*memo, kTexts};
};

TEST(HelpPanelTest, ShowsTheTextOfTheControlEnteredOrPointedAt) {
    HelpWindow h;
    focus(*h.a);
    EXPECT_EQ(h.memo->toPlainText(), "Text of A");
    pointAt(*h.b);
    EXPECT_EQ(h.memo->toPlainText(), "Text of B");
    focus(*h.b); // not served on focus
    EXPECT_EQ(h.memo->toPlainText(), "Text of B");
    pointAt(*h.plain);
    EXPECT_EQ(h.memo->toPlainText(), "");
    pointAt(*h.a);
    EXPECT_EQ(h.memo->toPlainText(), "Text of A");
    pointAt(h.window);
    EXPECT_EQ(h.memo->toPlainText(), "");
    // A move over a label that the label ignores reaches its parent too: the label keeps it.
    pointAt(*h.b);
    QMouseEvent passedOn(QEvent::MouseMove, QPointF(h.b->geometry().center()),
                         h.window.mapToGlobal(QPointF(h.b->geometry().center())), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&h.window, &passedOn);
    EXPECT_EQ(h.memo->toPlainText(), "Text of B");
    EXPECT_TRUE(h.a->hasMouseTracking()) << "plain mouse moves must reach the control";
}

TEST(HelpPanelTest, TheSameControlAgainDoesNotRedraw) {
    HelpWindow h;
    pointAt(*h.a);
    QSignalSpy redrawn(h.memo, &QPlainTextEdit::textChanged);
    pointAt(*h.a);
    focus(*h.a);
    EXPECT_EQ(redrawn.count(), 0);
    pointAt(*h.b);
    pointAt(*h.a);
    EXPECT_EQ(redrawn.count(), 2);
}

TEST(HelpPanelTest, EditorsHandTheirTablesToThePanel) {
    test::EditorHarness<TfrmScan> scan;
    scan.open();
    auto& memo = scan.find<QPlainTextEdit>("memoHelpText");
    EXPECT_TRUE(memo.isReadOnly());
    focus(scan.find<QComboBox>("cmbPriChkRate"));
    EXPECT_EQ(memo.toPlainText(),
              "Number of channels scanned before the priority channel is checked");
    pointAt(scan.find<QGroupBox>("gbDuplex"));
    EXPECT_EQ(memo.toPlainText(), "Select from channels 1 - 8 for duplex operation");
    pointAt(scan.find<QPushButton>("OKBtn"));
    EXPECT_EQ(memo.toPlainText(), "");
    pointAt(scan.find<QLabel>("lblRecallM1"));
    EXPECT_EQ(memo.toPlainText(),
              "Set the priority channel. Used in group scan and also with the priority button");

    test::EditorHarness<TfrmSelcall> selcall;
    selcall.open();
    auto& selcallMemo = selcall.find<QPlainTextEdit>("memoHelpText");
    pointAt(selcall.find<QPushButton>("OKBtn"));
    EXPECT_EQ(selcallMemo.toPlainText(), "Save and exit.");
    pointAt(selcall.find<QCheckBox>("chkAppendAni"));
    EXPECT_EQ(selcallMemo.toPlainText(),
              "Append radio's own ident to transmitted selcalls.  The last N-digits of own ident "
              "are appended, where N is  the Appended ANI Length value.");
    focus(selcall.find<QLineEdit>("editLeadInDelay"));
    EXPECT_EQ(selcallMemo.toPlainText(), "Set the lead-in tone length.");
    pointAt(selcall.find<QWidget>("Panel2"));
    EXPECT_EQ(selcallMemo.toPlainText(), "");
}

} // namespace
} // namespace kav

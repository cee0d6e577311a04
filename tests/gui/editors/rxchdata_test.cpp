#include "app/Main.h"
#include "app/Popups.h"
#include "editors/RxChannelSettings.h"
#include "editors/Rxchdata.h"
#include "editors/Rxchedit.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDialog.h"
#include "gui/QtPrinters.h"
#include "model/Array.h"
#include "support/Testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kav {
namespace {

constexpr BuildConfig kQM2200 = {0x2200, 2, 0};
constexpr BuildConfig kQM1700 = {0x1700, 1, 0}; // no banks, no names

template <typename T> T& control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        ADD_FAILURE() << "no control " << name;
        throw std::runtime_error(name);
    }
    return *found;
}

QString text(QWidget& window, const char* name) {
    return control<QLineEdit>(window, name).text();
}

// The Channel Data window over its own context, the build's model current.
struct ChannelWindow {
    explicit ChannelWindow(const BuildConfig& config) : ctx(config, config.engineeringBuild) {
        ctx.models().setModelByProductId(config.buildProductId);
    }

    int slotAddress(int slot) const {
        return ctx.models().variableAddress(kVarRxOnlyChannels) + EEPROM::kRxChannelBytes * slot;
    }
    void putChannel(int slot, std::uint32_t hz, const char* name) {
        ctx.image().setWord(slotAddress(slot), static_cast<int>(hz / EEPROM::kRxChannelStepHz));
        ctx.image().setPackedText(slotAddress(slot) + 2, name);
    }
    // Membership bit of a slot in group g: 0 Scan Mem 1, 1 Scan Mem 2, 2 Quiet, 3 Silent.
    bool memberBit(std::size_t g, int slot) {
        const RxChannelLayout layout = rxChannelLayout(ctx.models(), ctx.config());
        std::array<std::uint8_t, 14> bytes{};
        ctx.image().readBlock(layout.memberAddress[g], bytes.data(), 14);
        return testBit(slot, bytes);
    }
    void setMemberBits(std::size_t g, std::initializer_list<int> members) {
        const RxChannelLayout layout = rxChannelLayout(ctx.models(), ctx.config());
        std::array<std::uint8_t, 14> bytes{};
        for (const int s : members) {
            setBit(s, bytes);
        }
        ctx.image().writeBlock(layout.memberAddress[g], bytes.data(), 14);
    }
    test::Bytes bytes() { return {ctx.image().bytes(), ctx.image().bytes() + 2048}; }

    QTableWidget& grid() { return control<QTableWidget>(window, "sgRxChEdit"); }
    std::vector<QStringList> rows() {
        std::vector<QStringList> all;
        for (int r = 0; r < grid().rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < grid().columnCount(); ++c) {
                row << (grid().item(r, c) != nullptr ? grid().item(r, c)->text() : QString());
            }
            all.push_back(row);
        }
        return all;
    }

    AppContext ctx;
    TfrmRxChData window{ctx};
};

// Fills the channel dialog and presses OK.
struct ChannelInput {
    const char* channel; // add mode only; nullptr keeps the first free one
    const char* frequency;
    const char* typedName; // typed key by key, as the filter sees it
    std::array<bool, 4> members;
};

void fill(TfrmRxChEdit& dialog, const ChannelInput& in) {
    if (in.channel != nullptr) {
        auto& channels = control<QComboBox>(dialog, "cbChannel");
        channels.setCurrentIndex(channels.findText(in.channel));
    }
    control<QLineEdit>(dialog, "editFreq").setText(in.frequency);
    auto& name = control<QLineEdit>(dialog, "editAlphaTag");
    name.clear();
    QTest::keyClicks(&name, in.typedName);
    const char* boxes[] = {"chkScan1", "chkScan2", "chkQuiet", "chkSilent"};
    for (std::size_t i = 0; i < 4; ++i) {
        control<QCheckBox>(dialog, boxes[i]).setChecked(in.members[i]);
    }
}

TEST(TfrmRxChDataTest, WindowsHaveTheirSizeCaptionsAndBuildDependentControls) {
    struct Case {
        const char* what;
        BuildConfig config;
        bool tabs, names, clearAll;
    };
    const Case cases[] = {
        {"QM2200", kQM2200, true, true, false},
        {"engineering", BuildConfig::engineering(), true, true, true},
        {"QM1700", kQM1700, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChannelWindow w(c.config);
        w.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
        EXPECT_EQ(w.window.windowTitle(), "Channel Data");
        EXPECT_EQ(w.window.size(), QSize(492, 544));
        auto& tabs = control<QTabBar>(w.window, "tcBanks");
        EXPECT_EQ(tabs.isVisible(), c.tabs);
        EXPECT_EQ(tabs.count(), c.tabs ? 5 : 0);
        if (c.tabs) {
            EXPECT_EQ(tabs.tabText(4), "RX-E");
            EXPECT_EQ(tabs.tabRect(0).width(), 94);
        }
        QStringList headers;
        for (int col = 0; col < w.grid().columnCount(); ++col) {
            headers << w.grid().horizontalHeaderItem(col)->text();
        }
        EXPECT_EQ(headers, (QStringList{"CH", c.names ? "Channel Name" : "", "Frequency (MHz)",
                                        "SCAN1", "SCAN2", "Q", "S"}));
        EXPECT_EQ(control<QPushButton>(w.window, "btnClearAll").isVisible(), c.clearAll);
        // Everything shown lies inside the window, buttons apart from each other.
        std::vector<QRect> buttons;
        for (QWidget* child : w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible()) {
                EXPECT_TRUE(w.window.rect().contains(child->geometry()))
                    << child->objectName().toStdString();
            }
        }
        for (QPushButton* b : w.window.findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                for (const QRect& other : buttons) {
                    EXPECT_FALSE(other.intersects(b->geometry())) << b->objectName().toStdString();
                }
                buttons.push_back(b->geometry());
            }
        }

        // The channel dialog follows the names capability too.
        test::whenModal<TfrmRxChEdit>([&](TfrmRxChEdit& dialog) {
            EXPECT_EQ(dialog.size(), QSize(232, 255));
            EXPECT_EQ(control<QLabel>(dialog, "lblAlphaTag").isVisible(), c.names);
            EXPECT_EQ(control<QLineEdit>(dialog, "editAlphaTag").isVisible(), c.names);
            EXPECT_EQ(control<QLineEdit>(dialog, "editFreq").maxLength(), 10);
            EXPECT_EQ(control<QCheckBox>(dialog, "chkQuiet").text(), "Quiet");
            for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isVisible()) {
                    EXPECT_TRUE(dialog.rect().contains(child->geometry()))
                        << child->objectName().toStdString();
                }
            }
            dialog.reject();
        });
        test::click(w.window, "btnAdd");
    }
}

TEST(TfrmRxChDataTest, ChannelsButtonAddsAChannelToTheShownBank) {
    popups::Script script;
    QTemporaryDir dir;
    AppContext ctx(kQM2200, 0);
    TfrmMain main(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
    main.startUp();
    ctx.image().setByte(ctx.models().variableAddress(kVarRxBank), 0);
    const int slotB83 = rxSlot(1, 83);

    test::whenModal<TfrmRxChData>([&](TfrmRxChData& window) {
        control<QTabBar>(window, "tcBanks").setCurrentIndex(1);
        test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Add Channel");
            auto& channels = control<QComboBox>(dialog, "cbChannel");
            EXPECT_TRUE(channels.isVisible());
            EXPECT_FALSE(control<QLineEdit>(dialog, "editChannel").isVisible());
            EXPECT_EQ(channels.count(), 19);
            EXPECT_EQ(channels.currentText(), "81");
            EXPECT_EQ(text(dialog, "editFreq"), "477.0000");
            EXPECT_EQ(text(dialog, "editAlphaTag"), "");
            // Only what the radio can store: '@' and '~' never reach the field.
            fill(dialog, {"83", "476.4250", "b@a~se", {true, false, false, true}});
            EXPECT_EQ(text(dialog, "editAlphaTag"), "BASE");
            test::click(dialog, "btnOK");
        });
        test::click(window, "btnAdd");
        auto& grid = control<QTableWidget>(window, "sgRxChEdit");
        EXPECT_EQ(grid.rowCount(), 1);
        EXPECT_EQ(grid.item(0, 0)->text(), "83");
        EXPECT_EQ(grid.item(0, 1)->text(), "BASE");
        EXPECT_EQ(grid.item(0, 2)->text(), "476.4250");

        // The next Add starts from the channel just added.
        test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) {
            EXPECT_EQ(text(dialog, "editFreq"), "476.4250");
            EXPECT_TRUE(control<QCheckBox>(dialog, "chkSilent").isChecked());
            EXPECT_EQ(control<QComboBox>(dialog, "cbChannel").currentText(), "81");
            dialog.reject();
        });
        test::click(window, "PopUpMenuAdd");
        test::click(window, "btnOK");
    });
    KAV_CLICK(main, "btnChannelData");

    const int at = ctx.models().variableAddress(kVarRxOnlyChannels) + 6 * slotB83;
    EXPECT_EQ(ctx.image().getWord(at), 476425000 / 12500);
    EXPECT_EQ(ctx.image().getPackedText(at + 2), "BASE");
    const RxChannelLayout layout = rxChannelLayout(ctx.models(), ctx.config());
    std::array<std::uint8_t, 14> scan1{};
    std::array<std::uint8_t, 14> silent{};
    ctx.image().readBlock(layout.memberAddress[0], scan1.data(), 14);
    ctx.image().readBlock(layout.memberAddress[3], silent.data(), 14);
    EXPECT_TRUE(testBit(slotB83, scan1));
    EXPECT_TRUE(testBit(slotB83, silent));
    EXPECT_EQ(ctx.image().getByte(ctx.models().variableAddress(kVarRxBank)), 0)
        << "choosing a tab does not change the radio's bank";

    // The menu item opens the same window, which shows the image again.
    QDialog* first = main.editorWindow(Editor::ChannelData);
    test::whenModal<TfrmRxChData>([](TfrmRxChData& window) {
        EXPECT_EQ(window.shownBank(), 0);
        control<QTabBar>(window, "tcBanks").setCurrentIndex(1);
        EXPECT_EQ(control<QTableWidget>(window, "sgRxChEdit").item(0, 0)->text(), "83");
        window.reject();
    });
    KAV_CLICK(main, "mnuEditChannelData");
    EXPECT_EQ(main.editorWindow(Editor::ChannelData), first);
}

TEST(TfrmRxChDataTest, EditUncheckingScanMemOneClearsItsBit) {
    ChannelWindow w(kQM2200);
    w.putChannel(rxSlot(0, 85), 477012500, "WX");
    w.setMemberBits(0, {rxSlot(0, 85)});
    w.setMemberBits(1, {rxSlot(0, 85)});
    w.setMemberBits(2, {});
    w.setMemberBits(3, {});
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    ASSERT_EQ(w.rows(), (std::vector<QStringList>{{"85", "WX", "477.0125", "M", "M", "-", "-"}}));

    test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit Channel");
        EXPECT_FALSE(control<QComboBox>(dialog, "cbChannel").isVisible());
        EXPECT_EQ(text(dialog, "editChannel"), "85");
        EXPECT_EQ(text(dialog, "editAlphaTag"), "WX");
        EXPECT_TRUE(control<QCheckBox>(dialog, "chkScan1").isChecked());
        control<QCheckBox>(dialog, "chkScan1").setChecked(false);
        test::click(dialog, "btnOK");
    });
    const QRect row = w.grid().visualItemRect(w.grid().item(0, 2));
    // A person's double click: a click, then the second press that makes it double.
    QTest::mouseClick(w.grid().viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(w.grid().viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(w.rows()[0][3], "-");
    test::click(w.window, "btnOK");
    EXPECT_FALSE(w.memberBit(0, rxSlot(0, 85)));
    EXPECT_TRUE(w.memberBit(1, rxSlot(0, 85)));
    EXPECT_EQ(w.ctx.image().getWord(w.slotAddress(rxSlot(0, 85))), 477012500 / 12500);
}

TEST(TfrmRxChDataTest, DeleteAsksNamingBankAndChannel) {
    struct Case {
        const char* what;
        BuildConfig config;
        int bank;
        const char* question;
        int bankByteAfterOk; // "Rx Bank"
    };
    const Case cases[] = {
        {"banks", kQM2200, 1, "Delete bank RX-B, channel 83?", 1},
        {"no banks", kQM1700, 0, "Delete channel 83?", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        popups::Script script;
        ChannelWindow w(c.config);
        w.ctx.image().setByte(w.ctx.models().variableAddress(kVarRxBank), c.bank);
        w.putChannel(rxSlot(c.bank, 83), 477000000, "");
        w.putChannel(rxSlot(c.bank, 90), 477500000, "");
        w.window.show();
        ASSERT_EQ(w.rows().size(), 2u);

        script.answer(false);
        test::click(w.window, "btnDelete");
        ASSERT_EQ(script.shown.size(), 1u);
        EXPECT_EQ(script.shown[0].text, c.question);
        EXPECT_EQ(script.shown[0].caption, "Delete");
        EXPECT_EQ(script.shown[0].kind, popups::Kind::Warning);
        EXPECT_EQ(w.rows().size(), 2u) << "Cancel keeps the channel";

        script.answer(true);
        test::click(w.window, "PopUpMenuDelete");
        ASSERT_EQ(w.rows().size(), 1u);
        EXPECT_EQ(w.rows()[0][0], "90");
        test::click(w.window, "btnOK");
        EXPECT_EQ(w.ctx.image().getWord(w.slotAddress(rxSlot(c.bank, 83))), 0);
        EXPECT_EQ(w.ctx.image().getByte(w.ctx.models().variableAddress(kVarRxBank)),
                  c.bankByteAfterOk);
    }
}

TEST(TfrmRxChDataTest, RejectedFrequencyKeepsDialogAndTextUntilEnterRoundsIt) {
    struct Case {
        const char* typed;
        const char* afterEnter; // the text Enter leaves, then OK takes
        const char* messageStart;
    };
    const Case cases[] = {
        {"477.0050", "477.0000", "Invalid Frequency\n\nThe frequency must be a multiple"},
        {"477.0070", "477.0125", "Invalid Frequency\n\nThe frequency must be a multiple"},
        {"900", "819.1750", "Invalid Frequency\n\nEnter a frequency from 0.0125 to 819.1750"},
        {"", "", "Invalid Frequency\n\nEnter a frequency"},
        {"477..1", "477..1", "Invalid Frequency"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        popups::Script script;
        ChannelWindow w(kQM2200);
        w.window.show();
        bool stillOpen = false;
        test::whenModal<TfrmRxChEdit>([&](TfrmRxChEdit& dialog) {
            auto& freq = control<QLineEdit>(dialog, "editFreq");
            freq.setText(c.typed);
            test::click(dialog, "btnOK");
            stillOpen = dialog.isVisible();
            EXPECT_EQ(freq.text(), c.typed) << "nothing is rounded behind the person's back";
            QTest::keyClick(&freq, Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << "Enter rounds; it does not press OK";
            EXPECT_EQ(freq.text(), c.afterEnter);
            if (std::string(c.afterEnter) == c.typed) {
                dialog.reject();
            } else {
                test::click(dialog, "btnOK");
            }
        });
        test::click(w.window, "btnAdd");
        EXPECT_TRUE(stillOpen);
        ASSERT_GE(script.shown.size(), 1u);
        EXPECT_TRUE(script.shown[0].text.startsWith(c.messageStart))
            << script.shown[0].text.toStdString();
        EXPECT_EQ(script.shown[0].caption, "Error");
        const std::vector<int> used = w.window.settings().usedChannels(0);
        if (std::string(c.afterEnter) == c.typed) {
            EXPECT_TRUE(used.empty());
        } else {
            ASSERT_EQ(used, std::vector<int>{81});
            EXPECT_EQ(rxFrequencyText(w.window.settings().channel(0, 81).frequencyHz),
                      c.afterEnter);
        }
    }
}

TEST(TfrmRxChDataTest, SpinButtonsStepTheTextByOneChannel) {
    ChannelWindow w(kQM2200);
    w.window.show();
    test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) {
        auto& freq = control<QLineEdit>(dialog, "editFreq");
        auto& spin = control<QAbstractSpinBox>(dialog, "udFreq");
        freq.setText("477.0050");
        spin.stepUp();
        EXPECT_EQ(freq.text(), "477.0125");
        spin.stepDown();
        spin.stepDown();
        EXPECT_EQ(freq.text(), "476.9875");
        freq.setText("819.175");
        spin.stepUp();
        EXPECT_EQ(freq.text(), "819.1750");
        dialog.reject();
    });
    test::click(w.window, "btnAdd");
}

TEST(TfrmRxChDataTest, FullBankHasNoSpareChannel) {
    popups::Script script;
    ChannelWindow w(kQM2200);
    for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
        w.putChannel(rxSlot(0, n), 477000000, "");
    }
    w.window.show();
    EXPECT_EQ(w.rows().size(), 19u);
    test::click(w.window, "btnAdd"); // no dialog may open: the test would hang
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].text, "There are no spare channels.");
    EXPECT_EQ(script.shown[0].caption, "Add Channel");
}

TEST(TfrmRxChDataTest, CancelDropsChangesAndOkOfNothingKeepsTheImage) {
    ChannelWindow w(kQM2200);
    test::Bytes pattern = test::patternImage(0x2200, 5);
    const auto free81 = static_cast<std::size_t>(w.slotAddress(rxSlot(0, 81)));
    pattern[free81] = pattern[free81 + 1] = 0; // the one free channel of bank RX-A
    w.ctx.image().writeBlock(0, pattern.data(), 2048);
    w.window.show();
    const auto shown = w.rows();
    test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) { test::click(dialog, "btnOK"); });
    test::click(w.window, "btnAdd");
    EXPECT_NE(w.rows(), shown);
    test::click(w.window, "btnCancel");
    EXPECT_EQ(w.bytes(), pattern);

    w.window.show();
    EXPECT_EQ(w.rows(), shown) << "the next showing reloads the image";
    test::click(w.window, "btnOK");
    EXPECT_EQ(w.bytes(), pattern);
}

TEST(TfrmRxChDataTest, ClearAllEmptiesTheShownBankInAnEngineeringBuild) {
    ChannelWindow w(BuildConfig::engineering());
    w.putChannel(rxSlot(0, 81), 477000000, "A");
    w.putChannel(rxSlot(1, 81), 477000000, "B");
    w.window.show();
    test::click(w.window, "btnClearAll");
    EXPECT_EQ(w.rows(), std::vector<QStringList>{QStringList(7, QString())});
    test::click(w.window, "btnOK");
    EXPECT_EQ(w.ctx.image().getWord(w.slotAddress(rxSlot(0, 81))), 0);
    EXPECT_EQ(w.ctx.image().getPackedText(w.slotAddress(rxSlot(1, 81)) + 2), "B");
}

} // namespace
} // namespace kav

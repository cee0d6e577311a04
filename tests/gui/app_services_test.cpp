#include "app/Popups.h"
#include "app/SettingsStore.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(SingleInstanceTest, ASecondCopyIsRefusedAndRaisesTheFirst) {
    const QString name = QString("kav-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    ASSERT_TRUE(first.acquire());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.askFirstToRaise());
    EXPECT_TRUE(raised.wait(2000));
    EXPECT_EQ(raised.count(), 1);
}

TEST(SettingsStoreTest, EachValueTakesItsOwnDefault) {
    QTemporaryDir dir;
    const QString user = dir.filePath("user.conf");
    struct Case {
        QVariant comPort;
        QVariant rate;
        int expectedPort;
        int expectedRate;
    };
    const Case cases[] = {
        {0, 115200, 1, 9600},
        {300, 4800, 1, 9600},
        {12, 38400, 12, 38400},
        {"abc", "fast", 1, 9600},
        {QVariant(), QVariant(), 1, 9600},
    };
    for (const Case& c : cases) {
        {
            QSettings raw(user, QSettings::IniFormat);
            raw.clear();
            if (c.comPort.isValid()) {
                raw.setValue("ComPort", c.comPort);
            }
            if (c.rate.isValid()) {
                raw.setValue("MaxBdRate", c.rate);
            }
        }
        const PersistedSettings s = SettingsStore(user, dir.filePath("x.ini")).load(2);
        EXPECT_EQ(s.comPort, c.expectedPort) << c.comPort.toString().toStdString();
        EXPECT_EQ(s.maxBaudRate, c.expectedRate) << c.rate.toString().toStdString();
        EXPECT_EQ(s.defaultFileName, "defqm2200.mem");
    }
}

// An installed program cannot keep its recent files beside itself in /usr/bin.
TEST(SettingsStoreTest, RecentListLivesBesideTheProgramOnlyWhereItCanBeWritten) {
    QTemporaryDir dir;
    EXPECT_EQ(recentListFile(dir.filePath("kavprog"), "/unused"), dir.filePath("kavprog.ini"));
    const QString config = dir.filePath("config");
    EXPECT_EQ(recentListFile("/nonexistent/bin/kavprog-eng", config),
              config + "/Kav/kavprog-eng.ini");
    EXPECT_TRUE(QDir(config + "/Kav").exists());
}

TEST(SettingsStoreTest, SavedValuesAndRecentFilesComeBack) {
    QTemporaryDir dir;
    const SettingsStore store(dir.filePath("user.conf"), dir.filePath("kavprog.ini"));
    store.save({7, 19200, "/home/dealer/base.mem"});
    const PersistedSettings s = store.load(2);
    EXPECT_EQ(s.comPort, 7);
    EXPECT_EQ(s.maxBaudRate, 19200);
    EXPECT_EQ(s.defaultFileName, "/home/dealer/base.mem");

    EXPECT_EQ(store.loadRecent(), (RecentFiles{"", "", "", ""})); // no ini file yet
    store.saveRecent({"a.mem", std::string(250, 'b'), "", "d.mem"});
    const RecentFiles recent = store.loadRecent();
    EXPECT_EQ(recent[0], "a.mem");
    EXPECT_EQ(recent[1], std::string(199, 'b'));
    EXPECT_EQ(recent[3], "d.mem");
    QSettings ini(dir.filePath("kavprog.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("RecentMemFiles/File3").toString(), "d.mem");
}

TEST(PopupsTest, ScriptedAnswersAreRecorded) {
    popups::Script script;
    script.answer(true);
    popups::warn(nullptr, "Unable to open COM3.", "Error");
    EXPECT_TRUE(popups::ask(nullptr, "Continue?", "Warning", popups::Kind::Warning));
    EXPECT_FALSE(popups::ask(nullptr, "Again?", "Warning", popups::Kind::Question));
    ASSERT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[0].text, "Unable to open COM3.");
    EXPECT_EQ(script.shown[0].caption, "Error");
    EXPECT_EQ(script.shown[2].kind, popups::Kind::Question);
}

TEST(PopupsTest, InnerScriptAnswersUntilItEndsThenTheOuterOneAgain) {
    popups::Script outer;
    outer.answer(true);
    outer.nextFile("/radios/outer.mem");
    {
        popups::Script inner;
        inner.nextFile("/radios/inner.mem");
        EXPECT_EQ(popups::chooseFile(nullptr, {false, "Open", "", ""}), "/radios/inner.mem");
        EXPECT_EQ(popups::chooseFile(nullptr, {true, "Save", "", ""}), "") << "none left: cancel";
        EXPECT_FALSE(popups::ask(nullptr, "Overwrite?", "Save", popups::Kind::Warning));
        ASSERT_EQ(inner.shown.size(), 3u);
        EXPECT_EQ(inner.shown[1].kind, popups::Kind::SaveFile);
    }
    EXPECT_TRUE(popups::ask(nullptr, "Overwrite?", "Save", popups::Kind::Warning));
    EXPECT_EQ(popups::chooseFile(nullptr, {false, "Open", "", ""}), "/radios/outer.mem");
    EXPECT_EQ(outer.shown.size(), 2u);
}

} // namespace
} // namespace kav

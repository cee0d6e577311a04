// Renders every window to a PNG so its layout can be looked at:
//   KAV_SCREENSHOT_DIR=/tmp/shots build/tests/gui/gui_screenshots
#include "app/About.h"
#include "app/AutoDetectDialog.h"
#include "app/Main.h"
#include "app/Popups.h"
#include "app/PortsDialog.h"
#include "app/Radio_rw.h"
#include "editors/Ctcss.h"
#include "editors/Options.h"
#include "editors/Rxchdata.h"
#include "editors/Rxchedit.h"
#include "editors/Scan.h"
#include "editors/Selc_mem.h"
#include "editors/Selcall.h"
#include "editors/Squelch.h"
#include "engineering/ByteMonitor.h"
#include "engineering/EEpromEdit.h"
#include "engineering/Engineering.h"
#include "engineering/PacketMonitors.h"
#include "engineering/SamplesChart.h"
#include "report/Report.h"
#include "service/Align.h"
#include "service/Engoptions.h"
#include "service/Firmware.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <cstdio>
#include <functional>

namespace {

void save(QWidget& w, const QString& dir, const QString& name) {
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "%s was not shown\n", qPrintable(name));
    }
    QApplication::processEvents();
    const QString path = dir + "/" + name + ".png";
    w.grab().save(path);
    std::printf("%s\n", qPrintable(path));
    w.hide();
}

// The port dialog, auto-detect (scanning, found, not found) and the firmware window over two
// virtual radios: a silent one on COM1 and a QM2200 on COM4.
void shootPortWindows(const QString& dir) {
    QTemporaryDir ports;
    kav::VirtualRadio silent(0x2200);
    kav::VirtualRadioFaults none;
    none.replyLimit = 0;
    silent.setFaults(none);
    kav::VirtualRadio radio(0x2200);
    if (!silent.start() || !radio.start() ||
        !QFile::link(QString::fromStdString(silent.slavePath()), ports.filePath("COM1")) ||
        !QFile::link(QString::fromStdString(radio.slavePath()), ports.filePath("COM4"))) {
        std::fprintf(stderr, "no virtual radios for the port windows\n");
        return;
    }
    kav::AppContext ctx(kav::BuildConfig::delivered(), 0,
                        kav::PortEnvironment{ports.path().toStdString()});
    ctx.setComPort(4);
    kav::TfrmPorts portsDialog(ctx.ports(), ctx.models(), ctx.config());
    portsDialog.setSelectedPort(4);
    portsDialog.setSelectedBaudRate(9600);
    save(portsDialog, dir, "ports");

    kav::TfrmAutoDetect detect(ctx);
    detect.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&detect));
    QTest::qWait(200); // probing COM1
    detect.grab().save(dir + "/autodetect-scanning.png");
    for (int i = 0; i < 300 && detect.scanning(); ++i) {
        QTest::qWait(10);
    }
    detect.grab().save(dir + "/autodetect-found.png");
    detect.hide();
    std::printf("%s\n", qPrintable(dir + "/autodetect-found.png"));
    QFile::remove(ports.filePath("COM4"));
    detect.show();
    for (int i = 0; i < 300 && detect.scanning(); ++i) {
        QTest::qWait(10);
    }
    detect.grab().save(dir + "/autodetect-not-found.png");
    detect.hide();

    ctx.port().Open(radio.slavePath(), 9600);
    kav::TfrmFirmware firmware(ctx);
    firmware.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&firmware));
    for (int i = 0; i < 200 && firmware.readCount() == 0; ++i) {
        QTest::qWait(10);
    }
    QTest::qWait(50);
    firmware.grab().save(dir + "/firmware.png");
    std::printf("%s\n", qPrintable(dir + "/firmware.png"));
}

// The engineering tools over a virtual QM2200 with some traffic in the monitors.
void shootEngineeringWindows(const QString& dir) {
    kav::VirtualRadio radio(0x2200);
    radio.update([](kav::CommandResponder& r) {
        r.eeprom() = kav::demoImage();
        for (int i = 0; i < 64; ++i) {
            r.state().audioSamples.push_back(static_cast<std::int16_t>((i % 16) * 400 - 3000));
        }
    });
    kav::VirtualRadioFaults paced; // the monitors see the traffic as a real line carries it
    paced.lineRate = 9600;
    radio.setFaults(paced);
    if (!radio.start()) {
        std::fprintf(stderr, "no virtual radio for the engineering windows\n");
        return;
    }
    kav::AppContext ctx(kav::BuildConfig::engineering(), 1);
    ctx.port().Open(radio.slavePath(), 9600);
    ctx.models().setModelByProductId(0x2200);
    ctx.image() = kav::demoImage();

    kav::TfrmEngineering panel(ctx);
    save(panel, dir, "engineering");
    std::array<std::int16_t, 126> samples{};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>((static_cast<int>(i) % 16) * 400 - 3000);
    }
    panel.samplesChart().setSamples(samples);
    save(panel.samplesChart(), dir, "samples-chart");

    kav::TfrmEEpromEdit editor(ctx);
    save(editor, dir, "eeprom-8bit-dec");
    editor.show();
    editor.findChild<QAbstractButton*>("rgBase_2")->click();
    editor.findChild<QAbstractButton*>("rgDataSize_1")->click();
    save(editor, dir, "eeprom-16bit-hex");

    kav::TbyteMonitorForm bytes(ctx.port());
    kav::TkavIIPacketMonitorForm kavII(ctx.radio().kavII());
    kav::TkavIPacketMonitorForm kavI(ctx.radio().kavI());
    bytes.findChild<QCheckBox*>("chkDecodeASCII")->setChecked(true);
    for (kav::MonitorForm* monitor :
         std::initializer_list<kav::MonitorForm*>{&bytes, &kavII, &kavI}) {
        monitor->show();
    }
    // The traffic runs on a worker, as a transfer does, so the monitors keep up with it.
    ctx.startWorker([&] {
        for (int i = 0; i < 6; ++i) {
            ctx.radio().GetVersion();
            std::array<std::uint8_t, 16> block{};
            ctx.radio().Read16(16 * i, block.data());
        }
        radio.sendKavIFrame(kav::VirtualRadio::kavIFrame(0xAA, 0x09, {0, 0, 0, 0}));
        radio.waitForPanelReplies(1, 1000);
    });
    if (!QTest::qWaitFor([&] { return !ctx.transferRunning(); }, 5000)) {
        std::fprintf(stderr, "the monitors' traffic did not end\n");
    }
    ctx.waitForTransfer();
    QTest::qWait(200);
    // Grabbed while shown: hiding a monitor would unregister it and a new show clears it.
    for (const auto& [monitor, name] :
         {std::pair<kav::MonitorForm*, const char*>{&bytes, "byte-monitor"},
          {&kavII, "kavii-packet-monitor"},
          {&kavI, "kavi-packet-monitor"}}) {
        monitor->flush();
        QApplication::processEvents();
        const QString path = dir + "/" + name + ".png";
        monitor->grab().save(path);
        std::printf("%s\n", qPrintable(path));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = qEnvironmentVariable("KAV_SCREENSHOT_DIR", "screenshots");
    QDir().mkpath(dir);
    using kav::BuildConfig;
    const std::pair<const char*, BuildConfig> configs[] = {
        {"main-qm2200", BuildConfig::delivered()}, {"main-eng", BuildConfig::engineering()},
        {"main-qm1300", {0x1300, 32, 0}},          {"main-qm5100", {0x5100, 8, 0}},
        {"main-qm3100sbt", {0x3101, 256, 0}},      {"main-qm1700", {0x1700, 1, 0}},
        {"main-qm1500", {0x1500, 128, 0}},         {"main-mask511", {0x2200, 511, 0}},
    };
    QTemporaryDir settings;
    kav::popups::Script quiet; // start-up messages are not part of the picture
    for (const auto& [name, config] : configs) {
        kav::AppContext ctx(config, config.engineeringBuild);
        kav::TfrmMain window(ctx, kav::SettingsStore(settings.filePath("user.conf"),
                                                     settings.filePath("kavprog.ini")));
        window.startUp();
        save(window, dir, name);
    }
    kav::TAboutBox about(BuildConfig::delivered(), 1);
    about.prepareModelsInfo();
    save(about, dir, "about");
    kav::TfrmReadWrite progress;
    progress.setWindowTitle("Reading from Radio");
    progress.setRange(0, 2047);
    progress.setRunning();
    progress.show();
    progress.setProgress(960);
    save(progress, dir, "progress-running");
    progress.setEnded();
    progress.show();
    progress.showResult("Timeout reading from radio");
    progress.setProgress(640);
    save(progress, dir, "progress-ended");

    // The receive-only channel editor and the report over the demo configuration.
    for (const auto& [name, config] :
         {std::pair<const char*, BuildConfig>{"rxchdata-qm2200", BuildConfig::delivered()},
          {"rxchdata-qm1700", {0x1700, 1, 0}}}) {
        kav::AppContext ctx(config, 0);
        ctx.models().setModelByProductId(config.buildProductId);
        ctx.image() = kav::demoImage();
        kav::TfrmRxChData channels(ctx);
        save(channels, dir, name);
    }
    kav::TfrmRxChEdit channel(true);
    channel.prepare(kav::TfrmRxChEdit::Mode::Add, {477000000, "ALPHA", 0}, 81, {81, 82, 83});
    save(channel, dir, "rxchedit-add");
    channel.prepare(kav::TfrmRxChEdit::Mode::Edit, {476425000, "BASE", 9}, 83);
    save(channel, dir, "rxchedit-edit");
    {
        kav::AppContext ctx(BuildConfig::delivered(), 0);
        ctx.models().setModelByProductId(0x2200);
        ctx.image() = kav::demoImage();
        ctx.setDataSource(kav::DataSource::File);
        ctx.setCurrentFileName("/home/dealer/radios/base-station.mem");
        kav::TfrmReport report(ctx);
        save(report, dir, "report");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir + "/report.pdf");
        report.printReport(printer);
        std::printf("%s\n", qPrintable(dir + "/report.pdf"));

        // Every receive-only channel in use and every section: a report of several pages.
        const int table = ctx.models().variableAddress(kav::kVarRxOnlyChannels);
        for (int slot = 0; slot < 100; ++slot) {
            ctx.image().setWord(table + 6 * slot, 38160 + slot);
            ctx.image().setPackedText(table + 6 * slot + 2, "CH" + std::to_string(slot));
        }
        for (const char* name : {"chkCalibration", "chkRxChannels", "chkSelcallMem"}) {
            report.findChild<QCheckBox*>(name)->setChecked(true);
        }
        report.findChild<QPushButton*>("btnCreate")->click();
        save(report, dir, "report-long");
        printer.setOutputFileName(dir + "/report-long.pdf");
        report.printReport(printer);
        std::printf("%s\n", qPrintable(dir + "/report-long.pdf"));
    }

    // The main window and its progress dialog halfway through a read of a paced radio.
    kav::VirtualRadio radio(0x2200);
    radio.update([](kav::CommandResponder& r) { r.eeprom() = kav::demoImage(); });
    kav::VirtualRadioFaults paced;
    paced.lineRate = 9600;
    radio.setFaults(paced);
    if (radio.start() &&
        QFile::link(QString::fromStdString(radio.slavePath()), settings.filePath("COM1"))) {
        kav::AppContext ctx(BuildConfig::delivered(), 0,
                            kav::PortEnvironment{settings.path().toStdString()});
        kav::TfrmMain window(ctx, kav::SettingsStore(settings.filePath("user.conf"),
                                                     settings.filePath("kavprog.ini")));
        window.startUp();
        window.show();
        quiet.answer(true);
        QTimer::singleShot(2500, &window, [&] {
            const QString path = dir + "/progress-during-read.png";
            window.progressDialog().grab().save(path);
            window.grab().save(dir + "/main-during-read.png");
            std::printf("%s\n", qPrintable(path));
        });
        window.findChild<QPushButton*>("btnReadRadio")->click();
        ctx.waitForTransfer();
        QApplication::processEvents();
        window.grab().save(dir + "/main-after-read.png");
    }

    // The editors over the demo configuration, in builds that show different controls.
    const std::pair<const char*, BuildConfig> editorBuilds[] = {
        {"qm2200", BuildConfig::delivered()}, {"eng", BuildConfig::engineering()},
        {"qm1500", {0x1500, 128, 0}},         {"qm1300", {0x1300, 32, 0}},
        {"qm3100sbt", {0x3101, 256, 0}},
    };
    for (const auto& [name, config] : editorBuilds) {
        kav::AppContext ctx(config, config.engineeringBuild);
        ctx.models().setModelByProductId(config.buildProductId);
        ctx.image() = kav::demoImage();
        const QString suffix = QString("-") + name;
        kav::TfrmScan scan(ctx);
        scan.show();
        auto* pages = scan.findChild<QTabWidget*>("pcScanMem");
        for (int page = 0; page < pages->count(); ++page) {
            if (pages->isTabVisible(page)) {
                pages->setCurrentIndex(page);
                save(scan, dir, QString("scan-page%1").arg(page + 1) + suffix);
                scan.show();
            }
        }
        scan.hide();
        kav::TfrmSelcall selcall(ctx);
        save(selcall, dir, "selcall" + suffix);
        kav::TfrmSquelch squelch(ctx);
        save(squelch, dir, "squelch" + suffix);
        kav::TfrmOptions options(ctx);
        save(options, dir, "options" + suffix);
        kav::TfrmCtcss ctcss(ctx);
        save(ctcss, dir, "ctcss" + suffix);
    }
    kav::AppContext ctx(BuildConfig::delivered(), 0);
    ctx.models().setModelByProductId(0x2200);
    ctx.image() = kav::demoImage();
    kav::TfrmSelcallIdents memories(ctx);
    memories.setIdentLength(5);
    save(memories, dir, "selcall-memory");
    memories.show();
    auto* grid = memories.findChild<QTableWidget*>("sgSelcallMemory");
    grid->setFocus();
    grid->setCurrentCell(3, 1);
    grid->editItem(grid->item(3, 1));
    save(memories, dir, "selcall-memory-editing");
    shootPortWindows(dir);
    shootEngineeringWindows(dir);
    for (const auto& [name, config] : {std::pair{"engoptions-eng", BuildConfig::engineering()},
                                       std::pair{"engoptions-qm3100", BuildConfig{0x3100, 4, 0}}}) {
        kav::AppContext engCtx(config, 1);
        engCtx.models().setModelByProductId(config.buildProductId);
        kav::TfrmEngOptions engOptions(engCtx);
        save(engOptions, dir, name);
    }
    // The alignment window offline, every page it shows, in builds that show different controls.
    for (const auto& [name, config] : {std::pair{"qm2200", BuildConfig::delivered()},
                                       std::pair{"eng", BuildConfig::engineering()},
                                       std::pair{"qm5100-eng", BuildConfig{0x5100, 8, 1}},
                                       std::pair{"qm1500", BuildConfig{0x1500, 128, 0}}}) {
        kav::AppContext alignCtx(config, config.engineeringBuild);
        alignCtx.models().setModelByProductId(config.buildProductId);
        alignCtx.image() = kav::demoImage();
        kav::TformAlign align(alignCtx);
        align.setOffline(true);
        align.show();
        auto* pages = align.findChild<QTabWidget*>("PageControl1");
        for (int page = 0; page < pages->count(); ++page) {
            if (pages->isTabVisible(page)) {
                pages->setCurrentIndex(page);
                save(align, dir, QString("align-page%1-%2").arg(page + 1).arg(name));
                align.show();
            }
        }
        align.hide();
    }
    return 0;
}

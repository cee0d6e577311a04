// What the byte monitor and both packet monitors cost a transfer. Runs Read radio through the
// main window against the virtual radio paced at 9600 baud, alternately without and with the
// three monitors open, and prints the read-time ratio, the main thread's time spent putting
// monitor lines on screen and its CPU per second of traffic, and the resident memory after
// each ten minutes of forty minutes' worth of 9600-baud traffic pushed through the monitors
// 80 times as fast (the virtual radio unpaced, the requests spaced out), so it takes 30 s.
//   QT_QPA_PLATFORM=offscreen build/bench/monitor_bench [rounds]
#include "app/Main.h"
#include "app/Popups.h"
#include "app/SettingsStore.h"
#include "engineering/MonitorForm.h"
#include "sim/VirtualRadio.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBaud = 9600;
// Forty minutes of a line that carries 960 bytes a second, counted over both directions,
// sent 80 times as fast as that line would carry it.
constexpr long kSimulatedBytes = 960L * 2400L;
constexpr long kSpeedUp = 80;
// One Read16 exchange on the wire: a 7-byte request frame and a 23-byte reply frame.
constexpr long kBytesPerBlock = 30;

double threadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

std::vector<kav::MonitorForm*> monitors(QWidget& window) {
    std::vector<kav::MonitorForm*> found;
    for (QDialog* dialog : window.findChildren<QDialog*>()) {
        if (auto* monitor = dynamic_cast<kav::MonitorForm*>(dialog)) {
            found.push_back(monitor);
        }
    }
    return found;
}

double paintMs(QWidget& window) {
    double ms = 0;
    for (kav::MonitorForm* monitor : monitors(window)) {
        ms += std::chrono::duration<double, std::milli>(monitor->paintTime()).count();
    }
    return ms;
}

struct ReadTiming {
    double seconds;
    double mainCpuMs;
};

// One Read radio through the main window, as a person would start it.
ReadTiming readOnce(kav::TfrmMain& window, kav::AppContext& ctx) {
    kav::popups::Script answers;
    answers.answer(true); // "All current edit data will be lost."
    const double cpu = threadCpuMs();
    const auto start = Clock::now();
    window.findChild<QPushButton*>("btnReadRadio")->click();
    ctx.waitForTransfer();
    QApplication::processEvents();
    for (kav::MonitorForm* monitor : monitors(window)) {
        monitor->flush();
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(), threadCpuMs() - cpu};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Keeps the UI thread turning until `done`.
void runUntil(const std::function<bool()>& done, const std::function<void()>& onTick) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        onTick();
        if (done()) {
            loop.quit();
        }
    });
    poll.start(20);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    kav::VirtualRadio sim(0x2200);
    kav::VirtualRadioFaults paced;
    paced.lineRate = kBaud;
    sim.setFaults(paced);
    if (!sim.start()) {
        std::perror("virtual radio");
        return 1;
    }
    QTemporaryDir dir;
    QFile::link(QString::fromStdString(sim.slavePath()), dir.filePath("COM1"));
    kav::popups::Script quiet; // the start-up's missing default file is only noted
    kav::AppContext ctx(kav::BuildConfig::engineering(), 0,
                        kav::PortEnvironment{dir.path().toStdString()});
    kav::TfrmMain window(ctx, kav::SettingsStore(dir.filePath("user.conf"), dir.filePath("k.ini")));
    window.startUp();
    window.show();

    std::vector<double> without;
    std::vector<double> with;
    double withCpuMs = 0;
    double withoutCpuMs = 0;
    double withSeconds = 0;
    const double paintBefore = paintMs(window);
    for (int round = 0; round < rounds; ++round) {
        for (kav::MonitorForm* monitor : monitors(window)) {
            monitor->close();
        }
        const ReadTiming plain = readOnce(window, ctx);
        without.push_back(plain.seconds);
        withoutCpuMs += plain.mainCpuMs;
        for (const char* item :
             {"mnuByteMonitor", "mnuKAVIPacketMonitor", "mnuKAVIIPacketMonitor"}) {
            window.findChild<QAction*>(item)->trigger();
        }
        const ReadTiming watched = readOnce(window, ctx);
        with.push_back(watched.seconds);
        withCpuMs += watched.mainCpuMs;
        withSeconds += watched.seconds;
    }
    const double paint = paintMs(window) - paintBefore;
    std::printf("Read radio at %u baud, %d rounds, median of each:\n", kBaud, rounds);
    std::printf("  without monitors %.3f s, with the three monitors open %.3f s: ratio %.4f "
                "(goal <= 1.02)\n",
                median(without), median(with), median(with) / median(without));
    std::printf("  main thread, per second of traffic: %.2f ms putting monitor lines on screen, "
                "%.1f ms CPU with the monitors against %.1f ms without\n",
                paint / withSeconds, withCpuMs / withSeconds,
                withoutCpuMs / (static_cast<double>(rounds) * median(without)));

    // Forty minutes of traffic, sped up, the monitors open and painting.
    sim.setFaults({});
    const long blocks = kSimulatedBytes / kBytesPerBlock;
    std::atomic<long> done{0};
    ctx.startWorker([&] {
        std::uint8_t bytes[16];
        const auto begin = Clock::now();
        const auto blockTime = std::chrono::microseconds(1000000 * kBytesPerBlock / 960 / kSpeedUp);
        for (long i = 0; i < blocks; ++i) {
            std::this_thread::sleep_until(begin + i * blockTime);
            ctx.radio().Read16(static_cast<int>((i * 16) % 2048), bytes);
            done.store(i + 1);
            if (i % 1000 == 999) {
                sim.clearRecords(); // the virtual radio's log of requests is not the program's
            }
        }
    });
    // Resident memory as each quarter of the traffic has gone through.
    std::vector<long> quarters;
    long peak = 0;
    const auto start = Clock::now();
    runUntil([&] { return !ctx.transferRunning(); },
             [&] {
                 const long now = residentKiB();
                 peak = std::max(peak, now);
                 if (done.load() >= blocks * static_cast<long>(quarters.size() + 1) / 4) {
                     quarters.push_back(now);
                 }
             });
    ctx.waitForTransfer();
    QApplication::processEvents();
    std::size_t shownLines = 0;
    for (kav::MonitorForm* monitor : monitors(window)) {
        monitor->flush();
        shownLines += static_cast<std::size_t>(monitor->log().document()->blockCount());
    }
    std::printf(
        "Simulated 40 minutes at %u baud (%ld blocks, %ld bytes), %ldx sped up, in %.1f s:\n",
        kBaud, blocks, blocks * kBytesPerBlock, kSpeedUp,
        std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("  resident memory after each ten minutes:");
    for (const long kib : quarters) {
        std::printf(" %.1f MB", static_cast<double>(kib) / 1024.0);
    }
    std::printf("; at the end %.1f MB, peak %.1f MB; %zu lines shown in the three logs (at most "
                "%d each)\n",
                static_cast<double>(residentKiB()) / 1024.0, static_cast<double>(peak) / 1024.0,
                shownLines, kav::MonitorForm::kMaxLines);
    return 0;
}

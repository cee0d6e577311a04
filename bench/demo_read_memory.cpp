// Peak resident memory of the programmer through a whole read in demo mode: the same demo
// radio, context and main window that `kavprog --simulate` builds, then Read radio answered
// with OK. Prints the peak and the elapsed time.
//   QT_QPA_PLATFORM=offscreen build/bench/demo_read_memory
#include "app/DemoRadio.h"
#include "app/Main.h"
#include "app/Popups.h"

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    kav::DemoRadio demo;
    QString error;
    if (!demo.start(error)) {
        std::fprintf(stderr, "demo: %s\n", qPrintable(error));
        return 1;
    }
    kav::popups::Script answers;
    answers.answer(true); // "All current edit data will be lost."
    kav::AppContext ctx(kav::BuildConfig::delivered(), 0,
                        kav::PortEnvironment{demo.portsDir().toStdString()});
    kav::TfrmMain window(ctx, kav::SettingsStore(demo.settingsFile()));
    window.startUp();
    window.show();
    const long before = peakKiB();
    const auto start = std::chrono::steady_clock::now();
    window.findChild<QPushButton*>("btnReadRadio")->click(); // the demo's COM1 is the radio
    ctx.waitForTransfer();
    QApplication::processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("demo read: %.2f s, status \"%s\"\n", seconds, qPrintable(window.statusPanel(3)));
    std::printf("peak resident memory: %.1f MB before the read, %.1f MB after (goal < 100 MB)\n",
                static_cast<double>(before) / 1024.0, static_cast<double>(peakKiB()) / 1024.0);
    return 0;
}

// The window program as kavprog starts it, but it reports the moment its main window was
// shown by writing one byte to descriptor 3, and then quits. startup_bench runs it.
#include "app/Main.h"
#include "app/Popups.h"
#include "app/Program.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char** argv) {
    // A missing port or default file would stop the start-up at a message box.
    kav::popups::Script quiet;
    kav::ProgramOptions options;
    options.instanceName = QString("KavStartupProbe-%1").arg(::getpid());
    options.shown = [](kav::TfrmMain&) {
        const char shown = 1;
        [[maybe_unused]] const auto written = ::write(3, &shown, 1);
        QApplication::quit();
    };
    return kav::runProgram(argc, argv, kav::BuildConfig::delivered(), options);
}

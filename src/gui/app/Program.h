#pragma once

#include "model/BuildConfig.h"

#include <QString>
#include <functional>

namespace kav {

class TfrmMain;

// How a program built on the windows starts; the delivered programs take the defaults.
struct ProgramOptions {
    QString instanceName = "QM2200Mutex";
    // Called once the main window was shown and the event loop first ran.
    std::function<void(TfrmMain&)> shown;
};

// The whole program: one instance, the demo when asked for, the main window over the
// application context until it closes. Returns the exit status.
int runProgram(int argc, char** argv, const BuildConfig& config,
               const ProgramOptions& options = {});

} // namespace kav

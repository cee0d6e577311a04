#pragma once

#include "cli/TerminalUi.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kav {

// Exit statuses of kavprog-cli.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,  // a radio or file failure (timeout, cancelled, cannot open or save)
    kExitUsage = 2,   // the command line is wrong
    kExitRefused = 3, // a check refused: wrong model, a file for another model, or no
                      // confirmation (declined, or no terminal to ask and no --yes)
};

struct CliIo {
    TerminalIo terminal;
    std::FILE* out = stdout;
};

// The whole program: `arguments` without the program name.
int runCli(const std::vector<std::string>& arguments, const CliIo& io);

} // namespace kav

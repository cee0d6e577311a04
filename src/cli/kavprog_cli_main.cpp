// kavprog-cli: the programming workflows from a shell, for batches and service benches.

#include "cli/Cli.h"

#include <unistd.h>

int main(int argc, char** argv) {
    kav::CliIo io;
    io.terminal.inIsTerminal = ::isatty(STDIN_FILENO) == 1;
    io.terminal.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return kav::runCli({argv + 1, argv + argc}, io);
}

#include "workflow/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace kav {

namespace {

constexpr const char* kSimulateSwitch = "--simulate";

} // namespace

bool advancedModeRequested(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        return false;
    }
    std::string first = arguments[1];
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return first == "/a";
}

bool takeSimulateSwitch(std::vector<std::string>& arguments) {
    const auto simulate = std::find(arguments.begin(), arguments.end(), kSimulateSwitch);
    if (simulate == arguments.end()) {
        return false;
    }
    arguments.erase(simulate);
    return true;
}

PrintRequest printRequested(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            return PrintRequest::Help;
        }
        if (arguments[i] == "--version") {
            return PrintRequest::Version;
        }
    }
    return PrintRequest::None;
}

std::string windowProgramHelp(const std::string& program) {
    return "usage: " + program +
           " [/a] [--simulate]\n"
           "       " +
           program +
           " --help | --version\n"
           "\n"
           "Reads, edits and writes the configuration of KAV UHF CB radios through a serial port.\n"
           "\n"
           "  /a          advanced mode (adds the \"Advanced\" dialog); counts only as the first\n"
           "              argument\n"
           "  --simulate  the demo: a virtual radio on COM1 with its own settings, so nothing\n"
           "              you have set up changes\n"
           "  --help      prints this text\n"
           "  --version   prints the version\n"
           "\n"
           "The command-line front end kavprog-cli reads, writes and checks radios without a\n"
           "window; kavprog-cli doctor says why a serial port cannot be used.\n";
}

} // namespace kav

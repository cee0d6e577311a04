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

} // namespace kav

#pragma once

#include <string>
#include <vector>

namespace kav {

// "/a" (any case) as the first parameter after the program name turns on advanced mode.
bool advancedModeRequested(const std::vector<std::string>& arguments);

// Removes "--simulate" (anywhere) from the arguments; true when it was there.
bool takeSimulateSwitch(std::vector<std::string>& arguments);

} // namespace kav

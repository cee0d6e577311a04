#pragma once

#include <string>
#include <vector>

namespace kav {

// "/a" (any case) as the first parameter after the program name turns on advanced mode.
bool advancedModeRequested(const std::vector<std::string>& arguments);

// Removes "--simulate" (anywhere) from the arguments; true when it was there.
bool takeSimulateSwitch(std::vector<std::string>& arguments);

// A switch that asks for text instead of a window: "--help" (or "-h") or "--version".
enum class PrintRequest { None, Help, Version };
PrintRequest printRequested(const std::vector<std::string>& arguments);

// The window program's usage, for `program` (the name it was started by).
std::string windowProgramHelp(const std::string& program);

} // namespace kav

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kav {

// What the image holds, shown in the fourth status panel.
enum class DataSource : std::uint8_t { Nothing = 0, File = 1, Radio = 2 };

inline constexpr std::size_t kFilePanelChars = 85;

std::string portPanelText(int comPort);
std::string openPanelText(bool isOpen);
// "Radio: <type> <version>" when a version is known, else "".
std::string radioPanelText(bool versionKnown, const std::string& radioType,
                           const std::string& versionText);
// Long paths keep their last characters, where the file name is.
std::string dataPanelText(DataSource source, const std::string& currentFileName);

// "/a" (any case) as the first parameter after the program name turns on advanced mode.
bool advancedModeRequested(const std::vector<std::string>& arguments);

} // namespace kav

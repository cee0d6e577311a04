#pragma once

#include "model/Eeprom.h"

#include <ctime>
#include <optional>
#include <string>

namespace kav {

// Every completed read of a radio is also kept in a history folder, so that what a radio held
// before it was written can be restored with Read file.
inline constexpr int kHistoryKept = 200;

// "$XDG_DATA_HOME/Kav/history", or "$HOME/.local/share/Kav/history" when XDG_DATA_HOME is not
// set (either may be null); "" when neither is known.
std::string historyFolder(const char* xdgDataHome, const char* home);

// The name a read of a radio with `productId` at `when` (local time) is kept under:
// "2026-12-10_21-45-01_2200.mem". Names sort by time.
std::string historyFileName(std::time_t when, std::uint32_t productId);

// Saves the image in `folder` (made when missing) and then removes the oldest of the
// history's own files until kHistoryKept are left; other files there are never touched. A
// second read in the same second gets "-2", "-3", ... The path written, or nullopt when the
// image could not be saved.
std::optional<std::string> keepInHistory(const EEPROM& image, std::uint32_t productId,
                                         const std::string& folder, std::time_t when);

} // namespace kav

#pragma once

#include "workflow/DataSource.h"

#include <cstddef>
#include <string>

namespace kav {

inline constexpr std::size_t kFilePanelChars = 85;

std::string portPanelText(int comPort);
// "Open", "Not open", or "Lost" while an open port's reads fail (the lead was unplugged).
std::string openPanelText(bool isOpen, bool lineLost = false);
// "Radio: <type> <version>" when a version is known, else "". The demo's virtual radio says
// what it is: "Virtual radio: <type> <version>", else "Virtual radio (demo)".
std::string radioPanelText(bool versionKnown, const std::string& radioType,
                           const std::string& versionText, bool virtualRadio = false);
// Long paths keep their last characters, where the file name is.
std::string dataPanelText(DataSource source, const std::string& currentFileName);

} // namespace kav

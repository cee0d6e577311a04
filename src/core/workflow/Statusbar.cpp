#include "Statusbar.h"

#include <algorithm>
#include <cctype>

namespace kav {

std::string portPanelText(int comPort) {
    return "COM" + std::to_string(comPort);
}

std::string openPanelText(bool isOpen) {
    return isOpen ? "Open" : "Not open";
}

std::string radioPanelText(bool versionKnown, const std::string& radioType,
                           const std::string& versionText) {
    return versionKnown ? "Radio: " + radioType + " " + versionText : std::string();
}

std::string dataPanelText(DataSource source, const std::string& currentFileName) {
    switch (source) {
    case DataSource::File:
        if (currentFileName.size() > kFilePanelChars) {
            return "File: ..." + currentFileName.substr(currentFileName.size() - kFilePanelChars);
        }
        return "File: " + currentFileName;
    case DataSource::Radio:
        return "Current (or modified) radio data loaded.";
    case DataSource::Nothing:
        break;
    }
    return "No data loaded.";
}

bool advancedModeRequested(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        return false;
    }
    std::string first = arguments[1];
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return first == "/a";
}

} // namespace kav

#include "workflow/StatusBar.h"

namespace kav {

std::string portPanelText(int comPort) {
    return "COM" + std::to_string(comPort);
}

std::string openPanelText(bool isOpen, bool lineLost) {
    if (!isOpen) {
        return "Not open";
    }
    return lineLost ? "Lost" : "Open";
}

std::string radioPanelText(bool versionKnown, const std::string& radioType,
                           const std::string& versionText, bool virtualRadio) {
    if (!versionKnown) {
        return virtualRadio ? "Virtual radio (demo)" : "";
    }
    return (virtualRadio ? "Virtual radio: " : "Radio: ") + radioType + " " + versionText;
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

} // namespace kav

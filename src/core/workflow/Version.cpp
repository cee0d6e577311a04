#include "workflow/Version.h"

namespace kav {

std::string applicationTitle() {
    return "KAV QM2200 Programmer";
}

std::string mainWindowCaption(const BuildConfig& config) {
    std::string caption =
        std::string("KAV ") + VersionInfo::familyText + " Programmer  " + VersionInfo::documentCode;
    if (config.engineeringBuild != 0) {
        caption += "E";
    }
    caption += std::string(".") + VersionInfo::major + "." + VersionInfo::minor;
    caption += VersionInfo::releaseLetter;
    return caption;
}

std::string versionLabelText(const BuildConfig& config) {
    std::string label = std::string("v") + VersionInfo::major + "." + VersionInfo::minor;
    label += VersionInfo::releaseLetter;
    if (config.engineeringBuild != 0) {
        label += " (Engineering)";
    }
    return label;
}

std::string versionLine(const std::string& program, const BuildConfig& config) {
    std::string release = std::string(VersionInfo::major) + "." + VersionInfo::minor;
    if (VersionInfo::releaseLetter != ' ') {
        release += VersionInfo::releaseLetter;
    }
    return program + " " + release + " (" + applicationTitle() + ", " + VersionInfo::documentCode +
           (config.engineeringBuild != 0 ? "E." : ".") + release + ")";
}

} // namespace kav

#pragma once

#include "model/BuildConfig.h"

#include <string>

namespace kav {

// Fixed version facts of this release.
struct VersionInfo {
    static constexpr const char* familyText = "QM2100/2200/2400/2500S";
    static constexpr const char* documentCode = "RB0521";
    static constexpr const char* major = "2";
    static constexpr const char* minor = "01";
    static constexpr char releaseLetter = ' ';
    static constexpr const char* buildDate = "Dec 22 2015";
    static constexpr const char* buildTime = "17:26:20";
};

// "KAV QM2200 Programmer": the name a second instance finds the first by.
std::string applicationTitle();
std::string mainWindowCaption(const BuildConfig& config);
std::string versionLabelText(const BuildConfig& config);
// What --version prints: "kavprog 2.01 (KAV QM2200 Programmer, RB0521.2.01)".
std::string versionLine(const std::string& program, const BuildConfig& config);

} // namespace kav

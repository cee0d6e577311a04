#pragma once

#include <cstdint>
#include <string>

namespace kav {

// What a build accepts and offers. The programs are built with the delivered values;
// tests construct other configurations without rebuilding.
struct BuildConfig {
    std::uint32_t buildProductId = 0x2200;
    std::uint32_t buildModelMask = 2;
    int engineeringBuild = 0;

    static BuildConfig delivered() { return {}; }
    static BuildConfig engineering() { return {0x2200, 2, 1}; }
};

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

} // namespace kav

#include "workflow/ReadHistory.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace kav {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStampLength = 19; // "2026-12-10_21-45-01"
constexpr const char* kSuffix = ".mem";

// A file the history wrote: a time stamp, then "_", then the rest of the name.
bool isHistoryFile(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || entry.path().extension() != kSuffix ||
        name.size() <= kStampLength || name[kStampLength] != '_') {
        return false;
    }
    constexpr std::string_view kShape = "dddd-dd-dd_dd-dd-dd";
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (kShape[i] == 'd' ? !digit : name[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

void prune(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (isHistoryFile(entry)) {
            kept.push_back(entry.path());
        }
    }
    if (kept.size() <= static_cast<std::size_t>(kHistoryKept)) {
        return;
    }
    std::sort(kept.begin(), kept.end());
    const std::size_t surplus = kept.size() - static_cast<std::size_t>(kHistoryKept);
    for (std::size_t i = 0; i < surplus; ++i) {
        fs::remove(kept[i], ec);
    }
}

} // namespace

std::string historyFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        return std::string(xdgDataHome) + "/Kav/history";
    }
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/Kav/history";
    }
    return {};
}

std::string historyFileName(std::time_t when, std::uint32_t productId) {
    std::tm local{};
    localtime_r(&when, &local);
    char name[64];
    const std::size_t n = std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    std::snprintf(name + n, sizeof name - n, "_%04X%s", productId & 0xFFFFU, kSuffix);
    return name;
}

std::optional<std::string> keepInHistory(const EEPROM& image, std::uint32_t productId,
                                         const std::string& folder, std::time_t when) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string name = historyFileName(when, productId);
    fs::path path = fs::path(folder) / name;
    const std::string stem = path.stem().string();
    for (int n = 2; fs::exists(path, ec); ++n) {
        path = fs::path(folder) / (stem + "-" + std::to_string(n) + kSuffix);
    }
    if (image.saveToFile(path.string()) != EEPROM::kImageSize) {
        return std::nullopt;
    }
    prune(folder);
    return path.string();
}

} // namespace kav

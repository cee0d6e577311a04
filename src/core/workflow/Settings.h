#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kav {

// The per-user settings after their defaults and limits were applied.
struct PersistedSettings {
    int comPort = 1;
    int maxBaudRate = 9600;
    std::string defaultFileName;
};

// Values as the store holds them; nullopt when missing or unreadable. Each value is judged
// on its own, so one bad value never resets another.
struct StoredSettings {
    std::optional<long long> comPort;
    std::optional<long long> maxBaudRate;
    std::optional<std::string> defaultFileName;
};

inline constexpr const char* kDefaultMemFile = "defqm2200.mem";
inline constexpr std::size_t kRecentEntries = 4;
inline constexpr std::size_t kRecentEntryChars = 199;

PersistedSettings applySettingLimits(const StoredSettings& stored, std::uint32_t buildModelMask);

using RecentFiles = std::array<std::string, kRecentEntries>;
// Each entry cut to the length the menu holds.
RecentFiles trimRecentFiles(const RecentFiles& entries);

} // namespace kav

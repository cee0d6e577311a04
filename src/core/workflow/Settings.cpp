#include "workflow/Settings.h"

#include "model/BuildConfig.h"

namespace kav {

namespace {

constexpr long long kFirstPort = 1;
constexpr long long kLastPort = 256;
constexpr std::uint32_t kLowestRate = 9600;
constexpr std::uint32_t kHighestRate = 57600;

} // namespace

PersistedSettings applySettingLimits(const StoredSettings& stored, std::uint32_t buildModelMask) {
    PersistedSettings s;
    if (stored.comPort && *stored.comPort >= kFirstPort && *stored.comPort <= kLastPort) {
        s.comPort = static_cast<int>(*stored.comPort);
    }
    if (stored.maxBaudRate) {
        // Compared as the unsigned 32-bit value the store keeps, so negatives are too large.
        const auto rate = static_cast<std::uint32_t>(*stored.maxBaudRate);
        if (rate >= kLowestRate && rate <= kHighestRate) {
            s.maxBaudRate = static_cast<int>(rate);
        }
    }
    s.defaultFileName = stored.defaultFileName.value_or("");
    if (buildModelMask != kAnyModelMask && s.defaultFileName.empty()) {
        s.defaultFileName = kDefaultMemFile;
    }
    return s;
}

RecentFiles trimRecentFiles(const RecentFiles& entries) {
    RecentFiles out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out[i] = entries[i].substr(0, kRecentEntryChars);
    }
    return out;
}

} // namespace kav

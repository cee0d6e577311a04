#include "editors/SquelchSettings.h"

#include "editors/VariableAccess.h"

#include <algorithm>

namespace kav {

SquelchSettings SquelchSettings::load(const EEPROM& image, const TradioInfo& models,
                                      const BuildConfig& config) {
    const VariableReader vars(image, models);
    SquelchSettings s;
    s.levelShown = !models.hidesSquelchLevel(config.buildProductId);
    s.level = std::clamp(vars.byte(kVarSqlLevel), kMinLevel, kMaxLevel);
    s.debounceMs = std::max(vars.byte(kVarSqlOpenDebounce), 0);
    s.minOpenMs = std::max(vars.byte(kVarSqlMinOpen), 0) * kMinOpenStepMs;
    return s;
}

void store(const SquelchSettings& settings, EEPROM& image, const TradioInfo& models) {
    VariableWriter vars(image, models);
    if (settings.levelShown) {
        vars.setByte(kVarSqlLevel, std::clamp(settings.level, SquelchSettings::kMinLevel,
                                              SquelchSettings::kMaxLevel));
    }
    vars.setByte(kVarSqlOpenDebounce,
                 std::clamp(settings.debounceMs, 0, SquelchSettings::kMaxDebounceMs));
    vars.setByte(kVarSqlMinOpen, std::clamp(settings.minOpenMs, 0, SquelchSettings::kMaxMinOpenMs) /
                                     SquelchSettings::kMinOpenStepMs);
}

} // namespace kav

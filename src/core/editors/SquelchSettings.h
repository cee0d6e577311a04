#pragma once

#include "model/BuildConfig.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"

namespace kav {

// The Squelch editor's fields: the squelch level and the two mute timings.
struct SquelchSettings {
    static constexpr int kMinLevel = 1;
    static constexpr int kMaxLevel = 9;
    static constexpr int kMaxDebounceMs = 255;
    static constexpr int kMinOpenStepMs = 10; // "Sql Min Open" counts in steps of 10 ms
    static constexpr int kMaxMinOpenMs = 255 * kMinOpenStepMs;

    bool levelShown = true; // models that hide the squelch level do not edit it here
    int level = kMinLevel;
    int debounceMs = 0;
    int minOpenMs = 0;

    // The level is brought into 1..9; a variable the model lacks reads as the lowest value.
    static SquelchSettings load(const EEPROM& image, const TradioInfo& models,
                                const BuildConfig& config);
};

// Writes the three values (the level only when it is shown); the minimum open time in whole
// steps of 10 ms, a remainder dropped. Variables the model lacks are not written.
void store(const SquelchSettings& settings, EEPROM& image, const TradioInfo& models);

} // namespace kav

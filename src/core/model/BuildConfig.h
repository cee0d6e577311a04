#pragma once

#include <cstdint>

namespace kav {

// A build whose model mask has every model bit accepts radios and files of any model.
inline constexpr std::uint32_t kAnyModelMask = 511;

// What a build accepts and offers. The programs are built with the delivered values;
// tests construct other configurations without rebuilding.
struct BuildConfig {
    std::uint32_t buildProductId = 0x2200;
    std::uint32_t buildModelMask = 2;
    int engineeringBuild = 0;

    static BuildConfig delivered() { return {}; }
    static BuildConfig engineering() { return {0x2200, 2, 1}; }

    bool acceptsAnyModel() const { return buildModelMask == kAnyModelMask; }
};

} // namespace kav

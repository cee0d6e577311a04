#pragma once

#include <cstdint>

namespace kav {

// What the image holds, shown in the fourth status panel.
enum class DataSource : std::uint8_t { Nothing = 0, File = 1, Radio = 2 };

} // namespace kav

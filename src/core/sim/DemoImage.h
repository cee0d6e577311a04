#pragma once

#include "model/Eeprom.h"

namespace kav {

// A plausible QM2200 configuration for the virtual radio of the demo: calibration values in
// their working ranges, channel 40 selected, scan memory 1 holding channels 1 to 40, and three
// named receive-only channels.
EEPROM demoImage();

} // namespace kav

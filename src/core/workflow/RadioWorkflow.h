#pragma once

#include "workflow/AppContext.h"
#include "workflow/Outcome.h"
#include "workflow/WorkflowUi.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kav {

// Asked before a write when the last read stopped part-way.
inline constexpr const char* kIncompleteReadQuestion =
    "The last read from the radio did not complete. The image holds data from before it. "
    "Write anyway?";

// Asked before writing an image loaded from a file that is not 2048 bytes long.
std::string fileSizeQuestion(const std::string& path, std::uintmax_t bytes);

// "Incorrect radio type (" + uppercase hex + ")".
std::string incorrectRadioTypeText(std::uint32_t id);

// Reads the radio's product ID and accepts it when its model belongs to this build: Done
// with the ID in `productId`, Failed when the radio did not answer, Refused for another
// model's radio (each with its message shown). The current model is not changed.
Outcome checkRadioProductId(AppContext& ctx, WorkflowUi& ui, int& productId);

// "Read radio" and "Write radio". Done once the transfer ran (its own result arrives with
// its end: see WorkflowUi::runTransfer); otherwise why it stopped before any data moved.
Outcome readRadio(AppContext& ctx, WorkflowUi& ui);
// `lastCheck` (when given) runs after the write's own checks and questions and before the
// radio enters programming mode; anything but Done stops the write there.
Outcome writeRadio(AppContext& ctx, WorkflowUi& ui,
                   const std::function<Outcome()>& lastCheck = nullptr);

// The radio's calibration area, addresses 0-31, beside the image's.
inline constexpr int kCalibrationAreaBytes = 32;
struct CalibrationComparison {
    bool read = false;    // both blocks came
    bool differs = false; // the radio's bytes are not the image's
    std::array<std::uint8_t, kCalibrationAreaBytes> radio{};
};
// Two 16-byte reads, as the alignment's pre-read does them.
CalibrationComparison compareCalibration(TRadio& radio, const EEPROM& image);

} // namespace kav

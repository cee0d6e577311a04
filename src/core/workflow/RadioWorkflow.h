#pragma once

#include "workflow/AppContext.h"
#include "workflow/Outcome.h"
#include "workflow/WorkflowUi.h"

#include <cstdint>
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
Outcome writeRadio(AppContext& ctx, WorkflowUi& ui);

} // namespace kav

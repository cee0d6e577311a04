#pragma once

#include "workflow/Appcontext.h"
#include "workflow/Workflowui.h"

#include <string>

namespace kav {

// "Incorrect radio type (" + uppercase hex + ")".
std::string incorrectRadioTypeText(std::uint32_t id);

// Opens "COMn" at currentBaudRate; warns "Unable to open COMn." when that fails.
bool openComPort(AppContext& ctx, WorkflowUi& ui);
// Opens the port when it is closed and refreshes panels 0 and 1.
void ensurePortOpen(AppContext& ctx, WorkflowUi& ui);

// Reads the radio's product ID and accepts it when its model belongs to this build. Warns
// and returns false otherwise. The current model is not changed.
bool checkRadioProductId(AppContext& ctx, WorkflowUi& ui, int& productId, int& modelIndex);

// "Read radio" and "Write radio". Each returns false when it stopped before its transfer
// (its message shown) or was refused because a transfer still runs.
bool readRadio(AppContext& ctx, WorkflowUi& ui);
bool writeRadio(AppContext& ctx, WorkflowUi& ui);

} // namespace kav

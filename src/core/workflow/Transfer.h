#pragma once

#include "workflow/AppContext.h"
#include "workflow/WorkflowUi.h"

namespace kav {

inline constexpr int kImageFirst = 0;
inline constexpr int kImageLast = 2047;

// Starts the worker moving the image to or from the radio in 16- or 128-byte blocks and
// shows it through ui.runTransfer. Returns once the UI's dialog has closed; the worker may
// still run. Refused (false) while an earlier worker runs.
bool startTransfer(AppContext& ctx, WorkflowUi& ui, int first, int last, bool write,
                   bool useArrays);

// The "Radio version check" warning after a read with this firmware major version; "" when
// the build model has no such rule or the firmware is new enough.
std::string radioVersionWarning(std::uint32_t buildProductId, int firmwareMajor);

} // namespace kav

#pragma once

namespace kav {

class AppContext;
class WorkflowUi;

// Opens "COMn" at the current baud rate; warns "Unable to open COMn." when that fails.
bool openComPort(AppContext& ctx, WorkflowUi& ui);
// Opens the port when it is closed and refreshes panels 0 and 1. True when it is open.
bool ensurePortOpen(AppContext& ctx, WorkflowUi& ui);

} // namespace kav

#pragma once

namespace kav {

class AppContext;
class WorkflowUi;

// Start-up after the settings were loaded into ctx: open the port, empty the image, make the
// build model current, load the default file when one is set, refresh status and buttons.
void startUp(AppContext& ctx, WorkflowUi& ui);

} // namespace kav

#pragma once

#include "workflow/Appcontext.h"
#include "workflow/Workflowui.h"

#include <optional>
#include <string>

namespace kav {

// Loads a ".mem" file (the raw image, no header) and checks the model it is for. False
// when it cannot be opened (nothing changed) or is for a model this build does not accept
// (the file stays loaded). Its messages go to `ui`.
bool loadMemFile(AppContext& ctx, WorkflowUi& ui, const std::string& path);

// The file commands; the GUI's file dialogs supply the path the person chose. Every one does
// nothing (false) while a transfer worker runs.
bool writeFile(AppContext& ctx, WorkflowUi& ui, const std::string& path);
// nullopt: the dialog was cancelled (the capability refresh still happens).
bool readFile(AppContext& ctx, WorkflowUi& ui, const std::optional<std::string>& path);
bool setDefaultFilename(AppContext& ctx, WorkflowUi& ui, const std::string& path);
bool removeDefaultFilename(AppContext& ctx);

// Start-up after the settings were loaded into ctx: open the port, empty the image, make the
// build model current, load the default file when one is set, refresh status and buttons.
void startUp(AppContext& ctx, WorkflowUi& ui);

} // namespace kav

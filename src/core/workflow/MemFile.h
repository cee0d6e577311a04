#pragma once

#include "workflow/AppContext.h"
#include "workflow/Outcome.h"
#include "workflow/WorkflowUi.h"

#include <optional>
#include <string>

namespace kav {

// Loads a ".mem" file (the raw image, no header) and checks the model it is for: Failed when
// it cannot be opened (nothing changed), Refused when it is for a model this build does not
// accept (the file stays loaded). Its messages go to `ui`.
Outcome loadMemFile(AppContext& ctx, WorkflowUi& ui, const std::string& path);

// The file commands; the GUI's file dialogs supply the path the person chose. Every one is
// Busy, doing nothing, while a transfer worker runs.
Outcome writeFile(AppContext& ctx, WorkflowUi& ui, const std::string& path);
// nullopt: the dialog was cancelled (Refused; the capability refresh still happens).
Outcome readFile(AppContext& ctx, WorkflowUi& ui, const std::optional<std::string>& path);
Outcome setDefaultFilename(AppContext& ctx, WorkflowUi& ui, const std::string& path);
Outcome removeDefaultFilename(AppContext& ctx);

} // namespace kav

#include "workflow/StartUp.h"

#include "workflow/AppContext.h"
#include "workflow/MemFile.h"
#include "workflow/PortOpening.h"

namespace kav {

void startUp(AppContext& ctx, WorkflowUi& ui) {
    openComPort(ctx, ui); // a failure only shows its message
    ctx.setDataSource(DataSource::Nothing);
    ctx.image().fill(0xFF);
    ctx.models().setModelByProductId(ctx.config().buildProductId);
    if (!ctx.defaultFileName().empty()) {
        ctx.setCurrentFileName(ctx.defaultFileName());
        if (loadMemFile(ctx, ui, ctx.currentFileName()) == Outcome::Done &&
            ctx.config().buildProductId == kNoProductId) {
            ctx.models().setModelByProductId(static_cast<std::uint32_t>(
                ctx.image().getWord(ctx.models().variableAddress(kVarProductId))));
        }
    }
    ui.statusChanged();
    ui.capabilitiesChanged();
}

} // namespace kav

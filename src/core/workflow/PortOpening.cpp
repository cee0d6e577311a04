#include "workflow/PortOpening.h"

#include "link/PortList.h"
#include "workflow/AppContext.h"
#include "workflow/WorkflowUi.h"

namespace kav {

bool openComPort(AppContext& ctx, WorkflowUi& ui) {
    const std::string name = ctx.portName();
    const bool opened =
        ctx.port().Open(name, static_cast<std::uint32_t>(ctx.currentBaudRate())) == 1;
    if (!opened) {
        const int error = ctx.port().lastOpenErrno();
        const std::string device = comPortDevice(ctx.comPort(), ctx.ports().portsDir);
        ui.portOpenFailed("Unable to open " + name + ".",
                          device.empty() || error != 0 ? openFailureReason(device, error) : "");
    }
    return opened;
}

bool ensurePortOpen(AppContext& ctx, WorkflowUi& ui) {
    if (ctx.port().IsOpen()) {
        return true;
    }
    const bool opened = openComPort(ctx, ui);
    ui.portPanelsChanged();
    return opened;
}

} // namespace kav

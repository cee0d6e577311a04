#include "Radioworkflow.h"

#include "workflow/Transfer.h"

#include <chrono>
#include <thread>

namespace kav {

namespace {

constexpr auto kBaudSettle = std::chrono::milliseconds(200);

bool accepted(const AppContext& ctx, std::uint32_t id, std::string& name) {
    int index = 0;
    std::uint32_t mask = 0;
    return ctx.models().lookupProductId(id, index, mask, name) &&
           (mask & ctx.config().buildModelMask) != 0;
}

bool hasContrastToKeep(int radioId) {
    return radioId == 0x3100 || radioId == 0x3101;
}

// Asks the radio for maxBaudRate when this build may raise it. False when the person
// declined to go on at the default rate.
bool raiseBaudRate(AppContext& ctx, WorkflowUi& ui) {
    const auto rate = static_cast<std::uint32_t>(ctx.maxBaudRate);
    if (ctx.radio().SetRadioBaudRate(rate)) {
        std::this_thread::sleep_for(kBaudSettle); // the radio answers at the old rate first
        ctx.port().SetBaudRate(rate);
        ctx.currentBaudRate = ctx.maxBaudRate;
    } else if (!ui.ask("Unable to increase radio baudrate. Continue at default baud-rate?",
                       "Set baudrate", WorkflowUi::Icon::Warning)) {
        return false;
    }
    ui.portPanelsChanged();
    return true;
}

bool portReady(AppContext& ctx, WorkflowUi& ui) {
    if (ctx.port().IsOpen()) {
        return true;
    }
    const bool opened = openComPort(ctx, ui);
    ui.portPanelsChanged();
    return opened;
}

// Steps shared by read and write before any data moves: programming mode, type, version.
bool enterProgModeForRead(AppContext& ctx, WorkflowUi& ui) {
    ui.radioPanelCleared();
    if (!ctx.radio().EnterProgMode()) {
        ui.warn("Radio Response Timeout", "Entering Prog Mode");
        return false;
    }
    std::string type;
    if (!ctx.radio().ReadRadioType(type)) {
        ui.warn("Failed to read radio type.", "Read radio error");
        return false;
    }
    if (!ctx.radio().GetVersion()) {
        ui.warn("Failed to read radio version.", "Read radio error");
        return false;
    }
    ui.statusChanged();
    return true;
}

bool enterProgModeForWrite(AppContext& ctx, WorkflowUi& ui) {
    ui.radioPanelCleared();
    if (!ctx.radio().EnterProgMode()) {
        ui.warn("Radio Response Timeout.", "Comms Error");
        return false;
    }
    ui.radioPanelCleared();
    std::string type;
    ctx.radio().ReadRadioType(type);
    if (!ctx.radio().GetVersion()) {
        ui.warn("Radio Response Timeout.", "Comms Error");
        return false;
    }
    ui.statusChanged();
    return true;
}

// The three product-ID checks of a write: the radio, the image, and the two together.
bool radioMatchesImage(AppContext& ctx, WorkflowUi& ui) {
    int radioId = 0;
    if (!ctx.radio().ReadProductId(radioId)) {
        ui.warn("Radio Response Timeout", "Reading Product ID");
        return false;
    }
    std::string radioName;
    if (!accepted(ctx, static_cast<std::uint32_t>(radioId), radioName)) {
        ui.warn(incorrectRadioTypeText(static_cast<std::uint32_t>(radioId)), "Checking Product ID");
        return false;
    }
    const int configId = ctx.image().getWord(ctx.models().variableAddress(kVarProductId));
    std::string configName;
    if (!accepted(ctx, static_cast<std::uint32_t>(configId), configName)) {
        ui.warn(incorrectRadioTypeText(static_cast<std::uint32_t>(configId)), "Current config");
        return false;
    }
    if (radioId != configId) {
        ui.warn("Wrong Radio Type (radio is " + radioName + ", config is for " + configName + ")",
                "Cross-checking Product ID");
        return false;
    }
    return true;
}

// The radio's own contrast setting is written back unchanged.
void keepLcdContrast(AppContext& ctx, int radioId) {
    const int address = ctx.models().variableAddress(kVarLcdContrast);
    int value = 0;
    if (hasContrastToKeep(radioId) && address >= 0 && ctx.radio().ReadByte(address, value)) {
        ctx.image().setByte(address, value);
    }
}

} // namespace

std::string incorrectRadioTypeText(std::uint32_t id) {
    return "Incorrect radio type (" + productIdText(id) + ")";
}

bool openComPort(AppContext& ctx, WorkflowUi& ui) {
    const std::string name = ctx.portName();
    const bool opened = ctx.port().Open(name, static_cast<std::uint32_t>(ctx.currentBaudRate)) == 1;
    if (!opened) {
        ui.warn("Unable to open " + name + ".", "Error");
    }
    return opened;
}

void ensurePortOpen(AppContext& ctx, WorkflowUi& ui) {
    if (!ctx.port().IsOpen()) {
        openComPort(ctx, ui);
        ui.portPanelsChanged();
    }
}

bool checkRadioProductId(AppContext& ctx, WorkflowUi& ui, int& productId, int& modelIndex) {
    int id = 0;
    if (!ctx.radio().ReadProductId(id)) {
        ui.warn("Radio Response Timeout", "Reading Product ID");
        return false;
    }
    int index = 0;
    std::uint32_t mask = 0;
    std::string name;
    const auto uid = static_cast<std::uint32_t>(id);
    if (!ctx.models().lookupProductId(uid, index, mask, name) ||
        (mask & ctx.config().buildModelMask) == 0) {
        ui.warn(incorrectRadioTypeText(uid), "Checking Product ID");
        return false;
    }
    productId = id;
    modelIndex = index;
    return true;
}

bool readRadio(AppContext& ctx, WorkflowUi& ui) {
    if (ctx.transferRunning() || !portReady(ctx, ui)) {
        return false;
    }
    int modelIndex = 0;
    if (!checkRadioProductId(ctx, ui, ctx.radioProductId, modelIndex)) {
        return false;
    }
    if (!ui.ask("All current edit data will be lost.", "Read From Radio?",
                WorkflowUi::Icon::Warning)) {
        return false;
    }
    if (!enterProgModeForRead(ctx, ui)) {
        return false;
    }
    ctx.baudRaised = ctx.models().hasHighBaudRate(ctx.config().buildProductId) &&
                     ctx.maxBaudRate != AppContext::kDefaultBaudRate;
    if (ctx.baudRaised && !raiseBaudRate(ctx, ui)) {
        return false;
    }
    startTransfer(ctx, ui, kImageFirst, kImageLast, false, ctx.useArrays());
    ++ctx.radio().readCount; // whatever the outcome: a write no longer asks
    return true;
}

bool writeRadio(AppContext& ctx, WorkflowUi& ui) {
    if (ctx.transferRunning() || !portReady(ctx, ui)) {
        return false;
    }
    int modelIndex = 0;
    if (!checkRadioProductId(ctx, ui, ctx.radioProductId, modelIndex) ||
        !radioMatchesImage(ctx, ui)) {
        return false;
    }
    if (ctx.radio().readCount == 0 && !ui.ask("Radio has not been read in this session. Continue?",
                                              "Warning", WorkflowUi::Icon::Warning)) {
        return false;
    }
    if (!enterProgModeForWrite(ctx, ui)) {
        return false;
    }
    ctx.radio().SetTestMode(0);
    keepLcdContrast(ctx, ctx.radioProductId);
    if (ctx.baudRaised && !raiseBaudRate(ctx, ui)) {
        return false;
    }
    startTransfer(ctx, ui, kImageFirst, kImageLast, true, ctx.useArrays());
    return true;
}

} // namespace kav

#include "workflow/RadioWorkflow.h"

#include "workflow/PortOpening.h"
#include "workflow/Transfer.h"

#include <chrono>
#include <optional>
#include <thread>

namespace kav {

namespace {

constexpr auto kBaudSettle = std::chrono::milliseconds(200);

bool hasContrastToKeep(int radioId) {
    return radioId == 0x3100 || radioId == 0x3101;
}

// The model name of an ID this build accepts; nullopt for any other ID.
std::optional<std::string> acceptedModelName(const AppContext& ctx, std::uint32_t id) {
    if (!ctx.models().acceptsProductId(id, ctx.config().buildModelMask)) {
        return std::nullopt;
    }
    int index = 0;
    std::uint32_t mask = 0;
    std::string name;
    ctx.models().lookupProductId(id, index, mask, name);
    return name;
}

// Asks the radio for maxBaudRate when this build may raise it. Refused when the person
// declined to go on at the default rate.
Outcome raiseBaudRate(AppContext& ctx, WorkflowUi& ui) {
    const auto rate = static_cast<std::uint32_t>(ctx.maxBaudRate());
    if (ctx.radio().SetRadioBaudRate(rate)) {
        std::this_thread::sleep_for(kBaudSettle); // the radio answers at the old rate first
        ctx.port().SetBaudRate(rate);
        ctx.setCurrentBaudRate(ctx.maxBaudRate());
    } else if (!ui.ask("Unable to increase radio baudrate. Continue at default baud-rate?",
                       "Set baudrate", WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    ui.portPanelsChanged();
    return Outcome::Done;
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

// The image's and the radio's product IDs after the radio's own check: the image must be
// for an accepted model, and for the radio's.
Outcome imageMatchesRadio(AppContext& ctx, WorkflowUi& ui, int radioId) {
    const auto radioName = acceptedModelName(ctx, static_cast<std::uint32_t>(radioId));
    const int configId = ctx.image().getWord(ctx.models().variableAddress(kVarProductId));
    const auto configName = acceptedModelName(ctx, static_cast<std::uint32_t>(configId));
    if (!configName) {
        ui.warn(incorrectRadioTypeText(static_cast<std::uint32_t>(configId)), "Current config");
        return Outcome::Refused;
    }
    if (radioId != configId) {
        ui.warn("Wrong Radio Type (radio is " + radioName.value_or("") + ", config is for " +
                    *configName + ")",
                "Cross-checking Product ID");
        return Outcome::Refused;
    }
    return Outcome::Done;
}

// The three product-ID checks of a write: the radio, the image, and the two together.
Outcome radioMatchesImage(AppContext& ctx, WorkflowUi& ui) {
    int radioId = 0;
    const Outcome radio = checkRadioProductId(ctx, ui, radioId);
    return radio == Outcome::Done ? imageMatchesRadio(ctx, ui, radioId) : radio;
}

// The radio's own contrast setting is written back unchanged.
void keepLcdContrast(AppContext& ctx, int radioId) {
    const int address = ctx.models().variableAddress(kVarLcdContrast);
    int value = 0;
    if (hasContrastToKeep(radioId) && address >= 0 && ctx.radio().ReadByte(address, value)) {
        ctx.image().setByte(address, value);
    }
}

// The checks before a read: the radio's product ID, then the person's confirmation.
Outcome readChecks(AppContext& ctx, WorkflowUi& ui) {
    int radioId = 0;
    if (const Outcome checked = checkRadioProductId(ctx, ui, radioId); checked != Outcome::Done) {
        return checked;
    }
    ctx.setRadioProductId(radioId);
    if (!ui.ask("All current edit data will be lost.", "Read From Radio?",
                WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    return Outcome::Done;
}

// The checks before a write: radio, image, cross-check, and a question when no radio was
// read since start-up.
Outcome writeChecks(AppContext& ctx, WorkflowUi& ui) {
    int radioId = 0;
    if (const Outcome checked = checkRadioProductId(ctx, ui, radioId); checked != Outcome::Done) {
        return checked;
    }
    ctx.setRadioProductId(radioId);
    if (const Outcome matched = radioMatchesImage(ctx, ui); matched != Outcome::Done) {
        return matched;
    }
    if (ctx.radio().readCount() == 0 &&
        !ui.ask("Radio has not been read in this session. Continue?", "Warning",
                WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    if (ctx.imageFromIncompleteRead() &&
        !ui.ask(kIncompleteReadQuestion, "Warning", WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    const auto bytes = ctx.loadedFileBytes();
    if (bytes && *bytes != EEPROM::kImageSize &&
        !ui.ask(fileSizeQuestion(ctx.currentFileName(), *bytes), "Warning",
                WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    return Outcome::Done;
}

// Nothing may start while a worker runs; a closed port is opened first.
Outcome readyToStart(AppContext& ctx, WorkflowUi& ui) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    return ensurePortOpen(ctx, ui) ? Outcome::Done : Outcome::Failed;
}

Outcome raiseBaudRateIfAgreed(AppContext& ctx, WorkflowUi& ui) {
    return ctx.baudRaised() ? raiseBaudRate(ctx, ui) : Outcome::Done;
}

// The radio's side of a read once the checks passed: programming mode, then the rate.
Outcome prepareRead(AppContext& ctx, WorkflowUi& ui) {
    if (!enterProgModeForRead(ctx, ui)) {
        return Outcome::Failed;
    }
    ctx.setBaudRaised(ctx.models().hasHighBaudRate(ctx.config().buildProductId) &&
                      ctx.maxBaudRate() != AppContext::kDefaultBaudRate);
    return raiseBaudRateIfAgreed(ctx, ui);
}

// A write keeps the rate the last read agreed on.
Outcome prepareWrite(AppContext& ctx, WorkflowUi& ui) {
    if (!enterProgModeForWrite(ctx, ui)) {
        return Outcome::Failed;
    }
    ctx.radio().SetTestMode(0);
    keepLcdContrast(ctx, ctx.radioProductId());
    return raiseBaudRateIfAgreed(ctx, ui);
}

using Step = std::function<Outcome(AppContext&, WorkflowUi&)>;

// Runs the steps in order and starts the whole-radio transfer once every one is Done;
// otherwise the first outcome that is not.
Outcome transferAfter(AppContext& ctx, WorkflowUi& ui, bool write,
                      std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        if (const Outcome outcome = step(ctx, ui); outcome != Outcome::Done) {
            return outcome;
        }
    }
    startTransfer(ctx, ui, kImageFirst, kImageLast, write, ctx.useArrays());
    return Outcome::Done;
}

} // namespace

std::string fileSizeQuestion(const std::string& path, std::uintmax_t bytes) {
    return "The file " + path + " holds " + std::to_string(bytes) +
           " bytes, not 2048: the image took what there was and reads FF past it. Write it "
           "to the radio anyway?";
}

std::string incorrectRadioTypeText(std::uint32_t id) {
    return "Incorrect radio type (" + productIdText(id) + ")";
}

Outcome checkRadioProductId(AppContext& ctx, WorkflowUi& ui, int& productId) {
    int id = 0;
    if (!ctx.radio().ReadProductId(id)) {
        ui.warn("Radio Response Timeout", "Reading Product ID");
        return Outcome::Failed;
    }
    const auto uid = static_cast<std::uint32_t>(id);
    if (!ctx.models().acceptsProductId(uid, ctx.config().buildModelMask)) {
        ui.warn(incorrectRadioTypeText(uid), "Checking Product ID");
        return Outcome::Refused;
    }
    productId = id;
    return Outcome::Done;
}

Outcome readRadio(AppContext& ctx, WorkflowUi& ui) {
    const Outcome outcome = transferAfter(ctx, ui, false, {readyToStart, readChecks, prepareRead});
    if (outcome == Outcome::Done) {
        ctx.radio().noteRadioRead(); // whatever the transfer's result: a write no longer asks
    }
    return outcome;
}

Outcome writeRadio(AppContext& ctx, WorkflowUi& ui, const std::function<Outcome()>& lastCheck) {
    const Step last = [&lastCheck](AppContext&, WorkflowUi&) {
        return lastCheck ? lastCheck() : Outcome::Done;
    };
    return transferAfter(ctx, ui, true, {readyToStart, writeChecks, last, prepareWrite});
}

CalibrationComparison compareCalibration(TRadio& radio, const EEPROM& image) {
    constexpr int kBlock = 16;
    CalibrationComparison c;
    c.read = radio.Read16(0, c.radio.data()) && radio.Read16(kBlock, c.radio.data() + kBlock);
    if (c.read) {
        for (int a = 0; a < kCalibrationAreaBytes; ++a) {
            c.differs = c.differs || image.getByte(a) != c.radio[static_cast<std::size_t>(a)];
        }
    }
    return c;
}

} // namespace kav

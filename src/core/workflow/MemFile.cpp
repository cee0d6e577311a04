#include "workflow/MemFile.h"

#include "workflow/RadioWorkflow.h"

#include <filesystem>
#include <system_error>

namespace kav {

namespace {

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

Outcome loadMemFile(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.image().loadFromFile(path) < 0) {
        ui.warn("Unable to open file " + path, "File Open Error");
        return Outcome::Failed;
    }
    ctx.setDataSource(DataSource::File);
    ctx.setCurrentFileName(path);
    ctx.setImageFromIncompleteRead(false);
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    ctx.setLoadedFileBytes(error ? std::nullopt : std::optional<std::uintmax_t>(bytes));
    const auto id = static_cast<std::uint32_t>(
        ctx.image().getWord(ctx.models().variableAddress(kVarProductId)));
    if (ctx.models().acceptsProductId(id, ctx.config().buildModelMask)) {
        return Outcome::Done;
    }
    ui.warn(incorrectRadioTypeText(id), "Reading Mem-file");
    return Outcome::Refused;
}

Outcome writeFile(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    if (fileExists(path) && !ui.ask("File already exists. Overwrite?", "Saving Program File...",
                                    WorkflowUi::Icon::Warning)) {
        return Outcome::Refused;
    }
    // A failed save is reported and leaves the previous file, name and status as they were.
    if (ctx.image().saveToFile(path) < 0) {
        ui.warn("Unable to save file " + path, "File Save Error");
        return Outcome::Failed;
    }
    ctx.setCurrentFileName(path);
    ctx.setDataSource(DataSource::File);
    ctx.setLoadedFileBytes(EEPROM::kImageSize);
    ui.statusChanged();
    return Outcome::Done;
}

Outcome readFile(AppContext& ctx, WorkflowUi& ui, const std::optional<std::string>& path) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    Outcome loaded = Outcome::Refused;
    if (path) {
        loaded = loadMemFile(ctx, ui, *path);
        if (loaded == Outcome::Done) {
            ctx.models().setModelByProductId(ctx.config().buildProductId);
        }
        ui.statusChanged();
    }
    ui.capabilitiesChanged();
    return loaded;
}

Outcome setDefaultFilename(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    ctx.setDefaultFileName(path);
    if (!ui.ask("Load file '" + path + "' ?\nAll current data will be lost.", "Load Default File.",
                WorkflowUi::Icon::Question)) {
        return Outcome::Refused;
    }
    const Outcome loaded = loadMemFile(ctx, ui, ctx.defaultFileName());
    if (loaded == Outcome::Done) {
        if (ctx.config().acceptsAnyModel()) {
            ctx.models().setModelByProductId(ctx.config().buildProductId);
        }
        ui.capabilitiesChanged();
    }
    ui.statusChanged();
    return loaded;
}

Outcome removeDefaultFilename(AppContext& ctx) {
    if (ctx.transferRunning()) {
        return Outcome::Busy;
    }
    ctx.setDefaultFileName({});
    return Outcome::Done;
}

} // namespace kav

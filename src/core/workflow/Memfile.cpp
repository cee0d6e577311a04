#include "Memfile.h"

#include "workflow/Radioworkflow.h"

#include <filesystem>
#include <system_error>

namespace kav {

namespace {

constexpr std::uint32_t kAnyModelMask = 511;

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

bool loadMemFile(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.image().loadFromFile(path) < 0) {
        ui.warn("Unable to open file " + path, "File Open Error");
        return false;
    }
    ctx.dataSource = DataSource::File;
    ctx.currentFileName = path;
    const auto id = static_cast<std::uint32_t>(
        ctx.image().getWord(ctx.models().variableAddress(kVarProductId)));
    if (ctx.models().acceptsProductId(id, ctx.config().buildModelMask)) {
        return true;
    }
    ui.warn(incorrectRadioTypeText(id), "Reading Mem-file");
    return false;
}

bool writeFile(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.transferRunning()) {
        return false;
    }
    if (fileExists(path) && !ui.ask("File already exists. Overwrite?", "Saving Program File...",
                                    WorkflowUi::Icon::Warning)) {
        return false;
    }
    // A failed save is reported and leaves the previous file, name and status as they were.
    if (ctx.image().saveToFile(path) < 0) {
        ui.warn("Unable to save file " + path, "File Save Error");
        return false;
    }
    ctx.currentFileName = path;
    ctx.dataSource = DataSource::File;
    ui.statusChanged();
    return true;
}

bool readFile(AppContext& ctx, WorkflowUi& ui, const std::optional<std::string>& path) {
    if (ctx.transferRunning()) {
        return false;
    }
    bool loaded = false;
    if (path) {
        loaded = loadMemFile(ctx, ui, *path);
        if (loaded) {
            ctx.models().setModelByProductId(ctx.config().buildProductId);
        }
        ui.statusChanged();
    }
    ui.capabilitiesChanged();
    return loaded;
}

bool setDefaultFilename(AppContext& ctx, WorkflowUi& ui, const std::string& path) {
    if (ctx.transferRunning()) {
        return false;
    }
    ctx.defaultFileName = path;
    if (!ui.ask("Load file '" + path + "' ?\nAll current data will be lost.", "Load Default File.",
                WorkflowUi::Icon::Question)) {
        return false;
    }
    const bool loaded = loadMemFile(ctx, ui, ctx.defaultFileName);
    if (loaded) {
        if (ctx.config().buildModelMask == kAnyModelMask) {
            ctx.models().setModelByProductId(ctx.config().buildProductId);
        }
        ui.capabilitiesChanged();
    }
    ui.statusChanged();
    return loaded;
}

bool removeDefaultFilename(AppContext& ctx) {
    if (ctx.transferRunning()) {
        return false;
    }
    ctx.defaultFileName.clear();
    return true;
}

void startUp(AppContext& ctx, WorkflowUi& ui) {
    openComPort(ctx, ui); // a failure only shows its message
    ctx.dataSource = DataSource::Nothing;
    ctx.image().fill(0xFF);
    ctx.models().setModelByProductId(ctx.config().buildProductId);
    if (!ctx.defaultFileName.empty()) {
        ctx.currentFileName = ctx.defaultFileName;
        if (loadMemFile(ctx, ui, ctx.currentFileName) &&
            ctx.config().buildProductId == kNoProductId) {
            ctx.models().setModelByProductId(static_cast<std::uint32_t>(
                ctx.image().getWord(ctx.models().variableAddress(kVarProductId))));
        }
    }
    ui.statusChanged();
    ui.capabilitiesChanged();
}

} // namespace kav

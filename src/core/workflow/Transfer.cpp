#include "workflow/Transfer.h"

#include "workflow/ReadHistory.h"

#include <array>
#include <ctime>

namespace kav {

std::string TransferSession::caption() const {
    return write ? "Writing to Radio" : "Reading from Radio";
}

std::string TransferSession::resultText(bool write, std::intptr_t result) {
    switch (result) {
    case kTransferTimeout:
        return write ? "Timeout writing to radio" : "Timeout reading from radio";
    case kTransferCancelled:
        return write ? "Writing to radio cancelled" : "Reading from radio cancelled";
    default:
        return {};
    }
}

namespace {

constexpr int kSmallBlock = TRadio::kBlockBytes;
constexpr int kArrayBlock = 128;

struct VersionRule {
    std::uint32_t productId;
    int firstGoodMajor; // the warning shows below this major version
    const char* text;
};

constexpr std::array<VersionRule, 3> kVersionRules{{
    {0x3100, 2,
     "Your QM3100 radio does not support the latest features available on QM3100S radios, "
     "e.g. ScanWeave"},
    {0x1700, 3,
     "Your QM1700 radio does not support the latest features available on QM1700S radios, "
     "e.g. ScanWeave"},
    {0x2200, 2,
     "Your QM2100/2200/2400 radio does not support the latest features available on "
     "QM2100/2200/2400S radios, e.g. ScanWeave"},
}};

// Everything the worker needs, fixed on the UI thread before it starts.
struct TransferJob {
    AppContext& ctx;
    WorkflowUi& ui;
    int first;
    int last;
    bool write;
    bool useArrays;
    bool baudRaised;
    int statusAddress; // "Status", rewritten on its own after a write
};

// Reads `size` bytes from `address` on with ReadBlock. A radio may send fewer than asked for;
// the rest is asked for from the next address on, so no stale byte stays in the image. Only a
// reply of no bytes (or none at all) fails the block.
bool readArray(TRadio& radio, EEPROM& image, int address, int size) {
    std::array<std::uint8_t, kArrayBlock> bytes{};
    int done = 0;
    while (done < size) {
        const int received = radio.ReadBlock(size - done, address + done, bytes.data());
        if (received <= 0) {
            return false;
        }
        image.writeBlock(address + done, bytes.data(), received);
        done += received;
    }
    return true;
}

bool moveBlock(const TransferJob& job, int address, int size) {
    TRadio& radio = job.ctx.radio();
    EEPROM& image = job.ctx.image();
    std::array<std::uint8_t, kArrayBlock> bytes{};
    if (job.write) {
        image.readBlock(address, bytes.data(), size);
        return job.useArrays ? radio.WriteBlock(size, address, bytes.data())
                             : radio.Write16(address, bytes.data());
    }
    if (job.useArrays) {
        return readArray(radio, image, address, size);
    }
    if (!radio.Read16(address, bytes.data())) {
        return false;
    }
    image.writeBlock(address, bytes.data(), size);
    return true;
}

// Setting the cancel event also ends the radio operation under way, so the end steps follow
// at once instead of after its timeout.
TransferResult moveBlocksUntilCancelled(const TransferJob& job) {
    const int size = job.useArrays ? kArrayBlock : kSmallBlock;
    MessageSink& sink = job.ui.progressSink();
    int address = job.first;
    for (;;) {
        if (job.ctx.cancelEvent().isSet()) {
            return kTransferCancelled;
        }
        if (!moveBlock(job, address, size)) {
            if (job.ctx.cancelEvent().isSet()) {
                return kTransferCancelled;
            }
            const std::string why = "block at " + std::to_string(address) + ": " +
                                    linkFailureText(job.ctx.radio().lastFailure());
            job.ui.onUiThread([&ui = job.ui, why] { ui.explainFailure(why); });
            return kTransferTimeout;
        }
        address += size;
        const bool lastBlock = address >= job.last;
        sink.post(kMsgTransfer, kTransferProgress, address);
        if (lastBlock) {
            return kTransferDone;
        }
    }
}

TransferResult moveBlocks(const TransferJob& job) {
    Event& cancel = job.ctx.cancelEvent();
    job.ctx.radio().setCancelEvent(&cancel);
    const TransferResult result = moveBlocksUntilCancelled(job);
    // The end steps (Status byte, reset) must run whatever is pressed meanwhile.
    job.ctx.radio().setCancelEvent(nullptr);
    cancel.reset();
    return result;
}

// The end steps: radio commands here, window changes handed to the UI thread in order.
void finishTransfer(const TransferJob& job) {
    AppContext& ctx = job.ctx;
    WorkflowUi& ui = job.ui;
    if (job.write && job.statusAddress >= 0) {
        ctx.radio().WriteByte(job.statusAddress, ctx.image().getByte(job.statusAddress));
    }
    const bool reset = ctx.radio().ResetRadio();
    const std::string why =
        reset ? "" : std::string("reset: ") + linkFailureText(ctx.radio().lastFailure());
    ui.onUiThread([&ctx, &ui, reset, why] {
        ctx.setRadioLeftInProgMode(!reset);
        if (!reset) {
            ui.warn("Radio Response Timeout. (t)", "Comms Error");
            ui.explainFailure(why);
        }
    });
    if (job.baudRaised) {
        ctx.port().SetBaudRate(AppContext::kDefaultBaudRate);
        ui.onUiThread([&ctx, &ui] {
            ctx.setCurrentBaudRate(AppContext::kDefaultBaudRate);
            ui.portPanelsChanged();
        });
    }
    ui.onUiThread([&ctx, &ui] {
        ctx.setDataSource(DataSource::Radio);
        ui.statusChanged();
        ui.capabilitiesChanged();
    });
    if (job.write) {
        return;
    }
    int major = 0;
    int minor = 0;
    int letter = 0;
    ctx.radio().GetVersionNumbers(major, minor, letter);
    std::string warning = radioVersionWarning(ctx.config().buildProductId, major);
    if (!warning.empty()) {
        ui.onUiThread([&ui, text = std::move(warning)] { ui.warn(text, "Radio version check"); });
    }
}

// A copy of what the radio held, so it can be restored after a write went wrong.
void keepReadInHistory(AppContext& ctx, WorkflowUi& ui) {
    const std::string& folder = ctx.historyFolder();
    if (folder.empty()) {
        return;
    }
    const auto productId = static_cast<std::uint32_t>(
        ctx.image().getWord(ctx.models().variableAddress(kVarProductId)));
    if (!keepInHistory(ctx.image(), productId, folder, std::time(nullptr))) {
        ui.warn("The read is complete, but its copy could not be kept in the history folder " +
                    folder + ".",
                "History");
    }
}

void runWorker(const TransferJob& job) {
    const TransferResult result = moveBlocks(job);
    job.ui.progressSink().post(kMsgTransfer, kTransferFinished, result);
    if (!job.write) {
        // A read that stopped part-way leaves an image of old and new blocks mixed.
        job.ui.onUiThread([&ctx = job.ctx, &ui = job.ui, complete = result == kTransferDone] {
            ctx.setImageFromIncompleteRead(!complete);
            ctx.setLoadedFileBytes(std::nullopt);
            if (complete) {
                keepReadInHistory(ctx, ui);
            }
        });
    }
    finishTransfer(job);
}

} // namespace

std::string radioVersionWarning(std::uint32_t buildProductId, int firmwareMajor) {
    for (const VersionRule& rule : kVersionRules) {
        if (rule.productId == buildProductId) {
            return firmwareMajor < rule.firstGoodMajor ? rule.text : "";
        }
    }
    return {};
}

bool startTransfer(AppContext& ctx, WorkflowUi& ui, int first, int last, bool write,
                   bool useArrays) {
    if (ctx.transferRunning()) {
        return false;
    }
    const TransferJob job{ctx,
                          ui,
                          first,
                          last,
                          write,
                          useArrays,
                          ctx.baudRaised(),
                          ctx.models().variableAddress(kVarStatus)};
    ctx.cancelEvent().reset();
    TransferSession session{first, last, write, useArrays, &ctx.cancelEvent(), {}};
    bool started = false;
    session.start = [&ctx, &started, job] {
        if (!started) {
            started = ctx.startWorker([job] { runWorker(job); });
        }
    };
    ui.runTransfer(session);
    session.start();
    session.start = nullptr;
    return true;
}

} // namespace kav

#pragma once

#include "link/Event.h"
#include "link/MessageSink.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kav {

// Progress of a whole-radio transfer, posted to WorkflowUi::progressSink().
inline constexpr std::uint32_t kMsgTransfer = 2026;   // WM_USER + 1002
inline constexpr std::intptr_t kTransferProgress = 0; // lParam: next image address
inline constexpr std::intptr_t kTransferFinished = 1; // lParam: a TransferResult

enum TransferResult : std::intptr_t {
    kTransferDone = 0,
    kTransferTimeout = 1, // a radio operation failed
    kTransferCancelled = 2,
};

// One started transfer as the person sees it: what the progress dialog shows and the event
// its Cancel button sets.
struct TransferSession {
    int first = 0;
    int last = 0; // gauge range first..last
    bool write = false;
    bool useArrays = false;
    Event* cancel = nullptr;
    // Starts the worker; the UI calls it once it is ready for progress. Done for the UI when
    // runTransfer returns without having called it.
    std::function<void()> start;

    // "Reading from Radio" / "Writing to Radio".
    std::string caption() const;
    // The result line for a "finished" notice; "" when the dialog simply closes (done).
    static std::string resultText(bool write, std::intptr_t result);
};

// How the workflows speak to the person. The GUI implements it with message boxes and the
// progress dialog, the CLI on the terminal. Every member is called on the UI thread except
// progressSink() and onUiThread(), which the transfer worker calls.
class WorkflowUi {
public:
    enum class Icon { Warning, Question };

    virtual ~WorkflowUi() = default;

    // Exclamation icon, OK.
    virtual void warn(const std::string& text, const std::string& caption) = 0;
    // OK and Cancel; true for OK.
    virtual bool ask(const std::string& text, const std::string& caption, Icon icon) = 0;

    virtual void statusChanged() = 0;       // all four status panels, repainted at once
    virtual void portPanelsChanged() = 0;   // panels 0 and 1
    virtual void radioPanelCleared() = 0;   // panel 2 = ""
    virtual void capabilitiesChanged() = 0; // applyCapabilities(buildProductId)
    // Why a transfer or its end steps failed, beside the fixed message (the window's status
    // bar, a line on the terminal). Called on the UI thread.
    virtual void explainFailure(const std::string& why) { static_cast<void>(why); }
    // A port that did not open: the fixed `message` ("Unable to open COMn.", caption "Error")
    // and, when known, `reason` saying why. A front end with room for it shows both together.
    virtual void portOpenFailed(const std::string& message, const std::string& reason) {
        warn(message, "Error");
        if (!reason.empty()) {
            explainFailure(reason);
        }
    }

    // Shows a transfer to the person and returns when its dialog closes (the worker may run
    // on: the end steps arrive through onUiThread). Must call session.start() once.
    virtual void runTransfer(TransferSession& session) = 0;
    // Receives kMsgTransfer from the worker; must queue and return at once.
    virtual MessageSink& progressSink() = 0;
    // Hands `step` to the UI thread; steps run in the order handed over.
    virtual void onUiThread(std::function<void()> step) = 0;
};

} // namespace kav

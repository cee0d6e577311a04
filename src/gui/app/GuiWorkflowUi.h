#pragma once

#include "app/QueuedSink.h"
#include "workflow/WorkflowUi.h"

#include <deque>
#include <functional>

namespace kav {

class TfrmMain;
class TfrmReadWrite;

// The workflows' voice in the GUI: message boxes owned by the main window, its status bar
// and buttons, and the modal progress dialog for transfers.
class GuiWorkflowUi : public WorkflowUi {
public:
    GuiWorkflowUi(TfrmMain& main, TfrmReadWrite& progress);

    void warn(const std::string& text, const std::string& caption) override;
    bool ask(const std::string& text, const std::string& caption, Icon icon) override;
    void statusChanged() override;
    void portPanelsChanged() override;
    void radioPanelCleared() override;
    void capabilitiesChanged() override;
    void explainFailure(const std::string& why) override;
    void portOpenFailed(const std::string& message, const std::string& reason) override;
    void runTransfer(TransferSession& session) override;
    MessageSink& progressSink() override { return sink_; }
    void onUiThread(std::function<void()> step) override;

private:
    // Message 2026 from the worker, on the UI thread.
    void transferNotice(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);

    // Runs the handed-over steps one after another: a step that shows a message box waits
    // for its OK before the next one runs, even while the box's own event loop turns.
    void runSteps();

    TfrmMain& main_;
    TfrmReadWrite& progress_;
    bool writing_ = false;
    std::deque<std::function<void()>> steps_;
    bool runningSteps_ = false;
    QueuedSink sink_;
};

} // namespace kav

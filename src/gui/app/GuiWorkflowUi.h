#pragma once

#include "app/QueuedSink.h"
#include "workflow/WorkflowUi.h"

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
    void runTransfer(TransferSession& session) override;
    MessageSink& progressSink() override { return sink_; }
    void onUiThread(std::function<void()> step) override { sink_.queue(std::move(step)); }

private:
    // Message 2026 from the worker, on the UI thread.
    void transferNotice(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);

    TfrmMain& main_;
    TfrmReadWrite& progress_;
    bool writing_ = false;
    QueuedSink sink_;
};

} // namespace kav

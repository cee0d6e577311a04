#pragma once

#include "workflow/WorkflowUi.h"

class QWidget;

namespace kav {

// The workflows' voice inside a dialog that runs one radio command itself (no transfer): the
// checks' messages as message boxes owned by the dialog.
class DialogUi : public WorkflowUi {
public:
    explicit DialogUi(QWidget& owner) : owner_(owner) {}
    void warn(const std::string& text, const std::string& caption) override;
    bool ask(const std::string& text, const std::string& caption, Icon icon) override;
    void statusChanged() override {}
    void portPanelsChanged() override {}
    void radioPanelCleared() override {}
    void capabilitiesChanged() override {}
    void runTransfer(TransferSession&) override {}
    MessageSink& progressSink() override { return sink_; }
    void onUiThread(std::function<void()> step) override { step(); }

private:
    struct NoSink : MessageSink {
        void post(std::uint32_t, std::intptr_t, std::intptr_t) override {}
    };
    QWidget& owner_;
    NoSink sink_;
};

} // namespace kav

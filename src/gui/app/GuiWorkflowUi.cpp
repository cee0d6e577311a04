#include "app/GuiWorkflowUi.h"

#include "app/Main.h"
#include "app/Popups.h"
#include "app/Radio_rw.h"

namespace kav {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

GuiWorkflowUi::GuiWorkflowUi(TfrmMain& main, TfrmReadWrite& progress)
    : main_(main), progress_(progress),
      sink_(&progress, [this](std::uint32_t m, std::intptr_t w, std::intptr_t l) {
          transferNotice(m, w, l);
      }) {}

void GuiWorkflowUi::warn(const std::string& text, const std::string& caption) {
    popups::warn(&main_, q(text), q(caption));
}

bool GuiWorkflowUi::ask(const std::string& text, const std::string& caption, Icon icon) {
    return popups::ask(&main_, q(text), q(caption),
                       icon == Icon::Question ? popups::Kind::Question : popups::Kind::Warning);
}

void GuiWorkflowUi::statusChanged() {
    main_.updateStatusBar();
    main_.repaint();
}

void GuiWorkflowUi::portPanelsChanged() {
    main_.updatePortPanels();
}

void GuiWorkflowUi::radioPanelCleared() {
    main_.clearRadioPanel();
}

void GuiWorkflowUi::capabilitiesChanged() {
    main_.applyCapabilities(main_.context().config().buildProductId);
}

void GuiWorkflowUi::explainFailure(const std::string& why) {
    main_.showCause(q(why));
}

// The box has room for the reason: a second line under the fixed text.
void GuiWorkflowUi::portOpenFailed(const std::string& message, const std::string& reason) {
    warn(reason.empty() ? message : message + "\n" + reason, "Error");
}

void GuiWorkflowUi::runTransfer(TransferSession& session) {
    writing_ = session.write;
    progress_.setWindowTitle(q(session.caption()));
    progress_.setRange(session.first, session.last);
    progress_.setRunning();
    progress_.setCancelEvent(session.cancel);
    session.start();
    progress_.exec();
}

void GuiWorkflowUi::onUiThread(std::function<void()> step) {
    sink_.queue([this, step = std::move(step)]() mutable {
        steps_.push_back(std::move(step));
        runSteps();
    });
}

void GuiWorkflowUi::runSteps() {
    if (runningSteps_) {
        return; // the step under way (in a message box) runs the rest when it is done
    }
    runningSteps_ = true;
    while (!steps_.empty()) {
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step();
    }
    runningSteps_ = false;
}

void GuiWorkflowUi::transferNotice(std::uint32_t message, std::intptr_t wParam,
                                   std::intptr_t lParam) {
    if (message != kMsgTransfer) {
        return;
    }
    if (wParam == kTransferProgress) {
        progress_.setProgress(static_cast<int>(lParam));
        return;
    }
    if (wParam != kTransferFinished) {
        return;
    }
    progress_.setEnded();
    const std::string result = TransferSession::resultText(writing_, lParam);
    if (result.empty()) {
        progress_.close();
    } else {
        progress_.showResult(q(result));
    }
}

} // namespace kav

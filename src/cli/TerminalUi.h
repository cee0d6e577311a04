#pragma once

#include "link/Event.h"
#include "workflow/WorkflowUi.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kav {

class InterruptScope;

// Where the terminal front end talks to the person, and what it may assume.
struct TerminalIo {
    std::FILE* in = stdin;
    std::FILE* err = stderr;
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    bool assumeYes = false; // --yes: every question is answered OK
};

// The workflows' person on a terminal: messages as "caption: text" on standard error,
// questions as a y/N prompt, transfers as a progress bar (or a line per 10 %).
class TerminalUi : public WorkflowUi, private MessageSink {
public:
    explicit TerminalUi(const TerminalIo& io);
    ~TerminalUi() override;

    TerminalUi(const TerminalUi&) = delete;
    TerminalUi& operator=(const TerminalUi&) = delete;

    // Questions with this caption get `answer` without asking: the terminal has nothing for
    // them to protect (a fresh process holds no edits to lose).
    void answerAlways(const std::string& caption, bool answer);

    void warn(const std::string& text, const std::string& caption) override;
    bool ask(const std::string& text, const std::string& caption, Icon icon) override;
    void statusChanged() override {}
    void portPanelsChanged() override {}
    void radioPanelCleared() override {}
    void capabilitiesChanged() override {}
    void explainFailure(const std::string& why) override;
    void portOpenFailed(const std::string& message, const std::string& reason) override;
    void runTransfer(TransferSession& session) override;
    MessageSink& progressSink() override { return *this; }
    void onUiThread(std::function<void()> step) override;

    // Runs the steps the worker handed over, in order. Call after the worker was joined; until
    // then Ctrl-C keeps cancelling the transfer instead of ending the program.
    void runHandedSteps();

    // The result of the last transfer; -1 when none finished.
    std::intptr_t transferResult() const { return transferResult_; }

private:
    struct Notice {
        std::intptr_t wParam;
        std::intptr_t lParam;
    };

    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
    bool takeNotice(Notice& notice);
    void showProgress(const TransferSession& session, std::intptr_t address);
    bool promptYesNo(const std::string& text, const std::string& caption);

    TerminalIo io_;
    std::map<std::string, bool> fixedAnswers_;
    std::intptr_t transferResult_ = -1;
    int lastTenth_ = 0;

    std::mutex mutex_; // notices_ and steps_, filled by the worker
    std::deque<Notice> notices_;
    std::deque<std::function<void()>> steps_;
    Event noticed_;     // set while notices_ holds notices
    Event interrupted_; // Ctrl-C during a transfer
    std::unique_ptr<InterruptScope> interrupts_;
};

} // namespace kav

#pragma once

#include "workflow/WorkflowUi.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace kav {

// Records what the workflows say, answers questions from a script, and keeps the steps the
// worker hands to the UI thread until the test drains them.
class FakeUi : public WorkflowUi, public MessageSink {
public:
    struct Message {
        std::string text;
        std::string caption;
        bool question = false;
        bool operator==(const Message&) const = default;
    };
    struct Notice {
        std::intptr_t wParam;
        std::intptr_t lParam;
    };

    void warn(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption, false});
        events.push_back("warn");
    }
    bool ask(const std::string& text, const std::string& caption, Icon) override {
        messages.push_back({text, caption, true});
        if (answers.empty()) {
            return false; // an unscripted question is declined, and visible in `messages`
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void statusChanged() override {
        ++statusChanges;
        events.push_back("status");
    }
    void portPanelsChanged() override { ++portPanelChanges; }
    void radioPanelCleared() override { ++radioPanelClears; }
    void capabilitiesChanged() override {
        ++capabilityChanges;
        events.push_back("capabilities");
    }

    void runTransfer(TransferSession& session) override {
        ++transfers;
        lastCaption = session.caption();
        if (beforeStart) {
            beforeStart(session);
        }
        session.start();
    }
    MessageSink& progressSink() override { return *this; }
    void onUiThread(std::function<void()> step) override {
        std::lock_guard lock(mutex_);
        steps_.push_back(std::move(step));
    }
    void post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard lock(mutex_);
        if (message == kMsgTransfer) {
            notices_.push_back({wParam, lParam});
        }
    }

    // Runs the handed-over steps in order.
    void drain() {
        std::deque<std::function<void()>> steps;
        {
            std::lock_guard lock(mutex_);
            steps.swap(steps_);
        }
        for (auto& step : steps) {
            step();
        }
    }
    std::vector<Notice> notices() const {
        std::lock_guard lock(mutex_);
        return notices_;
    }
    // lParam of the "finished" notice, -1 when none came.
    std::intptr_t result() const {
        for (const Notice& n : notices()) {
            if (n.wParam == kTransferFinished) {
                return n.lParam;
            }
        }
        return -1;
    }

    std::vector<Message> messages;
    std::vector<std::string> events; // warn, status and capabilities calls in order
    std::deque<bool> answers;
    std::function<void(TransferSession&)> beforeStart;
    std::string lastCaption;
    int statusChanges = 0;
    int portPanelChanges = 0;
    int radioPanelClears = 0;
    int capabilityChanges = 0;
    int transfers = 0;

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> steps_;
    std::vector<Notice> notices_;
};

inline void PrintTo(const FakeUi::Message& m, std::ostream* os) {
    *os << (m.question ? "ask(\"" : "warn(\"") << m.text << "\", \"" << m.caption << "\")";
}

} // namespace kav

#include "cli/TerminalUi.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace kav {

namespace {

constexpr int kBarWidth = 40;
constexpr int kTenths = 10;

// A signal handler can reach nothing but globals: the descriptor of the event of the transfer
// in progress (-1 outside one) and the presses counted since it started.
std::atomic<int> gInterruptFd{-1};
std::atomic<int> gPresses{0};

constexpr int kAbandonAfterPresses = 3;
constexpr char kAbandonText[] =
    "\nStopped: the radio may still be in programming mode; switch it off and on again.\n";

void onInterrupt(int) {
    // The first presses cancel: the worker ends after its current exchange and still rewrites
    // the Status byte and resets the radio. Only a third press gives that up.
    if (gPresses.fetch_add(1) + 1 >= kAbandonAfterPresses) {
        [[maybe_unused]] const auto said =
            ::write(STDERR_FILENO, kAbandonText, sizeof kAbandonText - 1);
        ::_exit(130);
    }
    const int fd = gInterruptFd.load();
    if (fd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(fd, &one, sizeof one);
    }
}

} // namespace

// Ctrl-C and SIGTERM cancel the transfer (the radio still gets its reset) instead of killing
// the program with the radio left in programming mode. In force from the start of a transfer
// until its end steps have run.
class InterruptScope {
public:
    explicit InterruptScope(const Event& event) {
        gPresses.store(0);
        gInterruptFd.store(event.fd());
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptScope() {
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        gInterruptFd.store(-1);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

namespace {

bool isYes(const char* line) {
    return std::strcmp(line, "y\n") == 0 || std::strcmp(line, "Y\n") == 0 ||
           std::strcmp(line, "yes\n") == 0;
}

} // namespace

TerminalUi::TerminalUi(const TerminalIo& io) : io_(io) {}

TerminalUi::~TerminalUi() = default;

void TerminalUi::answerAlways(const std::string& caption, bool answer) {
    fixedAnswers_[caption] = answer;
}

void TerminalUi::warn(const std::string& text, const std::string& caption) {
    std::fprintf(io_.err, "%s: %s\n", caption.c_str(), text.c_str());
}

void TerminalUi::portOpenFailed(const std::string& message, const std::string& reason) {
    warn(message, "Error");
    if (!reason.empty()) {
        std::fprintf(io_.err, "Error: %s.\n", reason.c_str());
    }
}

void TerminalUi::explainFailure(const std::string& why) {
    std::fprintf(io_.err, "Cause: %s\n", why.c_str());
}

bool TerminalUi::ask(const std::string& text, const std::string& caption, Icon) {
    if (const auto fixed = fixedAnswers_.find(caption); fixed != fixedAnswers_.end()) {
        return fixed->second;
    }
    if (io_.assumeYes) {
        std::fprintf(io_.err, "%s: %s yes (--yes)\n", caption.c_str(), text.c_str());
        return true;
    }
    if (!io_.inIsTerminal) {
        std::fprintf(io_.err,
                     "%s: %s\nRefused: standard input is not a terminal; give --yes "
                     "to answer yes.\n",
                     caption.c_str(), text.c_str());
        return false;
    }
    return promptYesNo(text, caption);
}

bool TerminalUi::promptYesNo(const std::string& text, const std::string& caption) {
    std::fprintf(io_.err, "%s: %s [y/N] ", caption.c_str(), text.c_str());
    std::fflush(io_.err);
    std::array<char, 64> line{};
    return std::fgets(line.data(), static_cast<int>(line.size()), io_.in) != nullptr &&
           isYes(line.data());
}

void TerminalUi::post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    if (message != kMsgTransfer) {
        return;
    }
    std::lock_guard lock(mutex_);
    notices_.push_back({wParam, lParam});
    noticed_.set();
}

bool TerminalUi::takeNotice(Notice& notice) {
    std::lock_guard lock(mutex_);
    if (notices_.empty()) {
        noticed_.reset();
        return false;
    }
    notice = notices_.front();
    notices_.pop_front();
    return true;
}

void TerminalUi::onUiThread(std::function<void()> step) {
    std::lock_guard lock(mutex_);
    steps_.push_back(std::move(step));
}

void TerminalUi::runHandedSteps() {
    interrupts_.reset(); // the end steps are done: Ctrl-C may end the program again
    std::deque<std::function<void()>> steps;
    {
        std::lock_guard lock(mutex_);
        steps.swap(steps_);
    }
    for (auto& step : steps) {
        step();
    }
}

void TerminalUi::showProgress(const TransferSession& session, std::intptr_t address) {
    const auto span = std::max<std::intptr_t>(session.last - session.first, 1);
    const auto percent =
        static_cast<int>(std::clamp<std::intptr_t>((address - session.first) * 100 / span, 0, 100));
    if (io_.errIsTerminal) {
        const int filled = percent * kBarWidth / 100;
        std::fprintf(io_.err, "\r%s [%s%s] %3d%%", session.caption().c_str(),
                     std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(),
                     percent);
        std::fflush(io_.err);
        return;
    }
    for (; lastTenth_ < percent / kTenths; ++lastTenth_) {
        std::fprintf(io_.err, "%s: %d%%\n", session.caption().c_str(), (lastTenth_ + 1) * kTenths);
    }
}

void TerminalUi::runTransfer(TransferSession& session) {
    transferResult_ = -1;
    lastTenth_ = 0;
    interrupted_.reset();
    interrupts_ = std::make_unique<InterruptScope>(interrupted_);
    if (io_.errIsTerminal) {
        showProgress(session, session.first);
    }
    session.start();
    for (;;) {
        const int woke = waitAny({&noticed_, &interrupted_});
        if (woke == 1) {
            interrupted_.reset();
            if (session.cancel != nullptr) {
                session.cancel->set(); // the worker ends after its current block
            }
            continue;
        }
        if (woke != 0) {
            return; // the events are gone; nothing left to wait on
        }
        Notice notice{};
        while (takeNotice(notice)) {
            if (notice.wParam == kTransferProgress) {
                showProgress(session, notice.lParam);
            } else if (notice.wParam == kTransferFinished) {
                transferResult_ = notice.lParam;
                if (io_.errIsTerminal) {
                    std::fputc('\n', io_.err);
                }
                const std::string text = TransferSession::resultText(session.write, notice.lParam);
                if (!text.empty()) {
                    std::fprintf(io_.err, "%s: %s\n", session.caption().c_str(), text.c_str());
                }
                return;
            }
        }
    }
}

} // namespace kav

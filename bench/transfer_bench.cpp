// A full read and a full write of a QM2200 image through the workflows, against the virtual
// radio paced at 9600 baud, beside the pure wire time: every frame byte of every request and
// reply x 10 bits / 9600, with no gap between them. Also the CPU the process uses while the
// port sits open and idle.
//   build/bench/transfer_bench [idle seconds]
#include "link/Kaviiprotocol.h"
#include "sim/VirtualRadio.h"
#include "workflow/AppContext.h"
#include "workflow/PortOpening.h"
#include "workflow/RadioWorkflow.h"
#include "workflow/WorkflowUi.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kBaud = 9600;

// Says yes to everything, lets the worker run, keeps its hand-overs for the main thread.
class BenchUi : public kav::WorkflowUi, public kav::MessageSink {
public:
    void warn(const std::string& text, const std::string& caption) override {
        std::fprintf(stderr, "warning: %s (%s)\n", text.c_str(), caption.c_str());
    }
    bool ask(const std::string&, const std::string&, Icon) override { return true; }
    void statusChanged() override {}
    void portPanelsChanged() override {}
    void radioPanelCleared() override {}
    void capabilitiesChanged() override {}
    void runTransfer(kav::TransferSession& session) override { session.start(); }
    MessageSink& progressSink() override { return *this; }
    void post(std::uint32_t, std::intptr_t, std::intptr_t) override {}
    void onUiThread(std::function<void()> step) override {
        std::lock_guard lock(mutex_);
        steps_.push_back(std::move(step));
    }
    void drain() {
        std::lock_guard lock(mutex_);
        for (auto& step : steps_) {
            step();
        }
        steps_.clear();
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> steps_;
};

int frameBytes(const std::vector<std::uint8_t>& payload) {
    std::uint8_t frame[kav::kKavIIMaxFrame];
    return kav::buildKavIIFrame(payload.data(), static_cast<int>(payload.size()), frame);
}

// The wire time of every request the radio saw and of its reply, replayed on a copy of the
// radio as it was before the command.
double wireTimeMs(kav::CommandResponder before,
                  const std::vector<std::vector<std::uint8_t>>& requests) {
    double ms = 0;
    for (const auto& request : requests) {
        const auto reply = before.respond(request);
        const int bytes = frameBytes(request) + (reply.empty() ? 0 : frameBytes(reply));
        ms += bytes * 10.0 * 1000.0 / kBaud;
    }
    return ms;
}

template <typename Command>
void timeCommand(const char* name, kav::VirtualRadio& sim, kav::AppContext& ctx, BenchUi& ui,
                 Command command) {
    const kav::CommandResponder before = sim.snapshot();
    sim.clearRecords();
    const auto start = Clock::now();
    const bool started = command(ctx, ui) == kav::Outcome::Done;
    ctx.waitForTransfer();
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ui.drain();
    const double wire = wireTimeMs(before, sim.requests());
    std::printf("%-11s %s  %8.0f ms  wire time %8.0f ms  ratio %.3f (goal <= 1.05)\n", name,
                started ? "ok    " : "FAILED", elapsed, wire, elapsed / wire);
}

double processCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    kav::VirtualRadio sim(0x2200);
    sim.update([](kav::CommandResponder& r) {
        for (int a = 2; a < kav::EEPROM::kImageSize; ++a) {
            r.eeprom().setByte(a, a % 0x70);
        }
    });
    kav::VirtualRadioFaults paced;
    paced.lineRate = kBaud;
    sim.setFaults(paced);
    if (!sim.start()) {
        std::perror("virtual radio");
        return 1;
    }
    char dirTemplate[] = "/tmp/kav-bench-XXXXXX";
    if (::mkdtemp(dirTemplate) == nullptr) {
        std::perror("ports folder");
        return 1;
    }
    const std::filesystem::path dir = dirTemplate;
    std::filesystem::create_symlink(sim.slavePath(), dir / "COM1");

    BenchUi ui;
    {
        kav::AppContext ctx(kav::BuildConfig::delivered(), 0, kav::PortEnvironment{dir.string()});
        ctx.models().setModelByProductId(0x2200);
        if (!kav::openComPort(ctx, ui)) {
            return 1;
        }
        std::printf("QM2200 image, 16-byte blocks, radio paced at %u baud\n", kBaud);
        timeCommand("Read radio", sim, ctx, ui, kav::readRadio);
        timeCommand("Write radio", sim, ctx, ui,
                    [](kav::AppContext& c, BenchUi& u) { return kav::writeRadio(c, u); });

        const double cpuBefore = processCpuMs();
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const double cpu = processCpuMs() - cpuBefore;
        std::printf("Idle with the port open for %d s: process CPU %.2f ms (goal near 0)\n",
                    idleSeconds, cpu);
    }
    std::filesystem::remove_all(dir);
    return 0;
}

// Time from process start to the main window shown, off screen: startup_probe is started
// several times, and each run counts from just before the spawn to the byte the probe writes
// once its window is up. Prints the median beside the goal.
//   build/bench/startup_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalSeconds = 0.5;
constexpr int kTimeoutMs = 20000;

// Seconds from spawning the probe with `args` to its "shown" byte; negative on failure.
double timeOneStart(const std::string& probe, std::vector<std::string> args) {
    int shown[2];
    if (::pipe2(shown, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, shown[1], 3);
    // Qt's start-up notes (no runtime folder and the like) are not part of the figures.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    args.insert(args.begin(), probe);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, probe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(shown[1]);
    double seconds = -1;
    pollfd wait{shown[0], POLLIN, 0};
    char byte = 0;
    if (spawned == 0 && ::poll(&wait, 1, kTimeoutMs) == 1 && ::read(shown[0], &byte, 1) == 1) {
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    ::close(shown[0]);
    if (spawned == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool report(const char* what, const std::string& probe, const std::vector<std::string>& args,
            int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t = timeOneStart(probe, args);
        if (t < 0) {
            std::printf("%-28s FAILED (run %d; run startup_probe by hand to see why)\n", what,
                        i + 1);
            return false;
        }
        times.push_back(t);
    }
    const auto [low, high] = std::minmax_element(times.begin(), times.end());
    std::printf("%-28s median %.3f s  min %.3f s  max %.3f s  (goal <= %.1f s, %d runs)\n", what,
                median(times), *low, *high, kGoalSeconds, runs);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string probe = argv[0];
    probe = probe.substr(0, probe.find_last_of('/') + 1) + "startup_probe";
    std::printf("start-up to the main window shown, off screen\n");
    const bool demo = report("demo (kavprog --simulate)", probe, {"--simulate"}, runs);
    const bool plain = report("no radio configured", probe, {}, runs);
    return demo && plain ? 0 : 1;
}

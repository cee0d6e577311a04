// Round-trip time of one 16-byte block read against the virtual radio, unpaced and paced at
// 9600 baud, beside what the line itself allows:
//   frame bytes x 10 bits / baud + 10 ms for the read to complete on a quiet line.
//   build/bench/read16_bench [rounds]
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "model/BuildConfig.h"
#include "model/Eeprom.h"
#include "sim/VirtualRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double medianMs;
    double meanMs;
    int failures;
};

Figures measure(kav::TRadio& radio, int rounds) {
    std::vector<double> times;
    int failures = 0;
    std::uint8_t block[16];
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        if (!radio.Read16((i * 16) % 2048, block)) {
            ++failures;
            continue;
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    const double median = times.empty() ? 0 : times[times.size() / 2];
    return {median, times.empty() ? 0 : sum / static_cast<double>(times.size()), failures};
}

// Request 03 hi lo and reply 03 hi lo + 16 bytes, each framed with 7E 02 len ... check 7F.
// The image holds no bytes that need escaping, so these are the exact frame sizes.
constexpr int kRequestFrame = 3 + 3 + 2;
constexpr int kReplyFrame = 3 + 19 + 2;

double lineLimitMs(int baud) {
    return (kRequestFrame + kReplyFrame) * 10.0 * 1000.0 / baud + 10.0;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    kav::VirtualRadio sim(0x2200);
    sim.update([](kav::CommandResponder& r) {
        for (int a = 2; a < kav::EEPROM::kImageSize; ++a) {
            r.eeprom().setByte(a, a % 0x70);
        }
    });
    if (!sim.start()) {
        std::perror("virtual radio");
        return 1;
    }
    kav::SerialPort port;
    kav::EEPROM image;
    kav::TRadio radio(port, image, kav::BuildConfig::delivered());
    if (port.Open(sim.slavePath(), 9600) != 1) {
        std::fprintf(stderr, "cannot open %s\n", sim.slavePath().c_str());
        return 1;
    }

    std::printf("Read16 round trip, %d rounds each (%d + %d frame bytes)\n", rounds, kRequestFrame,
                kReplyFrame);
    const Figures unpaced = measure(radio, rounds);
    std::printf("  unpaced:         median %7.2f ms  mean %7.2f ms  failures %d\n",
                unpaced.medianMs, unpaced.meanMs, unpaced.failures);

    kav::VirtualRadioFaults paced;
    paced.lineRate = 9600;
    sim.setFaults(paced);
    const Figures slow = measure(radio, rounds);
    const double limit = lineLimitMs(9600);
    std::printf("  paced 9600 baud: median %7.2f ms  mean %7.2f ms  failures %d\n", slow.medianMs,
                slow.meanMs, slow.failures);
    std::printf("  line limit:      %7.2f ms  (frame bytes x 10 / 9600 + 10 ms)\n", limit);
    std::printf("  ratio paced median / line limit: %.3f\n", slow.medianMs / limit);
    port.Close();
    return unpaced.failures + slow.failures == 0 ? 0 : 1;
}

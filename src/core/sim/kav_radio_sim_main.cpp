// kav-radio-sim: one virtual radio on a pseudo-terminal until SIGINT or SIGTERM.

#include "link/Com_port.h"
#include "link/KavIICommand.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

using kav::CommandResponder;
using kav::VirtualRadio;
using kav::VirtualRadioFaults;

constexpr const char* kUsage =
    "usage: kav-radio-sim [options]\n"
    "  --com N              link the pty into the ports folder as COMN\n"
    "  --ports-dir DIR      ports folder (default $KAV_PORTS_DIR or $XDG_CONFIG_HOME/Kav/ports)\n"
    "  --product-id HEX     product ID at EEPROM address 0 (default 2200)\n"
    "  --eeprom FILE        load the EEPROM from a .mem file (product ID kept from the file);\n"
    "                       without it a QM2200 holds a plausible configuration\n"
    "  --radio-type TEXT    radio type text (default QM2200)\n"
    "  --firmware M.mm[L]   firmware version, hexadecimal digits (default 2.01)\n"
    "  --status HEX         status byte\n"
    "  --adc CH=VALUE       A/D channel value (repeatable)\n"
    "  --freq-error N       frequency error\n"
    "  --status-bit7        set bit 7 in replies to 05, 29 and 2A\n"
    "  --writes-need-prog   refuse EEPROM writes outside programming mode\n"
    "  --stop-after N       fall silent after N replies\n"
    "  --nack HEX           refuse a command code (repeatable)\n"
    "  --noise N            N noise bytes before each reply\n"
    "  --kav1-after-reply   a KAV I frame after each reply\n"
    "  --corrupt N[:OFF]    flip a bit in byte OFF (default 3) of reply N\n"
    "  --baud RATE          pace the line at RATE bits per second\n"
    "  --delay MS           delay each reply\n";

struct Options {
    int com = 0;
    std::string portsDir;
    std::uint16_t productId = 0x2200;
    std::string eepromFile;
    std::vector<std::function<void(CommandResponder&)>> radioChanges;
    VirtualRadioFaults faults;
};

long number(const std::string& text, int base) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, base);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        throw std::invalid_argument("not a number: " + text);
    }
    return value;
}

void parseFirmware(const std::string& text, Options& options) {
    const auto dot = text.find('.');
    if (dot == std::string::npos || text.size() < dot + 3) {
        throw std::invalid_argument("firmware wants M.mm[L]: " + text);
    }
    const int major = static_cast<int>(number(text.substr(0, dot), 16));
    const int minor = static_cast<int>(number(text.substr(dot + 1, 2), 16));
    const auto letter = static_cast<std::uint8_t>(text.size() > dot + 3 ? text[dot + 3] : 0);
    options.radioChanges.push_back([=](CommandResponder& r) {
        r.state().firmwareMajor = major;
        r.state().firmwareMinor = minor;
        r.state().firmwareLetter = letter;
    });
}

void parseAdc(const std::string& text, Options& options) {
    const auto eq = text.find('=');
    const long channel = number(text.substr(0, eq), 10);
    if (eq == std::string::npos || channel < 0 || channel > 7) {
        throw std::invalid_argument("adc wants CH=VALUE with CH 0..7: " + text);
    }
    const auto value = static_cast<std::uint8_t>(number(text.substr(eq + 1), 10));
    options.radioChanges.push_back(
        [=](CommandResponder& r) { r.state().adc[static_cast<std::size_t>(channel)] = value; });
}

void parseCorrupt(const std::string& text, Options& options) {
    const auto colon = text.find(':');
    options.faults.corruptReplyNumber = static_cast<int>(number(text.substr(0, colon), 10));
    if (colon != std::string::npos) {
        options.faults.corruptOffset = static_cast<int>(number(text.substr(colon + 1), 10));
    }
}

using ValueOption = std::function<void(const std::string&, Options&)>;
using FlagOption = std::function<void(Options&)>;

const std::map<std::string, ValueOption>& valueOptions() {
    static const std::map<std::string, ValueOption> table = {
        {"--com",
         [](const auto& v, Options& o) {
             o.com = static_cast<int>(number(v, 10));
         }},
        {"--ports-dir",
         [](const auto& v, Options& o) {
             o.portsDir = v;
         }},
        {"--product-id",
         [](const auto& v, Options& o) {
             o.productId = static_cast<std::uint16_t>(number(v, 16));
         }},
        {"--eeprom",
         [](const auto& v, Options& o) {
             o.eepromFile = v;
         }},
        {"--radio-type",
         [](const auto& v, Options& o) {
             o.radioChanges.push_back([v](CommandResponder& r) { r.state().radioType = v; });
         }},
        {"--firmware", parseFirmware},
        {"--status",
         [](const auto& v, Options& o) {
             const auto status = static_cast<std::uint8_t>(number(v, 16));
             o.radioChanges.push_back([status](CommandResponder& r) { r.state().status = status; });
         }},
        {"--adc", parseAdc},
        {"--freq-error",
         [](const auto& v, Options& o) {
             const auto error = static_cast<std::int16_t>(number(v, 10));
             o.radioChanges.push_back(
                 [error](CommandResponder& r) { r.state().frequencyError = error; });
         }},
        {"--stop-after",
         [](const auto& v, Options& o) {
             o.faults.replyLimit = static_cast<int>(number(v, 10));
         }},
        {"--nack",
         [](const auto& v, Options& o) {
             o.faults.nackCodes[static_cast<std::size_t>(number(v, 16) & kav::kKavIICommandMask)] =
                 true;
         }},
        {"--noise",
         [](const auto& v, Options& o) {
             o.faults.noiseBytes = static_cast<int>(number(v, 10));
         }},
        {"--corrupt", parseCorrupt},
        {"--baud",
         [](const auto& v, Options& o) {
             o.faults.lineRate = static_cast<std::uint32_t>(number(v, 10));
         }},
        {"--delay",
         [](const auto& v, Options& o) {
             o.faults.replyDelayMs = static_cast<int>(number(v, 10));
         }},
    };
    return table;
}

const std::map<std::string, FlagOption>& flagOptions() {
    static const std::map<std::string, FlagOption> table = {
        {"--status-bit7",
         [](Options& o) {
             o.radioChanges.push_back(
                 [](CommandResponder& r) { r.state().directionBitOnStatusReplies = true; });
         }},
        {"--writes-need-prog",
         [](Options& o) {
             o.radioChanges.push_back(
                 [](CommandResponder& r) { r.state().writesNeedProgMode = true; });
         }},
        {"--kav1-after-reply",
         [](Options& o) {
             o.faults.kavIAfterReply = VirtualRadio::kavIFrame(0xAA, 0x03, {1, 2, 3, 4});
         }},
    };
    return table;
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (const auto flag = flagOptions().find(arg); flag != flagOptions().end()) {
            flag->second(options);
        } else if (const auto value = valueOptions().find(arg); value != valueOptions().end()) {
            if (i + 1 >= argc) {
                throw std::invalid_argument(arg + " needs a value");
            }
            value->second(argv[++i], options);
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    }
    return options;
}

// Links DIR/COMn to the pty, replacing an older link but never a real file.
std::optional<std::filesystem::path> linkPort(const Options& options, const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path dir =
        options.portsDir.empty() ? kav::portEnvironment().portsDir : options.portsDir;
    if (dir.empty()) {
        std::fprintf(stderr, "kav-radio-sim: no ports folder: give --ports-dir or set HOME\n");
        return std::nullopt;
    }
    const fs::path link = dir / ("COM" + std::to_string(options.com));
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (fs::exists(fs::symlink_status(link)) && !fs::is_symlink(fs::symlink_status(link))) {
        std::fprintf(stderr, "kav-radio-sim: %s exists and is not a link\n", link.c_str());
        return std::nullopt;
    }
    fs::remove(link, ec);
    fs::create_symlink(target, link, ec);
    if (ec) {
        std::fprintf(stderr, "kav-radio-sim: cannot link %s: %s\n", link.c_str(),
                     ec.message().c_str());
        return std::nullopt;
    }
    return link;
}

void unlinkPort(const std::filesystem::path& link, const std::string& target) {
    std::error_code ec;
    if (std::filesystem::read_symlink(link, ec) == target) {
        std::filesystem::remove(link, ec);
    }
}

int runRadio(const Options& options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    // Blocked before the radio thread starts, so only sigwait below ever takes them.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    VirtualRadio radio(options.productId);
    bool loaded = true;
    radio.update([&](CommandResponder& r) {
        if (!options.eepromFile.empty()) {
            loaded = r.eeprom().loadFromFile(options.eepromFile) >= 0;
        } else if (options.productId == 0x2200) {
            r.eeprom() = kav::demoImage(); // something worth reading
        }
        for (const auto& change : options.radioChanges) {
            change(r);
        }
    });
    if (!loaded) {
        std::fprintf(stderr, "kav-radio-sim: cannot read %s\n", options.eepromFile.c_str());
        return 1;
    }
    radio.setFaults(options.faults);
    if (!radio.start()) {
        std::fprintf(stderr, "kav-radio-sim: cannot open a pty: %s\n",
                     std::generic_category().message(errno).c_str());
        return 1;
    }
    std::optional<std::filesystem::path> link;
    if (options.com > 0) {
        link = linkPort(options, radio.slavePath());
        if (!link) {
            return 1;
        }
    }
    std::printf("%s\n", radio.slavePath().c_str());
    if (link) {
        std::printf("COM%d -> %s\n", options.com, link->c_str());
    }
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    radio.stop();
    if (link) {
        unlinkPort(*link, radio.slavePath());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "kav-radio-sim: %s\n%s", e.what(), kUsage);
        return 2;
    }
    return runRadio(options);
}

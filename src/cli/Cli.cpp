#include "cli/Cli.h"

#include "cli/ImageDiff.h"
#include "link/Com_port.h"
#include "link/PortList.h"
#include "workflow/AppContext.h"
#include "workflow/Autodetect.h"
#include "workflow/FirmwareFacts.h"
#include "workflow/MemFile.h"
#include "workflow/PortDoctor.h"
#include "workflow/PortOpening.h"
#include "workflow/RadioWorkflow.h"
#include "workflow/ReadHistory.h"
#include "workflow/ReportText.h"
#include "workflow/Version.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace kav {

namespace {

struct Arguments {
    std::string port;
    std::string output;
    bool yes = false;
    bool calibration = false;
    bool rxChannels = false;
    bool selcall = false;
    bool keepCalibration = false;
    bool withCalibration = false;
    bool verify = false;
    bool help = false;
    std::vector<std::string> files;
};

enum OptionBit : unsigned {
    kOptPort = 1u << 0,
    kOptOutput = 1u << 1,
    kOptYes = 1u << 2,
    kOptCalibration = 1u << 3,
    kOptRxChannels = 1u << 4,
    kOptSelcall = 1u << 5,
    kOptKeepCalibration = 1u << 6,
    kOptWithCalibration = 1u << 7,
    kOptVerify = 1u << 8,
};

// An option sets either a text (it takes a value) or a flag of Arguments.
struct OptionSpec {
    std::string_view name;
    std::string_view alias;
    unsigned bit;
    std::string Arguments::*text;
    bool Arguments::*flag;
};

constexpr std::array<OptionSpec, 9> kOptions{{
    {"--port", "-p", kOptPort, &Arguments::port, nullptr},
    {"--output", "-o", kOptOutput, &Arguments::output, nullptr},
    {"--yes", "-y", kOptYes, nullptr, &Arguments::yes},
    {"--calibration", "", kOptCalibration, nullptr, &Arguments::calibration},
    {"--rx-channels", "", kOptRxChannels, nullptr, &Arguments::rxChannels},
    {"--selcall", "", kOptSelcall, nullptr, &Arguments::selcall},
    {"--keep-calibration", "", kOptKeepCalibration, nullptr, &Arguments::keepCalibration},
    {"--with-calibration", "", kOptWithCalibration, nullptr, &Arguments::withCalibration},
    {"--verify", "", kOptVerify, nullptr, &Arguments::verify},
}};

using Handler = int (*)(const Arguments&, const CliIo&);

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view help;
    unsigned options;  // accepted options
    unsigned required; // options that must be given
    int files;         // positional file arguments
    Handler run;
};

int runPorts(const Arguments&, const CliIo& io);
int runDoctor(const Arguments& args, const CliIo& io);
int runDetect(const Arguments&, const CliIo& io);
int runInfo(const Arguments& args, const CliIo& io);
int runRead(const Arguments& args, const CliIo& io);
int runWrite(const Arguments& args, const CliIo& io);
int runReport(const Arguments& args, const CliIo& io);
int runDiff(const Arguments& args, const CliIo& io);

constexpr std::array<Command, 8> kCommands{{
    {"ports", "ports",
     "Lists the COM numbers that exist, each with its device and, for USB adapters, the\n"
     "product name.",
     0, 0, 0, runPorts},
    {"doctor", "doctor [--port P]",
     "Checks the serial ports: lists each with its driver, USB product name and\n"
     "/dev/serial/by-id links, checks that you can open it (owner, group, mode, your groups,\n"
     "another program holding it) and says what to do about a problem, with the command to\n"
     "type. Warns about services that take USB serial adapters (ModemManager, brltty).\n"
     "--port checks that port only. Exit 0 when every port checked is usable, 1 when a\n"
     "problem was found.",
     kOptPort, 0, 0, runDoctor},
    {"detect", "detect",
     "Probes every COM port in turn for a radio of this build's family and prints the port\n"
     "and the radio found. Exit 1 when none answers.",
     0, 0, 0, runDetect},
    {"info", "info --port P",
     "Prints the radio type, product ID, PCB revision and firmware version of the radio.", kOptPort,
     kOptPort, 0, runInfo},
    {"read", "read --port P -o FILE",
     "Reads the whole radio into FILE (.mem). FILE is written only when the read completed;\n"
     "a failed or interrupted read leaves an existing FILE as it was.",
     kOptPort | kOptOutput, kOptPort | kOptOutput, 0, runRead},
    {"write", "write --port P [--yes] [--keep-calibration|--with-calibration] [--verify] FILE",
     "Writes FILE into the radio after the model checks. Asks for confirmation on a terminal;\n"
     "without a terminal it refuses unless --yes is given.\n"
     "\n"
     "Before writing, the radio's calibration (addresses 0-31, its own alignment) is compared\n"
     "with the file's. When they differ the write is refused unless one of these is given:\n"
     "  --keep-calibration  the radio keeps its own calibration; the rest comes from FILE\n"
     "  --with-calibration  FILE's calibration is written too (restoring this radio's own)\n"
     "  --verify            reads the radio back afterwards; exit 1 naming the first\n"
     "                      differences when it does not hold what was written",
     kOptPort | kOptYes | kOptKeepCalibration | kOptWithCalibration | kOptVerify, kOptPort, 1,
     runWrite},
    {"report", "report FILE [--calibration] [--rx-channels] [--selcall]",
     "Prints the configuration report of FILE.", kOptCalibration | kOptRxChannels | kOptSelcall, 0,
     1, runReport},
    {"diff", "diff A B",
     "Lists every byte that differs between two .mem files under its variable's name.\n"
     "Exit 0 when they are identical, 1 when they differ, 2 when a file cannot be read.",
     0, 0, 2, runDiff},
}};

constexpr std::string_view kProgramHelp =
    "usage: kavprog-cli COMMAND [options]\n"
    "       kavprog-cli COMMAND --help\n"
    "       kavprog-cli --version\n"
    "\n"
    "Reads, writes, compares and reports radio configurations of the ";

constexpr std::string_view kCommonHelp =
    "\n"
    "  --port P   COMn (through the port map) or a device path starting with /\n"
    "\n"
    "Exit status: 0 success, 1 radio or file failure, 2 usage error, 3 refused by a check\n"
    "(wrong model, file for another model, confirmation declined or not possible).\n";

const Command* findCommand(std::string_view name) {
    for (const Command& c : kCommands) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& o : kOptions) {
        if (o.name == name || (!o.alias.empty() && o.alias == name)) {
            return &o;
        }
    }
    return nullptr;
}

void printProgramHelp(std::FILE* to) {
    std::fprintf(to, "%.*s%s family.\n\ncommands:\n", static_cast<int>(kProgramHelp.size()),
                 kProgramHelp.data(), VersionInfo::familyText);
    for (const Command& c : kCommands) {
        std::fprintf(to, "  %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
    }
    std::fprintf(to, "%.*s", static_cast<int>(kCommonHelp.size()), kCommonHelp.data());
}

void printCommandHelp(const Command& c, std::FILE* to) {
    std::fprintf(to, "usage: kavprog-cli %.*s\n\n%.*s\n", static_cast<int>(c.usage.size()),
                 c.usage.data(), static_cast<int>(c.help.size()), c.help.data());
}

int usageError(const CliIo& io, const std::string& problem, const Command* c) {
    std::fprintf(io.terminal.err, "kavprog-cli: %s\n", problem.c_str());
    if (c != nullptr) {
        std::fprintf(io.terminal.err, "usage: kavprog-cli %.*s\n",
                     static_cast<int>(c->usage.size()), c->usage.data());
    } else {
        std::fprintf(io.terminal.err, "Try kavprog-cli --help.\n");
    }
    return kExitUsage;
}

// What a command needs besides known options: its required options, its files and a port
// name it can resolve.
std::optional<std::string> checkArguments(const Command& c, const Arguments& args, unsigned given) {
    for (const OptionSpec& o : kOptions) {
        if ((c.required & o.bit) != 0 && (given & o.bit) == 0) {
            return "missing option " + std::string(o.name);
        }
    }
    if (static_cast<int>(args.files.size()) != c.files) {
        return c.files == 0 ? "unexpected argument " + args.files.front() : "wrong number of files";
    }
    if (args.keepCalibration && args.withCalibration) {
        return "--keep-calibration and --with-calibration exclude each other";
    }
    if ((given & kOptPort) != 0 && comNumberOf(args.port) == 0 &&
        (args.port.empty() || args.port[0] != '/')) {
        return "--port wants COMn or a path starting with /, not " + args.port;
    }
    return std::nullopt;
}

// The arguments after the command name; a problem text when they are wrong.
std::optional<std::string> parseArguments(const Command& c, const std::vector<std::string>& words,
                                          Arguments& args) {
    unsigned given = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            args.help = true;
            return std::nullopt;
        }
        if (word.size() < 2 || word[0] != '-') {
            args.files.push_back(word);
            continue;
        }
        const OptionSpec* o = findOption(word);
        if (o == nullptr || (c.options & o->bit) == 0) {
            return "unknown option " + word;
        }
        if (o->text != nullptr) {
            if (i + 1 >= words.size()) {
                return word + " needs a value";
            }
            args.*(o->text) = words[++i];
        } else {
            args.*(o->flag) = true;
        }
        given |= o->bit;
    }
    return checkArguments(c, args, given);
}

// ---- shared steps ---------------------------------------------------------------------

// A context in the state of a freshly started program with nothing loaded.
std::unique_ptr<AppContext> freshContext() {
    auto ctx = std::make_unique<AppContext>(BuildConfig::delivered(), 0, portEnvironment());
    ctx->models().setModelByProductId(ctx->config().buildProductId);
    ctx->setHistoryFolder(historyFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    return ctx;
}

bool openPort(AppContext& ctx, TerminalUi& ui, const std::string& port, const CliIo& io) {
    if (const int n = comNumberOf(port); n > 0) {
        ctx.setComPort(n);
        return openComPort(ctx, ui); // says why itself
    }
    const bool opened =
        ctx.port().Open(port, static_cast<std::uint32_t>(ctx.currentBaudRate())) == 1;
    if (!opened) {
        ui.warn("Unable to open " + port + ".", "Error");
        if (ctx.port().lastOpenErrno() != 0) {
            std::fprintf(io.terminal.err, "Error: %s.\n",
                         openFailureReason(port, ctx.port().lastOpenErrno()).c_str());
        }
    }
    return opened;
}

// The exit status of a workflow that stopped, or ran (Done: kExitOk).
int exitStatusOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return kExitOk;
    case Outcome::Refused:
        return kExitRefused;
    case Outcome::Failed:
    case Outcome::Busy:
        break;
    }
    return kExitFailed;
}

// After a started transfer: the worker's end steps run here, as the UI thread would run them.
// A transfer whose closing reset failed did not end well either: the radio may still be in
// programming mode.
int finishTransfer(AppContext& ctx, TerminalUi& ui) {
    ctx.waitForTransfer();
    ui.runHandedSteps();
    const bool done = ui.transferResult() == kTransferDone && !ctx.radioLeftInProgMode();
    return done ? kExitOk : kExitFailed;
}

// Why `path` could not take the image, before anything is read; nullopt when it can.
std::optional<std::string> outputProblem(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) {
            return path + " is a folder";
        }
        return ::access(path.c_str(), W_OK) == 0
                   ? std::nullopt
                   : std::optional<std::string>(path + " is not writable");
    }
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    if (!fs::is_directory(folder, ec)) {
        return "the folder " + folder.string() + " does not exist";
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return "the folder " + folder.string() + " is not writable";
    }
    return std::nullopt;
}

// Why a file could not be loaded, in words that say what to do about it.
std::string inputProblem(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return path + " does not exist";
    }
    if (fs::is_directory(status)) {
        return path + " is a folder";
    }
    if (!fs::is_regular_file(status)) {
        return path + " is not a regular file (a pipe or a device)";
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return "permission denied on " + path;
    }
    return path + " cannot be read";
}

// Loads the FILE argument as "Read file" does; a failure also says why.
Outcome loadFileArgument(AppContext& ctx, TerminalUi& ui, const std::string& path,
                         const CliIo& io) {
    const Outcome loaded = readFile(ctx, ui, path);
    if (loaded == Outcome::Failed) {
        std::fprintf(io.terminal.err, "Error: %s.\n", inputProblem(path).c_str());
    }
    return loaded;
}

// The radio's own texts, with control characters shown as \xNN so they cannot move the
// cursor or ring the bell on the person's terminal.
std::string printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

// ---- commands -------------------------------------------------------------------------

int runPorts(const Arguments&, const CliIo& io) {
    for (const PortListing& port : listPorts(portEnvironment())) {
        std::fprintf(io.out, "%s\n", portListingLine(port).c_str());
    }
    return kExitOk;
}

int runDoctor(const Arguments& args, const CliIo& io) {
    DoctorSetup setup;
    setup.portsDir = portEnvironment().portsDir;
    setup.user = currentDoctorUser();
    setup.tryOpen = tryOpenPort;
    const DoctorReport report = examinePorts(setup, args.port);
    for (const std::string& line : report.lines) {
        std::fprintf(io.out, "%s\n", line.c_str());
    }
    return report.problem ? kExitFailed : kExitOk;
}

int runDetect(const Arguments&, const CliIo& io) {
    auto ctx = freshContext();
    AutoDetectProgress progress;
    progress.checking = [&io](int n) {
        std::fprintf(io.terminal.err, "%s\n", checkingPortLine(n).c_str());
    };
    progress.detected = [&io](const PortDetection& found) {
        if (found.busy) {
            std::fprintf(io.terminal.err, "COM%d is in use by another program\n", found.port);
        }
    };
    const AutoDetectResult result = autoDetect(ctx->port(), ctx->radio(), ctx->models(),
                                               ctx->config(), ctx->ports(), nullptr, progress);
    std::FILE* to = result.detectedPort > 0 ? io.out : io.terminal.err;
    if (result.detectedPort > 0) {
        std::fprintf(to, "COM%d\n", result.detectedPort);
    }
    for (const std::string& line : result.lines) {
        std::fprintf(to, "%s\n", line.c_str());
    }
    return result.detectedPort > 0 ? kExitOk : kExitFailed;
}

int runInfo(const Arguments& args, const CliIo& io) {
    TerminalUi ui(io.terminal);
    auto ctx = freshContext();
    if (!openPort(*ctx, ui, args.port, io)) {
        return kExitFailed;
    }
    const FirmwareFacts facts = readFirmwareFacts(ctx->radio(), ctx->models(), ctx->config());
    if (facts.typeReadFailed) {
        ui.warn(kFirmwareReadErrorText, kFirmwareReadErrorCaption);
        return kExitFailed;
    }
    std::fprintf(io.out, "Radio Type: %s\nProduct ID: %s\nPCB Rev.: %s\nFirmware: %s\n",
                 printable(facts.radioType).c_str(), facts.productId.c_str(),
                 facts.pcbRevision.c_str(), printable(facts.firmware).c_str());
    // A blank field is a question the radio did not answer, not a fact.
    if (!facts.complete()) {
        ui.warn(kFirmwareReadErrorText, kFirmwareReadErrorCaption);
        return kExitFailed;
    }
    return kExitOk;
}

int runRead(const Arguments& args, const CliIo& io) {
    TerminalUi ui(io.terminal);
    // Said before a minute of reading, not after it.
    if (const auto problem = outputProblem(args.output)) {
        ui.warn("Unable to save file " + args.output, "File Save Error");
        std::fprintf(io.terminal.err, "Error: %s.\n", problem->c_str());
        return kExitFailed;
    }
    // A fresh process holds no edits that the read could lose.
    ui.answerAlways("Read From Radio?", true);
    auto ctx = freshContext();
    if (!openPort(*ctx, ui, args.port, io)) {
        return kExitFailed;
    }
    if (const Outcome read = readRadio(*ctx, ui); read != Outcome::Done) {
        return exitStatusOf(read);
    }
    if (const int status = finishTransfer(*ctx, ui); status != kExitOk) {
        return status; // the output file is left as it was
    }
    if (ctx->image().saveToFile(args.output) < 0) {
        ui.warn("Unable to save file " + args.output, "File Save Error");
        return kExitFailed;
    }
    return kExitOk;
}

AddressMap buildAddressMap(const BuildConfig& config) {
    const RADIO_INFO_STRUCT* row = findModelRow(config.buildProductId);
    return row != nullptr ? row->addressMap : AddressMap::NoModel;
}

// A file made from another radio (the fleet's master) carries that radio's alignment: it is
// written over this radio's own only when asked for.
Outcome settleCalibration(AppContext& ctx, TerminalUi& ui, const Arguments& args, const CliIo& io) {
    if (args.withCalibration) {
        return Outcome::Done;
    }
    const CalibrationComparison c = compareCalibration(ctx.radio(), ctx.image());
    if (!c.read) {
        ui.warn("Error reading radio calibration.", "Comms Error");
        return Outcome::Failed;
    }
    if (!c.differs) {
        return Outcome::Done;
    }
    if (args.keepCalibration) {
        ctx.image().writeBlock(0, c.radio.data(), kCalibrationAreaBytes);
        std::fprintf(io.terminal.err, "Keeping the radio's own calibration (addresses 0-31).\n");
        return Outcome::Done;
    }
    ui.warn("The radio's calibration (addresses 0-31) differs from the file's.",
            "Checking calibration");
    std::fprintf(io.terminal.err,
                 "Refused: writing would replace this radio's own alignment. Give "
                 "--keep-calibration to keep it, or --with-calibration to write the file's.\n");
    return Outcome::Refused;
}

// Reads the radio back and compares it with what was written.
int verifyWrite(AppContext& ctx, TerminalUi& ui, const CliIo& io) {
    constexpr std::size_t kLinesShown = 10;
    const EEPROM written = ctx.image();
    ui.answerAlways("Read From Radio?", true);
    if (const Outcome read = readRadio(ctx, ui); read != Outcome::Done) {
        return kExitFailed;
    }
    if (finishTransfer(ctx, ui) != kExitOk) {
        std::fprintf(io.terminal.err, "Verify failed: the radio could not be read back.\n");
        return kExitFailed;
    }
    const auto lines =
        formatDifferences(diffImages(written, ctx.image(), buildAddressMap(ctx.config())));
    if (lines.empty()) {
        std::fprintf(io.terminal.err, "Verified: the radio holds what was written.\n");
        return kExitOk;
    }
    std::fprintf(io.terminal.err, "Verify failed: the radio differs from what was written:\n");
    for (std::size_t i = 0; i < std::min(lines.size(), kLinesShown); ++i) {
        std::fprintf(io.terminal.err, "  %s\n", lines[i].c_str());
    }
    if (lines.size() > kLinesShown) {
        std::fprintf(io.terminal.err, "  ... and %zu more\n", lines.size() - kLinesShown);
    }
    return kExitFailed;
}

int runWrite(const Arguments& args, const CliIo& io) {
    TerminalUi ui(io.terminal);
    auto ctx = freshContext();
    if (const Outcome loaded = loadFileArgument(*ctx, ui, args.files.front(), io);
        loaded != Outcome::Done) {
        return exitStatusOf(loaded);
    }
    // The write always asks (no radio was read in this process); without a terminal to ask
    // on, refuse before anything reaches the radio.
    if (!io.terminal.inIsTerminal && !io.terminal.assumeYes) {
        ui.ask("Radio has not been read in this session. Continue?", "Warning",
               WorkflowUi::Icon::Warning);
        return kExitRefused;
    }
    if (!openPort(*ctx, ui, args.port, io)) {
        return kExitFailed;
    }
    const auto calibration = [&] {
        return settleCalibration(*ctx, ui, args, io);
    };
    if (const Outcome written = writeRadio(*ctx, ui, calibration); written != Outcome::Done) {
        return exitStatusOf(written);
    }
    if (const int status = finishTransfer(*ctx, ui); status != kExitOk || !args.verify) {
        return status;
    }
    return verifyWrite(*ctx, ui, io);
}

int runReport(const Arguments& args, const CliIo& io) {
    TerminalUi ui(io.terminal);
    auto ctx = freshContext();
    if (const Outcome loaded = loadFileArgument(*ctx, ui, args.files.front(), io);
        loaded != Outcome::Done) {
        return exitStatusOf(loaded);
    }
    const ReportOptions options{args.calibration, args.rxChannels, args.selcall};
    const std::string text = buildReport(reportInput(*ctx), options, reportDateToday());
    std::fputs(text.c_str(), io.out);
    return kExitOk;
}

int runDiff(const Arguments& args, const CliIo& io) {
    TerminalUi ui(io.terminal);
    EEPROM a;
    EEPROM b;
    std::array<int, 2> sizes{};
    for (std::size_t i = 0; i < 2; ++i) {
        EEPROM& image = i == 0 ? a : b;
        const std::string& path = args.files[i];
        std::error_code error;
        const auto bytes = std::filesystem::file_size(path, error);
        if (image.loadFromFile(path) < 0 || error) {
            ui.warn("Unable to open file " + path, "File Open Error");
            return kExitUsage; // "differ" (1) must not stand for "could not compare"
        }
        sizes[i] = static_cast<int>(std::min<std::uintmax_t>(bytes, INT_MAX));
    }
    // A 10 MB file and a 2 KB one may share their first 2048 bytes, yet they differ.
    if (sizes[0] != sizes[1]) {
        std::fprintf(io.out, "Files differ in size: %s has %d bytes, %s has %d bytes\n",
                     args.files[0].c_str(), sizes[0], args.files[1].c_str(), sizes[1]);
        return kExitFailed;
    }
    const auto groups = diffImages(a, b, buildAddressMap(BuildConfig::delivered()));
    for (const std::string& line : formatDifferences(groups)) {
        std::fprintf(io.out, "%s\n", line.c_str());
    }
    return groups.empty() ? kExitOk : kExitFailed;
}

int dispatch(const Command& c, const std::vector<std::string>& words, CliIo io) {
    Arguments args;
    if (const auto problem = parseArguments(c, words, args)) {
        return usageError(io, *problem, &c);
    }
    if (args.help) {
        printCommandHelp(c, io.out);
        return kExitOk;
    }
    io.terminal.assumeYes = io.terminal.assumeYes || args.yes;
    return c.run(args, io);
}

} // namespace

int runCli(const std::vector<std::string>& arguments, const CliIo& io) {
    if (arguments.empty()) {
        printProgramHelp(io.terminal.err);
        return kExitUsage;
    }
    const std::string& first = arguments.front();
    if (first == "--version") {
        std::fprintf(io.out, "%s\n", versionLine("kavprog-cli", BuildConfig::delivered()).c_str());
        return kExitOk;
    }
    if (first == "--help" || first == "-h" || first == "help") {
        const Command* c = arguments.size() > 1 ? findCommand(arguments[1]) : nullptr;
        c != nullptr ? printCommandHelp(*c, io.out) : printProgramHelp(io.out);
        return kExitOk;
    }
    const Command* c = findCommand(first);
    if (c == nullptr) {
        return usageError(io, "unknown command " + first, nullptr);
    }
    return dispatch(*c, {arguments.begin() + 1, arguments.end()}, io);
}

} // namespace kav

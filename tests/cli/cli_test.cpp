#include "link/SerialPort.h"
#include "model/Eeprom.h"
#include "sim/PtyPair.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"
#include "workflow/AppContext.h"
#include "workflow/MemFile.h"
#include "workflow/ReportText.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kav {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kReadProductIdCode = 0x02; // ReadWord of the product ID

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Reads both pipes to their end together, so neither can fill up and stall the child.
void drainPipes(int outFd, int errFd, CliRun& run) {
    std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&run.out, &run.err};
    int open = 2;
    while (open > 0 && ::poll(fds.data(), fds.size(), -1) > 0) {
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
}

// One run of kavprog-cli. Standard input is `stdinFd` (/dev/null when -1); standard error
// goes to a pipe or, with errOnTerminal, to a pseudo-terminal.
class CliChild {
public:
    // `env` entries ("NAME=value") are added to the child's environment only.
    explicit CliChild(const std::vector<std::string>& args, int stdinFd = -1,
                      bool errOnTerminal = false, const std::vector<std::string>& env = {}) {
        int outPipe[2];
        int errEnds[2] = {-1, -1}; // read end, child's end
        EXPECT_EQ(::pipe2(outPipe, O_CLOEXEC), 0);
        if (errOnTerminal) {
            errTerminal_ = std::make_unique<PtyPair>();
            EXPECT_TRUE(errTerminal_->isOpen());
            errEnds[0] = errTerminal_->master();
            errEnds[1] = errTerminal_->slave();
        } else {
            EXPECT_EQ(::pipe2(errEnds, O_CLOEXEC), 0);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (stdinFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errEnds[1], STDERR_FILENO);
        std::vector<std::string> words{KAV_CLI_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) {
            argv.push_back(w.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> variables(env);
        for (char** e = environ; *e != nullptr; ++e) {
            variables.emplace_back(*e);
        }
        std::vector<char*> envp;
        for (std::string& v : variables) {
            envp.push_back(v.data());
        }
        envp.push_back(nullptr);
        const int spawned =
            ::posix_spawn(&pid_, KAV_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        if (spawned != 0) {
            pid_ = -1;
        }
        ::close(outPipe[1]);
        // The master reports the end once the child's copy is the only one left and closes.
        if (errTerminal_) {
            errTerminal_->closeSlave();
        } else {
            ::close(errEnds[1]);
        }
        outFd_ = outPipe[0];
        errFd_ = errEnds[0];
    }
    ~CliChild() {
        if (pid_ > 0) {
            finish();
        }
    }
    CliChild(const CliChild&) = delete;
    CliChild& operator=(const CliChild&) = delete;

    pid_t pid() const { return pid_; }

    // Collects the output until the child has exited.
    CliRun finish() {
        CliRun run;
        if (pid_ > 0) {
            drainPipes(outFd_, errFd_, run);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
        }
        ::close(outFd_);
        if (!errTerminal_) {
            ::close(errFd_);
        }
        errTerminal_.reset();
        return run;
    }

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::unique_ptr<PtyPair> errTerminal_;
};

CliRun runCli(const std::vector<std::string>& args, int stdinFd = -1) {
    return CliChild(args, stdinFd).finish();
}

Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A pseudo-terminal for the child's standard input, with `typed` already waiting on it.
class TypedTerminal {
public:
    explicit TypedTerminal(const std::string& typed) {
        typedOk_ = pty_.isOpen() && pty_.write(Bytes(typed.begin(), typed.end()));
    }

    bool ready() const { return typedOk_; }
    int fd() const { return pty_.slave(); }

private:
    PtyPair pty_;
    bool typedOk_ = false;
};

class CliTest : public ::testing::Test {
public:
    void SetUp() override {
        fs::create_directory(dir / "ports");
        setRadioImage(test::patternImage(0x2200, 3));
        ASSERT_TRUE(sim.start());
    }
    void TearDown() override { sim.stop(); }

    // The child finds COM ports, and keeps its reads, in this test's own folder.
    std::vector<std::string> environment() const {
        return {"KAV_PORTS_DIR=" + (dir / "ports").string(),
                "XDG_DATA_HOME=" + (dir / "data").string()};
    }
    CliRun runCli(const std::vector<std::string>& args, int stdinFd = -1) const {
        return CliChild(args, stdinFd, false, environment()).finish();
    }

    void setRadioImage(const Bytes& bytes) {
        sim.update([&](CommandResponder& r) { r.eeprom().writeBlock(0, bytes.data(), 2048); });
    }
    Bytes radioBytes() const {
        const CommandResponder r = sim.snapshot();
        return Bytes(r.eeprom().bytes(), r.eeprom().bytes() + r.eeprom().size());
    }
    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = sim.faults();
        change(faults);
        sim.setFaults(faults);
    }
    std::vector<std::uint8_t> requestCodes() const {
        std::vector<std::uint8_t> codes;
        for (const Bytes& r : sim.requests()) {
            codes.push_back(r.empty() ? 0 : static_cast<std::uint8_t>(r[0] & 0x3F));
        }
        return codes;
    }
    std::string port() const { return sim.slavePath(); }
    std::string path(const char* name) const { return (dir / name).string(); }

    test::TempDir scratch{"kav-cli"};
    fs::path dir = scratch.path();
    VirtualRadio sim;
};

TEST_F(CliTest, ReadGivesTheRadiosOwnEepromAndDiffFindsItIdentical) {
    const CliRun read = runCli({"read", "--port", port(), "-o", path("read.mem")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(fileBytes(path("read.mem")), radioBytes());
    // Standard error is no terminal here: a plain line per 10 %.
    EXPECT_TRUE(contains(read.err, "Reading from Radio: 10%\n")) << read.err;
    EXPECT_TRUE(contains(read.err, "Reading from Radio: 100%\n")) << read.err;

    writeBytes(path("radio.mem"), radioBytes());
    const CliRun diff = runCli({"diff", path("read.mem"), path("radio.mem")});
    EXPECT_EQ(diff.status, 0);
    EXPECT_EQ(diff.out, "");

    // The read is also kept in the history.
    const fs::path history = dir / "data" / "Kav" / "history";
    ASSERT_TRUE(fs::is_directory(history));
    const auto kept = fs::directory_iterator(history)->path();
    EXPECT_EQ(fileBytes(kept.string()), radioBytes());
}

TEST_F(CliTest, WriteOfAnEditedImageThenReadGivesThatImage) {
    Bytes edited = test::patternImage(0x2200, 11);
    edited[32] = 0x07; // "Sql Level"
    writeBytes(path("edited.mem"), edited);

    const CliRun write =
        runCli({"write", "--port", port(), "--yes", "--with-calibration", path("edited.mem")});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(radioBytes(), edited);
    EXPECT_TRUE(contains(write.err, "Writing to Radio: 100%")) << write.err;

    const CliRun read = runCli({"read", "--port", port(), "-o", path("back.mem")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(fileBytes(path("back.mem")), edited);
}

TEST_F(CliTest, WriteThroughTheComMapAfterConfirmationOnATerminal) {
    fs::create_symlink(port(), dir / "ports" / "COM5");
    writeBytes(path("image.mem"), test::patternImage(0x2200, 5));
    TypedTerminal terminal("y\n");
    ASSERT_TRUE(terminal.ready());

    const CliRun write =
        runCli({"write", "--port", "COM5", "--with-calibration", path("image.mem")}, terminal.fd());

    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_TRUE(contains(write.err, "Warning: Radio has not been read in this session. Continue? "
                                    "[y/N]"))
        << write.err;
    EXPECT_EQ(radioBytes(), test::patternImage(0x2200, 5));
}

// A write that a check stops: exit 3, and nothing but the product-ID reads reaches the radio.
struct WriteRefusal {
    const char* name;
    Bytes image;
    const char* answer; // typed on a terminal; nullptr: standard input is no terminal
    const char* message;
};

void PrintTo(const WriteRefusal& c, std::ostream* os) {
    *os << c.name;
}

class WriteRefusals : public CliTest, public ::testing::WithParamInterface<WriteRefusal> {};

TEST_P(WriteRefusals, ExitThreeAndSendNothingAfterTheChecks) {
    const WriteRefusal& c = GetParam();
    writeBytes(path("image.mem"), c.image);
    CliRun write;
    if (c.answer != nullptr) {
        TypedTerminal terminal(c.answer);
        ASSERT_TRUE(terminal.ready());
        write = runCli({"write", "--port", port(), path("image.mem")}, terminal.fd());
    } else {
        write = runCli({"write", "--port", port(), path("image.mem")});
    }

    EXPECT_EQ(write.status, 3) << write.err;
    EXPECT_TRUE(contains(write.err, c.message)) << write.err;
    for (std::uint8_t code : requestCodes()) {
        EXPECT_EQ(code, kReadProductIdCode);
    }
    EXPECT_EQ(radioBytes(), test::patternImage(0x2200, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRefusals,
    ::testing::Values(WriteRefusal{"ErasedImage", Bytes(2048, 0xFF), "y\n",
                                   "Reading Mem-file: Incorrect radio type (FFFF)"},
                      WriteRefusal{"Qm3100File", test::patternImage(0x3100, 1), "y\n",
                                   "Reading Mem-file: Incorrect radio type (3100)"},
                      WriteRefusal{
                          "Declined", test::patternImage(0x2200, 1), "n\n",
                          "Warning: Radio has not been read in this session. Continue? [y/N]"},
                      WriteRefusal{"EmptyAnswer", test::patternImage(0x2200, 1), "\n", "[y/N]"},
                      WriteRefusal{"NoTerminalNoYes", test::patternImage(0x2200, 1), nullptr,
                                   "Refused: standard input is not a terminal"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CliTest, ARadioFallingSilentFailsTheReadAndLeavesTheOutputAlone) {
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 4 + 40; }); // 40 blocks, then silence
    writeBytes(path("old.mem"), {1, 2, 3});

    const CliRun overExisting = runCli({"read", "--port", port(), "-o", path("old.mem")});
    EXPECT_EQ(overExisting.status, 1);
    EXPECT_TRUE(contains(overExisting.err, "Reading from Radio: Timeout reading from radio"))
        << overExisting.err;
    EXPECT_EQ(fileBytes(path("old.mem")), (Bytes{1, 2, 3}));

    const CliRun fresh = runCli({"read", "--port", port(), "-o", path("new.mem")});
    EXPECT_EQ(fresh.status, 1);
    EXPECT_FALSE(fs::exists(path("new.mem")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "no temporary file left behind";
}

TEST_F(CliTest, InterruptingAReadCancelsItResetsTheRadioAndKeepsTheOutput) {
    setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 5; });
    writeBytes(path("old.mem"), {1, 2, 3});

    CliChild read({"read", "--port", port(), "-o", path("old.mem")}, -1, false, environment());
    ASSERT_TRUE(sim.waitForRequests(20, 5000));
    ::kill(read.pid(), SIGINT);
    const CliRun run = read.finish();

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "Reading from Radio: Reading from radio cancelled")) << run.err;
    EXPECT_EQ(fileBytes(path("old.mem")), (Bytes{1, 2, 3}));
    const auto codes = requestCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), 0x3F) << "the radio is taken out of programming mode";
    EXPECT_LT(std::count(codes.begin(), codes.end(), 0x03), 128);
}

// Ctrl-C pressed again while the radio is being reset: the reset is never abandoned.
TEST_F(CliTest, ASecondInterruptDuringTheEndStepsStillEndsWithTheReset) {
    setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 150; });
    CliChild read({"read", "--port", port(), "-o", path("x.mem")}, -1, false, environment());
    ASSERT_TRUE(sim.waitForRequests(8, 10000));
    ::kill(read.pid(), SIGINT); // ends the block under way at once; the reset takes 150 ms
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ::kill(read.pid(), SIGINT);
    const CliRun run = read.finish();

    EXPECT_EQ(run.status, 1) << "ended by itself, not by the signal: " << run.err;
    EXPECT_TRUE(contains(run.err, "Reading from radio cancelled")) << run.err;
    const auto codes = requestCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), 0x3F);
    EXPECT_FALSE(fs::exists(path("x.mem")));
}

// A failed transfer keeps its fixed message and says why beside it.
TEST_F(CliTest, AFailedReadSaysWhy) {
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[0x03] = true; });
    const CliRun read = runCli({"read", "--port", port(), "-o", path("read.mem")});
    EXPECT_EQ(read.status, 1);
    EXPECT_TRUE(contains(read.err, "Reading from Radio: Timeout reading from radio")) << read.err;
    EXPECT_TRUE(contains(read.err, "Cause: block at 0: the radio refused the command")) << read.err;
}

// The closing reset unanswered: the radio may still be in programming mode, so no success.
TEST_F(CliTest, ReadWhoseResetGoesUnansweredFails) {
    setFaults([](VirtualRadioFaults& f) { f.nackCodes[0x3F] = true; });
    const CliRun read = runCli({"read", "--port", port(), "-o", path("read.mem")});
    EXPECT_EQ(read.status, 1) << read.err;
    EXPECT_TRUE(contains(read.err, "Comms Error: Radio Response Timeout. (t)")) << read.err;
}

TEST_F(CliTest, ProgressIsABarWhenStandardErrorIsATerminal) {
    const CliRun read =
        CliChild({"read", "--port", port(), "-o", path("read.mem")}, -1, true, environment())
            .finish();
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(contains(read.err, "\rReading from Radio [")) << read.err;
    EXPECT_TRUE(contains(read.err, std::string(40, '#') + "] 100%")) << read.err;
    EXPECT_FALSE(contains(read.err, "Reading from Radio: 10%")) << read.err;
}

TEST_F(CliTest, ReadCompletesThroughNoiseAndPanelFramesAndAnswersThePanel) {
    setFaults([](VirtualRadioFaults& f) {
        f.noiseBytes = 12;
        f.kavIAfterReply = VirtualRadio::kavIFrame(0xAA, 0x09, {0, 0, 0, 0});
    });
    const CliRun read = runCli({"read", "--port", port(), "-o", path("read.mem")});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(fileBytes(path("read.mem")), radioBytes());
    EXPECT_TRUE(sim.waitForPanelReplies(1, 1000));
    EXPECT_EQ(sim.panelReplies().front(), (Bytes{0x03, 0x03, 0x01, 0x00, 0xF8, 0x49, 0xCC}));
}

TEST_F(CliTest, ReadOfAnotherModelIsRefused) {
    setRadioImage(test::patternImage(0x3100, 2));
    const CliRun read = runCli({"read", "--port", port(), "-o", path("read.mem")});
    EXPECT_EQ(read.status, 3);
    EXPECT_TRUE(contains(read.err, "Checking Product ID: Incorrect radio type (3100)")) << read.err;
    EXPECT_FALSE(fs::exists(path("read.mem")));
}

TEST_F(CliTest, DiffNamesTheVariablesThatDiffer) {
    Bytes a = test::patternImage(0x2200, 1);
    Bytes b = a;
    a[32] = 0x05;
    b[32] = 0x07;
    b[128 + 5] = static_cast<std::uint8_t>(a[128 + 5] ^ 0x01);
    writeBytes(path("a.mem"), a);
    writeBytes(path("b.mem"), b);

    const CliRun diff = runCli({"diff", path("a.mem"), path("b.mem")});
    EXPECT_EQ(diff.status, 1);
    EXPECT_TRUE(contains(diff.out, "Sql Level [32]: 05 -> 07\n")) << diff.out;
    EXPECT_TRUE(contains(diff.out, "Scan Mem 0 [128..151]:\n  +5 [133]: ")) << diff.out;

    // "Cannot compare" is not "differ": a missing file exits 2.
    const CliRun missing = runCli({"diff", path("a.mem"), path("none.mem")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(contains(missing.err, "File Open Error: Unable to open file ")) << missing.err;

    // The same first 2048 bytes, but one file is longer: they differ, and it says why.
    Bytes longer = a;
    longer.resize(10000, 0x00);
    writeBytes(path("long.mem"), longer);
    const CliRun sized = runCli({"diff", path("a.mem"), path("long.mem")});
    EXPECT_EQ(sized.status, 1);
    EXPECT_TRUE(contains(sized.out, "Files differ in size: ")) << sized.out;
}

// A file that is not 2048 bytes long is written only when the person agrees: without a
// terminal, only with --yes.
TEST_F(CliTest, WriteOfAFileOfAnotherSizeAsksFirst) {
    Bytes image = test::patternImage(0x2200, 6);
    image.resize(1500);
    writeBytes(path("short.mem"), image);
    const Bytes radioBefore = radioBytes();

    const CliRun refused = runCli({"write", "--port", port(), path("short.mem")});
    EXPECT_EQ(refused.status, 3) << refused.err;
    EXPECT_EQ(radioBytes(), radioBefore);

    const CliRun agreed =
        runCli({"write", "--port", port(), "--yes", "--with-calibration", path("short.mem")});
    EXPECT_EQ(agreed.status, 0) << agreed.err;
    EXPECT_TRUE(contains(agreed.err, "holds 1500 bytes, not 2048")) << agreed.err;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), radioBytes().begin()));
}

// A file from the fleet's master carries the master's alignment: written over this radio's
// own only when asked for.
TEST_F(CliTest, WriteGuardsTheRadiosCalibration) {
    const Bytes radio = test::patternImage(0x2200, 3);
    Bytes master = test::patternImage(0x2200, 9);
    struct Case {
        const char* what;
        bool sameCalibration;
        const char* flag; // nullptr: none
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"differs", false, nullptr, 3, "Checking calibration: The radio's calibration"},
        {"keep", false, "--keep-calibration", 0, "Keeping the radio's own calibration"},
        {"with", false, "--with-calibration", 0, ""},
        {"same", true, nullptr, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setRadioImage(radio);
        Bytes file = master;
        if (c.sameCalibration) {
            std::copy_n(radio.begin(), 32, file.begin());
        }
        writeBytes(path("master.mem"), file);
        std::vector<std::string> args{"write", "--port", port(), "--yes"};
        if (c.flag != nullptr) {
            args.emplace_back(c.flag);
        }
        args.push_back(path("master.mem"));
        const CliRun write = runCli(args);
        EXPECT_EQ(write.status, c.status) << write.err;
        EXPECT_TRUE(contains(write.err, c.message)) << write.err;
        Bytes expected = c.status != 0 ? radio : file;
        if (c.flag != nullptr && std::string(c.flag) == "--keep-calibration") {
            std::copy_n(radio.begin(), 32, expected.begin());
        }
        EXPECT_EQ(radioBytes(), expected);
    }
    const CliRun both = runCli({"write", "--port", port(), "--keep-calibration",
                                "--with-calibration", path("master.mem")});
    EXPECT_EQ(both.status, 2);
}

TEST_F(CliTest, VerifyReadsBackAndNamesWhatDiffers) {
    const Bytes file = test::patternImage(0x2200, 5);
    writeBytes(path("image.mem"), file);
    const CliRun good = runCli(
        {"write", "--port", port(), "--yes", "--with-calibration", "--verify", path("image.mem")});
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_TRUE(contains(good.err, "Verified: the radio holds what was written.")) << good.err;

    setRadioImage(test::patternImage(0x2200, 3));
    setFaults([](VirtualRadioFaults& f) { f.stuckAddress = 32; }); // "Sql Level"
    const CliRun bad = runCli(
        {"write", "--port", port(), "--yes", "--with-calibration", "--verify", path("image.mem")});
    EXPECT_EQ(bad.status, 1) << bad.err;
    EXPECT_TRUE(contains(bad.err, "Verify failed: the radio differs from what was written:"))
        << bad.err;
    EXPECT_TRUE(contains(bad.err, "[32]")) << bad.err;
}

TEST_F(CliTest, ReportPrintsTheCoresText) {
    writeBytes(path("a.mem"), test::patternImage(0x2200, 4));
    const CliRun report = runCli({"report", path("a.mem"), "--calibration", "--rx-channels"});
    ASSERT_EQ(report.status, 0) << report.err;

    AppContext ctx(BuildConfig::delivered(), 0);
    ctx.models().setModelByProductId(0x2200);
    ctx.image().loadFromFile(path("a.mem"));
    ctx.setDataSource(DataSource::File);
    ctx.setCurrentFileName(path("a.mem"));
    const std::string expected =
        buildReport(reportInput(ctx), {true, true, false}, reportDateToday());
    EXPECT_EQ(report.out, expected);

    writeBytes(path("qm3100.mem"), test::patternImage(0x3100, 4));
    EXPECT_EQ(runCli({"report", path("qm3100.mem")}).status, 3);
    const CliRun missing = runCli({"report", path("none.mem")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.err, "none.mem does not exist")) << missing.err;
    EXPECT_TRUE(contains(runCli({"report", dir.string()}).err, "is a folder"));
}

TEST_F(CliTest, InfoPrintsTheFourFacts) {
    const CliRun info = runCli({"info", "--port", port()});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(contains(info.out, "Radio Type: QM2200\nProduct ID: 2200\n")) << info.out;
    EXPECT_TRUE(contains(info.out, "Firmware: ")) << info.out;

    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 0; });
    const CliRun silent = runCli({"info", "--port", port()});
    EXPECT_EQ(silent.status, 1);
    EXPECT_TRUE(contains(silent.err, "Read Error: Unable to read from radio")) << silent.err;

    // The type answered, the PCB revision (a word read) not: blank is no answer, exit 1.
    setFaults([](VirtualRadioFaults& f) {
        f.replyLimit = -1;
        f.nackCodes[0x02] = true;
    });
    const CliRun partial = runCli({"info", "--port", port()});
    EXPECT_EQ(partial.status, 1) << partial.out;
    EXPECT_TRUE(contains(partial.out, "Radio Type: QM2200\n")) << partial.out;
    EXPECT_TRUE(contains(partial.err, "Read Error: Unable to read from radio")) << partial.err;
}

// The radio's texts reach the terminal with their control characters made visible.
TEST_F(CliTest, InfoShowsControlCharactersOfTheRadioVisibly) {
    sim.update([](CommandResponder& r) { r.state().radioType = "QM\x1b[2J\a22"; });
    const CliRun info = runCli({"info", "--port", port()});
    EXPECT_TRUE(contains(info.out, "Radio Type: QM\\x1B[2J\\x0722\n")) << info.out;
}

// A read into a folder that does not exist stops before it asks the radio anything.
TEST_F(CliTest, ReadChecksTheOutputFolderFirst) {
    const CliRun read = runCli({"read", "--port", port(), "-o", path("no/such/folder/x.mem")});
    EXPECT_EQ(read.status, 1);
    EXPECT_TRUE(contains(read.err, "does not exist")) << read.err;
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(CliTest, PortsAndDetectGoThroughThePortMap) {
    fs::create_symlink(port(), dir / "ports" / "COM1");
    const CliRun ports = runCli({"ports"});
    EXPECT_EQ(ports.status, 0);
    EXPECT_TRUE(contains(ports.out, "COM1  " + port() + "\n")) << ports.out;

    const CliRun detect = runCli({"detect"});
    EXPECT_EQ(detect.status, 0) << detect.err;
    EXPECT_EQ(detect.out.rfind("COM1\n", 0), 0u) << detect.out;
}

// Ports that do not open: the GUI's line, then why.
// detect on a port another program holds says so instead of "Radio not found" alone.
TEST_F(CliTest, DetectSaysWhenAPortIsBusy) {
    fs::create_symlink(port(), dir / "ports" / "COM4");
    SerialPort holder;
    ASSERT_EQ(holder.Open(port(), 9600), 1);
    const CliRun detect = runCli({"detect"});
    EXPECT_EQ(detect.status, 1);
    EXPECT_TRUE(contains(detect.err, "COM4 is in use by another program")) << detect.err;
}

TEST_F(CliTest, APortThatDoesNotOpenSaysWhy) {
    struct Case {
        std::string port;
        std::string first;
        std::string reason;
    };
    for (const Case& c : {Case{"/dev/kav-no-such-tty",
                               "Error: Unable to open /dev/kav-no-such-tty.", "does not exist"},
                          Case{"COM200", "Error: Unable to open COM200.",
                               "no device is assigned to this COM number"}}) {
        const CliRun read = runCli({"read", "--port", c.port, "-o", path("x.mem")});
        EXPECT_EQ(read.status, 1) << c.port;
        EXPECT_TRUE(contains(read.err, c.first + "\n")) << read.err;
        EXPECT_TRUE(contains(read.err, c.reason)) << read.err;
    }
}

// The doctor's exit status: 0 while the port opens, 1 when another program holds it or it is
// missing, 2 for a --port that names no port.
TEST_F(CliTest, DoctorExitsZeroOnlyForAUsablePort) {
    fs::create_symlink(port(), dir / "ports" / "COM7");
    const CliRun usable = runCli({"doctor", "--port", "COM7"});
    EXPECT_EQ(usable.status, 0) << usable.out;
    EXPECT_TRUE(contains(usable.out, "COM7  " + port() + "\n")) << usable.out;

    SerialPort holder;
    ASSERT_EQ(holder.Open(port(), 9600), 1);
    const CliRun busy = runCli({"doctor", "--port", "COM7"});
    EXPECT_EQ(busy.status, 1);
    EXPECT_TRUE(contains(busy.out, "PROBLEM: busy")) << busy.out;
    holder.Close();

    const CliRun missing = runCli({"doctor", "--port", "/dev/kav-no-such-tty"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.out, "/dev/kav-no-such-tty does not exist")) << missing.out;
    EXPECT_EQ(runCli({"doctor", "--port", "ttyS0"}).status, 2);
}

TEST(CliUsage, WrongCommandLinesExitTwoAndHelpExitsZero) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases{
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"read", "-o", "x.mem"}, 2},                    // no --port
        {{"read", "--port", "ttyS0", "-o", "x.mem"}, 2}, // neither COMn nor a path
        {{"write", "--port", "COM1"}, 2},                // no file
        {{"diff", "a.mem"}, 2},                          // one file
        {{"report", "a.mem", "--port", "COM1"}, 2},      // an option report does not take
        {{"read", "--port"}, 2},                         // option without its value
        {{"--help"}, 0},
        {{"help", "write"}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runCli(c.args).status, c.status) << ::testing::PrintToString(c.args);
    }
    for (const char* command :
         {"ports", "doctor", "detect", "info", "read", "write", "report", "diff"}) {
        const CliRun help = runCli({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("usage: kavprog-cli ") + command, 0), 0u) << help.out;
    }
}

} // namespace
} // namespace kav

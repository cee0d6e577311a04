#include "FakeUi.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"
#include "workflow/AppContext.h"
#include "workflow/MemFile.h"
#include "workflow/RadioWorkflow.h"
#include "workflow/StartUp.h"
#include "workflow/StatusBar.h"
#include "workflow/Transfer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace kav {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Message = FakeUi::Message;

constexpr std::uint8_t kReadByteCode = 0x81;
constexpr std::uint8_t kRead16Code = 0x83;
constexpr std::uint8_t kReadBlockCode = 0x8B;
constexpr std::uint8_t kWriteByteCode = 0xA1;
constexpr std::uint8_t kWrite16Code = 0xA3;
constexpr std::uint8_t kProgModeCode = 0xB9;
constexpr std::uint8_t kBaudCode = 0xBB;
constexpr std::uint8_t kResetCode = 0xBF;
constexpr int kStatusAddress = 30;      // "Status" in the QM2200 map
constexpr int kRepliesBeforeBlocks = 4; // product ID, prog mode, radio type, version

Bytes imageBytes(const EEbuffer& image) {
    return Bytes(image.bytes(), image.bytes() + image.size());
}

// The workflows against a virtual radio on a pty that the ports folder maps to COM1.
class RadioWorkflowTest : public ::testing::Test {
public:
    void SetUp() override {
        setRadioImage(test::patternImage(0x2200, 3));
        ASSERT_TRUE(sim.start());
        fs::create_symlink(sim.slavePath(), dir / "COM1");
    }

    void TearDown() override {
        ctx.reset();
        sim.stop();
    }

    void makeContext(const BuildConfig& config = BuildConfig::delivered()) {
        ctx = std::make_unique<AppContext>(config, 0, PortEnvironment{dir.string()});
        startUp(*ctx, ui);
        ASSERT_TRUE(ctx->port().IsOpen());
        ui.messages.clear();
        sim.clearRecords();
    }

    void setRadioImage(const Bytes& bytes) {
        sim.update([&](CommandResponder& r) { r.eeprom().writeBlock(0, bytes.data(), 2048); });
    }
    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = sim.faults();
        change(faults);
        sim.setFaults(faults);
    }
    Bytes radioBytes() const { return imageBytes(sim.snapshot().eeprom()); }
    // Gives the image the radio's own contents so a write gets past the config check.
    void imageLikeRadio() { ctx->image().writeBlock(0, radioBytes().data(), 2048); }

    // Waits for the worker and runs its end steps as the UI thread would.
    void finish() {
        ctx->waitForTransfer();
        ui.drain();
    }

    std::vector<std::uint8_t> requestCodes() const {
        std::vector<std::uint8_t> codes;
        for (const Bytes& r : sim.requests()) {
            codes.push_back(r.empty() ? 0 : r[0]);
        }
        return codes;
    }
    int countOf(std::uint8_t code) const {
        const auto codes = requestCodes();
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    test::TempDir scratch{"kav-workflow"};
    fs::path dir = scratch.path();
    VirtualRadio sim;
    FakeUi ui; // outlives the context, as the windows outlive the worker
    std::unique_ptr<AppContext> ctx;
};

class RoundTrip : public RadioWorkflowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RoundTrip, FullReadReproducesTheRadioByteForByte) {
    makeContext(BuildConfig::engineering());
    ctx->setArrayReadWriteChecked(GetParam());
    ctx->setMaxBaudRate(38400); // no model raises the rate, so it stays at 9600
    ui.answers = {true};

    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_EQ(imageBytes(ctx->image()), radioBytes());
    EXPECT_EQ(ui.messages, (std::vector<Message>{
                               {"All current edit data will be lost.", "Read From Radio?", true}}));
    EXPECT_EQ(ui.lastCaption, "Reading from Radio");
    const int block = GetParam() ? 128 : 16;
    const auto notices = ui.notices();
    ASSERT_EQ(notices.size(), static_cast<std::size_t>(2048 / block + 1));
    for (std::size_t i = 0; i + 1 < notices.size(); ++i) {
        EXPECT_EQ(notices[i].wParam, kTransferProgress);
        EXPECT_EQ(notices[i].lParam, static_cast<std::intptr_t>((i + 1) * block));
    }
    EXPECT_EQ(ui.result(), kTransferDone);
    EXPECT_EQ(countOf(GetParam() ? kReadBlockCode : kRead16Code), 2048 / block);
    EXPECT_EQ(requestCodes().back(), kResetCode);
    EXPECT_EQ(countOf(kBaudCode), 0);
    EXPECT_EQ(ctx->port().appliedBaudRate(), 9600u);
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio);
    EXPECT_EQ(ctx->radio().readCount(), 1);
    EXPECT_FALSE(ctx->transferRunning());
}

TEST_P(RoundTrip, FullWriteMakesTheRadioEqualTheImage) {
    makeContext(BuildConfig::engineering());
    ctx->setArrayReadWriteChecked(GetParam());
    const Bytes wanted = test::patternImage(0x2200, 11);
    ctx->image().writeBlock(0, wanted.data(), 2048);
    ui.answers = {true}; // "not been read in this session"

    ASSERT_EQ(writeRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_EQ(radioBytes(), wanted);
    EXPECT_EQ(imageBytes(ctx->image()), wanted);
    EXPECT_EQ(ui.lastCaption, "Writing to Radio");
    EXPECT_EQ(ui.result(), kTransferDone);
    // After the blocks: the "Status" byte once more on its own, then the reset.
    const auto requests = sim.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2],
              (Bytes{kWriteByteCode, 0x00, kStatusAddress, wanted[kStatusAddress]}));
    EXPECT_EQ(requests.back(), Bytes{kResetCode});
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio);
    EXPECT_EQ(ctx->radio().readCount(), 0); // a write is not a read
}

INSTANTIATE_TEST_SUITE_P(Blocks, RoundTrip, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "Arrays128" : "Blocks16"; });

// A stop before the transfer: its messages, and no block moved.
struct Refusal {
    const char* name;
    bool write;
    Outcome outcome; // Failed: the port or the radio failed; Refused: a check or the person
    std::function<void(RadioWorkflowTest&)> arrange;
    std::vector<Message> messages;
    std::uint32_t modelMask = 2;
};

void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}

class Refusals : public RadioWorkflowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, StopWithTheirMessageAndMoveNoBlock) {
    const Refusal& c = GetParam();
    makeContext({0x2200, c.modelMask, 0});
    c.arrange(*this);
    const Bytes imageBefore = imageBytes(ctx->image());

    const Outcome outcome = c.write ? writeRadio(*ctx, ui) : readRadio(*ctx, ui);
    finish();

    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(ui.messages, c.messages);
    EXPECT_EQ(ui.transfers, 0);
    for (std::uint8_t code : {kRead16Code, kWrite16Code, kWriteByteCode, kResetCode}) {
        EXPECT_EQ(countOf(code), 0) << "request " << int(code);
    }
    EXPECT_EQ(imageBytes(ctx->image()), imageBefore);
}

const Message kNoProductId{"Radio Response Timeout", "Reading Product ID"};
const Message kReadAsk{"All current edit data will be lost.", "Read From Radio?", true};
const Message kNotRead{"Radio has not been read in this session. Continue?", "Warning", true};

INSTANTIATE_TEST_SUITE_P(
    BeforeTheTransfer, Refusals,
    ::testing::Values(
        Refusal{"PortWillNotOpen",
                false,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.ctx->port().Close();
                    fx.ctx->setComPort(200);
                },
                {{"Unable to open COM200.", "Error"}}},
        Refusal{"WritePortWillNotOpen",
                true,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.ctx->port().Close();
                    fx.ctx->setComPort(200);
                },
                {{"Unable to open COM200.", "Error"}}},
        Refusal{"NoAnswerToProductId",
                false,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) { fx.setFaults([](auto& f) { f.replyLimit = 0; }); },
                {kNoProductId}},
        Refusal{"WriteNoAnswerToProductId",
                true,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) { fx.setFaults([](auto& f) { f.replyLimit = 0; }); },
                {kNoProductId}},
        Refusal{"WrongRadioType",
                false,
                Outcome::Refused,
                [](RadioWorkflowTest& fx) { fx.setRadioImage(test::patternImage(0x3100, 1)); },
                {{"Incorrect radio type (3100)", "Checking Product ID"}}},
        Refusal{"WriteSecondIdReadFails",
                true,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) { fx.setFaults([](auto& f) { f.replyLimit = 1; }); },
                {kNoProductId}},
        Refusal{"ImageForNoModel",
                true,
                Outcome::Refused,
                [](RadioWorkflowTest&) {},
                {{"Incorrect radio type (FFFF)", "Current config"}}},
        Refusal{"ImageForAnotherModel",
                true,
                Outcome::Refused,
                [](RadioWorkflowTest& fx) { fx.ctx->image().setWord(0, 0x3100); },
                {{"Incorrect radio type (3100)", "Current config"}}},
        Refusal{"RadioAndImageDiffer",
                true,
                Outcome::Refused,
                [](RadioWorkflowTest& fx) {
                    fx.setRadioImage(test::patternImage(0x1700, 1));
                    fx.ctx->image().setWord(0, 0x2200);
                },
                {{"Wrong Radio Type (radio is QM1700, config is for QM2200)",
                  "Cross-checking Product ID"}},
                511},
        Refusal{"NotReadThisSessionCancelled",
                true,
                Outcome::Refused,
                [](RadioWorkflowTest& fx) { fx.imageLikeRadio(); },
                {kNotRead}},
        Refusal{"ReadQuestionCancelled",
                false,
                Outcome::Refused,
                [](RadioWorkflowTest&) {},
                {kReadAsk}},
        Refusal{"ProgModeRefused",
                false,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.ui.answers = {true};
                    fx.setFaults([](auto& f) { f.nackCodes[0x39] = true; });
                },
                {kReadAsk, {"Radio Response Timeout", "Entering Prog Mode"}}},
        Refusal{"WriteProgModeRefused",
                true,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.imageLikeRadio();
                    fx.ui.answers = {true};
                    fx.setFaults([](auto& f) { f.nackCodes[0x39] = true; });
                },
                {kNotRead, {"Radio Response Timeout.", "Comms Error"}}},
        Refusal{"RadioTypeUnreadable",
                false,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.ui.answers = {true};
                    fx.setFaults([](auto& f) { f.nackCodes[0x3A] = true; });
                },
                {kReadAsk, {"Failed to read radio type.", "Read radio error"}}},
        Refusal{"VersionUnreadable",
                false,
                Outcome::Failed,
                [](RadioWorkflowTest& fx) {
                    fx.ui.answers = {true};
                    fx.setFaults([](auto& f) { f.nackCodes[0x00] = true; });
                },
                {kReadAsk, {"Failed to read radio version.", "Read radio error"}}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(RadioWorkflowTest, CancelledReadQuestionSendsNothingMore) {
    makeContext();
    EXPECT_EQ(readRadio(*ctx, ui), Outcome::Refused);
    EXPECT_EQ(requestCodes(), (std::vector<std::uint8_t>{0x82}));
}

TEST_F(RadioWorkflowTest, WriteAnsweredOkAfterNoReadGoesOn) {
    makeContext();
    ctx->image().writeBlock(0, radioBytes().data(), 2048);
    ui.answers = {true};
    EXPECT_EQ(writeRadio(*ctx, ui), Outcome::Done);
    finish();
    EXPECT_EQ(ui.messages, std::vector<Message>{kNotRead});
    EXPECT_EQ(ui.result(), kTransferDone);
}

TEST_F(RadioWorkflowTest, ReadCancelledBeforeTheFirstBlock) {
    makeContext();
    ui.answers = {true};
    ui.beforeStart = [](TransferSession& s) {
        s.cancel->set();
    };
    const Bytes before = imageBytes(ctx->image());

    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_EQ(ui.result(), kTransferCancelled);
    EXPECT_EQ(ui.notices().size(), 1u);
    EXPECT_EQ(countOf(kRead16Code), 0);
    EXPECT_EQ(requestCodes().back(), kResetCode);
    EXPECT_EQ(imageBytes(ctx->image()), before);
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio);
    EXPECT_FALSE(ctx->cancelEvent().isSet());
    EXPECT_EQ(ctx->radio().readCount(), 1);
}

TEST_F(RadioWorkflowTest, WriteCancelledAtTheFirstBlockStillRewritesStatusAndResets) {
    makeContext();
    ctx->radio().noteRadioRead();
    Bytes image = radioBytes();
    image[kStatusAddress] = 0x5A;
    ctx->image().writeBlock(0, image.data(), 2048);
    ui.beforeStart = [](TransferSession& s) {
        s.cancel->set();
    };

    ASSERT_EQ(writeRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.result(), kTransferCancelled);
    EXPECT_EQ(countOf(kWrite16Code), 0);
    const auto requests = sim.requests();
    EXPECT_EQ(requests[requests.size() - 2], (Bytes{kWriteByteCode, 0x00, kStatusAddress, 0x5A}));
    EXPECT_EQ(requests.back(), Bytes{kResetCode});
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio);
}

TEST_F(RadioWorkflowTest, Qm3100KeepsTheRadiosLcdContrastUnlessItCannotBeRead) {
    constexpr int kContrast = 62;
    for (const bool readable : {true, false}) {
        SCOPED_TRACE(readable ? "contrast readable" : "contrast read refused");
        Bytes radio = test::patternImage(0x3100, 2);
        radio[kContrast] = 0x07;
        setRadioImage(radio);
        setFaults([&](auto& f) { f.nackCodes[0x01] = !readable; });
        makeContext({0x3100, 4, 0});
        ctx->radio().noteRadioRead();
        Bytes image = radio;
        image[kContrast] = 0x0C;
        ctx->image().writeBlock(0, image.data(), 2048);

        ASSERT_EQ(writeRadio(*ctx, ui), Outcome::Done);
        finish();

        const int want = readable ? 0x07 : 0x0C;
        EXPECT_EQ(ctx->image().getByte(kContrast), want);
        EXPECT_EQ(radioBytes()[kContrast], want);
        EXPECT_EQ(countOf(kReadByteCode), 1);
    }
}

TEST_F(RadioWorkflowTest, RadioFallingSilentAtBlock40KeepsBlocks0To39) {
    makeContext();
    ui.answers = {true};
    setFaults([](auto& f) { f.replyLimit = kRepliesBeforeBlocks + 40; });

    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_EQ(ui.result(), kTransferTimeout);
    EXPECT_EQ(TransferSession::resultText(false, ui.result()), "Timeout reading from radio");
    const Bytes radio = radioBytes();
    const Bytes image = imageBytes(ctx->image());
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 40 * 16, radio.begin()));
    EXPECT_TRUE(
        std::all_of(image.begin() + 40 * 16, image.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_EQ(ui.notices().size(), 41u);
    EXPECT_EQ(ui.messages.back(), (Message{"Radio Response Timeout. (t)", "Comms Error"}));
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio);
}

// A radio that sends 100 of the 128 bytes asked for: the rest of each block is asked for
// from the next address, so no stale byte is left in the image.
// What the radio held is kept after every completed read, and only then.
TEST_F(RadioWorkflowTest, CompletedReadsAreKeptInTheHistory) {
    makeContext();
    const fs::path history = dir / "history";
    ctx->setHistoryFolder(history.string());
    const auto kept = [&] {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(history)) {
            files.push_back(entry.path());
        }
        return files;
    };
    ui.answers = {true};
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();
    ASSERT_EQ(kept().size(), 1u);
    EXPECT_TRUE(kept()[0].filename().string().ends_with("_2200.mem")) << kept()[0];
    EEPROM copy;
    ASSERT_EQ(copy.loadFromFile(kept()[0].string()), 2048);
    EXPECT_EQ(imageBytes(copy), radioBytes());

    ui.answers = {true};
    const int sent = sim.repliesSent();
    setFaults([sent](auto& f) { f.replyLimit = sent + kRepliesBeforeBlocks + 40; });
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();
    EXPECT_EQ(ui.notices().back().lParam, kTransferTimeout);
    EXPECT_EQ(kept().size(), 1u) << "a read that stopped part-way is not kept";
}

TEST_F(RadioWorkflowTest, ShortArrayRepliesAreCompletedBeforeTheNextBlock) {
    makeContext(BuildConfig::engineering());
    ctx->setArrayReadWriteChecked(true);
    ui.answers = {true};
    setFaults([](auto& f) { f.blockReplyBytes = 100; });

    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();

    EXPECT_EQ(ui.result(), kTransferDone);
    EXPECT_EQ(countOf(kReadBlockCode), 32); // 100 bytes, then the 28 left, per block
    EXPECT_EQ(imageBytes(ctx->image()), radioBytes());
    EXPECT_FALSE(ctx->imageFromIncompleteRead());
}

// A read that stopped part-way leaves old and new blocks mixed: writing that image asks first,
// and a declined question sends nothing past the checks. A complete read clears the mark.
TEST_F(RadioWorkflowTest, WriteAfterAnIncompleteReadAsksFirst) {
    makeContext();
    ui.answers = {true};
    setFaults([](auto& f) { f.replyLimit = kRepliesBeforeBlocks + 40; });
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();
    ASSERT_EQ(ui.result(), kTransferTimeout);
    EXPECT_TRUE(ctx->imageFromIncompleteRead());

    setFaults([](auto& f) { f.replyLimit = -1; });
    ctx->image().setWord(0, 0x2200);
    const Bytes radioBefore = radioBytes();
    ui.messages.clear();
    ui.answers = {false};
    sim.clearRecords();
    EXPECT_EQ(writeRadio(*ctx, ui), Outcome::Refused);
    EXPECT_EQ(ui.messages, (std::vector<Message>{{kIncompleteReadQuestion, "Warning", true}}));
    EXPECT_EQ(countOf(kWrite16Code), 0);
    EXPECT_EQ(radioBytes(), radioBefore);

    ui.answers = {true};
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();
    EXPECT_FALSE(ctx->imageFromIncompleteRead());
}

// Each reply comes twice, the copy during the next exchange: every block still holds its own
// bytes (a copy echoes another address and is dropped).
TEST_F(RadioWorkflowTest, LateDuplicateRepliesNeverLandInTheWrongBlock) {
    makeContext();
    ui.answers = {true};
    setFaults([](auto& f) { f.duplicateReplyAfterMs = 3; });
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    finish();
    EXPECT_EQ(ui.result(), kTransferDone);
    EXPECT_EQ(imageBytes(ctx->image()), radioBytes());
}

TEST_F(RadioWorkflowTest, OldFirmwareIsWarnedAboutAfterTheEndSteps) {
    sim.update([](CommandResponder& r) { r.state().firmwareMajor = 1; });
    makeContext();
    ui.answers = {true};
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    ui.events.clear();
    finish();

    EXPECT_EQ(ui.messages.back(),
              (Message{"Your QM2100/2200/2400 radio does not support the latest features "
                       "available on QM2100/2200/2400S radios, e.g. ScanWeave",
                       "Radio version check"}));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"status", "capabilities", "warn"}));
}

TEST(RadioVersionWarning, FollowsTheBuildModelsTable) {
    struct Case {
        std::uint32_t build;
        int major;
        bool warned;
    };
    for (const Case& c : {Case{0x2200, 1, true}, Case{0x2200, 2, false}, Case{0x3100, 1, true},
                          Case{0x3100, 2, false}, Case{0x1700, 2, true}, Case{0x1700, 3, false},
                          Case{0x5100, 0, false}}) {
        EXPECT_EQ(!radioVersionWarning(c.build, c.major).empty(), c.warned)
            << std::hex << c.build << " major " << c.major;
    }
}

TEST_F(RadioWorkflowTest, NothingStartsWhileAWorkerRuns) {
    makeContext();
    ui.answers = {true};
    setFaults([](auto& f) { f.replyDelayMs = 30; }); // about four seconds for the whole read
    const fs::path file = dir / "saved.mem";

    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done); // the dialog "closed with its close box" at once
    ASSERT_TRUE(ctx->transferRunning());
    const auto messagesBefore = ui.messages.size();
    EXPECT_EQ(readRadio(*ctx, ui), Outcome::Busy);
    EXPECT_EQ(writeRadio(*ctx, ui), Outcome::Busy);
    EXPECT_FALSE(startTransfer(*ctx, ui, 0, 2047, false, false));
    EXPECT_EQ(writeFile(*ctx, ui, file.string()), Outcome::Busy);
    EXPECT_EQ(readFile(*ctx, ui, file.string()), Outcome::Busy);
    EXPECT_EQ(readFile(*ctx, ui, std::nullopt), Outcome::Busy);
    EXPECT_EQ(setDefaultFilename(*ctx, ui, file.string()), Outcome::Busy);
    EXPECT_EQ(removeDefaultFilename(*ctx), Outcome::Busy);
    EXPECT_EQ(ui.messages.size(), messagesBefore);
    EXPECT_EQ(ui.transfers, 1);
    EXPECT_FALSE(fs::exists(file));

    ctx->cancelEvent().set();
    finish();
    EXPECT_EQ(ui.result(), kTransferCancelled);
    EXPECT_EQ(ctx->dataSource(), DataSource::Radio); // the end steps ran without the dialog
}

TEST_F(RadioWorkflowTest, DestroyingTheContextWaitsForTheWorker) {
    makeContext();
    ui.answers = {true};
    setFaults([](auto& f) { f.replyDelayMs = 5; });
    ASSERT_EQ(readRadio(*ctx, ui), Outcome::Done);
    ctx.reset();
    EXPECT_EQ(ui.result(), kTransferDone);
    EXPECT_EQ(requestCodes().back(), kResetCode);
}

class StartUp : public RadioWorkflowTest {
protected:
    void start(const std::string& defaultFile) {
        ctx = std::make_unique<AppContext>(BuildConfig::delivered(), 0);
        ctx->setDefaultFileName(defaultFile);
        startUp(*ctx, ui);
    }
};

TEST_F(StartUp, LoadsTheDefaultFile) {
    const Bytes file = test::patternImage(0x2200, 5);
    const fs::path path = dir / "default.mem";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), 2048);

    start(path.string());

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ctx->port().IsOpen());
    EXPECT_EQ(imageBytes(ctx->image()), file);
    EXPECT_EQ(ctx->dataSource(), DataSource::File);
    EXPECT_EQ(ctx->currentFileName(), path.string());
    EXPECT_EQ(ctx->models().currentRow().productId, 0x2200u);
    EXPECT_EQ(ui.statusChanges, 1);
    EXPECT_EQ(ui.capabilityChanges, 1);
}

TEST_F(StartUp, MissingDefaultFileIsReportedAndLeavesNoData) {
    start("defqm2200.mem");

    EXPECT_EQ(ui.messages,
              (std::vector<Message>{{"Unable to open file defqm2200.mem", "File Open Error"}}));
    EXPECT_EQ(ctx->dataSource(), DataSource::Nothing);
    EXPECT_EQ(dataPanelText(ctx->dataSource(), ctx->currentFileName()), "No data loaded.");
    const Bytes image = imageBytes(ctx->image());
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](auto b) { return b == 0xFF; }));
}

TEST_F(StartUp, PortThatWillNotOpenIsReportedAndStartUpGoesOn) {
    ctx = std::make_unique<AppContext>(BuildConfig::delivered(), 0);
    ctx->setComPort(200);
    startUp(*ctx, ui);
    EXPECT_EQ(ui.messages, (std::vector<Message>{{"Unable to open COM200.", "Error"}}));
    EXPECT_EQ(ui.statusChanges, 1);
}

} // namespace
} // namespace kav

#include "FakeUi.h"
#include "support/Testsupport.h"
#include "workflow/AppContext.h"
#include "workflow/MemFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace kav {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Message = FakeUi::Message;

Bytes imageBytes(const EEbuffer& image) {
    return Bytes(image.bytes(), image.bytes() + image.size());
}

bool allFF(const Bytes& bytes, std::size_t from = 0) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                       [](auto b) { return b == 0xFF; });
}

class MemFileWorkflowTest : public ::testing::Test {
protected:
    void SetUp() override { ctx.models().setModelByProductId(0x2200); }

    std::string writeRaw(const std::string& name, const Bytes& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    static Bytes counting(std::size_t n, std::uint8_t hi, std::uint8_t lo) {
        Bytes bytes(n);
        for (std::size_t i = 0; i < n; ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 3);
        }
        bytes[0] = hi;
        bytes[1] = lo;
        return bytes;
    }

    test::TempDir scratch{"kav-memfile"};
    fs::path dir = scratch.path();
    FakeUi ui;
    AppContext ctx{BuildConfig::delivered(), 0};
};

TEST_F(MemFileWorkflowTest, SavedFileReadsBackAsTheSameImage) {
    const Bytes original = counting(2048, 0x22, 0x00);
    ctx.image().writeBlock(0, original.data(), 2048);
    const std::string path = (dir / "radio.mem").string();

    ASSERT_EQ(writeFile(ctx, ui, path), Outcome::Done);
    EXPECT_EQ(fs::file_size(path), 2048u);
    EXPECT_EQ(ctx.currentFileName(), path);
    EXPECT_EQ(ctx.dataSource(), DataSource::File);
    EXPECT_EQ(ui.statusChanges, 1);

    ctx.image().fill(0xFF);
    ctx.setDataSource(DataSource::Nothing);
    EXPECT_EQ(readFile(ctx, ui, path), Outcome::Done);
    EXPECT_EQ(imageBytes(ctx.image()), original);
    EXPECT_EQ(ctx.dataSource(), DataSource::File);
    EXPECT_EQ(ui.capabilityChanges, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MemFileWorkflowTest, ShortFileFillsTheRestWithFF) {
    const Bytes file = counting(1000, 0x22, 0x00);
    EXPECT_EQ(loadMemFile(ctx, ui, writeRaw("short.mem", file)), Outcome::Done);
    const Bytes image = imageBytes(ctx.image());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), image.begin()));
    EXPECT_TRUE(allFF(image, 1000));
    EXPECT_TRUE(ui.messages.empty());
}

struct TypeCase {
    const char* name;
    Bytes head;
    const char* message;
};

class MemFileTypes : public MemFileWorkflowTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(MemFileTypes, FileForAnotherModelIsReportedAndStaysLoaded) {
    const std::string path = writeRaw("other.mem", GetParam().head);
    EXPECT_EQ(loadMemFile(ctx, ui, path), Outcome::Refused);
    EXPECT_EQ(ui.messages, (std::vector<Message>{{GetParam().message, "Reading Mem-file"}}));
    EXPECT_EQ(ctx.dataSource(), DataSource::File);
    EXPECT_EQ(ctx.currentFileName(), path);
    EXPECT_TRUE(std::equal(GetParam().head.begin(), GetParam().head.end(), ctx.image().bytes()));
}

INSTANTIATE_TEST_SUITE_P(
    Loads, MemFileTypes,
    ::testing::Values(TypeCase{"Empty", {}, "Incorrect radio type (FFFF)"},
                      TypeCase{"QM3100", {0x31, 0x00, 0x12}, "Incorrect radio type (3100)"},
                      TypeCase{"Unknown", {0x00, 0x07}, "Incorrect radio type (07)"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(MemFileWorkflowTest, FileThatCannotBeOpenedChangesNothing) {
    ctx.setCurrentFileName("before.mem");
    ctx.image().setByte(5, 0x42);
    const std::string path = (dir / "missing.mem").string();

    EXPECT_EQ(readFile(ctx, ui, path), Outcome::Failed);

    EXPECT_EQ(ui.messages,
              (std::vector<Message>{{"Unable to open file " + path, "File Open Error"}}));
    EXPECT_EQ(ctx.image().getByte(5), 0x42);
    EXPECT_EQ(ctx.currentFileName(), "before.mem");
    EXPECT_EQ(ctx.dataSource(), DataSource::Nothing);
    EXPECT_EQ(ui.capabilityChanges, 1);
}

TEST_F(MemFileWorkflowTest, CancelledReadFileStillRefreshesCapabilities) {
    EXPECT_EQ(readFile(ctx, ui, std::nullopt), Outcome::Refused);
    EXPECT_EQ(ui.capabilityChanges, 1);
    EXPECT_EQ(ui.statusChanges, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MemFileWorkflowTest, FailedSaveIsReportedAndChangesNothing) {
    ctx.setCurrentFileName("before.mem");
    const std::string path = (dir / "no-such-dir" / "radio.mem").string();

    EXPECT_EQ(writeFile(ctx, ui, path), Outcome::Failed);

    EXPECT_EQ(ui.messages,
              (std::vector<Message>{{"Unable to save file " + path, "File Save Error"}}));
    EXPECT_EQ(ctx.currentFileName(), "before.mem");
    EXPECT_EQ(ctx.dataSource(), DataSource::Nothing);
    EXPECT_EQ(ui.statusChanges, 0);
}

TEST_F(MemFileWorkflowTest, ExistingFileIsOverwrittenOnlyWhenTheAnswerIsOk) {
    const std::string path = writeRaw("old.mem", {1, 2, 3});
    const Message question{"File already exists. Overwrite?", "Saving Program File...", true};

    ui.answers = {false};
    EXPECT_EQ(writeFile(ctx, ui, path), Outcome::Refused);
    EXPECT_EQ(fs::file_size(path), 3u);
    EXPECT_TRUE(ctx.currentFileName().empty());

    ui.answers = {true};
    EXPECT_EQ(writeFile(ctx, ui, path), Outcome::Done);
    EXPECT_EQ(fs::file_size(path), 2048u);
    EXPECT_EQ(ui.messages, (std::vector<Message>{question, question}));
}

TEST_F(MemFileWorkflowTest, DefaultFileNameIsKeptWhetherOrNotItLoads) {
    const std::string path = writeRaw("default.mem", counting(2048, 0x22, 0x00));
    const Message question{"Load file '" + path + "' ?\nAll current data will be lost.",
                           "Load Default File.", true};

    ui.answers = {false};
    EXPECT_EQ(setDefaultFilename(ctx, ui, path), Outcome::Refused);
    EXPECT_EQ(ctx.defaultFileName(), path);
    EXPECT_EQ(ctx.dataSource(), DataSource::Nothing);
    EXPECT_EQ(ui.statusChanges, 0);

    ui.answers = {true};
    EXPECT_EQ(setDefaultFilename(ctx, ui, path), Outcome::Done);
    EXPECT_EQ(ctx.dataSource(), DataSource::File);
    EXPECT_EQ(ui.capabilityChanges, 1);
    EXPECT_EQ(ui.statusChanges, 1);
    EXPECT_EQ(ui.messages, (std::vector<Message>{question, question}));

    EXPECT_EQ(removeDefaultFilename(ctx), Outcome::Done);
    EXPECT_TRUE(ctx.defaultFileName().empty());
}

TEST_F(MemFileWorkflowTest, DefaultFileThatFailsToLoadStillRefreshesTheStatus) {
    const std::string path = (dir / "gone.mem").string();
    ui.answers = {true};
    EXPECT_EQ(setDefaultFilename(ctx, ui, path), Outcome::Failed);
    EXPECT_EQ(ctx.defaultFileName(), path);
    EXPECT_EQ(ui.messages.back(), (Message{"Unable to open file " + path, "File Open Error"}));
    EXPECT_EQ(ui.statusChanges, 1);
    EXPECT_EQ(ui.capabilityChanges, 0);
}

} // namespace
} // namespace kav

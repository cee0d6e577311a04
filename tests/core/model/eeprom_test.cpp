#include "model/Eeprom.h"
#include "support/Testsupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kav {
namespace {

constexpr int kSize = EEPROM::kImageSize;

std::vector<std::uint8_t> snapshot(const EEbuffer& image) {
    return {image.bytes(), image.bytes() + image.size()};
}

TEST(EEbufferTest, NewImageIsErased) {
    EEPROM image;
    ASSERT_EQ(image.size(), kSize);
    for (int a = 0; a < kSize; ++a) {
        ASSERT_EQ(image.getByte(a), 255) << a;
        ASSERT_EQ(image.getWord(a), 65535) << a;
    }
}

TEST(EEbufferTest, WordsAreBigEndianAndIgnoreTheLowestAddressBit) {
    EEPROM image;
    EXPECT_EQ(image.setWord(0x41, 0x1234), 0);
    EXPECT_EQ(image.getByte(0x40), 0x12);
    EXPECT_EQ(image.getByte(0x41), 0x34);
    EXPECT_EQ(image.getWord(0x40), 0x1234);
    EXPECT_EQ(image.getWord(0x41), 0x1234);

    EXPECT_EQ(image.setWord(2047, 0xABCDE), 0); // only the low 16 bits are kept
    EXPECT_EQ(image.getWord(2046), 0xBCDE);
    EXPECT_EQ(image.setByte(5, 0x1FF), 0);
    EXPECT_EQ(image.getByte(5), 0xFF);
}

TEST(EEbufferTest, BadAddressesReportMinusOneAndChangeNothing) {
    for (int address : {-1, kSize, kSize + 1, -2048}) {
        SCOPED_TRACE(address);
        EEPROM image;
        const auto before = snapshot(image);
        EXPECT_EQ(image.getByte(address), -1);
        EXPECT_EQ(image.setByte(address, 1), -1);
        EXPECT_EQ(image.getWord(address), -1);
        EXPECT_EQ(image.setWord(address, 0x0102), -1);
        EXPECT_EQ(snapshot(image), before);
    }
    EEPROM empty(0);
    EXPECT_EQ(empty.getByte(0), -1);
    EXPECT_EQ(empty.setByte(0, 0), -1);
    EXPECT_EQ(empty.getWord(0), -1);
    EXPECT_EQ(empty.fill(0), 0);
}

TEST(EEbufferTest, FillStoresTheLowByteAndReturnsTheSize) {
    EEPROM image;
    EXPECT_EQ(image.fill(0x1AB), kSize);
    EXPECT_EQ(image.getByte(0), 0xAB);
    EXPECT_EQ(image.getByte(kSize - 1), 0xAB);
}

TEST(EEbufferTest, BlocksStopAtTheEndOfTheImage) {
    struct Case {
        int address;
        int length;
        int copied;
    };
    for (const Case& c : {Case{0, 16, 16}, Case{2040, 16, 8}, Case{2047, 16, 1}, Case{2048, 16, 0},
                          Case{-1, 16, 0}, Case{-8, 16, 0}, Case{100, 0, 0}, Case{100, -5, 0}}) {
        SCOPED_TRACE(testing::Message() << c.address << "," << c.length);
        EEPROM image;
        std::array<std::uint8_t, 16> src{};
        for (std::size_t i = 0; i < src.size(); ++i) {
            src[i] = static_cast<std::uint8_t>(i + 1);
        }
        EXPECT_EQ(image.writeBlock(c.address, src.data(), c.length), c.copied);
        for (int i = 0; i < c.copied; ++i) {
            EXPECT_EQ(image.getByte(c.address + i), i + 1);
        }
        std::array<std::uint8_t, 16> dst{};
        dst.fill(0xEE);
        EXPECT_EQ(image.readBlock(c.address, dst.data(), c.length), c.copied);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(dst[static_cast<std::size_t>(i)], i < c.copied ? i + 1 : 0xEE);
        }
    }
}

// Character codes of a packed value, character 0 first.
std::array<int, 5> codes(std::uint32_t value) {
    std::array<int, 5> out{};
    for (int i = 0; i < 5; ++i) {
        out[static_cast<std::size_t>(i)] = static_cast<int>((value >> (24 - 6 * i)) & 63);
    }
    return out;
}

TEST(PackedTextTest, EncodesFiveSixBitCharacters) {
    struct Case {
        std::string text;
        std::array<int, 5> codes;
        std::string readBack;
    };
    const std::vector<Case> cases = {
        {"AB", {33, 34, 32, 32, 32}, "AB"},
        {"ab", {0, 0, 32, 32, 32}, "  "},
        {"HELLO WORLD", {40, 37, 44, 44, 47}, "HELLO"},
        {"", {32, 32, 32, 32, 32}, ""},
        {"CH_9!", {35, 40, 63, 25, 1}, "CH_9!"},
        {"A\x7f\xe9~", {33, 0, 0, 0, 32}, "A   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::uint32_t packed = EEPROM::packText(c.text);
        EXPECT_EQ(packed >> 30, 0u);
        EXPECT_EQ(codes(packed), c.codes);
        EXPECT_EQ(EEPROM::unpackText(packed), c.readBack);
    }
}

TEST(PackedTextTest, TextEndsAtTheFirstEndMark) {
    // "AB@ZZ": whatever follows the '@' is not part of the text.
    const std::uint32_t value = (33u << 24) | (34u << 18) | (32u << 12) | (58u << 6) | 58u;
    EXPECT_EQ(EEPROM::unpackText(value), "AB");
    EXPECT_EQ(EEPROM::unpackText(32u << 24), "");
}

TEST(PackedTextTest, StoredAsTwoBigEndianWords) {
    EEPROM image;
    image.setPackedText(300, "QM22");
    const std::uint32_t packed = EEPROM::packText("QM22");
    EXPECT_EQ(image.getWord(300), static_cast<int>(packed >> 16));
    EXPECT_EQ(image.getWord(302), static_cast<int>(packed & 0xFFFF));
    EXPECT_EQ(image.getPackedText(300), "QM22");
}

TEST(HexStringTest, BytesAsUppercaseHexAndBack) {
    EEPROM image;
    image.setByte(10, 0x0A);
    image.setByte(11, 0xF3);
    EXPECT_EQ(image.getHexString(10, 2), "0AF3");
    EXPECT_EQ(image.getHexString(2046, 4), "FFFFFFFF"); // past the end reads as FF
    EXPECT_EQ(image.getHexString(10, 0), "");

    struct Case {
        std::string text;
        int byte;
    };
    for (const Case& c : {Case{"1g", 0x1F}, Case{"9A", 0x9A}, Case{"ab", 0xFF}, Case{"0", 0x0F},
                          Case{"", 0xFF}, Case{"C3", 0xC3}}) {
        SCOPED_TRACE(c.text);
        image.setByte(20, 0);
        image.setHexString(c.text, 20, 1);
        EXPECT_EQ(image.getByte(20), c.byte);
    }
    image.setHexString("12345678", 2046, 4); // the bytes past the end are dropped
    EXPECT_EQ(image.getWord(2046), 0x1234);
}

TEST(NibbleTest, DigitsFillHighNibbleFirst) {
    EEPROM image;
    const std::array<int, 1> seven{7};
    image.setByte(50, 0xA5);
    EXPECT_EQ(image.setNibbles(50, {seven.data(), 1}, 1), 1);
    EXPECT_EQ(image.getByte(50), 0x75);

    image.setByte(50, 0xA5);
    const std::array<int, 2> digits{0xA, 7};
    image.setNibbles(50, digits, 2);
    EXPECT_EQ(image.getByte(50), 0xA7);

    const std::array<int, 5> code{1, 2, 3, 4, 0x1F};
    EXPECT_EQ(image.setNibbles(60, code, 5), 5);
    EXPECT_EQ(image.getByte(60), 0x12);
    EXPECT_EQ(image.getByte(61), 0x34);
    EXPECT_EQ(image.getByte(62), 0xFF); // the last digit's low 4 bits; other nibble kept

    std::array<int, 6> out{};
    out.fill(-1);
    EXPECT_EQ(image.getNibbles(out, 60, 6), 6);
    EXPECT_EQ(out, (std::array<int, 6>{1, 2, 3, 4, 15, 15}));
    // Never more digits than the array holds.
    EXPECT_EQ(image.getNibbles({out.data(), 2}, 60, 8), 2);
    EXPECT_EQ(image.setNibbles(60, {code.data(), 1}, 4), 1);
}

TEST(RxChannelTest, ReadsFrequencyAndTag) {
    EEPROM image;
    constexpr int table = 224;
    image.setWord(table + 6, 0x9011);
    image.setPackedText(table + 8, "CH 2");

    RX_CH_DATA_STRUCT record;
    ASSERT_EQ(image.getRxChannel(table, 1, record), 0);
    EXPECT_EQ(record.frequencyHz, 0x9011u * 12500u);
    EXPECT_EQ(record.alphaTag, "CH 2");

    ASSERT_EQ(image.getRxChannel(table, 0, record), 0);
    EXPECT_EQ(record.frequencyHz, 0u); // erased code 0xFFFF
}

TEST(RxChannelTest, ChannelOutsideTheImageLeavesTheRecordAlone) {
    EEPROM image;
    for (auto [table, n] : {std::pair{224, 304}, std::pair{2046, 0}, std::pair{2043, 0},
                            std::pair{-1, 0}, std::pair{224, -1}, std::pair{224, 1 << 29}}) {
        SCOPED_TRACE(testing::Message() << table << "," << n);
        RX_CH_DATA_STRUCT record{476000000, "KEEP", 5};
        EXPECT_EQ(image.getRxChannel(table, n, record), -1);
        EXPECT_EQ(record.frequencyHz, 476000000u);
        EXPECT_EQ(record.alphaTag, "KEEP");
    }
    RX_CH_DATA_STRUCT last;
    EXPECT_EQ(image.getRxChannel(2042, 0, last), 0); // the last whole record fits
}

class MemFileTest : public testing::Test {
protected:
    // A test may leave the folder read-only; give it back so it can be removed.
    void TearDown() override { ::chmod(dir_.c_str(), 0700); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static void writeFile(const std::string& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<std::uint8_t> readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static EEPROM patterned() {
        EEPROM image;
        for (int a = 0; a < image.size(); ++a) {
            image.setByte(a, a * 7 + 3);
        }
        return image;
    }

    test::TempDir scratch_{"kavmem"};
    std::string dir_ = scratch_.str();
};

TEST_F(MemFileTest, SaveAndLoadRoundTrip) {
    const EEPROM image = patterned();
    ASSERT_EQ(image.saveToFile(path("a.mem")), kSize);
    EXPECT_EQ(readFile(path("a.mem")), snapshot(image));

    EEPROM loaded;
    EXPECT_EQ(loaded.loadFromFile(path("a.mem")), kSize);
    EXPECT_EQ(snapshot(loaded), snapshot(image));

    // Saving again replaces the file whole, leaving no temporary behind.
    EEPROM erased;
    ASSERT_EQ(erased.saveToFile(path("a.mem")), kSize);
    EXPECT_EQ(readFile(path("a.mem")), snapshot(erased));
    EXPECT_EQ(std::system(("test $(ls -A '" + dir_ + "' | wc -l) -eq 1").c_str()), 0);
}

TEST_F(MemFileTest, LoadTakesOnlyWhatTheFileHas) {
    struct Case {
        std::size_t fileLength;
        int read;
    };
    for (const Case& c : {Case{1000, 1000}, Case{0, 0}, Case{4096, kSize}, Case{1, 1}}) {
        SCOPED_TRACE(c.fileLength);
        std::vector<std::uint8_t> bytes(c.fileLength);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i % 251);
        }
        writeFile(path("in.mem"), bytes);
        EEPROM image = patterned();
        EXPECT_EQ(image.loadFromFile(path("in.mem")), c.read);
        for (int a = 0; a < kSize; ++a) {
            const int expected = a < c.read ? bytes[static_cast<std::size_t>(a)] : 0xFF;
            ASSERT_EQ(image.getByte(a), expected) << a;
        }
    }
}

TEST_F(MemFileTest, UnopenableFilesLeaveTheImageAlone) {
    for (const std::string& p : {path("missing.mem"), dir_, std::string()}) {
        SCOPED_TRACE(p);
        EEPROM image = patterned();
        EXPECT_EQ(image.loadFromFile(p), -1);
        EXPECT_EQ(snapshot(image), snapshot(patterned()));
    }
    EXPECT_EQ(EEPROM().saveToFile(path("no/such/dir.mem")), -1);
    EXPECT_EQ(EEPROM().saveToFile(""), -1);
}

TEST_F(MemFileTest, FailedSaveKeepsThePreviousFile) {
    const std::string target = path("old.mem");
    const EEPROM old = patterned();
    ASSERT_EQ(old.saveToFile(target), kSize);
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);

    // Root may write anywhere, so the save runs as an unprivileged user.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                std::_Exit(2);
            }
            std::_Exit(EEPROM().saveToFile(target) == -1 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(target), snapshot(old));
}

TEST_F(MemFileTest, SaveThroughALinkUpdatesItsTarget) {
    ASSERT_EQ(EEPROM().saveToFile(path("real.mem")), kSize);
    ASSERT_EQ(::symlink("real.mem", path("link.mem").c_str()), 0);
    const EEPROM image = patterned();
    ASSERT_EQ(image.saveToFile(path("link.mem")), kSize);
    struct stat st {};
    ASSERT_EQ(::lstat(path("link.mem").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(path("real.mem")), snapshot(image));
}

// A save onto a device or a pipe writes through it: /dev/null stays a device, a FIFO's
// reader gets the image, a FIFO nobody reads is refused at once instead of hanging.
TEST_F(MemFileTest, SavesOntoDevicesAndPipesWriteThroughThem) {
    const EEPROM image = patterned();
    EXPECT_EQ(image.saveToFile("/dev/null"), kSize);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(image.saveToFile(fifo), -1) << "no reader";
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(image.saveToFile(fifo), kSize);
    std::vector<std::uint8_t> got(static_cast<std::size_t>(kSize));
    EXPECT_EQ(::read(reader, got.data(), got.size()), kSize);
    ::close(reader);
    EXPECT_EQ(got, snapshot(image));
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still a pipe";

    EXPECT_EQ(image.saveToFile(dir_), -1) << "a folder";
}

// Only a regular file is read: a FIFO or a terminal is refused at once, never waited on.
TEST_F(MemFileTest, LoadRefusesWhatIsNotARegularFile) {
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& p : {fifo, std::string("/dev/null"), std::string("/dev/tty")}) {
        SCOPED_TRACE(p);
        EEPROM image = patterned();
        EXPECT_EQ(image.loadFromFile(p), -1);
        EXPECT_EQ(snapshot(image), snapshot(patterned()));
    }
}

} // namespace
} // namespace kav

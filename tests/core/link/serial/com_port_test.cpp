#include "link/Com_port.h"
#include "sim/PtyPair.h"
#include "support/Testsupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kav {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

TEST(ComPort, ComNumberOfAcceptsOnlyComFollowedByOneTo256) {
    const std::pair<const char*, int> cases[] = {
        {"COM1", 1},  {"COM42", 42}, {"COM256", 256},   {"COM257", 0}, {"COM0", 0},
        {"COM01", 0}, {"com1", 0},   {"COM", 0},        {"COM1a", 0},  {"COM-1", 0},
        {" COM1", 0}, {"COM+1", 0},  {"/dev/ttyS0", 0}, {"", 0},       {"COM9999999", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(comNumberOf(name), number) << name;
    }
}

TEST(ComPort, DefaultSchemeCoversSerialUsbAndAcmRanges) {
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyS0"},
        {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"},
        {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"},
        {97, ""},
        {0, ""},
        {-3, ""},
    };
    for (const auto& [n, device] : cases) {
        EXPECT_EQ(defaultComDevice(n), device) << n;
    }
}

TEST(ComPort, PortsDirectoryPrefersKavThenXdgThenHome) {
    EXPECT_EQ(portsDirectory("/p", "/x", "/h"), "/p");
    EXPECT_EQ(portsDirectory("", "/x", "/h"), "/x/Kav/ports");
    EXPECT_EQ(portsDirectory(nullptr, nullptr, "/h"), "/h/.config/Kav/ports");
    EXPECT_EQ(portsDirectory(nullptr, "", ""), "");
}

TEST(ComPort, FolderLinkWinsOverTheDefaultScheme) {
    TempDir dir;
    fs::create_symlink("/dev/null", dir.path() / "COM1");
    fs::create_symlink(dir.path() / "missing", dir.path() / "COM3");

    EXPECT_EQ(comPortDevice(1, dir.str()), "/dev/null");
    EXPECT_EQ(comPortDevice(2, dir.str()), "/dev/ttyS1");
    // A dangling link is kept, so opening it says the device is missing.
    EXPECT_EQ(comPortDevice(3, dir.str()), (dir.path() / "COM3").string());
    EXPECT_EQ(comPortDevice(1, ""), "/dev/ttyS0");
    EXPECT_EQ(comPortDevice(257, dir.str()), "");

    EXPECT_EQ(resolvePortName("COM1", dir.str()), "/dev/null");
    EXPECT_EQ(resolvePortName("/dev/ttyUSB7", dir.str()), "/dev/ttyUSB7");
    EXPECT_EQ(resolvePortName("ttyS0", dir.str()), "");
    EXPECT_EQ(resolvePortName("COM0", dir.str()), "");
}

TEST(ComPort, ExistingPortsAreAscendingAndOnlyLiveLinks) {
    TempDir dir;
    TempDir sys; // an empty kernel view: no default-scheme port counts
    PtyPair a;
    PtyPair b;
    fs::create_symlink(a.slavePath(), dir.path() / "COM7");
    fs::create_symlink(b.slavePath(), dir.path() / "COM2");
    fs::create_symlink(dir.path() / "missing", dir.path() / "COM5");
    std::ofstream(dir.path() / "plain") << "x";
    fs::create_symlink(dir.path() / "plain", dir.path() / "COM9");
    fs::create_symlink(b.slavePath(), dir.path() / "COM300");
    fs::create_symlink("/dev/null", dir.path() / "COM3"); // a device, but no terminal

    EXPECT_EQ(existingComPorts({dir.str(), sys.str()}), (std::vector<int>{2, 7}));
}

TEST(ComPort, RealTtyNeedsADriverAndAKnownUartType) {
    TempDir sys;
    const fs::path entry = sys.path() / "null"; // the kernel's entry for /dev/null's name
    const auto real = [&](bool allowUnlisted) {
        return ttyIsReal("/dev/null", sys.str(), allowUnlisted);
    };

    PtyPair pty;
    EXPECT_TRUE(ttyIsReal(pty.slavePath(), sys.str(), true)) << "unlisted terminal behind a link";
    EXPECT_FALSE(ttyIsReal(pty.slavePath(), sys.str(), false)) << "... in the default scheme";
    EXPECT_FALSE(real(true)) << "unlisted device that is no terminal (a link to /dev/null)";
    EXPECT_FALSE(real(false)) << "unlisted device in the default scheme";
    fs::create_directory(entry);
    EXPECT_FALSE(real(true)) << "listed tty without a device behind it";
    fs::create_directory(entry / "device");
    EXPECT_TRUE(real(false)) << "driver-backed tty that is not a serial-core port";
    std::ofstream(entry / "type") << "0\n";
    EXPECT_FALSE(real(true)) << "legacy port with no UART";
    std::ofstream(entry / "type") << "4\n";
    EXPECT_TRUE(real(false));

    TempDir files;
    std::ofstream(files.path() / "plain") << "x";
    EXPECT_FALSE(ttyIsReal((files.path() / "plain").string(), sys.str(), true));
    EXPECT_FALSE(ttyIsReal("/nonexistent/tty", sys.str(), true));
}

} // namespace
} // namespace kav

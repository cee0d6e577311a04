#include "cli/PortList.h"
#include "support/Testsupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace kav {
namespace {

namespace fs = std::filesystem;

// A device node and a sysfs tree shaped like the kernel's for a USB serial adapter and for
// an on-board UART.
class UsbProductTest : public ::testing::Test {
public:
    void SetUp() override {
        const fs::path usbDevice = root / "devices/pci0/usb1/1-2";
        fs::create_directories(usbDevice / "1-2:1.0/ttyUSB0");
        std::ofstream(usbDevice / "product") << "FT232R USB UART\n";
        std::ofstream(usbDevice / "idVendor") << "0403\n";
        fs::create_directories(root / "devices/platform/serial8250/ttyS0");
        fs::create_directories(root / "class/tty/ttyUSB0");
        fs::create_directories(root / "class/tty/ttyS0");
        fs::create_directory_symlink(usbDevice / "1-2:1.0", root / "class/tty/ttyUSB0/device");
        fs::create_directory_symlink(root / "devices/platform/serial8250",
                                     root / "class/tty/ttyS0/device");
        fs::create_directory(root / "dev");
        std::ofstream(root / "dev/ttyUSB0").put('\0');
        std::ofstream(root / "dev/ttyS0").put('\0');
    }
    test::TempDir scratch{"kav-sysfs"};
    fs::path root = scratch.path();
};

TEST_F(UsbProductTest, NamesTheUsbDeviceAboveTheTtyAndNothingElse) {
    const std::string sysTty = (root / "class/tty").string();
    EXPECT_EQ(usbProductName((root / "dev/ttyUSB0").string(), sysTty), "FT232R USB UART");
    EXPECT_EQ(usbProductName((root / "dev/ttyS0").string(), sysTty), "");
    EXPECT_EQ(usbProductName((root / "dev/ttyUSB9").string(), sysTty), "");
}

TEST(PortListingLine, ShowsTheProductOnlyWhenKnown) {
    EXPECT_EQ(portListingLine({33, "/dev/ttyUSB0", "FT232R USB UART"}),
              "COM33  /dev/ttyUSB0  FT232R USB UART");
    EXPECT_EQ(portListingLine({1, "/dev/ttyS0", ""}), "COM1  /dev/ttyS0");
}

} // namespace
} // namespace kav

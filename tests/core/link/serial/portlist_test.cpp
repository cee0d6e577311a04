#include "link/PortList.h"
#include "support/Testsupport.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
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

// udev's by-id folder holds links to some devices; a port is found under the link that leads
// to it, also through the ports folder's own link.
TEST_F(UsbProductTest, FindsTheStableByIdNameOfTheDevice) {
    const fs::path byId = root / "by-id";
    fs::create_directory(byId);
    fs::create_symlink("../dev/ttyS0", byId / "unrelated");
    fs::create_symlink(root / "dev/ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    fs::create_symlink(root / "dev/ttyUSB0", root / "COM33");
    EXPECT_EQ(serialByIdPath((root / "COM33").string(), byId.string()),
              (byId / "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string());
    EXPECT_EQ(serialByIdPath((root / "dev/ttyS1").string(), byId.string()), "");
    EXPECT_EQ(serialByIdPath((root / "dev/ttyUSB0").string(), (root / "none").string()), "");
}

TEST(OpenFailureReason, SaysWhatToDoAboutEachCause) {
    test::TempDir scratch{"kav-open"};
    const std::string device = (scratch.path() / "ttyUSB0").string();
    std::ofstream(device).put('\0');
    const std::string groupOfFile = [] {
        std::vector<char> buffer(4096);
        ::group entry{};
        ::group* found = nullptr;
        return ::getgrgid_r(::getgid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
                       found != nullptr
                   ? std::string(found->gr_name)
                   : std::to_string(::getgid());
    }();
    struct Case {
        std::string device;
        int error;
        std::string expected;
    };
    for (const Case& c : {
             Case{"", ENOENT, "no device is assigned to this COM number"},
             Case{"/dev/ttyUSB7", ENOENT,
                  "/dev/ttyUSB7 does not exist (is the programming lead plugged in?)"},
             Case{"/dev/ttyS0", EBUSY, "/dev/ttyS0 is in use by another program"},
             Case{device, EACCES,
                  "permission denied on " + device + "; membership of its group " + groupOfFile +
                      " grants access (usermod -aG " + groupOfFile + " $USER, then log in again)"},
             Case{"/dev/kav-gone", EACCES,
                  "permission denied on /dev/kav-gone; membership of its group dialout grants "
                  "access (usermod -aG dialout $USER, then log in again)"},
         }) {
        EXPECT_EQ(openFailureReason(c.device, c.error), c.expected);
    }
}

TEST(PortListingLine, ShowsTheProductOnlyWhenKnown) {
    EXPECT_EQ(portListingLine({33, "/dev/ttyUSB0", "FT232R USB UART", ""}),
              "COM33  /dev/ttyUSB0  FT232R USB UART");
    EXPECT_EQ(portListingLine({1, "/dev/ttyS0", "", ""}), "COM1  /dev/ttyS0");
}

} // namespace
} // namespace kav

#include "support/Testsupport.h"
#include "workflow/PortDoctor.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace kav {
namespace {

namespace fs = std::filesystem;

constexpr int kUser = 4242; // not the owner of the fake device nodes

const UsbFacts kFtdi{"0403", "6001", "FT232R USB UART", "FTDI"};
const UsbFacts kCh340{"1a86", "7523", "USB Serial", ""};

bool hasLine(const DoctorReport& report, const std::string& part) {
    return std::any_of(report.lines.begin(), report.lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

std::string text(const DoctorReport& report) {
    std::string all;
    for (const std::string& line : report.lines) {
        all += line + "\n";
    }
    return all;
}

// A root with the kernel's sysfs shape, device nodes (plain files: owner and group are the
// test's own, the mode is set), udev's by-id links and /proc entries.
class PortDoctorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(ports);
        fs::create_directories(root / "sys/class/tty");
        fs::create_directories(root / "sys/bus/usb/devices");
        fs::create_directories(root / "dev");
        setup.root = root.string();
        setup.portsDir = ports.string();
        setup.user = {"tech", kUser, {}, {}};
    }

    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }

    fs::path addUsbDevice(const std::string& bus, const UsbFacts& usb) {
        const fs::path device = root / "sys/devices/pci0/usb1" / bus;
        write(device / "idVendor", usb.vendorId);
        write(device / "idProduct", usb.productId);
        write(device / "product", usb.product);
        if (!usb.manufacturer.empty()) {
            write(device / "manufacturer", usb.manufacturer);
        }
        fs::create_directory_symlink(device, root / "sys/bus/usb/devices" / bus);
        return device;
    }

    // A tty with a driver, on USB when `usb` names a device; its node gets `mode`.
    void addTty(const std::string& name, const std::string& driver, const UsbFacts& usb = {},
                unsigned mode = 0660) {
        const fs::path parent = usb.onUsb() ? addUsbDevice("1-" + name, usb) / "1-1:1.0"
                                            : root / "sys/devices/platform/serial8250";
        const fs::path device = parent / name;
        fs::create_directories(device);
        fs::create_directories(root / "sys/bus/drivers" / driver);
        fs::create_directory_symlink(root / "sys/bus/drivers" / driver, device / "driver");
        fs::create_directories(root / "sys/class/tty" / name);
        fs::create_directory_symlink(device, root / "sys/class/tty" / name / "device");
        std::ofstream(root / "dev" / name).put('\0');
        fs::permissions(root / "dev" / name, static_cast<fs::perms>(mode));
    }

    void addByIdLink(const std::string& link, const std::string& name) {
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink("../../" + name, root / "dev/serial/by-id" / link);
    }

    void addProcess(int pid, const std::string& name, const std::string& openDevice = {}) {
        const fs::path dir = root / "proc" / std::to_string(pid);
        write(dir / "comm", name);
        fs::create_directories(dir / "fd");
        if (!openDevice.empty()) {
            fs::create_symlink(openDevice, dir / "fd/5");
        }
    }

    // The group the fake nodes belong to: the test's own.
    gid_t nodeGroup() const {
        struct stat st {};
        ::stat((root / "dev").c_str(), &st);
        return st.st_gid;
    }

    test::TempDir scratch{"kav-doctor"};
    fs::path root = fs::canonical(scratch.path());
    fs::path ports = root / "home/tech/.config/Kav/ports";
    DoctorSetup setup;
};

TEST_F(PortDoctorTest, ListsADriverBackedAdapterWithItsNamesAndSkipsTheRest) {
    addTty("ttyUSB0", "ftdi_sio", kFtdi);
    addByIdLink("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
    addTty("ttyS1", "serial8250");
    write(root / "sys/class/tty/ttyS1/type", "0"); // a legacy node without a UART
    fs::create_directories(root / "sys/class/tty/tty1");
    fs::create_symlink(root / "dev/ttyUSB0", ports / "COM3");
    setup.user.groups = {nodeGroup()};

    const DoctorReport report = examinePorts(setup, "");

    ASSERT_EQ(report.ports.size(), 1u) << text(report);
    const PortCheck& p = report.ports.front();
    EXPECT_EQ(p.device, "/dev/ttyUSB0");
    EXPECT_EQ(p.comNames, (std::vector<std::string>{"COM3", "COM33"}));
    EXPECT_EQ(p.driver, "ftdi_sio");
    EXPECT_EQ(p.usb.ids(), "0403:6001");
    EXPECT_EQ(p.usb.manufacturer, "FTDI");
    EXPECT_EQ(p.byId, (std::vector<std::string>{
                          "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"}));
    EXPECT_EQ(p.verdict, PortVerdict::Usable);
    EXPECT_FALSE(report.problem);
    EXPECT_TRUE(hasLine(report, "COM3, COM33  /dev/ttyUSB0  FT232R USB UART")) << text(report);
    EXPECT_TRUE(hasLine(report, "No problem found.")) << text(report);
}

struct AccessCase {
    const char* name;
    bool inGroup;
    bool inGroupNextLogin;
    unsigned mode;
    PortVerdict verdict;
    const char* said;    // "{group}" stands for the node's group
    const char* notSaid; // "" for nothing
};

class PortDoctorAccess : public PortDoctorTest, public ::testing::WithParamInterface<AccessCase> {};

TEST_P(PortDoctorAccess, JudgesOwnerGroupAndModeAndSaysHowToJoin) {
    const AccessCase& c = GetParam();
    addTty("ttyUSB0", "ftdi_sio", kFtdi, c.mode);
    if (c.inGroup) {
        setup.user.groups = {nodeGroup()};
    }
    if (c.inGroupNextLogin) {
        setup.user.groupsNextLogin = {nodeGroup()};
    }
    const DoctorReport report = examinePorts(setup, "COM33");

    ASSERT_EQ(report.ports.size(), 1u);
    EXPECT_EQ(report.ports.front().verdict, c.verdict) << text(report);
    EXPECT_EQ(report.problem, c.verdict != PortVerdict::Usable);
    std::string said = c.said;
    if (const auto at = said.find("{group}"); at != std::string::npos) {
        said.replace(at, 7, groupName(nodeGroup()));
    }
    EXPECT_TRUE(hasLine(report, said)) << text(report);
    if (*c.notSaid != '\0') {
        EXPECT_FALSE(hasLine(report, c.notSaid)) << text(report);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortDoctorAccess,
    ::testing::Values(AccessCase{"member", true, true, 0660, PortVerdict::Usable,
                                 "OK: tech can open it", ""},
                      AccessCase{"everybody", false, false, 0666, PortVerdict::Usable,
                                 "OK: tech can open it", ""},
                      AccessCase{"notMember", false, false, 0660, PortVerdict::NoAccess,
                                 "sudo usermod -aG {group} tech", ""},
                      AccessCase{"joinedNotLoggedIn", false, true, 0660, PortVerdict::NoAccess,
                                 "has joined {group} since this login began", "usermod"},
                      AccessCase{"ownerOnly", true, true, 0600, PortVerdict::NoAccess,
                                 "GROUP=\"dialout\", MODE=\"0660\"", "usermod"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PortDoctorTest, ABusyPortNamesTheProgramHoldingIt) {
    addTty("ttyUSB0", "ftdi_sio", kFtdi);
    addProcess(812, "minicom", "/dev/ttyUSB0");
    addProcess(813, "bash", "/dev/pts/0");
    std::string opened;
    setup.tryOpen = [&](const std::string& path) {
        opened = path;
        return EBUSY;
    };
    const DoctorReport report = examinePorts(setup, "/dev/ttyUSB0");

    EXPECT_EQ(opened, (root / "dev/ttyUSB0").string());
    ASSERT_EQ(report.ports.size(), 1u);
    EXPECT_EQ(report.ports.front().verdict, PortVerdict::Busy);
    EXPECT_EQ(report.ports.front().holders, (std::vector<std::string>{"minicom (pid 812)"}));
    EXPECT_TRUE(report.problem);
    EXPECT_TRUE(
        hasLine(report, "busy: another program has it open and claimed (minicom (pid 812))"))
        << text(report);
}

TEST_F(PortDoctorTest, APortThatDoesNotExistIsAProblemThatSaysSo) {
    const DoctorReport none = examinePorts(setup, "");
    EXPECT_TRUE(none.problem);
    EXPECT_TRUE(hasLine(none, "No serial port found")) << text(none);

    fs::create_symlink(root / "dev/ttyUSB9", ports / "COM4");
    const std::pair<std::string, std::string> cases[] = {
        {"COM5", "/dev/ttyS4 does not exist"},
        {"/dev/ttyUSB7", "/dev/ttyUSB7 does not exist"},
        {"COM200", "COM200 has no device"},
        {"COM4", "the link /home/tech/.config/Kav/ports/COM4 leads to /dev/ttyUSB9, which does "
                 "not exist"},
    };
    for (const auto& [port, said] : cases) {
        const DoctorReport report = examinePorts(setup, port);
        ASSERT_EQ(report.ports.size(), 1u) << port;
        EXPECT_EQ(report.ports.front().verdict, PortVerdict::Missing) << port;
        EXPECT_TRUE(report.problem) << port;
        EXPECT_TRUE(hasLine(report, said)) << port << "\n" << text(report);
    }
    EXPECT_TRUE(hasLine(examinePorts(setup, ""), "COM4")) << "a link that leads nowhere";
}

TEST_F(PortDoctorTest, BrlttyHavingTakenACh340IsAProblemAndMightTakeItAWarning) {
    write(root / "usr/bin/brltty", "");
    addUsbDevice("1-3", kCh340); // brltty took it: no tty
    DoctorReport report = examinePorts(setup, "");
    EXPECT_TRUE(report.problem);
    EXPECT_TRUE(hasLine(report, "has claimed the CH340/CH341 adapter (USB 1a86:7523)"))
        << text(report);
    EXPECT_TRUE(hasLine(report, "sudo apt remove brltty")) << text(report);

    addTty("ttyUSB0", "ch341-uart", kCh340); // a second one still has its tty
    fs::remove(root / "sys/bus/usb/devices/1-3");
    setup.user.groups = {nodeGroup()};
    report = examinePorts(setup, "");
    EXPECT_FALSE(report.problem) << text(report);
    EXPECT_TRUE(hasLine(report, "warning: brltty")) << text(report);

    write(root / "usr/lib/udev/rules.d/85-brltty.rules", "");
    fs::create_directories(root / "etc/udev/rules.d");
    fs::create_symlink("/dev/null", root / "etc/udev/rules.d/85-brltty.rules");
    report = examinePorts(setup, "");
    EXPECT_FALSE(hasLine(report, "brltty")) << "its rule is masked\n" << text(report);
}

TEST_F(PortDoctorTest, RunningModemManagerIsAWarningWithARuleForTheAdapter) {
    addTty("ttyUSB0", "ftdi_sio", kFtdi);
    setup.user.groups = {nodeGroup()};
    EXPECT_FALSE(hasLine(examinePorts(setup, ""), "ModemManager"));

    addProcess(77, "ModemManager");
    const DoctorReport report = examinePorts(setup, "");
    EXPECT_FALSE(report.problem);
    EXPECT_TRUE(hasLine(report, "warning: ModemManager is running")) << text(report);
    EXPECT_TRUE(hasLine(report, "ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
                                "ENV{ID_MM_DEVICE_IGNORE}=\"1\""))
        << text(report);
    EXPECT_TRUE(hasLine(report, "sudo systemctl disable --now ModemManager")) << text(report);
}

} // namespace
} // namespace kav

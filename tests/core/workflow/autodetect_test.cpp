#include "link/Event.h"
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "model/Radioinfo.h"
#include "sim/VirtualRadio.h"
#include "support/Testsupport.h"
#include "workflow/Autodetect.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace kav {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(AcceptsRadioType, PrefixOfTheBuildModelNameOrMask511) {
    const TradioInfo models;
    const BuildConfig delivered = BuildConfig::delivered();
    const BuildConfig any{0x2200, kAnyModelMask, 0};
    struct Case {
        const char* type;
        const BuildConfig& config;
        bool accepted;
    };
    for (const Case& c : {Case{"QM2200", delivered, true}, Case{"QM2200 V2 AU", delivered, true},
                          Case{"QM2201", delivered, false}, Case{"QM22", delivered, false},
                          Case{"QM3100", delivered, false}, Case{"", delivered, false},
                          Case{"QM3100", any, true}, Case{"", any, true}}) {
        EXPECT_EQ(acceptsRadioType(c.type, models, c.config), c.accepted) << c.type;
    }
    // A build product the table does not know names no family.
    EXPECT_FALSE(acceptsRadioType("QM2200", models, {0x4242, 2, 0}));
}

// Virtual radios behind COM links in a private ports folder, and the program's port and
// radio object that the scan drives.
class AutodetectTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(root / "ports");
        fs::create_directory(root / "sys"); // lists no kernel tty, so only the links count
        env.portsDir = (root / "ports").string();
        env.sysTtyDir = (root / "sys").string();
    }

    void TearDown() override {
        radio.reset();
        port.Close();
        radios.clear();
    }

    // A radio on COM n reporting `type`; `silent` makes it answer nothing.
    VirtualRadio& addRadio(int n, const std::string& type, bool silent = false) {
        auto sim = std::make_unique<VirtualRadio>(0x2200);
        sim->update([&](CommandResponder& r) {
            r.state().radioType = type;
            r.state().firmwareMajor = 3;
            r.state().firmwareMinor = 4;
        });
        if (silent) {
            VirtualRadioFaults faults;
            faults.replyLimit = 0;
            sim->setFaults(faults);
        }
        EXPECT_TRUE(sim->start());
        fs::create_symlink(sim->slavePath(), root / "ports" / ("COM" + std::to_string(n)));
        VirtualRadio& added = *sim;
        radios[n] = std::move(sim);
        return added;
    }

    std::string versionText() const {
        std::string text;
        radio->GetVersionText(text);
        return text;
    }

    AutoDetectResult scan(const BuildConfig& config, Lines* checked = nullptr,
                          std::vector<PortDetection>* detections = nullptr,
                          const Event* cancel = nullptr) {
        AutoDetectProgress progress;
        progress.checking = [checked](int n) {
            if (checked != nullptr) {
                checked->push_back(checkingPortLine(n));
            }
        };
        progress.detected = [detections](const PortDetection& d) {
            if (detections != nullptr) {
                detections->push_back(d);
            }
        };
        return autoDetect(port, *radio, models, config, env, cancel, progress);
    }

    test::TempDir scratch{"kav-autodetect"};
    fs::path root = scratch.path();
    PortEnvironment env;
    std::map<int, std::unique_ptr<VirtualRadio>> radios;
    SerialPort port;
    EEPROM image;
    TradioInfo models;
    std::unique_ptr<TRadio> radio = std::make_unique<TRadio>(port, image, BuildConfig::delivered());
};

TEST_F(AutodetectTest, ProbeOpensAt9600PingsAndAsksTheVersion) {
    VirtualRadio& sim = addRadio(3, "QM2200");
    ASSERT_TRUE(probePort(port, *radio, 3, env.portsDir));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.appliedBaudRate(), kProbeBaudRate);
    const auto requests = sim.requests();
    ASSERT_EQ(requests.size(), 2U); // Ping, then GetVersion: both command 0x00
    EXPECT_EQ(requests[0][0] & 0x3F, 0x00);
    EXPECT_EQ(requests[1][0] & 0x3F, 0x00);
    EXPECT_EQ(versionText().empty(), false);
}

TEST_F(AutodetectTest, ProbeFailsOnASilentRadioAndOnAMissingPort) {
    addRadio(1, "QM2200", true);
    EXPECT_FALSE(probePort(port, *radio, 1, env.portsDir));
    EXPECT_TRUE(port.IsOpen()); // it opened; only the radio stayed silent
    EXPECT_FALSE(probePort(port, *radio, 9, env.portsDir));
    EXPECT_FALSE(port.IsOpen()); // closed first, then failed to open
}

TEST_F(AutodetectTest, CancelCutsTheProbeShort) {
    VirtualRadio& sim = addRadio(2, "QM2200");
    const Event cancel(true);
    EXPECT_FALSE(probePort(port, *radio, 2, env.portsDir, &cancel));
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(AutodetectTest, FoundRadioShowsItsThreeLines) {
    addRadio(5, "QM2200 TEST");
    const PortDetection found =
        detectOnPort(port, *radio, models, BuildConfig::delivered(), 5, env.portsDir);
    EXPECT_TRUE(found.answered);
    EXPECT_TRUE(found.accepted);
    EXPECT_EQ(found.lines,
              (Lines{"Radio found on COM5", "QM2200 TEST", "Firmware: " + versionText()}));
}

TEST_F(AutodetectTest, TypeReadFailureShowsADashAndIsNotAccepted) {
    VirtualRadio& sim = addRadio(5, "QM2200");
    VirtualRadioFaults faults;
    faults.nackCodes[0x3A] = true; // ReadRadioType
    sim.setFaults(faults);
    const PortDetection found =
        detectOnPort(port, *radio, models, BuildConfig::delivered(), 5, env.portsDir);
    EXPECT_TRUE(found.answered);
    EXPECT_FALSE(found.accepted);
    ASSERT_EQ(found.lines.size(), 3U);
    EXPECT_EQ(found.lines[1], "-");
    // With mask 511 any radio that answers is taken.
    EXPECT_TRUE(detectOnPort(port, *radio, models, {0x2200, 511, 0}, 5, env.portsDir).accepted);
}

TEST_F(AutodetectTest, ScanPassesSilentAndForeignRadiosAndFindsALaterPort) {
    addRadio(1, "QM2200", true);
    addRadio(2, "QM3100");
    addRadio(4, "QM2200");
    Lines checked;
    std::vector<PortDetection> detections;
    const AutoDetectResult result = scan(BuildConfig::delivered(), &checked, &detections);
    EXPECT_EQ(result.detectedPort, 4);
    EXPECT_EQ(result.lines, (Lines{"Radio found on COM4", "QM2200", "Firmware: " + versionText()}));
    EXPECT_EQ(checked, (Lines{"Checking COM1", "Checking COM2", "Checking COM4"}));
    ASSERT_EQ(detections.size(), 3U);
    EXPECT_FALSE(detections[0].answered);
    EXPECT_TRUE(detections[1].answered); // the other family is shown, then passed over
    EXPECT_FALSE(detections[1].accepted);
    EXPECT_EQ(detections[1].lines[0], "Radio found on COM2");
    EXPECT_EQ(detections[1].lines[1], "QM3100");
    EXPECT_TRUE(port.IsOpen()); // left open on the accepted port
}

TEST_F(AutodetectTest, Mask511TakesTheFirstRadioThatAnswers) {
    addRadio(1, "QM2200", true);
    addRadio(2, "QM3100");
    addRadio(3, "QM2200");
    EXPECT_EQ(scan({0x2200, 511, 0}).detectedPort, 2);
}

TEST_F(AutodetectTest, NotFoundAndNoPortLines) {
    EXPECT_EQ(scan(BuildConfig::delivered()).lines, (Lines{kNoSerialPortsText}));
    addRadio(6, "QM1700");
    const AutoDetectResult result = scan(BuildConfig::delivered());
    EXPECT_EQ(result.detectedPort, 0);
    EXPECT_FALSE(result.noPorts);
    EXPECT_EQ(result.lines, radioNotFoundLines());
    EXPECT_EQ(result.lines, (Lines{"Radio not found.", "Ensure radio is switched on.",
                                   "Check programming leads."}));
}

TEST_F(AutodetectTest, CancelledScanDetectsNothing) {
    addRadio(1, "QM2200");
    const Event cancel(true);
    const AutoDetectResult result = scan(BuildConfig::delivered(), nullptr, nullptr, &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.detectedPort, 0);
}

} // namespace
} // namespace kav

#pragma once

#include <string>
#include <vector>

namespace kav {

inline constexpr int kMaxComPort = 256;

// Where the program looks for the links named "COM1".. that map COM numbers to devices.
struct PortEnvironment {
    std::string portsDir;                            // empty: no ports folder
    std::string sysTtyDir = "/sys/class/tty";        // the kernel's view of tty drivers
    std::string serialByIdDir = "/dev/serial/by-id"; // udev's stable names of USB adapters
};

// The number n of "COMn" (n in decimal, 1..256, no sign or leading zero), otherwise 0.
int comNumberOf(const std::string& name);

// The ports folder: $KAV_PORTS_DIR, else $XDG_CONFIG_HOME/Kav/ports, else ~/.config/Kav/ports.
// Null or empty arguments count as unset.
std::string portsDirectory(const char* kavPortsDir, const char* xdgConfigHome, const char* home);
// From the process environment; a program reads it once at start-up and passes it on.
PortEnvironment portEnvironment();

// COM1-32 -> /dev/ttyS0-31, COM33-64 -> /dev/ttyUSB0-31, COM65-96 -> /dev/ttyACM0-31; "" else.
std::string defaultComDevice(int n);

// The device of COM n: the ports folder's link when there is one (resolved to its target
// when that exists), otherwise the default scheme. "" when n has no device.
std::string comPortDevice(int n, const std::string& portsDir);

// "COMn" through comPortDevice, a path starting with "/" as it is; "" for anything else.
std::string resolvePortName(const std::string& name, const std::string& portsDir);

// True when `device` is a character device that a driver backs. A tty the kernel lists must
// have a device behind it and, for serial-core ports, a known UART type (legacy ttyS nodes
// without hardware report type 0). A device the kernel does not list (a pty) counts only
// when allowUnlisted is set, which the ports folder's links are.
bool ttyIsReal(const std::string& device, const std::string& sysTtyDir, bool allowUnlisted);

// The sysfs half of ttyIsReal for the tty the kernel calls `ttyName` ("ttyUSB0"): listed, with
// a device behind it and, for serial-core ports, a known UART type.
bool ttyHasDriver(const std::string& ttyName, const std::string& sysTtyDir);

// The COM numbers 1..256 whose device exists, ascending.
std::vector<int> existingComPorts(const PortEnvironment& env);

} // namespace kav

#pragma once

#include "link/PortList.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kav {

// Who asks. The program describes its own process (currentDoctorUser); tests make one up.
struct DoctorUser {
    std::string name;
    uid_t uid = 0;
    std::vector<gid_t> groups;          // the groups this login has
    std::vector<gid_t> groupsNextLogin; // the account's groups as the next login gets them
};

struct DoctorSetup {
    std::string root = "/"; // /sys, /dev, /proc, /run, /etc and /usr are read below it
    std::string portsDir;   // the COM links; their targets name paths below root
    DoctorUser user;
    // Opens a device (its path below root) as the program would: 0 or the errno. Unset,
    // access is judged from owner, group and mode alone.
    std::function<int(const std::string&)> tryOpen;
};

enum class PortVerdict {
    Usable,
    Missing,    // no device node, or a COM number that leads nowhere
    NoHardware, // the kernel keeps the node, but no UART is behind it
    NoAccess,   // the user may not open it read/write
    Busy,       // another program holds it
    OpenFails,  // any other error of the open
};

struct PortCheck {
    std::string device;                // as the program opens it: "/dev/ttyUSB0"
    std::vector<std::string> comNames; // every COM name that leads to it
    std::string driver;                // "" when the kernel does not list it (a pty)
    UsbFacts usb;
    std::vector<std::string> byId; // /dev/serial/by-id links to it
    std::string owner;
    std::string group;
    unsigned mode = 0; // type and permission bits
    bool inGroup = false;
    bool inGroupNextLogin = false;
    PortVerdict verdict = PortVerdict::Usable;
    int openError = 0;                // errno of the open attempt, 0 when none failed
    std::vector<std::string> holders; // "minicom (pid 812)"
};

struct DoctorReport {
    std::vector<PortCheck> ports;
    std::vector<std::string> lines; // the text to print
    bool problem = false;           // a port is unusable, none exists or a service took one
};

// Checks every serial port, or only `port` (COMn or a device path) when it is not "", and
// the services known to take USB serial adapters.
DoctorReport examinePorts(const DoctorSetup& setup, const std::string& port);

// The user running this process, with the groups the next login would give the account.
DoctorUser currentDoctorUser();

} // namespace kav

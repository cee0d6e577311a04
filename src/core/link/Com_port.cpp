#include "link/Com_port.h"

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kav {

namespace fs = std::filesystem;

namespace {

struct DefaultRange {
    int firstCom;
    int count;
    const char* prefix;
};

constexpr std::array<DefaultRange, 3> kDefaultScheme{{
    {1, 32, "/dev/ttyS"},
    {33, 32, "/dev/ttyUSB"},
    {65, 32, "/dev/ttyACM"},
}};

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

std::string linkPath(int n, const std::string& portsDir) {
    if (portsDir.empty()) {
        return {};
    }
    return (fs::path(portsDir) / ("COM" + std::to_string(n))).string();
}

bool linkPresent(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

bool isCharDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A device the kernel does not list as a tty (a pty) counts only when it is a terminal:
// a link to /dev/null is no serial port. Opening it does nothing to a pty.
bool isTerminal(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal;
}

// The serial core's "type" attribute; -1 when the tty has none.
int uartType(const fs::path& ttyEntry) {
    std::ifstream in(ttyEntry / "type");
    int type = -1;
    if (!(in >> type)) {
        return -1;
    }
    return type;
}

} // namespace

int comNumberOf(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
        return 0;
    }
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n <= kMaxComPort ? n : 0;
}

std::string portsDirectory(const char* kavPortsDir, const char* xdgConfigHome, const char* home) {
    if (isSet(kavPortsDir)) {
        return kavPortsDir;
    }
    if (isSet(xdgConfigHome)) {
        return (fs::path(xdgConfigHome) / "Kav" / "ports").string();
    }
    if (isSet(home)) {
        return (fs::path(home) / ".config" / "Kav" / "ports").string();
    }
    return {};
}

PortEnvironment portEnvironment() {
    PortEnvironment env;
    env.portsDir = portsDirectory(std::getenv("KAV_PORTS_DIR"), std::getenv("XDG_CONFIG_HOME"),
                                  std::getenv("HOME"));
    return env;
}

std::string defaultComDevice(int n) {
    for (const DefaultRange& range : kDefaultScheme) {
        if (n >= range.firstCom && n < range.firstCom + range.count) {
            return range.prefix + std::to_string(n - range.firstCom);
        }
    }
    return {};
}

std::string comPortDevice(int n, const std::string& portsDir) {
    if (n < 1 || n > kMaxComPort) {
        return {};
    }
    const std::string link = linkPath(n, portsDir);
    if (linkPresent(link)) {
        std::error_code ec;
        const fs::path target = fs::canonical(link, ec);
        // A dangling link stays as it is, so opening it reports the missing device.
        return ec ? link : target.string();
    }
    return defaultComDevice(n);
}

std::string resolvePortName(const std::string& name, const std::string& portsDir) {
    if (!name.empty() && name.front() == '/') {
        return name;
    }
    return comPortDevice(comNumberOf(name), portsDir);
}

bool ttyIsReal(const std::string& device, const std::string& sysTtyDir, bool allowUnlisted) {
    if (!isCharDevice(device)) {
        return false;
    }
    std::error_code ec;
    const fs::path entry = fs::path(sysTtyDir) / fs::canonical(device, ec).filename();
    if (ec || !fs::exists(entry, ec)) {
        return allowUnlisted && isTerminal(device);
    }
    return ttyHasDriver(entry.filename().string(), sysTtyDir);
}

bool ttyHasDriver(const std::string& ttyName, const std::string& sysTtyDir) {
    const fs::path entry = fs::path(sysTtyDir) / ttyName;
    std::error_code ec;
    if (ttyName.empty() || !fs::exists(entry / "device", ec)) {
        return false; // virtual consoles and the like: no driver-backed hardware
    }
    return uartType(entry) != 0;
}

std::vector<int> existingComPorts(const PortEnvironment& env) {
    std::vector<int> ports;
    for (int n = 1; n <= kMaxComPort; ++n) {
        const bool linked = linkPresent(linkPath(n, env.portsDir));
        const std::string device = comPortDevice(n, env.portsDir);
        if (!device.empty() && ttyIsReal(device, env.sysTtyDir, linked)) {
            ports.push_back(n);
        }
    }
    return ports;
}

} // namespace kav

#include "link/PortList.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace kav {

namespace fs = std::filesystem;

namespace {

// A USB interface sits below its device, the tty below the interface or beside it.
constexpr int kMaxLevels = 6;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

} // namespace

std::string groupName(gid_t gid) {
    constexpr std::size_t kBufferSize = 4096;
    std::vector<char> buffer(kBufferSize);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

UsbFacts usbFacts(const std::string& ttyName, const std::string& sysTtyDir) {
    std::error_code ec;
    fs::path node = fs::canonical(fs::path(sysTtyDir) / ttyName / "device", ec);
    // The first parent with a vendor ID is the device; the hubs further up have their own.
    for (int level = 0; !ec && level < kMaxLevels && node.has_relative_path(); ++level) {
        if (fs::exists(node / "idVendor", ec)) {
            return {firstLine(node / "idVendor"), firstLine(node / "idProduct"),
                    firstLine(node / "product"), firstLine(node / "manufacturer")};
        }
        node = node.parent_path();
    }
    return {};
}

std::string usbProductName(const std::string& device, const std::string& sysTtyDir) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(device, ec);
    if (ec) {
        return {};
    }
    return usbFacts(resolved.filename().string(), sysTtyDir).product;
}

std::string ttyDriverName(const std::string& ttyName, const std::string& sysTtyDir) {
    std::error_code ec;
    fs::path node = fs::canonical(fs::path(sysTtyDir) / ttyName / "device", ec);
    for (int level = 0; !ec && level < kMaxLevels && node.has_relative_path(); ++level) {
        std::error_code linkError;
        const fs::path driver = fs::read_symlink(node / "driver", linkError);
        // The serial core's own port and controller drivers say nothing; the UART's does.
        if (!linkError && driver.parent_path().parent_path().filename() != "serial-base") {
            return driver.filename().string();
        }
        node = node.parent_path();
    }
    return {};
}

std::vector<std::string> serialByIdPaths(const std::string& device, const std::string& byIdDir) {
    std::vector<std::string> links;
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec || byIdDir.empty()) {
        return links;
    }
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (it->is_symlink(linkError) && fs::canonical(it->path(), linkError) == target &&
            !linkError) {
            links.push_back(it->path().string());
        }
    }
    std::sort(links.begin(), links.end());
    return links;
}

std::string serialByIdPath(const std::string& device, const std::string& byIdDir) {
    const std::vector<std::string> links = serialByIdPaths(device, byIdDir);
    return links.empty() ? std::string() : links.front();
}

std::vector<PortListing> listPorts(const PortEnvironment& env) {
    std::vector<PortListing> ports;
    for (int n : existingComPorts(env)) {
        const std::string device = comPortDevice(n, env.portsDir);
        ports.push_back({n, device, usbProductName(device, env.sysTtyDir),
                         serialByIdPath(device, env.serialByIdDir)});
    }
    return ports;
}

std::string portListingLine(const PortListing& port) {
    std::string line = "COM" + std::to_string(port.com) + "  " + port.device;
    if (!port.product.empty()) {
        line += "  " + port.product;
    }
    return line;
}

std::string openFailureReason(const std::string& device, int error) {
    if (device.empty()) {
        return "no device is assigned to this COM number";
    }
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return device + " does not exist (is the programming lead plugged in?)";
    case EBUSY:
        return device + " is in use by another program";
    case EACCES:
    case EPERM: {
        struct stat st {};
        const std::string group =
            ::stat(device.c_str(), &st) == 0 ? groupName(st.st_gid) : std::string("dialout");
        return "permission denied on " + device + "; membership of its group " + group +
               " grants access (usermod -aG " + group + " $USER, then log in again)";
    }
    default:
        return device + ": " + std::generic_category().message(error);
    }
}

} // namespace kav

#include "link/PortList.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace kav {

namespace fs = std::filesystem;

namespace {

// A USB interface sits below its device; the device is the first parent with a product name.
constexpr int kMaxLevels = 6;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

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

} // namespace

std::string usbProductName(const std::string& device, const std::string& sysTtyDir) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(device, ec);
    if (ec) {
        return {};
    }
    fs::path node = fs::canonical(fs::path(sysTtyDir) / resolved.filename() / "device", ec);
    for (int level = 0; !ec && level < kMaxLevels && node.has_relative_path(); ++level) {
        if (fs::exists(node / "product", ec) && fs::exists(node / "idVendor", ec)) {
            return firstLine(node / "product");
        }
        node = node.parent_path();
    }
    return {};
}

std::string serialByIdPath(const std::string& device, const std::string& byIdDir) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec || byIdDir.empty()) {
        return {};
    }
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (it->is_symlink(linkError) && fs::canonical(it->path(), linkError) == target &&
            !linkError) {
            return it->path().string();
        }
    }
    return {};
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

#include "cli/PortList.h"

#include <filesystem>
#include <fstream>
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

std::vector<PortListing> listPorts(const PortEnvironment& env) {
    std::vector<PortListing> ports;
    for (int n : existingComPorts(env)) {
        const std::string device = comPortDevice(n, env.portsDir);
        ports.push_back({n, device, usbProductName(device, env.sysTtyDir)});
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

} // namespace kav

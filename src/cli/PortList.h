#pragma once

#include "link/Com_port.h"

#include <string>
#include <vector>

namespace kav {

struct PortListing {
    int com = 0;
    std::string device;
    std::string product; // the USB product name, "" when sysfs gives none
};

// The USB product name of a tty device: the "product" attribute of the nearest USB device
// above it in sysfs. "" for ttys that are not on USB (and for ptys).
std::string usbProductName(const std::string& device, const std::string& sysTtyDir);

// The COM ports that exist, ascending, with their devices.
std::vector<PortListing> listPorts(const PortEnvironment& env);

// "COM1  /dev/ttyS0", with the product name after the device when there is one.
std::string portListingLine(const PortListing& port);

} // namespace kav

#pragma once

#include "link/Com_port.h"

#include <string>
#include <vector>

namespace kav {

struct PortListing {
    int com = 0;
    std::string device;
    std::string product; // the USB product name, "" when sysfs gives none
    std::string byId;    // the stable /dev/serial/by-id link to it, "" when udev made none
};

// The USB product name of a tty device: the "product" attribute of the nearest USB device
// above it in sysfs. "" for ttys that are not on USB (and for ptys).
std::string usbProductName(const std::string& device, const std::string& sysTtyDir);

// The link in `byIdDir` that leads to `device`, "" when none does. Unlike ttyUSBn these names
// stay the same whichever socket the adapter is plugged into.
std::string serialByIdPath(const std::string& device, const std::string& byIdDir);

// The COM ports that exist, ascending, with their devices.
std::vector<PortListing> listPorts(const PortEnvironment& env);

// "COM1  /dev/ttyS0", with the product name after the device when there is one.
std::string portListingLine(const PortListing& port);

// Why `device` did not open with `error` (an errno), in words that say what to do about it:
// missing, busy, or the group whose members may open it and how to join it. `device` ""
// means the COM number leads nowhere.
std::string openFailureReason(const std::string& device, int error);

} // namespace kav

#pragma once

#include "link/Com_port.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace kav {

struct PortListing {
    int com = 0;
    std::string device;
    std::string product; // the USB product name, "" when sysfs gives none
    std::string byId;    // the stable /dev/serial/by-id link to it, "" when udev made none
};

// What the nearest USB device above a tty tells about itself; all "" off USB.
struct UsbFacts {
    std::string vendorId;  // "0403"
    std::string productId; // "6001"
    std::string product;   // "FT232R USB UART", "" when the device names none
    std::string manufacturer;

    bool onUsb() const { return !vendorId.empty(); }
    std::string ids() const { return vendorId + ":" + productId; }
};

// The facts of the USB device above the tty the kernel calls `ttyName` ("ttyUSB0").
UsbFacts usbFacts(const std::string& ttyName, const std::string& sysTtyDir);

// The USB product name of a tty device: the "product" attribute of the nearest USB device
// above it in sysfs. "" for ttys that are not on USB (and for ptys).
std::string usbProductName(const std::string& device, const std::string& sysTtyDir);

// The name of the kernel driver behind a tty ("ftdi_sio", "serial"), "" when it has none.
std::string ttyDriverName(const std::string& ttyName, const std::string& sysTtyDir);

// The links in `byIdDir` that lead to `device`, sorted. Unlike ttyUSBn these names stay the
// same whichever socket the adapter is plugged into.
std::vector<std::string> serialByIdPaths(const std::string& device, const std::string& byIdDir);
// The first of them, "" when none leads there.
std::string serialByIdPath(const std::string& device, const std::string& byIdDir);

// The name of group `gid`, its number when it has none.
std::string groupName(gid_t gid);

// The COM ports that exist, ascending, with their devices.
std::vector<PortListing> listPorts(const PortEnvironment& env);

// "COM1  /dev/ttyS0", with the product name after the device when there is one.
std::string portListingLine(const PortListing& port);

// Why `device` did not open with `error` (an errno), in words that say what to do about it:
// missing, busy, or the group whose members may open it and how to join it. `device` ""
// means the COM number leads nowhere.
std::string openFailureReason(const std::string& device, int error);

} // namespace kav

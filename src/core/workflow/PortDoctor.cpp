#include "workflow/PortDoctor.h"

#include "link/Com_port.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kav {

namespace fs = std::filesystem;

namespace {

// USB serial adapters that brltty takes for a braille display.
struct UsbId {
    const char* vendor;
    const char* product;
    const char* name;
};
constexpr std::array<UsbId, 1> kBrlttyClaims{{{"1a86", "7523", "CH340/CH341"}}};

constexpr std::array<const char*, 4> kBrlttyMarks{{
    "usr/bin/brltty",
    "bin/brltty",
    "usr/lib/udev/rules.d/85-brltty.rules",
    "lib/udev/rules.d/85-brltty.rules",
}};
constexpr const char* kBrlttyRuleOverride = "etc/udev/rules.d/85-brltty.rules";

constexpr const char* kIndent = "            ";

struct Process {
    int pid = 0;
    std::string name;
    std::vector<std::string> devices; // what its descriptors under /dev lead to
};

// Paths as the system names them ("/dev/ttyUSB0") and where they are read (below root).
class Tree {
public:
    explicit Tree(const std::string& root) : root_(canonicalRoot(root)) {}

    fs::path at(const std::string& systemPath) const {
        return root_ == "/" ? fs::path(systemPath) : root_ / fs::path(systemPath).relative_path();
    }
    std::string systemPath(const std::string& path) const {
        const std::string prefix = root_.string();
        if (root_ != "/" && path.size() > prefix.size() &&
            path.compare(0, prefix.size(), prefix) == 0 && path[prefix.size()] == '/') {
            return path.substr(prefix.size());
        }
        return path;
    }
    bool exists(const std::string& systemPath) const {
        std::error_code ec;
        return fs::exists(at(systemPath), ec);
    }
    std::string sysTty() const { return at("/sys/class/tty").string(); }

private:
    // Links below root resolve to canonical paths; the prefix to strip must be one too.
    static fs::path canonicalRoot(const std::string& root) {
        std::error_code ec;
        const fs::path path = fs::weakly_canonical(root.empty() ? "/" : root, ec);
        return ec ? fs::path(root) : path;
    }

    fs::path root_;
};

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

struct Account {
    std::string name;
    gid_t gid = 0;
};

std::optional<Account> account(uid_t uid) {
    constexpr std::size_t kBufferSize = 4096;
    std::vector<char> buffer(kBufferSize);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return Account{found->pw_name, found->pw_gid};
    }
    return std::nullopt;
}

std::string userName(uid_t uid) {
    const std::optional<Account> known = account(uid);
    return known ? known->name : std::to_string(uid);
}

// The groups a new login of `who` gets from the group database.
std::vector<gid_t> groupsAtLogin(const Account& who) {
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(who.name.c_str(), who.gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count)); // count now says how many there are
        ::getgrouplist(who.name.c_str(), who.gid, groups.data(), &count);
    }
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return groups;
}

bool contains(const std::vector<gid_t>& groups, gid_t gid) {
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::vector<Process> processes(const Tree& tree) {
    std::vector<Process> found;
    std::error_code ec;
    for (fs::directory_iterator it(tree.at("/proc"), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        Process p{std::stoi(pid), firstLine(it->path() / "comm"), {}};
        std::error_code fdError;
        for (fs::directory_iterator fd(it->path() / "fd", fdError), none; !fdError && fd != none;
             fd.increment(fdError)) {
            std::error_code linkError;
            const std::string target = fs::read_symlink(fd->path(), linkError).string();
            if (!linkError && target.rfind("/dev/", 0) == 0) {
                p.devices.push_back(target);
            }
        }
        found.push_back(std::move(p));
    }
    return found;
}

bool running(const std::vector<Process>& all, const std::string& name) {
    return std::any_of(all.begin(), all.end(), [&](const Process& p) { return p.name == name; });
}

std::vector<std::string> holdersOf(const std::string& device, const std::vector<Process>& all) {
    std::vector<std::string> holders;
    for (const Process& p : all) {
        if (std::find(p.devices.begin(), p.devices.end(), device) != p.devices.end()) {
            holders.push_back(p.name + " (pid " + std::to_string(p.pid) + ")");
        }
    }
    return holders;
}

// The devices the kernel backs with a driver, then those only the ports folder leads to.
std::vector<std::string> serialDevices(const Tree& tree, const std::string& portsDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(tree.sysTty(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (ttyHasDriver(name, tree.sysTty())) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> devices;
    devices.reserve(names.size());
    for (const std::string& name : names) {
        devices.push_back("/dev/" + name);
    }
    for (int n = 1; n <= kMaxComPort; ++n) {
        const std::string device = tree.systemPath(comPortDevice(n, portsDir));
        if (device != defaultComDevice(n) &&
            std::find(devices.begin(), devices.end(), device) == devices.end()) {
            devices.push_back(device);
        }
    }
    return devices;
}

std::vector<std::string> comNamesOf(const std::string& device, const Tree& tree,
                                    const std::string& portsDir) {
    std::vector<std::string> names;
    for (int n = 1; n <= kMaxComPort; ++n) {
        if (tree.systemPath(comPortDevice(n, portsDir)) == device) {
            names.push_back("COM" + std::to_string(n));
        }
    }
    return names;
}

// Read and write by the permission bits that apply to this user: the owner's, else the
// group's, else everybody's.
bool bitsAllow(const DoctorUser& user, const struct stat& st) {
    if (user.uid == 0) {
        return true;
    }
    if (user.uid == st.st_uid) {
        return (st.st_mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR);
    }
    if (contains(user.groups, st.st_gid)) {
        return (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    }
    return (st.st_mode & (S_IROTH | S_IWOTH)) == (S_IROTH | S_IWOTH);
}

PortVerdict verdictOfOpen(int error) {
    switch (error) {
    case 0:
        return PortVerdict::Usable;
    case EBUSY:
        return PortVerdict::Busy;
    case EACCES:
    case EPERM:
        return PortVerdict::NoAccess;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortVerdict::Missing;
    default:
        return PortVerdict::OpenFails;
    }
}

PortCheck checkDevice(const std::string& device, const DoctorSetup& setup, const Tree& tree,
                      const std::vector<Process>& all) {
    PortCheck check;
    check.device = device;
    if (!device.empty()) {
        check.comNames = comNamesOf(device, tree, setup.portsDir);
    }
    const std::string name = fs::path(device).filename().string();
    const bool listed = device.rfind("/dev/", 0) == 0 && tree.exists("/sys/class/tty/" + name);
    if (listed) {
        check.driver = ttyDriverName(name, tree.sysTty());
        check.usb = usbFacts(name, tree.sysTty());
    }
    const fs::path node = tree.at(device);
    struct stat st {};
    if (device.empty() || ::stat(node.c_str(), &st) != 0) {
        check.verdict = PortVerdict::Missing;
        return check;
    }
    for (const std::string& link : serialByIdPaths(node.string(), tree.at("/dev/serial/by-id"))) {
        check.byId.push_back(tree.systemPath(link));
    }
    check.owner = userName(st.st_uid);
    check.group = groupName(st.st_gid);
    check.mode = st.st_mode;
    check.inGroup = contains(setup.user.groups, st.st_gid);
    check.inGroupNextLogin = contains(setup.user.groupsNextLogin, st.st_gid);
    check.holders = holdersOf(device, all);
    if (listed && !ttyHasDriver(name, tree.sysTty())) {
        check.verdict = PortVerdict::NoHardware;
        return check;
    }
    if (setup.tryOpen) {
        check.openError = setup.tryOpen(node.string());
        check.verdict = verdictOfOpen(check.openError);
    } else {
        check.verdict = bitsAllow(setup.user, st) ? PortVerdict::Usable : PortVerdict::NoAccess;
    }
    return check;
}

// The device a --port argument names, through its links; "" for a COM number that leads
// nowhere.
std::string deviceOf(const std::string& port, const Tree& tree, const std::string& portsDir) {
    const std::string device = tree.systemPath(resolvePortName(port, portsDir));
    std::error_code ec;
    const fs::path target = fs::canonical(tree.at(device), ec);
    return device.empty() || ec ? device : tree.systemPath(target.string());
}

// ---- text -------------------------------------------------------------------------------

std::string modeText(unsigned mode) {
    std::string text = S_ISCHR(mode) ? "c" : (S_ISREG(mode) ? "-" : "?");
    constexpr const char* kLetters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text += (mode & (1u << (8 - bit))) != 0 ? kLetters[bit] : '-';
    }
    return text;
}

std::string joined(const std::vector<std::string>& words, const std::string& between) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : between) + word;
    }
    return text;
}

void field(std::vector<std::string>& lines, const std::string& label, const std::string& value) {
    std::string line = "  " + label + ":";
    line.resize(std::strlen(kIndent), ' ');
    lines.push_back(line + value);
}

std::string usbLine(const UsbFacts& usb) {
    std::string line = usb.ids();
    for (const std::string& text : {usb.manufacturer, usb.product}) {
        if (!text.empty()) {
            line += "  " + text;
        }
    }
    return line;
}

void noGroupFix(const PortCheck& p, const std::string& user, std::vector<std::string>& lines) {
    if (p.driver.empty()) { // a pty: its maker set the mode, no udev rule applies
        field(lines, "fix", "run the program that made it as " + user + ", or give it to a group:");
        lines.push_back(std::string(kIndent) + "sudo chgrp dialout " + p.device +
                        " && sudo chmod 660 " + p.device);
        return;
    }
    field(lines, "fix", "a udev rule that gives it to a group, in /etc/udev/rules.d/99-kav.rules:");
    lines.push_back(std::string(kIndent) + "  KERNEL==\"" + fs::path(p.device).filename().string() +
                    "\", GROUP=\"dialout\", MODE=\"0660\"");
    lines.push_back(std::string(kIndent) +
                    "then sudo udevadm control --reload, sudo udevadm trigger, and join dialout");
}

void noAccessLines(const PortCheck& p, const std::string& user, std::vector<std::string>& lines) {
    if ((p.mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        field(lines, "result",
              "PROBLEM: only " + p.owner + " may open it; no group grants access to it");
        noGroupFix(p, user, lines);
        return;
    }
    if (p.inGroup) {
        field(lines, "result",
              "PROBLEM: " + user + " may not open it (" + p.group +
                  " members should; an ACL or security module refuses)");
        return;
    }
    field(lines, "result",
          "PROBLEM: " + user + " may not open it: it is not in the group " + p.group +
              ", whose members may");
    if (p.inGroupNextLogin) {
        field(lines, "fix",
              user + " has joined " + p.group + " since this login began: log out and in again");
        return;
    }
    field(lines, "fix", "sudo usermod -aG " + p.group + " " + user);
    lines.push_back(std::string(kIndent) +
                    "then log out and in again: a new group takes effect at the next login");
}

void missingLines(const PortCheck& p, const std::string& port, const Tree& tree,
                  std::vector<std::string>& lines) {
    if (p.device.empty()) {
        field(lines, "result", "PROBLEM: " + port + " has no device");
        field(lines, "fix",
              "link one in the ports folder, e.g. ln -s /dev/serial/by-id/... " +
                  std::string("<ports folder>/") + port);
        return;
    }
    std::error_code ec;
    const fs::path target = fs::read_symlink(tree.at(p.device), ec);
    if (!ec) {
        field(lines, "result",
              "PROBLEM: the link " + p.device + " leads to " + tree.systemPath(target.string()) +
                  ", which does not exist");
        field(lines, "fix", "plug that adapter in, or remove the link");
        return;
    }
    field(lines, "result", "PROBLEM: " + p.device + " does not exist");
    field(lines, "fix",
          "is the programming lead plugged in? kavprog-cli doctor lists the ports "
          "that exist");
}

void verdictLines(const PortCheck& p, const std::string& port, const std::string& user,
                  const Tree& tree, std::vector<std::string>& lines) {
    switch (p.verdict) {
    case PortVerdict::Usable:
        field(lines, "result", "OK: " + user + " can open it");
        return;
    case PortVerdict::Missing:
        missingLines(p, port, tree, lines);
        return;
    case PortVerdict::NoHardware:
        field(lines, "result",
              "PROBLEM: no UART is behind it (the kernel keeps the node without hardware)");
        return;
    case PortVerdict::NoAccess:
        noAccessLines(p, user, lines);
        return;
    case PortVerdict::Busy:
        field(lines, "result",
              "PROBLEM: busy: another program has it open and claimed" +
                  (p.holders.empty() ? std::string() : " (" + joined(p.holders, ", ") + ")"));
        field(lines, "fix", "close that program, or end it, and try again");
        return;
    case PortVerdict::OpenFails:
        field(lines, "result",
              "PROBLEM: it does not open: " + std::generic_category().message(p.openError));
        return;
    }
}

void portLines(const PortCheck& p, const std::string& port, const std::string& user,
               const Tree& tree, std::vector<std::string>& lines) {
    const std::string com = !p.comNames.empty() ? joined(p.comNames, ", ")
                            : p.device.empty()  ? port
                                                : "(no COM name)";
    lines.push_back(com + "  " + (p.device.empty() ? "(no device)" : p.device) +
                    (p.usb.product.empty() ? "" : "  " + p.usb.product));
    if (p.usb.onUsb()) {
        field(lines, "USB", usbLine(p.usb));
    }
    if (!p.driver.empty()) {
        field(lines, "driver", p.driver);
    } else if (p.verdict != PortVerdict::Missing) {
        field(lines, "driver", "none listed (a pseudo-terminal, like the virtual radio's)");
    }
    for (const std::string& link : p.byId) {
        field(lines, "by-id", link);
    }
    if (p.verdict != PortVerdict::Missing) {
        field(lines, "access", modeText(p.mode) + "  " + p.owner + ":" + p.group);
    }
    if (!p.holders.empty() && p.verdict != PortVerdict::Busy) {
        field(lines, "open in", joined(p.holders, ", "));
    }
    verdictLines(p, port, user, tree, lines);
}

// ---- services ---------------------------------------------------------------------------

struct UsbDevice {
    std::string vendor;
    std::string product;
};

std::vector<UsbDevice> usbDevices(const Tree& tree) {
    std::vector<UsbDevice> found;
    std::error_code ec;
    for (fs::directory_iterator it(tree.at("/sys/bus/usb/devices"), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string vendor = firstLine(it->path() / "idVendor");
        if (!vendor.empty()) {
            found.push_back({vendor, firstLine(it->path() / "idProduct")});
        }
    }
    return found;
}

// The USB adapters of the serial ports, for rules that name them.
std::set<std::string> adapterIds(const Tree& tree) {
    std::set<std::string> ids;
    std::error_code ec;
    for (fs::directory_iterator it(tree.sysTty(), ec), end; !ec && it != end; it.increment(ec)) {
        const UsbFacts usb = usbFacts(it->path().filename().string(), tree.sysTty());
        if (usb.onUsb()) {
            ids.insert(usb.ids());
        }
    }
    return ids;
}

void modemManagerLines(const Tree& tree, const std::vector<Process>& all,
                       std::vector<std::string>& lines) {
    if (!tree.exists("/run/ModemManager") && !running(all, "ModemManager")) {
        return;
    }
    lines.push_back("warning: ModemManager is running. It opens each new serial port to look for "
                    "a modem");
    lines.push_back(std::string(kIndent) +
                    "and sends it AT commands for some seconds: meanwhile the port is busy,");
    lines.push_back(std::string(kIndent) + "and a radio on it may take them for data.");
    lines.push_back("  fix:      keep it off the adapter with a udev rule in "
                    "/etc/udev/rules.d/99-kav.rules:");
    std::set<std::string> ids = adapterIds(tree);
    if (ids.empty()) {
        ids.insert("VVVV:PPPP"); // placeholders for the adapter's vendor and product IDs
    }
    for (const std::string& id : ids) {
        lines.push_back(std::string(kIndent) + "  ATTRS{idVendor}==\"" +
                        id.substr(0, id.find(':')) + "\", ATTRS{idProduct}==\"" +
                        id.substr(id.find(':') + 1) + "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    }
    lines.push_back(std::string(kIndent) +
                    "then sudo udevadm control --reload and plug the adapter in again;");
    lines.push_back(std::string(kIndent) +
                    "or, when this machine needs no modem: sudo systemctl disable --now "
                    "ModemManager");
}

bool brlttyActive(const Tree& tree, const std::vector<Process>& all) {
    if (running(all, "brltty")) {
        return true;
    }
    std::error_code ec;
    if (fs::canonical(tree.at(std::string("/") + kBrlttyRuleOverride), ec) == "/dev/null") {
        return false; // its udev rule is masked
    }
    return std::any_of(kBrlttyMarks.begin(), kBrlttyMarks.end(),
                       [&](const char* mark) { return tree.exists(std::string("/") + mark); });
}

// A problem when brltty already took an adapter (it has no tty), a warning while it may.
bool brlttyLines(const Tree& tree, const std::vector<Process>& all,
                 std::vector<std::string>& lines) {
    if (!brlttyActive(tree, all)) {
        return false;
    }
    const std::vector<UsbDevice> usb = usbDevices(tree);
    const std::set<std::string> withTty = adapterIds(tree);
    bool claimed = false;
    for (const UsbId& id : kBrlttyClaims) {
        const std::string ids = std::string(id.vendor) + ":" + id.product;
        const bool present = std::any_of(usb.begin(), usb.end(), [&](const UsbDevice& d) {
            return d.vendor == id.vendor && d.product == id.product;
        });
        if (!present) {
            continue;
        }
        if (withTty.count(ids) == 0) {
            claimed = true;
            lines.push_back("PROBLEM: brltty (the braille display service) has claimed the " +
                            std::string(id.name) + " adapter (USB " + ids + "):");
            lines.push_back(std::string(kIndent) +
                            "it takes it for a braille display, and its serial port vanishes.");
        } else {
            lines.push_back("warning: brltty (the braille display service) is installed; it may "
                            "claim the " +
                            std::string(id.name) + " adapter");
            lines.push_back(std::string(kIndent) + "(USB " + ids +
                            ") the next time it is plugged in, and its serial port vanishes.");
        }
        lines.push_back("  fix:      sudo apt remove brltty   (when no braille display is used)");
        lines.push_back(std::string(kIndent) + "or disable its udev rule: sudo ln -s /dev/null /" +
                        kBrlttyRuleOverride);
        lines.push_back(std::string(kIndent) +
                        "then sudo udevadm control --reload and plug the adapter in again");
    }
    return claimed;
}

std::string userLine(const DoctorUser& user) {
    std::vector<std::string> names;
    for (const gid_t gid : user.groups) {
        names.push_back(groupName(gid));
    }
    return "Serial ports for " + user.name + " (uid " + std::to_string(user.uid) +
           ", groups: " + (names.empty() ? "none" : joined(names, " ")) + ")";
}

} // namespace

DoctorReport examinePorts(const DoctorSetup& setup, const std::string& port) {
    const Tree tree(setup.root);
    const std::vector<Process> all = processes(tree);
    DoctorReport report;
    if (port.empty()) {
        for (const std::string& device : serialDevices(tree, setup.portsDir)) {
            report.ports.push_back(checkDevice(device, setup, tree, all));
        }
    } else {
        report.ports.push_back(checkDevice(deviceOf(port, tree, setup.portsDir), setup, tree, all));
    }

    report.lines.push_back(userLine(setup.user));
    int problems = 0;
    for (const PortCheck& p : report.ports) {
        report.lines.emplace_back();
        portLines(p, port, setup.user.name, tree, report.lines);
        problems += p.verdict == PortVerdict::Usable ? 0 : 1;
    }
    if (report.ports.empty()) {
        report.lines.emplace_back("No serial port found. Is the programming lead plugged in?");
        ++problems;
    }
    std::vector<std::string> services;
    modemManagerLines(tree, all, services);
    problems += brlttyLines(tree, all, services) ? 1 : 0;
    if (!services.empty()) {
        report.lines.emplace_back();
        report.lines.insert(report.lines.end(), services.begin(), services.end());
    }
    report.lines.emplace_back();
    report.lines.push_back(problems == 0
                               ? "No problem found."
                               : std::to_string(problems) +
                                     (problems == 1 ? " problem" : " problems") + " found.");
    report.problem = problems > 0;
    return report;
}

DoctorUser currentDoctorUser() {
    DoctorUser user;
    user.uid = ::getuid();
    user.name = userName(user.uid);
    const int count = ::getgroups(0, nullptr);
    user.groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    const int got = ::getgroups(count, user.groups.data());
    user.groups.resize(static_cast<std::size_t>(std::max(got, 0)));
    const gid_t primary = ::getgid();
    if (!contains(user.groups, primary)) {
        user.groups.insert(user.groups.begin(), primary);
    }
    if (const std::optional<Account> known = account(user.uid)) {
        user.groupsNextLogin = groupsAtLogin(*known);
    }
    return user;
}

} // namespace kav

#include "model/Eebuff.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kav {

namespace {

constexpr std::uint8_t kFill = 0xFF;

// Writes the whole buffer, retrying short writes and interrupted calls.
bool writeAll(int fd, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

// Saving through a symbolic link updates the file it points to, not the link itself.
std::string resolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

EEbuffer::EEbuffer(int size) : data_(static_cast<std::size_t>(std::max(size, 0)), kFill) {}

int EEbuffer::fill(int value) {
    std::fill(data_.begin(), data_.end(), static_cast<std::uint8_t>(value));
    return size();
}

int EEbuffer::getByte(int address) const {
    return contains(address) ? data_[static_cast<std::size_t>(address)] : -1;
}

int EEbuffer::setByte(int address, int value) {
    if (!contains(address)) {
        return -1;
    }
    data_[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    return 0;
}

int EEbuffer::getWord(int address) const {
    if (!contains(address)) {
        return -1;
    }
    const auto a = static_cast<std::size_t>(address & ~1);
    if (a + 1 >= data_.size()) {
        return -1; // odd-sized image: the last word has no low byte
    }
    return (data_[a] << 8) | data_[a + 1];
}

int EEbuffer::setWord(int address, int value) {
    if (!contains(address)) {
        return -1;
    }
    const auto a = static_cast<std::size_t>(address & ~1);
    if (a + 1 >= data_.size()) {
        return -1;
    }
    data_[a] = static_cast<std::uint8_t>(value >> 8);
    data_[a + 1] = static_cast<std::uint8_t>(value);
    return 0;
}

int EEbuffer::blockLength(int address, int length) const {
    if (!contains(address) || length <= 0) {
        return 0;
    }
    return std::min(length, size() - address);
}

int EEbuffer::readBlock(int address, std::uint8_t* dst, int length) const {
    const int n = dst == nullptr ? 0 : blockLength(address, length);
    if (n > 0) {
        std::memcpy(dst, data_.data() + address, static_cast<std::size_t>(n));
    }
    return n;
}

int EEbuffer::writeBlock(int address, const std::uint8_t* src, int length) {
    const int n = src == nullptr ? 0 : blockLength(address, length);
    if (n > 0) {
        std::memcpy(data_.data() + address, src, static_cast<std::size_t>(n));
    }
    return n;
}

// A device or a pipe takes the bytes as they are: renaming a file over it would replace
// /dev/null or a FIFO with a regular file. A pipe with no reader is refused, not waited on.
int EEbuffer::writeThrough(const std::string& target, bool pipe) const {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | (pipe ? O_NONBLOCK : 0));
    if (fd < 0) {
        return -1;
    }
    bool ok = !pipe || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    ok = ok && writeAll(fd, data_.data(), data_.size());
    ok = (::close(fd) == 0) && ok;
    return ok ? size() : -1;
}

int EEbuffer::saveToFile(const std::string& path) const {
    if (path.empty()) {
        return -1;
    }
    const std::string target = resolveTarget(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode)) {
            return writeThrough(target, S_ISFIFO(existing.st_mode));
        }
        return -1; // a folder, a socket, a disk: nothing a configuration belongs in
    }
    std::string temp = directoryOf(target) + "/.kavsave-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return -1;
    }
    // mkstemp creates 0600; give the file the mode an ordinary new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    bool ok = ::fchmod(fd, mode) == 0 || errno == EPERM;
    ok = ok && writeAll(fd, data_.data(), data_.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return -1;
    }
    return size();
}

int EEbuffer::loadFromFile(const std::string& path) {
    // Non-blocking, so a FIFO or a terminal is refused at once instead of waiting for input.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    std::fill(data_.begin(), data_.end(), kFill);
    std::size_t total = 0;
    while (total < data_.size()) {
        const ssize_t n = ::read(fd, data_.data() + total, data_.size() - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return static_cast<int>(total);
}

} // namespace kav

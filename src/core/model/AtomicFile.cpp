#include "model/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kav {

namespace {

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

// A device or a pipe takes the bytes as they are: renaming a file over it would replace
// /dev/null or a FIFO with a regular file. A pipe with no reader is refused, not waited on.
bool writeThrough(const std::string& target, bool pipe, const void* data, std::size_t length) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | (pipe ? O_NONBLOCK : 0));
    if (fd < 0) {
        return false;
    }
    bool ok = !pipe || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    ok = ok && writeAll(fd, static_cast<const std::uint8_t*>(data), length);
    return (::close(fd) == 0) && ok;
}

} // namespace

bool writeFileAtomically(const std::string& path, const void* data, std::size_t length) {
    if (path.empty() || (data == nullptr && length > 0)) {
        return false;
    }
    const std::string target = resolveTarget(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode)) {
            return writeThrough(target, S_ISFIFO(existing.st_mode), data, length);
        }
        return false; // a folder, a socket, a disk: nothing a file of ours belongs in
    }
    std::string temp = directoryOf(target) + "/.kavsave-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp creates 0600; give the file the mode an ordinary new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    bool ok = ::fchmod(fd, mode) == 0 || errno == EPERM;
    ok = ok && writeAll(fd, static_cast<const std::uint8_t*>(data), length) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace kav

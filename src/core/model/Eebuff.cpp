#include "model/Eebuff.h"

#include "model/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kav {

namespace {

constexpr std::uint8_t kFill = 0xFF;

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

int EEbuffer::saveToFile(const std::string& path) const {
    return writeFileAtomically(path, data_.data(), data_.size()) ? size() : -1;
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

#include "link/Mtdeque.h"

#include <algorithm>
#include <cstring>

namespace kav {

int MTdeque::Put(const std::uint8_t* bytes, int count) {
    if (bytes == nullptr || count <= 0) {
        return 0;
    }
    std::lock_guard guard(lock_);
    const int stored = std::min(count, kCapacity - count_);
    // At most two copies: up to the end of the storage, then from its start.
    const int first = std::min(stored, kCapacity - writePos_);
    std::memcpy(buffer_.data() + writePos_, bytes, static_cast<std::size_t>(first));
    std::memcpy(buffer_.data(), bytes + first, static_cast<std::size_t>(stored - first));
    writePos_ = (writePos_ + stored) % kCapacity;
    count_ += stored;
    return stored;
}

int MTdeque::Get(std::uint8_t* buffer, int count) {
    if (buffer == nullptr || count <= 0) {
        return 0;
    }
    std::lock_guard guard(lock_);
    const int taken = std::min(count, count_);
    const int first = std::min(taken, kCapacity - readPos_);
    std::memcpy(buffer, buffer_.data() + readPos_, static_cast<std::size_t>(first));
    std::memcpy(buffer + first, buffer_.data(), static_cast<std::size_t>(taken - first));
    readPos_ = (readPos_ + taken) % kCapacity;
    count_ -= taken;
    return taken;
}

bool MTdeque::IsEmpty() const {
    std::lock_guard guard(lock_);
    return count_ == 0;
}

int MTdeque::Count() const {
    std::lock_guard guard(lock_);
    return count_;
}

void MTdeque::Clear() {
    std::lock_guard guard(lock_);
    buffer_.fill(0);
    writePos_ = 0;
    readPos_ = 0;
    count_ = 0;
}

} // namespace kav

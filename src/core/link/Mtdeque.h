#pragma once

#include <array>
#include <cstdint>
#include <mutex>

namespace kav {

// A fixed ring of bytes shared between threads. It never allocates after construction;
// bytes that do not fit are dropped and Put reports how many it stored.
class MTdeque {
public:
    static constexpr int kCapacity = 1024;

    MTdeque() = default;
    MTdeque(const MTdeque&) = delete;
    MTdeque& operator=(const MTdeque&) = delete;

    int Put(const std::uint8_t* bytes, int count);
    int Get(std::uint8_t* buffer, int count);
    bool IsEmpty() const;
    int Count() const;
    void Clear();

private:
    mutable std::mutex lock_;
    std::array<std::uint8_t, kCapacity> buffer_{};
    int writePos_ = 0;
    int readPos_ = 0;
    int count_ = 0;
};

} // namespace kav

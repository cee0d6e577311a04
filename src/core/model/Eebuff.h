#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kav {

// A byte image with big-endian 16-bit words. Every accessor checks its address:
// a bad address is reported as -1 and never touches memory outside the image.
class EEbuffer {
public:
    explicit EEbuffer(int size);
    virtual ~EEbuffer() = default;

    EEbuffer(const EEbuffer&) = default;
    EEbuffer& operator=(const EEbuffer&) = default;

    int size() const { return static_cast<int>(data_.size()); }
    int fill(int value);

    int getByte(int address) const;
    int setByte(int address, int value);
    int getWord(int address) const;
    int setWord(int address, int value);

    int readBlock(int address, std::uint8_t* dst, int length) const;
    int writeBlock(int address, const std::uint8_t* src, int length);

    // Writes all bytes to a temporary file beside `path` and renames it over `path`,
    // so a failed save leaves any previous file as it was. A character device or a FIFO at
    // `path` is written to as it is; anything else that is not a regular file is refused.
    // Returns size() or -1.
    int saveToFile(const std::string& path) const;
    // Fills the image with 0xFF, then reads up to size() bytes from the start of the file.
    // Returns the number of bytes read, or -1 when the file cannot be opened or is not a
    // regular file (a FIFO, a terminal, a folder).
    int loadFromFile(const std::string& path);

    const std::uint8_t* bytes() const { return data_.data(); }

private:
    bool contains(int address) const { return address >= 0 && address < size(); }
    int blockLength(int address, int length) const;

    std::vector<std::uint8_t> data_;
};

} // namespace kav

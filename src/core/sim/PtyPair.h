#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kav {

// A pseudo-terminal pair standing in for a serial line: a program opens slavePath() as its
// device, and the owner plays the far end on the master. Both ends are raw (no echo, no line
// editing) and the master never blocks. The slave is also held open here, so the master sees
// no hang-up while the program closes and reopens the device.
class PtyPair {
public:
    PtyPair(); // check isOpen(): a system out of ptys gives none
    ~PtyPair();

    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isOpen() const { return master_ >= 0; }
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }

    // Closing the master is what unplugging the adapter looks like to the program.
    void hangUp();
    // Lets the master report the end once another holder of the slave (a child) closes it.
    void closeSlave();

    // Writes every byte, waiting up to stallMs each time the line is full. False on a stall.
    bool write(const std::vector<std::uint8_t>& bytes, int stallMs = 1000) const;
    // Reads until `count` bytes arrived or the line stayed quiet for quietMs.
    std::vector<std::uint8_t> read(std::size_t count, int quietMs = 1000) const;
    // Waits up to timeoutMs for the master to become readable (or writable).
    bool waitReadable(int timeoutMs) const;
    bool waitWritable(int timeoutMs) const;

private:
    void closeAll();

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace kav

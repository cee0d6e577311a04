#pragma once

// Small helpers shared by the test programs.

#include "link/KavIIReceiver.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kav::test {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A scratch folder, removed with everything in it when the test is done with it.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "kav") {
        std::string templ = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(templ.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// The KAV II frame that carries `payload`.
inline Bytes kaviiFrame(const Bytes& payload) {
    Bytes frame(kKavIIMaxFrame);
    frame.resize(static_cast<std::size_t>(
        buildKavIIFrame(payload.data(), static_cast<int>(payload.size()), frame.data())));
    return frame;
}

// A 2048-byte image with a recognisable pattern and `productId` at address 0.
inline Bytes patternImage(std::uint16_t productId, int seed) {
    Bytes bytes(2048);
    for (std::size_t a = 0; a < bytes.size(); ++a) {
        bytes[a] = static_cast<std::uint8_t>((a * 7 + static_cast<std::size_t>(seed)) & 0xFF);
    }
    bytes[0] = static_cast<std::uint8_t>(productId >> 8);
    bytes[1] = static_cast<std::uint8_t>(productId & 0xFF);
    return bytes;
}

} // namespace kav::test

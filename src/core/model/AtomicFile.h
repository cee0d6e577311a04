#pragma once

#include <cstddef>
#include <string>

namespace kav {

// Writes `length` bytes to a temporary file beside `path` and renames it over `path`, so a
// failed save leaves any previous file as it was. Saving through a symbolic link replaces
// the file it points to. A new file gets the mode an ordinary new file would get; an
// existing one keeps its mode. A character device or a FIFO at `path` is written to as it is
// (a FIFO only while something reads it); any other file that is not a regular one is
// refused. False when anything failed.
bool writeFileAtomically(const std::string& path, const void* data, std::size_t length);

} // namespace kav

#pragma once
// Reading a file or stream whole, while keeping at most a fixed number of bytes of it.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace foundation {

struct BoundedRead {
    std::string bytes;     // the first bytes, at most the limit
    std::size_t size = 0;  // every byte that arrived up to end of file
    std::error_code error;
};

// Reads `fd` to end of file; keeps the first `keep` bytes and only counts the rest. A
// non-blocking descriptor is waited on, as a blocking one would be.
BoundedRead readToEnd(int fd, std::size_t keep);

// Reads at most `limit` bytes of the file; nothing when it cannot be opened or read, or is not
// a regular file (a FIFO, a device or a directory is refused without waiting).
// A file longer than the limit shows as exactly `limit` bytes (size > limit is not known).
std::optional<std::string> readFilePrefix(const std::filesystem::path& path, std::size_t limit);

}  // namespace foundation

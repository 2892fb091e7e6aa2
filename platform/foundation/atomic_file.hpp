#pragma once
// Replacing a file as a whole, durably, and making the directory that holds it.

#include <sys/types.h>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace foundation {

// Writes `bytes` to a hidden temporary file beside `target`, flushes it to disk, renames it
// over `target` and flushes the directory. On failure the temporary file is removed and
// `target` is as it was.
std::error_code writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Creates `directory` and its missing parents with `mode`; success when it is a directory
// afterwards, whether or not it existed before.
std::error_code createDirectory(const std::filesystem::path& directory, mode_t mode);

}  // namespace foundation

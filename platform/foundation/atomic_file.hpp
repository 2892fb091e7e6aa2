#pragma once
// Replacing a file as a whole, durably, and making the directory that holds it.

#include <sys/types.h>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace foundation {

// Writes `bytes` to a temporary file beside `target` (unnamed where the file system allows,
// else hidden and locked), flushes it to disk, renames it over `target` and flushes the
// directory. The file is 0600 whatever the umask. On failure the temporary file is removed and
// `target` is as it was (a directory that cannot be opened for its flush fails before anything
// is written); temporaries of `target` left by killed writers are removed first. Only a failed
// flush of the directory after the rename leaves the new file in place.
std::error_code writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Creates `directory` and its missing parents with `mode`; success when it is a directory
// afterwards, whether or not it existed before.
std::error_code createDirectory(const std::filesystem::path& directory, mode_t mode);

}  // namespace foundation

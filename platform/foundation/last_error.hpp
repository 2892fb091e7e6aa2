#pragma once
// The failure of the last system call, errno, as a std::error_code.

#include <cerrno>
#include <system_error>

namespace foundation {

// Read at once after the failing call: anything in between may change errno.
inline std::error_code lastError() {
    return {errno, std::generic_category()};
}

}  // namespace foundation

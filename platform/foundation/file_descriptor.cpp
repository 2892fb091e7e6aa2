#include "platform/foundation/file_descriptor.hpp"

#include <cerrno>

namespace foundation {

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return {errno, std::generic_category()};
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return {};
}

}  // namespace foundation

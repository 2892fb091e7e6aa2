#include "platform/foundation/file_descriptor.hpp"

#include <poll.h>

#include <cerrno>

#include "platform/foundation/last_error.hpp"

namespace foundation {

std::error_code waitUntilReady(int fd, short events) {
    pollfd ready{fd, events, 0};
    while (::poll(&ready, 1, -1) < 0)
        if (errno != EINTR) return lastError();
    return {};
}

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (auto error = waitUntilReady(fd, POLLOUT)) return error;
            continue;
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return {};
}

}  // namespace foundation

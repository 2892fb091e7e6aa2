#include "platform/foundation/bounded_read.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/last_error.hpp"

namespace foundation {
namespace {

// read(2) that resumes after a signal.
ssize_t readSome(int fd, char* buffer, std::size_t count) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    return n;
}

}  // namespace

BoundedRead readToEnd(int fd, std::size_t keep) {
    BoundedRead result;
    result.bytes.reserve(keep);
    std::array<char, 16384> chunk;
    for (;;) {
        const ssize_t n = readSome(fd, chunk.data(), chunk.size());
        if (n == 0) return result;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            result.error = waitUntilReady(fd, POLLIN);
            if (result.error) return result;
            continue;
        }
        if (n < 0) {
            result.error = lastError();
            return result;
        }
        const std::size_t room = keep - result.bytes.size();
        result.bytes.append(chunk.data(), std::min<std::size_t>(room, std::size_t(n)));
        result.size += std::size_t(n);
    }
}

std::optional<std::string> readFilePrefix(const std::filesystem::path& path, std::size_t limit) {
    // A FIFO or a device under the name would block the open or the read for ever; opening
    // without waiting and checking the type lets every reader give up at once.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) return std::nullopt;
    struct stat status;
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    std::string bytes(limit, '\0');
    std::size_t used = 0;
    while (used < limit) {
        const ssize_t n = readSome(file.fd, bytes.data() + used, limit - used);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        used += std::size_t(n);
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace foundation

#include "platform/foundation/line_output.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>

namespace foundation {
namespace {

// As much of `bytes` as the stream takes now; a negative count when it takes nothing.
ssize_t writeNow(const LineOutput& output, std::string_view bytes) {
    if (output.mayBlock) {
        pollfd ready{output.fd, POLLOUT, 0};
        if (::poll(&ready, 1, 0) != 1 || !(ready.revents & POLLOUT)) return -1;
    }
    for (;;) {
        const ssize_t n = output.isSocket ? ::send(output.fd, bytes.data(), bytes.size(),
                                                   MSG_DONTWAIT | MSG_NOSIGNAL)
                                          : ::write(output.fd, bytes.data(), bytes.size());
        if (n >= 0 || errno != EINTR) return n;
    }
}

// Sends what is pending; true when nothing is left of it.
bool flushPending(LineOutput& output) {
    if (output.pending.empty()) return true;
    const ssize_t n = writeNow(output, output.pending);
    if (n > 0) output.pending.erase(0, std::size_t(n));
    return output.pending.empty();
}

}  // namespace

LineOutput nonBlockingLines(int fd) {
    LineOutput output;
    output.fd = fd;
    struct stat status;
    if (::fstat(fd, &status) != 0) return output;
    if (S_ISSOCK(status.st_mode)) {
        output.isSocket = true;
    } else if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        // Opening the stream anew gives a file description of our own to make non-blocking;
        // setting O_NONBLOCK on the inherited one would change it for a shell sharing it too.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        output.own =
            FileDescriptor(::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (output.own)
            output.fd = output.own.fd;
        else
            output.mayBlock = !(::fcntl(fd, F_GETFL) & O_NONBLOCK);
    }
    return output;
}

bool writeLineWithoutBlocking(LineOutput& output, std::string_view line) {
    if (!flushPending(output)) {
        ++output.dropped;
        return false;
    }
    std::string bytes(line);
    bytes += '\n';
    const ssize_t n = writeNow(output, bytes);
    if (n <= 0) {
        ++output.dropped;
        return false;
    }
    output.pending = bytes.substr(std::size_t(n));
    return true;
}

}  // namespace foundation

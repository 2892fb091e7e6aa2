#include "platform/foundation/line_output.hpp"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace foundation {
namespace {

// Bytes of `bytes` the stream takes now: 0 when it is full, -1 once its reader is gone.
ssize_t writeNow(const LineOutput& output, std::string_view bytes) {
    if (output.mayBlock) {
        pollfd ready{output.fd, POLLOUT, 0};
        if (::poll(&ready, 1, 0) != 1) return 0;
        if (ready.revents & (POLLERR | POLLHUP)) return -1;
        // A blocking pipe with room takes up to PIPE_BUF bytes without waiting.
        bytes = bytes.substr(0, PIPE_BUF);
    }
    for (;;) {
        const ssize_t n = output.isSocket ? ::send(output.fd, bytes.data(), bytes.size(),
                                                   MSG_DONTWAIT | MSG_NOSIGNAL)
                                          : ::write(output.fd, bytes.data(), bytes.size());
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

}  // namespace

LineOutput nonBlockingLines(int fd) {
    LineOutput output;
    output.fd = fd;
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        output.broken = true;
        return output;
    }
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
        else if (errno == ENXIO)
            output.broken = true;  // a pipe with no reader left
        else
            output.mayBlock = !(::fcntl(fd, F_GETFL) & O_NONBLOCK);
    }
    return output;
}

void flushLines(LineOutput& output) {
    while (!output.pending.empty() && !output.broken) {
        const ssize_t n = writeNow(output, output.pending);
        if (n < 0) {
            output.broken = true;
            output.pending.clear();
        }
        if (n <= 0) return;
        output.pending.erase(0, std::size_t(n));
    }
}

bool writeLineWithoutBlocking(LineOutput& output, std::string_view line) {
    flushLines(output);
    if (output.broken || output.pending.size() + line.size() + 1 > lineOutputBacklog) {
        ++output.dropped;
        return false;
    }
    output.pending += line;
    output.pending += '\n';
    flushLines(output);
    if (!output.broken) return true;
    ++output.dropped;
    return false;
}

bool linesWaiting(const LineOutput& output) {
    return !output.pending.empty() && !output.broken;
}

void tellWithoutWaiting(std::string_view line) {
    LineOutput errors = nonBlockingLines(STDERR_FILENO);
    (void)writeLineWithoutBlocking(errors, line);
}

}  // namespace foundation

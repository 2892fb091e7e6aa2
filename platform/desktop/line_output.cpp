#include "platform/desktop/line_output.hpp"

#include <fcntl.h>
#include <glib-unix.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace desktop {
namespace {

// Bytes taken by the descriptor, 0 when it would block; -1 once the reader is gone.
ssize_t writeSome(const LineOutput& output, const std::string& bytes) {
    for (;;) {
        const ssize_t n = output.socket ? ::send(output.fd, bytes.data(), bytes.size(),
                                                 MSG_DONTWAIT | MSG_NOSIGNAL)
                                        : ::write(output.fd, bytes.data(), bytes.size());
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        return -1;
    }
}

gboolean flushPending(gint, GIOCondition, gpointer data);

void flush(LineOutput& output) {
    const ssize_t n = writeSome(output, output.pending);
    if (n < 0) {
        output.broken = true;
        output.pending.clear();
    } else {
        output.pending.erase(0, std::size_t(n));
    }
    if (!output.pending.empty() && output.watch == 0)
        output.watch = g_unix_fd_add(output.fd, G_IO_OUT, flushPending, &output);
}

gboolean flushPending(gint, GIOCondition, gpointer data) {
    auto& output = *static_cast<LineOutput*>(data);
    output.watch = 0;
    flush(output);
    return G_SOURCE_REMOVE;
}

}  // namespace

LineOutput::~LineOutput() {
    if (watch != 0) g_source_remove(watch);
}

void openLineOutput(LineOutput& output, int fd, bool quiet) {
    output.quiet = quiet;
    output.fd = fd;
    if (quiet) return;
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        output.broken = true;
        return;
    }
    if (S_ISSOCK(status.st_mode)) {
        output.socket = true;
        return;
    }
    // A descriptor of our own for the same pipe or terminal, so that making it non-blocking
    // does not change the one the parent shares with us. A regular file never blocks anyway.
    if (S_ISREG(status.st_mode)) return;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    output.reopened = foundation::FileDescriptor(
        ::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (output.reopened) {
        output.fd = output.reopened.fd;
        return;
    }
    if (errno == ENXIO) output.broken = true;  // a pipe with no reader left
}

void writeLine(LineOutput& output, const std::string& line) {
    if (output.quiet || output.broken) return;
    if (output.pending.size() + line.size() + 1 > lineOutputBacklog) {
        ++output.dropped;
        return;
    }
    output.pending += line;
    output.pending += '\n';
    if (output.watch == 0) flush(output);
}

}  // namespace desktop

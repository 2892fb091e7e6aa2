#include "platform/desktop/frame_output.hpp"

#include <glib-unix.h>

namespace desktop {
namespace {

void watchBacklog(FrameOutput& output);

gboolean writable(gint, GIOCondition, gpointer data) {
    auto& output = *static_cast<FrameOutput*>(data);
    output.watch.id = 0;
    foundation::flushLines(output.lines);
    watchBacklog(output);
    return G_SOURCE_REMOVE;
}

void watchBacklog(FrameOutput& output) {
    if (output.watch.id == 0 && foundation::linesWaiting(output.lines))
        output.watch.id = g_unix_fd_add(output.lines.fd, G_IO_OUT, writable, &output);
}

}  // namespace

void openFrameOutput(FrameOutput& output, int fd, bool quiet) {
    output.quiet = quiet;
    if (!quiet) output.lines = foundation::nonBlockingLines(fd);
}

void writeFrameLine(FrameOutput& output, std::string_view line) {
    if (output.quiet) return;
    (void)foundation::writeLineWithoutBlocking(output.lines, line);
    watchBacklog(output);
}

}  // namespace desktop

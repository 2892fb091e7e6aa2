#pragma once
// Standard output that never blocks the host: whole lines are written without waiting, what
// the reader has not taken yet waits in a bounded queue flushed from the main loop, and when
// that queue is full new lines are dropped whole. A reader that went away costs nothing.

#include <glib.h>

#include <cstddef>
#include <string>

#include "platform/foundation/file_descriptor.hpp"

namespace desktop {

// What may wait for a slow reader before lines are dropped.
inline constexpr std::size_t lineOutputBacklog = 64 * 1024;

struct LineOutput {
    foundation::FileDescriptor reopened;  // standard output opened anew, non-blocking
    int fd = -1;
    bool socket = false;  // sent with MSG_DONTWAIT instead
    bool quiet = false;
    bool broken = false;  // the reader is gone
    std::string pending;
    guint watch = 0;  // while `pending` waits for the descriptor
    std::size_t dropped = 0;

    LineOutput() = default;
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;
    ~LineOutput();
};

// Readies `fd` (standard output) for writes that never wait; `quiet` writes nothing at all.
void openLineOutput(LineOutput& output, int fd, bool quiet);

// Writes `line` and a line end, or queues it, or drops it when the backlog is full.
void writeLine(LineOutput& output, const std::string& line);

}  // namespace desktop

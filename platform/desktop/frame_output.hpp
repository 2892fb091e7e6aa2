#pragma once
// The host's frame lines on standard output, through the shared never-blocking line writer:
// a backlog left by a slow reader is handed over from the GLib main loop once the descriptor
// is writable again.

#include <glib.h>

#include <string_view>

#include "platform/foundation/line_output.hpp"

namespace desktop {

struct FrameOutput {
    foundation::LineOutput lines;
    bool quiet = false;  // --quiet: no frame lines at all
    guint watch = 0;     // while a backlog waits for the descriptor

    FrameOutput() = default;
    FrameOutput(const FrameOutput&) = delete;
    FrameOutput& operator=(const FrameOutput&) = delete;
    ~FrameOutput();
};

// Readies `fd` (standard output) for writes that never wait; `quiet` writes nothing at all.
void openFrameOutput(FrameOutput& output, int fd, bool quiet);

// Writes `line` and a line end, or queues it, or drops it when the backlog is full.
void writeFrameLine(FrameOutput& output, std::string_view line);

}  // namespace desktop

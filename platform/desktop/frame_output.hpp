#pragma once
// The host's frame lines on standard output, through the shared never-blocking line writer:
// a backlog left by a slow reader is handed over from the GLib main loop once the descriptor
// is writable again.

#include <string_view>

#include "platform/desktop/source_id.hpp"
#include "platform/foundation/line_output.hpp"

namespace desktop {

struct FrameOutput {
    foundation::LineOutput lines;
    bool quiet = false;  // --quiet: no frame lines at all
    SourceId watch;      // while a backlog waits for the descriptor
};

// Readies `fd` (standard output) for writes that never wait; `quiet` writes nothing at all.
void openFrameOutput(FrameOutput& output, int fd, bool quiet);

// Writes `line` and a line end, or queues it, or drops it when the backlog is full.
void writeFrameLine(FrameOutput& output, std::string_view line);

}  // namespace desktop

#pragma once
// Lines to a stream that must never hold up the program writing them: what a slow reader has
// not taken yet waits in a bounded queue, drained when the stream is writable again; once
// that queue is full new lines are dropped whole. A reader that went away costs nothing.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/file_descriptor.hpp"

namespace foundation {

// What may wait for a slow reader before lines are dropped.
inline constexpr std::size_t lineOutputBacklog = 64 * 1024;

struct LineOutput {
    FileDescriptor own;       // a non-blocking descriptor of the stream, when one was opened
    int fd = -1;              // where the lines go
    bool isSocket = false;    // written with send(MSG_DONTWAIT)
    bool mayBlock = false;    // no non-blocking descriptor could be had: polled before each write
    bool broken = false;      // the reader went away: nothing is written any more
    std::string pending;      // whole lines (the first perhaps begun) the stream has not taken
    std::size_t dropped = 0;  // lines lost to a full backlog or a reader gone
};

// An output for `fd` whose writes never wait. For a pipe or a terminal a descriptor of its own
// is opened non-blocking, so the flags of a stream shared with other processes stay as they
// are.
LineOutput nonBlockingLines(int fd);

// Queues `line` and a line feed and hands the stream what it takes now, without waiting.
// False when the line is dropped: the backlog is full or the reader is gone.
bool writeLineWithoutBlocking(LineOutput& output, std::string_view line);

// Hands the stream more of the backlog; for when `output.fd` turns writable.
void flushLines(LineOutput& output);

// Whether lines wait for `output.fd` to turn writable.
bool linesWaiting(const LineOutput& output);

// One line on standard error for a message told once, never waiting: what the stream cannot
// take at once is lost.
void tellWithoutWaiting(std::string_view line);

}  // namespace foundation

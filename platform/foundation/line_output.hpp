#pragma once
// Lines to a stream that must never hold up the program writing them: a reader that stalls
// loses lines, the writer never waits for it.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/file_descriptor.hpp"

namespace foundation {

struct LineOutput {
    FileDescriptor own;       // a non-blocking descriptor of the stream, when one was opened
    int fd = -1;              // where the lines go
    bool isSocket = false;    // written with send(MSG_DONTWAIT)
    bool mayBlock = false;    // no non-blocking descriptor could be had: polled before each write
    std::string pending;      // the rest of a line the stream took only part of
    std::size_t dropped = 0;  // lines lost to a full stream
};

// An output for `fd` whose writes never wait. For a pipe or a terminal a descriptor of its own
// is opened non-blocking, so the flags of a stream shared with other processes stay as they
// are.
LineOutput nonBlockingLines(int fd);

// Writes `line` and a line feed without waiting. The rest of a line taken only in part goes
// out first at the next call; a line that finds the stream still full is dropped (false).
bool writeLineWithoutBlocking(LineOutput& output, std::string_view line);

}  // namespace foundation

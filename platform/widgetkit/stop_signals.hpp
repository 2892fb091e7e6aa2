#pragma once
// SIGINT, SIGTERM and SIGHUP as events on a descriptor: blocked for the process and read from a
// signalfd, so a poll loop sees them and no handler has to touch shared state.

#include <signal.h>

#include <system_error>

#include "platform/foundation/file_descriptor.hpp"

namespace widgetkit {

struct StopSignals {
    foundation::FileDescriptor fd;  // readable once a stop was asked for
    std::error_code error;          // why `fd` could not be made
    sigset_t previousMask{};
    bool blocked = false;

    // Blocks the three signals and opens the descriptor; check `error`.
    StopSignals();
    // Consumes what is still pending, then restores the mask the process had.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
};

// Reads the pending stops; true when at least one arrived.
bool takeStopSignal(const StopSignals& signals);

}  // namespace widgetkit

#pragma once
// What a live host does, whatever loop it waits in: when it binds its socket again, what it
// draws when a timeline's instant comes, and how long it may sleep. Its loop says what
// happened and what time it is; these answer what to do. Nothing here waits or draws.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/clock.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"

namespace widgetkit {

using SteadyTime = std::chrono::steady_clock::time_point;

// A flood of datagrams is read in slices of this many, each followed by one drawing, so that
// a stop or a due timeline is never starved.
inline constexpr std::size_t requestsPerWakeup = 256;

// A socket file that vanished mostly goes with its container (rm -r removes the files, then
// the directory): binding again at once would put a new file in the way of that last step.
inline constexpr std::chrono::milliseconds rebindDelay{200};

// Without inotify, how often the host checks that its socket is still in the container, and
// tries to bind one again when it is not.
inline constexpr std::chrono::seconds listenCheckInterval{1};

// The longest a host sleeps; a later instant is simply waited for again.
inline constexpr std::chrono::milliseconds longestWait = std::chrono::hours(24);

// The host's side of the reload socket, kept as data between its wake-ups.
struct Listening {
    std::filesystem::path container;
    std::optional<ReloadListener> listener;
    std::optional<ListenFailure> told;    // the failure told last, so a lasting one is told once
    std::optional<SteadyTime> rebindAt;   // a moment after the socket vanished
    std::optional<SteadyTime> nextCheck;  // only where the container cannot be watched
};

// What a host is to do after a step of its socket's life.
struct ListenStep {
    std::vector<std::string> messages;     // lines for standard error, in order
    bool listenerChanged = false;          // the socket to wait on came or went
    bool redrawAll = false;                // bound again: requests may have been missed meanwhile
    bool cannotRun = false;                // at start only: something the person must mend
    std::optional<ListenFailure> failure;  // with cannotRun, what is in the way
};

// The first bind. A missing container is waited for: only the bridge's publish makes it, and
// until then the empty widget shows. Anything else in the way stops the host.
ListenStep startListening(Listening& listening, bool containerWatched, SteadyTime now);

// After the container changed, a rebind came due or the periodic check came: notices a socket
// that is gone or taken over, and binds again once its moment has come.
ListenStep keepListening(Listening& listening, SteadyTime now);

// True when a rebind or a periodic check is due at `now`.
bool listenStepDue(const Listening& listening, SteadyTime now);

// What a family's timeline asks for at `now`.
enum class TimelineStep {
    nothing,
    showEntry,  // the next entry's date came: draw the entry shown now
    reload,     // the reload instant came: ask the provider again
};
TimelineStep timelineStep(const LiveFamily& family, foundation::Date now);

// How long a host may sleep: until the earliest of the socket's next step and the families'
// next drawings, at most longestWait, never negative.
std::chrono::milliseconds sleepFor(const Listening& listening, SteadyTime steadyNow,
                                   const std::vector<const LiveFamily*>& families,
                                   foundation::Date now);

}  // namespace widgetkit

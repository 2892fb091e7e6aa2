#include "platform/widgetkit/widget_host.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/foundation/atomic_file.hpp"
#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/line_output.hpp"
#include "platform/widgetkit/container_watch.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"
#include "platform/widgetkit/reload_request.hpp"
#include "platform/widgetkit/stop_signals.hpp"

namespace widgetkit {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A flood of datagrams is read in slices of this many, each followed by one drawing, so that
// a stop or a due timeline is never starved.
constexpr std::size_t requestsPerWakeup = 256;

// Without inotify, how often the host checks that its socket is still in the container, and
// tries to bind one again when it is not.
constexpr auto listenCheckInterval = std::chrono::seconds(1);

// A socket file that vanished mostly goes with its container (rm -r removes the files, then
// the directory): binding again at once would put a new file in the way of that last step.
constexpr auto rebindDelay = milliseconds(200);

// The longest a poll waits; only a timeline's instant shortens it.
constexpr milliseconds longestWait = std::chrono::hours(24);

void report(const std::string& message) {
    std::fprintf(stderr, "JotbirdWidgets: %s\n", message.c_str());
}

struct Host {
    const WidgetRuntime& runtime;
    std::filesystem::path container;
    std::vector<LiveFamily> families;
    std::optional<ReloadListener> listener;
    std::optional<ListenFailure> reportedFailure;  // so a lasting failure is told once
    ContainerWatch watch;                          // wakes the host when the socket may be gone
    std::optional<steady_clock::time_point> nextListenCheck;  // only without the watch
    std::optional<steady_clock::time_point> rebindAt;         // a moment after the socket vanished
    foundation::LineOutput output;                            // standard output, never waited on
    foundation::LineOutput errors;                            // standard error, the same way
    bool quiet = false;                                       // no line per drawing
};

// What goes wrong while serving: told without waiting on a reader of standard error.
void tell(Host& host, const std::string& message) {
    (void)foundation::writeLineWithoutBlocking(host.errors, "JotbirdWidgets: " + message);
}

void announce(Host& host, const LiveFamily& family, const Drawing& drawing,
              std::string_view reason) {
    if (!drawing.error.empty()) {
        tell(host, "cannot draw " + std::string(familyName(family.request.family)) + " into " +
                       family.png.string() + ": " + drawing.error);
        return;
    }
    if (host.quiet) return;
    // A reader that stalls gets a bounded backlog, then loses lines; drawing and stopping
    // never wait for it.
    (void)foundation::writeLineWithoutBlocking(host.output, drawingJSON(family, drawing, reason));
}

void reloadAll(Host& host, std::string_view reason) {
    for (LiveFamily& family : host.families)
        announce(host, family, reloadAndDraw(family, host.runtime), reason);
}

void drawDue(Host& host) {
    const foundation::Date now = foundation::now();
    for (LiveFamily& family : host.families) {
        const auto next = nextDrawing(family);
        if (!next || *next > now) continue;
        if (reloadDue(family, now))
            announce(host, family, reloadAndDraw(family, host.runtime), "timeline");
        else
            announce(host, family, drawCurrentEntry(family), "timeline");
    }
}

// Binds the socket; true on success. Failures are told when they differ from the last one.
bool tryListening(Host& host) {
    auto attempt = listenAgain(host.container, host.reportedFailure);
    if (const auto* message = std::get_if<std::string>(&attempt)) {
        if (!message->empty()) tell(host, *message);
        return false;
    }
    host.listener.emplace(std::move(std::get<ReloadListener>(attempt)));
    return true;
}

// The container may be deleted and made again, and with it the socket file: the host keeps
// drawing on its timelines and binds a new socket once the directory is back.
void keepListening(Host& host) {
    if (host.listener) {
        if (stillListening(*host.listener)) return;
        tell(host, "the socket " + host.listener->path.string() + " is gone or taken over");
        host.listener.reset();
        host.rebindAt = steady_clock::now() + rebindDelay;
        return;
    }
    if (host.rebindAt && steady_clock::now() < *host.rebindAt) return;
    host.rebindAt.reset();
    // Requests sent while nobody listened are lost; draw what is stored now.
    if (tryListening(host)) {
        tell(host, "listening on " + host.listener->path.string());
        reloadAll(host, "listen");
    }
}

int pollTimeout(const Host& host) {
    milliseconds wait = longestWait;
    if (host.nextListenCheck)
        wait = std::chrono::ceil<milliseconds>(*host.nextListenCheck - steady_clock::now());
    if (host.rebindAt)
        wait =
            std::min(wait, std::chrono::ceil<milliseconds>(*host.rebindAt - steady_clock::now()));
    const foundation::Date now = foundation::now();
    for (const LiveFamily& family : host.families)
        if (const auto next = nextDrawing(family))
            wait = std::min(wait, std::chrono::ceil<milliseconds>(*next - now));
    return int(std::clamp<milliseconds::rep>(wait.count(), 0, longestWait.count()));
}

// The pictures show private notes: their directory is made private, and one that someone
// else owns or may write into is refused (they could read or swap the pictures).
std::optional<std::string> outDirectoryProblem(const std::filesystem::path& directory) {
    // A link someone else planted at the name (in /tmp, say) would lead anywhere they like.
    struct stat link;
    if (::lstat(directory.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        link.st_uid != ::geteuid())
        return "refusing to draw into " + directory.string() + ": it is another user's link";
    if (auto error = foundation::createDirectory(directory, 0700))
        return "cannot make " + directory.string() + ": " + error.message();
    struct stat status;
    if (::stat(directory.c_str(), &status) != 0)
        return "cannot use " + directory.string() + ": " +
               std::error_code(errno, std::generic_category()).message();
    if (status.st_uid != ::geteuid())
        return "refusing to draw into " + directory.string() + ": it belongs to another user";
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return "refusing to draw into " + directory.string() +
               ": others may write into it (chmod go-w, or choose another directory)";
    return std::nullopt;
}

int serve(const WidgetRuntime& runtime, const HostRequest& request,
          const std::filesystem::path& outDirectory, bool quiet) {
    if (!runtime.container) {
        report(
            "the widget's shared container cannot be located (set XDG_DATA_HOME or HOME to "
            "an absolute path)");
        return 1;
    }
    if (auto problem = outDirectoryProblem(outDirectory)) {
        report(*problem);
        return 1;
    }
    const StopSignals stop;
    if (stop.error) {
        report("cannot watch for SIGINT, SIGTERM and SIGHUP: " + stop.error.message());
        return 1;
    }

    Host host{runtime,
              *runtime.container,
              {},
              std::nullopt,
              std::nullopt,
              // Watching before the first bind, so that no change after it goes unseen.
              watchContainer(*runtime.container, std::string(hostSocketName)),
              std::nullopt,
              std::nullopt,
              foundation::nonBlockingLines(STDOUT_FILENO),
              foundation::nonBlockingLines(STDERR_FILENO),
              quiet};
    if (!host.watch.fd) host.nextListenCheck = steady_clock::now() + listenCheckInterval;
    // Only the bridge's publish makes the container; until then the host draws the empty
    // widget and waits for it. Anything else in the way is for the person starting it.
    auto first = listenForReloads(host.container);
    if (auto* listener = std::get_if<ReloadListener>(&first)) {
        host.listener.emplace(std::move(*listener));
    } else {
        const ListenError& failure = std::get<ListenError>(first);
        if (failure.failure != ListenFailure::noDirectory) {
            report(failure.describe(host.container));
            return 1;
        }
        report(failure.describe(host.container) + "; listening as soon as it appears");
        host.reportedFailure = failure.failure;
    }

    for (WidgetFamily family : runtime.families)
        host.families.push_back(liveFamily(
            family, request, outDirectory / (std::string(familyShortName(family)) + ".png")));
    reloadAll(host, "start");

    for (;;) {
        // The output streams are waited on only while lines wait for a slow reader.
        pollfd events[5] = {
            {stop.fd.fd, POLLIN, 0},
            {host.listener ? host.listener->socket.fd : -1, POLLIN, 0},
            {host.watch.fd.fd, POLLIN, 0},
            {foundation::linesWaiting(host.output) ? host.output.fd : -1, POLLOUT, 0},
            {foundation::linesWaiting(host.errors) ? host.errors.fd : -1, POLLOUT, 0}};
        if (::poll(events, 5, pollTimeout(host)) < 0 && errno != EINTR) {
            report("poll failed: " + std::error_code(errno, std::generic_category()).message());
            return 1;
        }
        if ((events[0].revents & POLLIN) && takeStopSignal(stop)) return 0;
        if (events[3].revents != 0) foundation::flushLines(host.output);
        if (events[4].revents != 0) foundation::flushLines(host.errors);
        if (host.listener && events[1].revents != 0) {
            const ReceivedRequests received =
                receiveRequests(*host.listener, runtime.kind, requestsPerWakeup);
            if (received.forKind > 0) reloadAll(host, "reload");
        }
        drawDue(host);
        if (events[2].revents != 0 && takeContainerChanges(host.watch)) keepListening(host);
        if (host.rebindAt && steady_clock::now() >= *host.rebindAt) keepListening(host);
        if (host.nextListenCheck && steady_clock::now() >= *host.nextListenCheck) {
            host.nextListenCheck = steady_clock::now() + listenCheckInterval;
            keepListening(host);
        }
    }
}

}  // namespace

int serveWidget(const WidgetRuntime& runtime, const HostRequest& request,
                const std::filesystem::path& outDirectory, bool quiet) {
    try {
        return serve(runtime, request, outDirectory, quiet);
    } catch (const std::exception& error) {
        report(error.what());
        return 1;
    }
}

}  // namespace widgetkit

#include "platform/widgetkit/widget_host.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/foundation/atomic_file.hpp"
#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/last_error.hpp"
#include "platform/foundation/line_output.hpp"
#include "platform/widgetkit/container_watch.hpp"
#include "platform/widgetkit/host_policy.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"
#include "platform/widgetkit/reload_request.hpp"
#include "platform/widgetkit/stop_signals.hpp"

namespace widgetkit {
namespace {

// What stops serve, told as the host's other errors are: without waiting on their reader.
void report(const std::string& message) {
    foundation::tellWithoutWaiting("JotbirdWidgets: " + message);
}

struct Host {
    const WidgetRuntime& runtime;
    std::vector<LiveFamily> families;
    Listening listening;
    ContainerWatch watch;           // wakes the host when the socket may be gone
    foundation::LineOutput output;  // standard output, never waited on
    foundation::LineOutput errors;  // standard error, the same way
    bool quiet = false;             // no line per drawing
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
        switch (timelineStep(family, now)) {
            case TimelineStep::nothing:
                break;
            case TimelineStep::showEntry:
                announce(host, family, drawCurrentEntry(family, now), "timeline");
                break;
            case TimelineStep::reload:
                announce(host, family, reloadAndDraw(family, host.runtime, now), "timeline");
                break;
        }
    }
}

void follow(Host& host, const ListenStep& step) {
    for (const std::string& message : step.messages)
        tell(host, message);
    if (step.redrawAll) reloadAll(host, "listen");
}

int pollTimeout(const Host& host) {
    std::vector<const LiveFamily*> families;
    for (const LiveFamily& family : host.families)
        families.push_back(&family);
    return int(
        sleepFor(host.listening, std::chrono::steady_clock::now(), families, foundation::now())
            .count());
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
        return "cannot use " + directory.string() + ": " + foundation::lastError().message();
    if (status.st_uid != ::geteuid())
        return "refusing to draw into " + directory.string() + ": it belongs to another user";
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return "refusing to draw into " + directory.string() +
               ": others may write into it (chmod go-w, or choose another directory)";
    return std::nullopt;
}

// What stops serve before it begins: a container that cannot be located, or a directory for
// the pictures that cannot be used safely.
std::optional<std::string> startProblem(const WidgetRuntime& runtime,
                                        const std::filesystem::path& outDirectory) {
    if (!runtime.container)
        return "the widget's shared container cannot be located (set XDG_DATA_HOME or HOME to "
               "an absolute path)";
    return outDirectoryProblem(outDirectory);
}

// The descriptors the loop waits on, in this order.
enum Event { stopEvent, requestEvent, containerEvent, outputEvent, errorsEvent, eventCount };

// One wake-up's work, in order: the streams, the requests, the timelines, the socket.
void handleWakeup(Host& host, const pollfd (&events)[eventCount]) {
    if (events[outputEvent].revents != 0) foundation::flushLines(host.output);
    if (events[errorsEvent].revents != 0) foundation::flushLines(host.errors);
    const std::optional<ReloadListener>& listener = host.listening.listener;
    if (listener && events[requestEvent].revents != 0) {
        const ReceivedRequests received =
            receiveRequests(*listener, host.runtime.kind, requestsPerWakeup);
        if (received.forKind > 0) reloadAll(host, "reload");
    }
    drawDue(host);
    const auto now = std::chrono::steady_clock::now();
    const bool changed = events[containerEvent].revents != 0 && takeContainerChanges(host.watch);
    if (changed || listenStepDue(host.listening, now))
        follow(host, keepListening(host.listening, now));
}

// Waits and works until a stop signal comes; the exit status.
int serveUntilStopped(Host& host, const StopSignals& stop) {
    for (;;) {
        const std::optional<ReloadListener>& listener = host.listening.listener;
        // The output streams are waited on only while lines wait for a slow reader.
        pollfd events[eventCount] = {
            {stop.fd.fd, POLLIN, 0},
            {listener ? listener->socket.fd : -1, POLLIN, 0},
            {host.watch.fd.fd, POLLIN, 0},
            {foundation::linesWaiting(host.output) ? host.output.fd : -1, POLLOUT, 0},
            {foundation::linesWaiting(host.errors) ? host.errors.fd : -1, POLLOUT, 0}};
        if (::poll(events, eventCount, pollTimeout(host)) < 0 && errno != EINTR) {
            report("poll failed: " + foundation::lastError().message());
            return 1;
        }
        if ((events[stopEvent].revents & POLLIN) && takeStopSignal(stop)) return 0;
        handleWakeup(host, events);
    }
}

int serve(const WidgetRuntime& runtime, const HostRequest& request,
          const std::filesystem::path& outDirectory, bool quiet) {
    if (auto problem = startProblem(runtime, outDirectory)) {
        report(*problem);
        return 1;
    }
    const StopSignals stop;
    if (stop.error) {
        report("cannot watch for SIGINT, SIGTERM and SIGHUP: " + stop.error.message());
        return 1;
    }
    Host host{runtime,
              {},
              {*runtime.container},
              // Watching before the first bind, so that no change after it goes unseen.
              watchContainer(*runtime.container, std::string(hostSocketName)),
              foundation::nonBlockingLines(STDOUT_FILENO),
              foundation::nonBlockingLines(STDERR_FILENO),
              quiet};
    const ListenStep first =
        startListening(host.listening, bool(host.watch.fd), std::chrono::steady_clock::now());
    for (const std::string& message : first.messages)
        report(message);
    if (first.cannotRun) return 1;

    for (WidgetFamily family : runtime.families)
        host.families.push_back(liveFamily(
            family, request, outDirectory / (std::string(familyShortName(family)) + ".png")));
    reloadAll(host, "start");
    return serveUntilStopped(host, stop);
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

#include "platform/widgetkit/widget_host.hpp"

#include <poll.h>
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

#include "platform/foundation/file_descriptor.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"
#include "platform/widgetkit/stop_signals.hpp"

namespace widgetkit {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A flood of datagrams is read in slices of this many, each followed by one drawing, so that
// a stop or a due timeline is never starved.
constexpr std::size_t requestsPerWakeup = 256;

// How often the host checks that its socket is still in the container, and tries to bind
// one again when it is not.
constexpr auto listenCheckInterval = std::chrono::seconds(1);

void report(const std::string& message) {
    std::fprintf(stderr, "JotbirdWidgets: %s\n", message.c_str());
}

void announce(const LiveFamily& family, const Drawing& drawing, std::string_view reason,
              bool quiet) {
    if (!drawing.error.empty()) {
        report("cannot draw " + std::string(familyName(family.request.family)) + " into " +
               family.png.string() + ": " + drawing.error);
        return;
    }
    if (quiet) return;
    // One write per line, so that a reader never sees half of one; a reader that went away
    // does not stop the host.
    (void)foundation::writeAll(STDOUT_FILENO, drawingJSON(family, drawing, reason) + "\n");
}

struct Host {
    const WidgetRuntime& runtime;
    std::filesystem::path container;
    std::vector<LiveFamily> families;
    std::optional<ReloadListener> listener;
    std::optional<ListenFailure> reportedFailure;  // so a lasting failure is told once
    steady_clock::time_point nextListenCheck;
    bool quiet = false;  // no line per drawing
};

void reloadAll(Host& host, std::string_view reason) {
    for (LiveFamily& family : host.families)
        announce(family, reloadAndDraw(family, host.runtime), reason, host.quiet);
}

void drawDue(Host& host) {
    const foundation::Date now = foundation::now();
    for (LiveFamily& family : host.families) {
        const auto next = nextDrawing(family);
        if (!next || *next > now) continue;
        if (reloadDue(family, now))
            announce(family, reloadAndDraw(family, host.runtime), "timeline", host.quiet);
        else
            announce(family, drawCurrentEntry(family), "timeline", host.quiet);
    }
}

// Binds the socket; true on success. Failures are told when they differ from the last one.
bool tryListening(Host& host) {
    auto attempt = listenForReloads(host.container);
    if (auto* listener = std::get_if<ReloadListener>(&attempt)) {
        host.listener.emplace(std::move(*listener));
        host.reportedFailure.reset();
        return true;
    }
    const ListenError& error = std::get<ListenError>(attempt);
    if (host.reportedFailure != error.failure) {
        report(error.describe(host.container) + "; listening as soon as it can");
        host.reportedFailure = error.failure;
    }
    return false;
}

// The container may be deleted and made again, and with it the socket file: the host keeps
// drawing on its timelines and binds a new socket once the directory is back.
void keepListening(Host& host) {
    if (host.listener) {
        if (stillListening(*host.listener)) return;
        report("the socket " + host.listener->path.string() + " is gone or taken over");
        host.listener.reset();
    }
    // Requests sent while nobody listened are lost; draw what is stored now.
    if (tryListening(host)) {
        report("listening on " + host.listener->path.string());
        reloadAll(host, "listen");
    }
}

int pollTimeout(const Host& host) {
    auto wait =
        std::chrono::duration_cast<milliseconds>(host.nextListenCheck - steady_clock::now());
    const foundation::Date now = foundation::now();
    for (const LiveFamily& family : host.families)
        if (const auto next = nextDrawing(family))
            wait = std::min(wait, std::chrono::ceil<milliseconds>(*next - now));
    return int(std::clamp<milliseconds::rep>(wait.count(), 0, 1000));
}

int serve(const WidgetRuntime& runtime, const HostRequest& request,
          const std::filesystem::path& outDirectory, bool quiet) {
    if (!runtime.container) {
        report(
            "the widget's shared container cannot be located (set XDG_DATA_HOME or HOME to "
            "an absolute path)");
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(outDirectory, error);
    if (error) {
        report("cannot make " + outDirectory.string() + ": " + error.message());
        return 1;
    }
    const StopSignals stop;
    if (stop.error) {
        report("cannot watch for SIGINT and SIGTERM: " + stop.error.message());
        return 1;
    }

    Host host{runtime,      *runtime.container, {},
              std::nullopt, std::nullopt,       steady_clock::now() + listenCheckInterval,
              quiet};
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
        pollfd events[2] = {{stop.fd.fd, POLLIN, 0},
                            {host.listener ? host.listener->socket.fd : -1, POLLIN, 0}};
        if (::poll(events, 2, pollTimeout(host)) < 0 && errno != EINTR) {
            report("poll failed: " + std::error_code(errno, std::generic_category()).message());
            return 1;
        }
        if ((events[0].revents & POLLIN) && takeStopSignal(stop)) return 0;
        if (host.listener && events[1].revents != 0) {
            const ReceivedRequests received =
                receiveRequests(*host.listener, runtime.kind, requestsPerWakeup);
            if (received.forKind > 0) reloadAll(host, "reload");
        }
        drawDue(host);
        if (steady_clock::now() >= host.nextListenCheck) {
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

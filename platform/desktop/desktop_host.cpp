#include "platform/desktop/desktop_host.hpp"

#include <glib-unix.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <variant>

#include "platform/desktop/desktop_state.hpp"
#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/host_monitor.hpp"
#include "platform/desktop/link_overlay.hpp"
#include "platform/desktop/wayland_registry.hpp"
#include "platform/foundation/line_output.hpp"
#include "platform/widgetkit/reload_request.hpp"

namespace desktop {
namespace {

// A flood of datagrams is read in slices of this many, each followed by one redraw, so that a
// stop or a due timeline is never starved.
constexpr std::size_t requestsPerWakeup = 256;

// Without inotify, how often the host checks that its socket is still in the container, and
// tries to bind one again when it is not.
constexpr guint listenCheckSeconds = 1;

// A socket file that vanished mostly goes with its container (rm -r removes the files, then
// the directory): binding again at once would put a new file in the way of that last step.
constexpr guint rebindDelayMilliseconds = 200;

// The name of the installed desktop entry, without ".desktop".
constexpr const char* desktopEntryId = "jotbird-widgets-desktop";

// The longest one-shot wait for a timeline; a later instant is simply waited for again.
constexpr std::chrono::milliseconds longestWait = std::chrono::hours(24);

void reloadAll(DesktopHost& host, std::string_view reason);
void armTimelineTimer(DesktopHost& host);

gboolean requestsArrived(gint, GIOCondition, gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    const widgetkit::ReceivedRequests received =
        widgetkit::receiveRequests(*host.listener, host.runtime.kind, requestsPerWakeup);
    if (received.forKind > 0) reloadAll(host, "reload");
    return G_SOURCE_CONTINUE;
}

void watchSocket(DesktopHost& host) {
    host.socketWatch.id = g_unix_fd_add(host.listener->socket.fd, G_IO_IN, requestsArrived, &host);
}

// Binds the socket; true on success. Failures are told when they differ from the last one.
bool tryListening(DesktopHost& host) {
    auto attempt = widgetkit::listenAgain(host.container, host.reportedFailure);
    if (const auto* message = std::get_if<std::string>(&attempt)) {
        if (!message->empty()) report(*message);
        return false;
    }
    host.listener.emplace(std::move(std::get<widgetkit::ReloadListener>(attempt)));
    watchSocket(host);
    return true;
}

gboolean rebindDue(gpointer data);

// The container may be deleted and made again, and with it the socket file: the host keeps
// showing its timelines and binds a new socket once the directory is back.
void keepListening(DesktopHost& host) {
    if (host.listener) {
        if (widgetkit::stillListening(*host.listener)) return;
        report("the socket " + host.listener->path.string() + " is gone or taken over");
        host.socketWatch.reset();
        host.listener.reset();
        host.rebindTimer.id = g_timeout_add(rebindDelayMilliseconds, rebindDue, &host);
        return;
    }
    if (host.rebindTimer.id != 0) return;
    // Requests sent while nobody listened are lost; show what is stored now.
    if (tryListening(host)) {
        report("listening on " + host.listener->path.string());
        reloadAll(host, "listen");
    }
}

gboolean rebindDue(gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    host.rebindTimer.id = 0;
    keepListening(host);
    return G_SOURCE_REMOVE;
}

gboolean containerChanged(gint, GIOCondition, gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    if (widgetkit::takeContainerChanges(host.containerWatch)) keepListening(host);
    return G_SOURCE_CONTINUE;
}

gboolean listenCheckDue(gpointer data) {
    keepListening(*static_cast<DesktopHost*>(data));
    return G_SOURCE_CONTINUE;
}

// One inotify descriptor on the main loop tells when the socket or the container comes or
// goes, also while the container is missing; only without inotify does the host look itself.
void watchContainer(DesktopHost& host) {
    host.containerWatch =
        widgetkit::watchContainer(host.container, std::string(widgetkit::hostSocketName));
    if (host.containerWatch.fd)
        host.containerSource.id =
            g_unix_fd_add(host.containerWatch.fd.fd, G_IO_IN, containerChanged, &host);
    else
        host.containerSource.id = g_timeout_add_seconds(listenCheckSeconds, listenCheckDue, &host);
}

gboolean timelineDue(gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    host.timelineTimer.id = 0;
    const foundation::Date now = foundation::now();
    for (const auto& window : host.windows) {
        const auto next = widgetkit::nextDrawing(window->live);
        if (!next || *next > now) continue;
        if (widgetkit::reloadDue(window->live, now))
            reloadWindow(*window, "timeline");
        else
            showCurrentEntry(*window, "timeline");
    }
    armTimelineTimer(host);
    return G_SOURCE_REMOVE;
}

// One timer, at the earliest instant any window's timeline asks for; none when none asks.
void armTimelineTimer(DesktopHost& host) {
    host.timelineTimer.reset();
    std::optional<foundation::Date> earliest;
    for (const auto& window : host.windows)
        if (const auto next = widgetkit::nextDrawing(window->live))
            if (!earliest || *next < *earliest) earliest = next;
    if (!earliest) return;
    const auto wait =
        std::clamp(std::chrono::ceil<std::chrono::milliseconds>(*earliest - foundation::now()),
                   std::chrono::milliseconds(0), longestWait);
    host.timelineTimer.id = g_timeout_add(guint(wait.count()), timelineDue, &host);
}

void reloadAll(DesktopHost& host, std::string_view reason) {
    for (const auto& window : host.windows)
        reloadWindow(*window, reason);
    armTimelineTimer(host);
}

void schemeChanged(DesktopHost& host, ui::ColorScheme scheme) {
    if (scheme == host.scheme) return;
    host.scheme = scheme;
    for (const auto& window : host.windows) {
        window->live.request.scheme = scheme;
        showCurrentEntry(*window, "scheme");
    }
}

gboolean stopAsked(gpointer) {
    gtk_main_quit();
    return G_SOURCE_CONTINUE;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "JotbirdWidgetsDesktop: %s\n%.*s", message.c_str(),
                 int(desktopUsage.size()), desktopUsage.data());
    return 2;
}

// Binds the socket, or finds that it must wait for the container: 0, or the exit status
// when the host cannot run.
int startListening(DesktopHost& host) {
    auto attempt = widgetkit::listenForReloads(host.container);
    if (auto* listener = std::get_if<widgetkit::ReloadListener>(&attempt)) {
        host.listener.emplace(std::move(*listener));
        return 0;
    }
    const auto& error = std::get<widgetkit::ListenError>(attempt);
    if (error.failure != widgetkit::ListenFailure::noDirectory) {
        report(error.describe(host.container));
        return error.failure == widgetkit::ListenFailure::anotherHost ? exitAnotherHost : 1;
    }
    // Only the bridge's publish makes the container; until then the empty widget shows.
    report(error.describe(host.container) + "; listening as soon as it appears");
    host.reportedFailure = error.failure;
    return 0;
}

ui::ColorScheme startingScheme(DesktopHost& host) {
    switch (host.options.scheme) {
        case SchemeChoice::light:
            return ui::ColorScheme::light;
        case SchemeChoice::dark:
            return ui::ColorScheme::dark;
        case SchemeChoice::automatic:
            break;
    }
    return watchColorScheme(host.schemeWatch,
                            [&host](ui::ColorScheme scheme) { schemeChanged(host, scheme); });
}

// Sets an environment variable for GTK's start only, so that programs that open links do not
// inherit it; the user's own value comes back afterwards.
struct VariableForStart {
    std::string name;
    std::optional<std::string> before;
    VariableForStart(std::string variable, const char* value) : name(std::move(variable)) {
        if (const char* old = g_getenv(name.c_str())) before = old;
        if (value)
            g_setenv(name.c_str(), value, TRUE);
        else
            g_unsetenv(name.c_str());
    }
    VariableForStart(const VariableForStart&) = delete;
    VariableForStart& operator=(const VariableForStart&) = delete;
    ~VariableForStart() {
        if (before)
            g_setenv(name.c_str(), before->c_str(), TRUE);
        else
            g_unsetenv(name.c_str());
    }
};

// Opens the display for GTK on the backend chosen from what the session offers. The host
// draws with Cairo alone, yet on some X servers GDK loads OpenGL (Mesa's software renderer
// alone is 45 MB resident) to choose visuals; it is told not to, unless the user asked
// otherwise.
bool openDisplay(Backend requested, const SessionOffer& offer) {
    // The Wayland application id and both halves of WM_CLASS: the desktop entry's id, so
    // that shells show the entry's name for the windows.
    g_set_prgname(desktopEntryId);
    const std::string backends = allowedBackends(requested, offer);
    if (!backends.empty()) gdk_set_allowed_backends(backends.c_str());
    // A backend asked for on the command line wins over GDK_BACKEND.
    std::optional<VariableForStart> backend;
    if (requested != Backend::automatic) backend.emplace("GDK_BACKEND", nullptr);
    std::optional<VariableForStart> gl;
    if (!g_getenv("GDK_GL")) gl.emplace("GDK_GL", "disable");
    if (!gtk_init_check(nullptr, nullptr)) return false;
    // GTK's start sets the class from the program's name, capitalised.
    gdk_set_program_class(desktopEntryId);
    return true;
}

int run(DesktopHost& host) {
    // From the start, so that a stop during the start still removes the socket; the loop
    // below handles it.
    SourceId stops[3];
    const int signals[3] = {SIGINT, SIGTERM, SIGHUP};
    for (int i = 0; i < 3; ++i)
        stops[i].id = g_unix_signal_add(signals[i], stopAsked, nullptr);
    // Watching before the first bind, so that no change after it goes unseen.
    watchContainer(host);
    if (const int status = startListening(host)) return status;
    const SessionOffer offer = lookAtSession();
    if (!openDisplay(host.options.backend, offer)) {
        report(host.options.backend == Backend::automatic
                   ? "cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)"
                   : "cannot open a display on the backend asked for (--backend)");
        return exitNoDisplay;
    }
    installLinkButtonStyle();
    host.stacking = stackingFor(gdk_display_get_default(), host.options.backend, offer);
    openFrameOutput(host.output, STDOUT_FILENO, host.options.quiet);
    host.scheme = startingScheme(host);
    if (host.listener) watchSocket(host);

    for (widgetkit::WidgetFamily family : host.options.families)
        host.windows.push_back(makeWindow(host, family));
    if (!host.options.monitor.empty() &&
        !hasMonitorNamed(gdk_display_get_default(), host.options.monitor))
        report("no monitor is named " + host.options.monitor +
               " (yet): the widget is on the primary monitor, and moves there when it comes");
    // Watched first: a work area set while the windows are being placed is not missed.
    watchMonitors(host);
    placeAllWindows(host);
    reloadAll(host, "start");
    for (const auto& window : host.windows) {
        gtk_widget_show_all(window->window);
        // GTK focuses the first link on showing; the first Tab should land there instead.
        gtk_window_set_focus(GTK_WINDOW(window->window), nullptr);
    }
    gtk_main();
    host.windows.clear();
    return 0;
}

}  // namespace

void report(const std::string& message) {
    // A reader of standard error that stalls must not hold the host up either: what it cannot
    // take at once is lost.
    foundation::LineOutput errors = foundation::nonBlockingLines(STDERR_FILENO);
    (void)foundation::writeLineWithoutBlocking(errors, "JotbirdWidgetsDesktop: " + message);
}

int runDesktopHost(const widgetkit::WidgetRuntime& runtime,
                   const std::vector<std::string_view>& arguments) {
    auto parsed = parseDesktopOptions(arguments);
    if (auto* error = std::get_if<OptionsError>(&parsed)) return usageError(error->message);
    const DesktopOptions& options = std::get<DesktopOptions>(parsed);
    if (options.version) {
        std::printf("JotbirdWidgetsDesktop %s\n", JOTBIRD_VERSION);
        return 0;
    }
    if (options.help) {
        std::printf("%.*s", int(desktopUsage.size()), desktopUsage.data());
        return 0;
    }
    if (!runtime.container) {
        report(
            "the widget's shared container cannot be located (set XDG_DATA_HOME or HOME to an "
            "absolute path)");
        return 1;
    }
    // A reader of the frame lines that goes away must not end the host.
    ::signal(SIGPIPE, SIG_IGN);
    try {
        DesktopHost host{runtime, options, *runtime.container};
        return run(host);
    } catch (const std::exception& error) {
        report(error.what());
        return 1;
    }
}

}  // namespace desktop

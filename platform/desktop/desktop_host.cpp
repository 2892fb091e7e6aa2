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
#include "platform/desktop/desktop_widgets.hpp"
#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/host_monitor.hpp"
#include "platform/desktop/link_overlay.hpp"
#include "platform/desktop/wayland_registry.hpp"
#include "platform/foundation/line_output.hpp"
#include "platform/ui/localization.hpp"
#include "platform/widgetkit/host_policy.hpp"
#include "platform/widgetkit/reload_request.hpp"

namespace desktop {
namespace {

// The name of the installed desktop entry, without ".desktop".
constexpr const char* desktopEntryId = "jotbird-widgets-desktop";

void reloadAll(DesktopHost& host, std::string_view reason);
void armWakeTimer(DesktopHost& host);

gboolean requestsArrived(gint, GIOCondition, gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    const widgetkit::ReceivedRequests received = widgetkit::receiveRequests(
        *host.listening.listener, host.runtime.kind, widgetkit::requestsPerWakeup);
    if (received.forKind > 0) reloadAll(host, "reload");
    return G_SOURCE_CONTINUE;
}

// The main loop waits on the socket the policy listens on, whenever it has one.
void watchSocket(DesktopHost& host) {
    host.socketWatch.reset();
    if (host.listening.listener)
        host.socketWatch.id =
            g_unix_fd_add(host.listening.listener->socket.fd, G_IO_IN, requestsArrived, &host);
}

void follow(DesktopHost& host, const widgetkit::ListenStep& step) {
    for (const std::string& message : step.messages)
        report(message);
    if (step.listenerChanged) watchSocket(host);
    if (step.redrawAll) reloadAll(host, "listen");
}

void keepListening(DesktopHost& host) {
    follow(host, widgetkit::keepListening(host.listening, std::chrono::steady_clock::now()));
    armWakeTimer(host);
}

gboolean containerChanged(gint, GIOCondition, gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    if (widgetkit::takeContainerChanges(host.containerWatch)) keepListening(host);
    return G_SOURCE_CONTINUE;
}

// One inotify descriptor on the main loop tells when the socket or the container comes or
// goes, also while the container is missing; without it the policy has the host look itself.
void watchContainer(DesktopHost& host) {
    host.containerWatch =
        widgetkit::watchContainer(host.container, std::string(widgetkit::hostSocketName));
    if (host.containerWatch.fd)
        host.containerSource.id =
            g_unix_fd_add(host.containerWatch.fd.fd, G_IO_IN, containerChanged, &host);
}

// What the timelines ask for now, and the socket's next step when it is due.
gboolean wakeDue(gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    host.wakeTimer.id = 0;
    const foundation::Date now = foundation::now();
    for (const auto& window : host.windows) {
        switch (widgetkit::timelineStep(window->live, now)) {
            case widgetkit::TimelineStep::nothing:
                break;
            case widgetkit::TimelineStep::showEntry:
                showCurrentEntry(*window, "timeline");
                break;
            case widgetkit::TimelineStep::reload:
                reloadWindow(*window, "timeline");
                break;
        }
    }
    const auto steadyNow = std::chrono::steady_clock::now();
    if (widgetkit::listenStepDue(host.listening, steadyNow))
        follow(host, widgetkit::keepListening(host.listening, steadyNow));
    armWakeTimer(host);
    return G_SOURCE_REMOVE;
}

// One timer, for the earliest of the windows' timelines and the socket's next step.
void armWakeTimer(DesktopHost& host) {
    host.wakeTimer.reset();
    std::vector<const widgetkit::LiveFamily*> families;
    for (const auto& window : host.windows)
        families.push_back(&window->live);
    const auto wait = widgetkit::sleepFor(host.listening, std::chrono::steady_clock::now(),
                                          families, foundation::now());
    host.wakeTimer.id = g_timeout_add(guint(wait.count()), wakeDue, &host);
}

void reloadAll(DesktopHost& host, std::string_view reason) {
    for (const auto& window : host.windows)
        reloadWindow(*window, reason);
    armWakeTimer(host);
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
    const widgetkit::ListenStep first = widgetkit::startListening(
        host.listening, bool(host.containerWatch.fd), std::chrono::steady_clock::now());
    for (const std::string& message : first.messages)
        report(message);
    if (!first.cannotRun) return 0;
    return first.failure == widgetkit::ListenFailure::anotherHost ? exitAnotherHost : 1;
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

// From the start, so that a stop during the start still removes the socket; the main loop
// handles it.
void watchStopSignals(SourceId (&stops)[3]) {
    const int signals[3] = {SIGINT, SIGTERM, SIGHUP};
    for (int i = 0; i < 3; ++i)
        stops[i].id = g_unix_signal_add(signals[i], stopAsked, nullptr);
}

// Puts the saved widgets (or the one the command line asks for) on screen, each placed and
// drawn before it shows.
void openWindows(DesktopHost& host) {
    host.settingsFile = settingsFile();
    for (const PlacedWidget& widget : startingWidgets(host))
        host.windows.push_back(makeWindow(host, widget));
    if (!host.options.monitor.empty() &&
        !hasMonitorNamed(gdk_display_get_default(), host.options.monitor))
        report("no monitor is named " + host.options.monitor +
               " (yet): the widget is on the primary monitor, and moves there when it comes");
    // Watched first: a work area set while the windows are being placed is not missed.
    watchMonitors(host);
    placeAllWindows(host);
    // What the command line said is kept from now on.
    if (host.options.placementGiven) saveWidgets(host);
    reloadAll(host, "start");
    for (const auto& window : host.windows) {
        gtk_widget_show_all(window->window);
        // GTK focuses the first link on showing; the first Tab should land there instead.
        gtk_window_set_focus(GTK_WINDOW(window->window), nullptr);
    }
}

int run(DesktopHost& host) {
    SourceId stops[3];
    watchStopSignals(stops);
    host.listening.container = host.container;
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
    watchSocket(host);
    openWindows(host);
    gtk_main();
    host.windows.clear();
    return 0;
}

}  // namespace

void timelinesChanged(DesktopHost& host) {
    armWakeTimer(host);
}

void report(const std::string& message) {
    // A reader of standard error that stalls must not hold the host up either, as serve's.
    foundation::tellWithoutWaiting("JotbirdWidgetsDesktop: " + message);
}

int runDesktopHost(const widgetkit::WidgetRuntime& runtime,
                   const std::vector<std::string_view>& arguments) {
    ui::bindMessageCatalogs();
    auto parsed = parseDesktopOptions(arguments);
    if (auto* error = std::get_if<foundation::UsageError>(&parsed))
        return usageError(error->message);
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

#include "platform/desktop/host_monitor.hpp"

#include <vector>

#include "platform/desktop/desktop_state.hpp"
#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/display_kind.hpp"
#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/monitor_choice.hpp"
#include "platform/desktop/wayland_registry.hpp"

#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif
#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#endif

namespace desktop {
namespace {

// GTK 3 names a monitor on X11 by its RandR output (as its model); on Wayland not at all, so
// the names come from the compositor's outputs, which GTK lists in the order announced (their
// positions do not tell them apart: wlroots gives every output 0,0).
std::vector<MonitorFacts> monitorFacts(GdkDisplay* display) {
    std::vector<MonitorFacts> facts;
    const std::vector<WaylandOutput> outputs =
        isWaylandDisplay(display) ? waylandOutputs() : std::vector<WaylandOutput>{};
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display, i);
        MonitorFacts monitorFacts{"", bool(gdk_monitor_is_primary(monitor))};
        if (!isWaylandDisplay(display)) {
            const char* model = gdk_monitor_get_model(monitor);
            monitorFacts.name = model ? model : "";
        } else if (outputs.size() == std::size_t(gdk_display_get_n_monitors(display))) {
            monitorFacts.name = outputs[std::size_t(i)].name;
        }
        facts.push_back(std::move(monitorFacts));
    }
    return facts;
}

gboolean placementDue(gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    host.placementIdle.id = 0;
    placeAllWindows(host);
    return G_SOURCE_REMOVE;
}

void monitorsChanged(DesktopHost& host) {
    placeWhenSettled(host);
}

void monitorChanged(GdkMonitor*, GParamSpec*, gpointer data) {
    monitorsChanged(*static_cast<DesktopHost*>(data));
}

void watchMonitor(DesktopHost& host, GdkMonitor* monitor) {
    for (auto property :
         {signals::monitorGeometry, signals::monitorWorkarea, signals::monitorScale})
        connect(monitor, property, monitorChanged, &host);
}

void monitorAdded(GdkDisplay*, GdkMonitor* monitor, gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    watchMonitor(host, monitor);
    monitorsChanged(host);
}

void monitorRemoved(GdkDisplay*, GdkMonitor*, gpointer data) {
    monitorsChanged(*static_cast<DesktopHost*>(data));
}

void screenChanged(GdkScreen*, gpointer data) {
    monitorsChanged(*static_cast<DesktopHost*>(data));
}

#ifdef GDK_WINDOWING_X11
// The window manager sets the work area after the screen changes, and whenever a panel comes
// or goes: GDK reads it when asked but tells no change.
GdkFilterReturn rootPropertyChanged(GdkXEvent* native, GdkEvent*, gpointer data) {
    const auto* event = static_cast<XEvent*>(native);
    if (event->type == PropertyNotify &&
        event->xproperty.atom ==
            gdk_x11_get_xatom_by_name_for_display(gdk_display_get_default(), "_NET_WORKAREA"))
        monitorsChanged(*static_cast<DesktopHost*>(data));
    return GDK_FILTER_CONTINUE;
}

void watchWorkArea(DesktopHost& host, GdkScreen* screen) {
    if (!GDK_IS_X11_SCREEN(screen)) return;
    GdkWindow* root = gdk_screen_get_root_window(screen);
    gdk_window_set_events(root,
                          GdkEventMask(gdk_window_get_events(root) | GDK_PROPERTY_CHANGE_MASK));
    gdk_window_add_filter(root, rootPropertyChanged, &host);
}
#else
void watchWorkArea(DesktopHost&, GdkScreen*) {}
#endif

}  // namespace

void placeWhenSettled(DesktopHost& host) {
    if (host.placementIdle.id == 0) host.placementIdle.id = g_idle_add(placementDue, &host);
}

GdkMonitor* chosenMonitor(GdkDisplay* display, const std::string& wanted) {
    const auto index = chooseMonitor(monitorFacts(display), wanted);
    return index ? gdk_display_get_monitor(display, int(*index)) : nullptr;
}

std::string monitorName(GdkDisplay* display, GdkMonitor* monitor) {
    const std::vector<MonitorFacts> facts = monitorFacts(display);
    for (std::size_t i = 0; i < facts.size(); ++i)
        if (gdk_display_get_monitor(display, int(i)) == monitor) return facts[i].name;
    return {};
}

bool hasMonitorNamed(GdkDisplay* display, const std::string& name) {
    for (const MonitorFacts& facts : monitorFacts(display))
        if (facts.name == name) return true;
    return false;
}

ui::CGRect workAreaOf(GdkMonitor* monitor) {
    if (!monitor) return {{0, 0}, {1920, 1080}};
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return {{double(area.x), double(area.y)}, {double(area.width), double(area.height)}};
}

void watchMonitors(DesktopHost& host) {
    GdkDisplay* display = gdk_display_get_default();
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i)
        watchMonitor(host, gdk_display_get_monitor(display, i));
    connect(display, signals::monitorAdded, monitorAdded, &host);
    connect(display, signals::monitorRemoved, monitorRemoved, &host);
    // On X11 a new screen size (RandR) and a new work area come as the screen's.
    GdkScreen* screen = gdk_display_get_default_screen(display);
    connect(screen, signals::screenSizeChanged, screenChanged, &host);
    connect(screen, signals::monitorsChanged, screenChanged, &host);
    watchWorkArea(host, screen);
}

}  // namespace desktop

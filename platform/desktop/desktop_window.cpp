#include "platform/desktop/desktop_window.hpp"

#include <cmath>
#include <exception>
#include <utility>

#include <map>

#include "platform/desktop/desktop_widgets.hpp"
#include "platform/desktop/family_menu.hpp"
#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/host_monitor.hpp"
#include "platform/desktop/link_overlay.hpp"
#include "platform/desktop/painting.hpp"
#include "platform/desktop/rounded_window.hpp"
#include "platform/desktop/url_opening.hpp"
#include "platform/desktop/window_drag.hpp"
#include "platform/desktop/window_placement.hpp"
#include "platform/ui/hit_test.hpp"

namespace desktop {
namespace {

widgetkit::HostRequest requestFor(const DesktopHost& host, widgetkit::WidgetFamily family) {
    widgetkit::HostRequest request;
    request.family = family;
    request.scheme = host.scheme;
    request.legacy = host.options.legacy;
    return request;
}

// The right button anywhere in the window, links included.
gboolean windowPressed(GtkWidget*, GdkEventButton* event, gpointer data) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY) return FALSE;
    popUpFamilyMenu(*static_cast<DesktopWindow*>(data), reinterpret_cast<GdkEvent*>(event));
    return TRUE;
}

void redrawArea(GtkWindow*, GParamSpec*, gpointer data) {
    gtk_widget_queue_draw(static_cast<DesktopWindow*>(data)->area);
}

// Moved to a monitor of another scale: the same points in more or fewer pixels.
void scaleChanged(GtkWidget* widget, GParamSpec*, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    window.live.request.scale = gtk_widget_get_scale_factor(widget);
    window.picture.reset();
    gtk_widget_queue_draw(window.area);
}

void sizeToFamily(DesktopWindow& window) {
    const ui::CGSize size = window.live.request.displaySize;
    gtk_widget_set_size_request(window.area, int(std::ceil(size.width)),
                                int(std::ceil(size.height)));
    gtk_window_resize(GTK_WINDOW(window.window), int(std::ceil(size.width)),
                      int(std::ceil(size.height)));
}

// The drawing area, and above it in the same GtkFixed the link buttons to come.
void addContent(DesktopWindow& window) {
    // The widget covers the whole window; the theme's background under it would be wasted.
    gtk_widget_set_app_paintable(window.window, TRUE);
    window.links = gtk_fixed_new();
    window.area = gtk_drawing_area_new();
    gtk_widget_add_events(
        window.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_BUTTON1_MOTION_MASK);
    gtk_widget_add_events(window.window, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                             GDK_BUTTON1_MOTION_MASK | GDK_KEY_PRESS_MASK);
    gtk_fixed_put(GTK_FIXED(window.links), window.area, 0, 0);
    gtk_container_add(GTK_CONTAINER(window.window), window.links);
}

gboolean closeAsked(GtkWidget*, GdkEvent*, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    if (window.host->stacking == Stacking::layerSurface) {
        // Only the compositor closes a layer surface, when its output goes away: the window
        // comes back on the monitor chosen once the monitors have settled.
        window.closedWithOutput = true;
        gtk_widget_hide(window.window);
        placeWhenSettled(*window.host);
        return TRUE;
    }
    // A close from the window manager ends the host as Quit does.
    gtk_main_quit();
    return TRUE;
}

// i3 puts a new floating window lower and to the right of where it asked, as if for a title
// bar it then does not draw; asked again once mapped, it puts the window there.
gboolean mapped(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    if (window.host->stacking != Stacking::x11Below) return FALSE;
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    if (x != std::lround(ui::CGRectGetMinX(window.frame)) ||
        y != std::lround(ui::CGRectGetMinY(window.frame)))
        moveWindow(window, window.frame);
    return FALSE;
}

void connectInput(DesktopWindow& window) {
    gpointer data = &window;
    connect(window.area, signals::draw, paintWindow, data);
    connect(window.window, signals::buttonPress, windowPressed, data);
    connect(window.window, signals::activeChanged, redrawArea, data);
    connect(window.window, signals::scaleFactorChanged, scaleChanged, data);
    connect(window.window, signals::deleteEvent, closeAsked, data);
    connect(window.window, signals::mapEvent, mapped, data);
}

}  // namespace

std::unique_ptr<DesktopWindow> makeWindow(DesktopHost& host, const PlacedWidget& widget) {
    auto window = std::make_unique<DesktopWindow>();
    window->host = &host;
    window->live = widgetkit::liveFamily(widget.family, requestFor(host, widget.family), {});
    window->monitor = widget.monitor;
    window->position = widget.position;
    window->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    applyStacking(GTK_WINDOW(window->window), host.stacking, host.options);
    useRoundedShape(*window);
    window->live.request.scale = gtk_widget_get_scale_factor(window->window);
    addContent(*window);
    sizeToFamily(*window);
    connectInput(*window);
    connectDragging(*window);
    return window;
}

void showCurrentEntry(DesktopWindow& window, std::string_view reason) {
    widgetkit::pickCurrentEntry(window.live);
    // Asked before the targets change: afterwards the focused button's index names another.
    const std::string keepFocus = focusedURL(window);
    window.root.reset();
    window.picture.reset();
    window.targets.clear();
    window.images.clear();
    const auto& entries = window.live.timeline.entries;
    if (entries.empty()) {
        report("nothing to draw for the " +
               std::string(widgetkit::familyShortName(window.live.request.family)) +
               " widget: its timeline has no entries");
    } else {
        try {
            window.root =
                widgetkit::layoutEntry(entries[window.live.shownEntry], window.live.request);
            window.targets = linkTargets(*window.root, window.live.request.redacted);
            window.images = namedImages(*window.root, window.live.request.redacted);
        } catch (const std::exception& error) {
            report(std::string("cannot lay out the widget: ") + error.what());
        }
    }
    rebuildLinkButtons(window, keepFocus);
    window.pendingReason = reason;
    gtk_widget_queue_draw(window.area);
}

void reloadWindow(DesktopWindow& window, std::string_view reason) {
    if (const std::string error = widgetkit::reloadTimeline(window.live, window.host->runtime);
        !error.empty())
        report("the widget's timeline failed: " + error);
    showCurrentEntry(window, reason);
}

void changeFamily(DesktopWindow& window, widgetkit::WidgetFamily family) {
    const double scale = window.live.request.scale;
    window.live = widgetkit::liveFamily(family, requestFor(*window.host, family), {});
    window.live.request.scale = scale;
    sizeToFamily(window);
    placeAllWindows(*window.host);
    reloadWindow(window, "family");
    timelinesChanged(*window.host);
    saveWidgets(*window.host);
}

void placeAllWindows(DesktopHost& host) {
    if (host.windows.empty()) return;
    GdkDisplay* display = gtk_widget_get_display(host.windows.front()->window);
    // Windows without a place of their own stack at the corner of their monitor, in order.
    std::map<GdkMonitor*, std::vector<DesktopWindow*>> stacked;
    for (const auto& window : host.windows) {
        window->placedOn = chosenMonitor(
            display, window->monitor.empty() ? host.options.monitor : window->monitor);
        window->workArea = workAreaOf(window->placedOn);
        const ui::CGSize size = window->live.request.displaySize;
        if (window->position)
            window->frame =
                keptInside(window->workArea, {{window->workArea.origin.x + window->position->x,
                                               window->workArea.origin.y + window->position->y},
                                              size});
        else
            stacked[window->placedOn].push_back(window.get());
    }
    for (const auto& [monitor, windows] : stacked) {
        std::vector<ui::CGSize> sizes;
        for (const DesktopWindow* window : windows)
            sizes.push_back(window->live.request.displaySize);
        const std::vector<ui::CGRect> frames = placeWindows(
            windows.front()->workArea, host.options.corner, host.options.margin, sizes);
        for (std::size_t i = 0; i < frames.size(); ++i)
            windows[i]->frame = frames[i];
    }
    for (const auto& window : host.windows)
        moveWindow(*window, window->frame);
    for (const auto& window : host.windows)
        if (std::exchange(window->closedWithOutput, false)) gtk_widget_show(window->window);
}

void moveWindow(DesktopWindow& window, const ui::CGRect& frame) {
    window.frame = frame;
    // A window with a place of its own keeps its distance from the work area's top-left.
    const Corner anchor = window.position ? Corner::topLeft : window.host->options.corner;
    placeWindow(GTK_WINDOW(window.window), window.host->stacking, anchor, window.placedOn,
                window.workArea, frame);
}

}  // namespace desktop

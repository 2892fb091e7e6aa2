#include "platform/desktop/desktop_widgets.hpp"

#include <algorithm>

#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/host_monitor.hpp"

namespace desktop {
namespace {

std::vector<PlacedWidget> fromCommandLine(const DesktopOptions& options) {
    std::vector<PlacedWidget> widgets;
    for (widgetkit::WidgetFamily family : options.families)
        widgets.push_back({family, options.monitor, std::nullopt});
    return widgets;
}

// The monitor a window is kept on: its own, else the one it was placed on.
std::string keptMonitor(const DesktopWindow& window) {
    if (!window.monitor.empty() || !window.placedOn) return window.monitor;
    return monitorName(gtk_widget_get_display(window.window), window.placedOn);
}

gboolean removeNow(gpointer data) {
    auto& host = *static_cast<DesktopHost*>(data);
    host.removalIdle.id = 0;
    std::erase_if(host.windows, [](const auto& window) { return window->removing; });
    placeAllWindows(host);
    saveWidgets(host);
    return G_SOURCE_REMOVE;
}

}  // namespace

std::vector<PlacedWidget> startingWidgets(DesktopHost& host) {
    if (host.options.placementGiven || !host.settingsFile) return fromCommandLine(host.options);
    const LoadedSettings loaded = loadSettings(*host.settingsFile);
    if (!loaded.problem.empty()) report(loaded.problem);
    if (!loaded.settings || loaded.settings->widgets.empty()) return fromCommandLine(host.options);
    return loaded.settings->widgets;
}

void showNewWidget(DesktopHost& host, const PlacedWidget& widget) {
    host.windows.push_back(makeWindow(host, widget));
    DesktopWindow& window = *host.windows.back();
    placeAllWindows(host);
    reloadWindow(window, "start");
    timelinesChanged(host);
    gtk_widget_show_all(window.window);
    // GTK focuses the first link on showing; the first Tab should land there instead.
    gtk_window_set_focus(GTK_WINDOW(window.window), nullptr);
}

void addWidget(DesktopHost& host, widgetkit::WidgetFamily family, const std::string& monitor) {
    showNewWidget(host, {family, monitor, std::nullopt});
    saveWidgets(host);
}

void removeWidget(DesktopHost& host, DesktopWindow& window) {
    const auto staying = std::count_if(host.windows.begin(), host.windows.end(),
                                       [](const auto& other) { return !other->removing; });
    if (staying < 2) return;
    // The menu that asked is still attached to the window: it goes when the loop is idle.
    window.removing = true;
    if (host.removalIdle.id == 0) host.removalIdle.id = g_idle_add(removeNow, &host);
}

void saveWidgets(DesktopHost& host) {
    if (!host.settingsFile) return;
    DesktopSettings settings;
    for (const auto& window : host.windows)
        settings.widgets.push_back(
            {window->live.request.family, keptMonitor(*window), window->position});
    if (auto error = saveSettings(*host.settingsFile, settings))
        report("cannot keep the widgets in " + host.settingsFile->string() + ": " +
               error.message());
}

}  // namespace desktop

#pragma once
// The widgets on the desktop as the person arranges them: the ones it starts with, adding and
// removing them, and keeping them in the settings file after every change.

#include <string>
#include <vector>

#include "platform/desktop/desktop_settings.hpp"
#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// The widgets to start with: the command line's when it says where they go, else the kept
// ones, else one medium widget. Says on standard error when the kept file cannot be used.
std::vector<PlacedWidget> startingWidgets(DesktopHost& host);

// Makes, places, draws and shows the window of a widget; its frame line says "start".
void showNewWidget(DesktopHost& host, const PlacedWidget& widget);

// A new widget of `family` on `monitor` (empty: the host's), stacked at the corner; kept.
void addWidget(DesktopHost& host, widgetkit::WidgetFamily family, const std::string& monitor);

// Takes the widget away, once its menu has closed, and keeps the rest. The last one stays:
// Quit ends the host, and nothing else would bring a widget back.
void removeWidget(DesktopHost& host, DesktopWindow& window);

// Writes the widgets to the settings file; a failure is said on standard error.
void saveWidgets(DesktopHost& host);

}  // namespace desktop

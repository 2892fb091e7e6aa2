#pragma once
// One host window: made for a family, laid out again whenever what it shows changes, and the
// frame it then draws announced with the reason.

#include <memory>
#include <string_view>

#include "platform/desktop/desktop_settings.hpp"
#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// A window for the widget in the host's scheme; not shown, nothing laid out yet.
std::unique_ptr<DesktopWindow> makeWindow(DesktopHost& host, const PlacedWidget& widget);

// Lays out the entry its timeline shows now and draws it; the frame line gives `reason`.
void showCurrentEntry(DesktopWindow& window, std::string_view reason);

// Asks the provider for a new timeline first.
void reloadWindow(DesktopWindow& window, std::string_view reason);

// Shows another family in the window, resized and the windows placed again.
void changeFamily(DesktopWindow& window, widgetkit::WidgetFamily family);

// Puts every window at its place: its own, brought inside its monitor's work area, or stacked
// in order at the host's corner of that monitor.
void placeAllWindows(DesktopHost& host);

// Puts the window at `frame` in the work area it was placed in last, without saying so.
void moveWindow(DesktopWindow& window, const ui::CGRect& frame);

}  // namespace desktop

#pragma once
// The desktop's colour-scheme preference, followed live: the settings portal's
// org.freedesktop.appearance color-scheme on the session bus (1 means dark), and where no
// portal answers, GTK's gtk-application-prefer-dark-theme.

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <functional>

#include "platform/ui/environment.hpp"

namespace desktop {

struct ColorSchemeWatch {
    GDBusConnection* bus = nullptr;  // a reference of our own
    guint subscription = 0;
    GtkSettings* settings = nullptr;  // GTK's, not ours
    gulong settingsHandler = 0;
    bool fromPortal = false;  // the portal answered; GTK's preference is then ignored
    std::function<void(ui::ColorScheme)> changed;

    ColorSchemeWatch() = default;
    ColorSchemeWatch(const ColorSchemeWatch&) = delete;
    ColorSchemeWatch& operator=(const ColorSchemeWatch&) = delete;
    ~ColorSchemeWatch();
};

// Reads the preference now and calls `changed` with every later change.
ui::ColorScheme watchColorScheme(ColorSchemeWatch& watch,
                                 std::function<void(ui::ColorScheme)> changed);

// The portal's color-scheme value read as a scheme: 1 is dark, anything else light.
ui::ColorScheme schemeFromPortalValue(GVariant* value);

}  // namespace desktop

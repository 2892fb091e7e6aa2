#include "platform/desktop/color_scheme_watch.hpp"

#include <optional>
#include <string_view>

#include "platform/desktop/gtk_signals.hpp"

namespace desktop {
namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* settingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* appearance = "org.freedesktop.appearance";
constexpr const char* colorSchemeKey = "color-scheme";
constexpr int portalTimeoutMs = 2000;

// ReadOne answers (v); the older Read answers (v) holding another v: unwrap both.
GVariant* unwrap(GVariant* value) {
    GVariant* current = g_variant_ref(value);
    while (g_variant_is_of_type(current, G_VARIANT_TYPE_VARIANT)) {
        g_autoptr(GVariant) outer = current;
        current = g_variant_get_variant(outer);
    }
    return current;
}

std::optional<ui::ColorScheme> readPortal(GDBusConnection* bus, const char* method) {
    g_autoptr(GError) error = nullptr;
    g_autoptr(GVariant) reply = g_dbus_connection_call_sync(
        bus, portalName, portalPath, settingsInterface, method,
        g_variant_new("(ss)", appearance, colorSchemeKey), G_VARIANT_TYPE("(v)"),
        G_DBUS_CALL_FLAGS_NONE, portalTimeoutMs, nullptr, &error);
    if (!reply) return std::nullopt;
    g_autoptr(GVariant) value = g_variant_get_child_value(reply, 0);
    return schemeFromPortalValue(value);
}

void settingChanged(GDBusConnection*, const char*, const char*, const char*, const char*,
                    GVariant* parameters, gpointer data) {
    auto& watch = *static_cast<ColorSchemeWatch*>(data);
    const char* space = nullptr;
    const char* key = nullptr;
    g_autoptr(GVariant) value = nullptr;
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)"))) return;
    g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
    if (std::string_view(space) == appearance && std::string_view(key) == colorSchemeKey) {
        watch.fromPortal = true;
        if (watch.changed) watch.changed(schemeFromPortalValue(value));
    }
}

ui::ColorScheme gtkPreference(GtkSettings* settings) {
    gboolean dark = FALSE;
    if (settings) g_object_get(settings, "gtk-application-prefer-dark-theme", &dark, nullptr);
    return dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
}

void gtkPreferenceChanged(GtkSettings*, GParamSpec*, gpointer data) {
    auto& watch = *static_cast<ColorSchemeWatch*>(data);
    if (!watch.fromPortal && watch.changed) watch.changed(gtkPreference(watch.settings));
}

}  // namespace

ColorSchemeWatch::~ColorSchemeWatch() {
    if (settingsHandler != 0) g_signal_handler_disconnect(settings, settingsHandler);
    if (subscription != 0) g_dbus_connection_signal_unsubscribe(bus, subscription);
    if (bus) g_object_unref(bus);
}

ui::ColorScheme schemeFromPortalValue(GVariant* value) {
    g_autoptr(GVariant) plain = unwrap(value);
    const bool dark =
        g_variant_is_of_type(plain, G_VARIANT_TYPE_UINT32) && g_variant_get_uint32(plain) == 1;
    return dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
}

ui::ColorScheme watchColorScheme(ColorSchemeWatch& watch,
                                 std::function<void(ui::ColorScheme)> changed) {
    watch.changed = std::move(changed);
    watch.settings = gtk_settings_get_default();
    if (watch.settings)
        watch.settingsHandler =
            connect(watch.settings, signals::preferDarkChanged, gtkPreferenceChanged, &watch);
    watch.bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!watch.bus) return gtkPreference(watch.settings);
    watch.subscription = g_dbus_connection_signal_subscribe(
        watch.bus, portalName, settingsInterface, "SettingChanged", portalPath, appearance,
        G_DBUS_SIGNAL_FLAGS_NONE, settingChanged, &watch, nullptr);
    std::optional<ui::ColorScheme> scheme = readPortal(watch.bus, "ReadOne");
    if (!scheme) scheme = readPortal(watch.bus, "Read");
    watch.fromPortal = scheme.has_value();
    return scheme.value_or(gtkPreference(watch.settings));
}

}  // namespace desktop

#pragma once
// The values a view reads from where it is rendered, and readers bound to one of them.

#include <string>

#include "platform/widgetkit/widget_family.hpp"

namespace ui {

enum class ColorScheme { light, dark };

// The user's language and clock, as the locale settings give them.
struct Locale {
    std::string language;  // "en", "zh", ...; empty for the C locale
    bool uses24HourClock = true;

    // From LC_ALL, LC_MESSAGES / LC_TIME and LANG.
    static Locale current();
};

struct EnvironmentValues {
    widgetkit::WidgetFamily widgetFamily = widgetkit::WidgetFamily::systemSmall;
    ColorScheme colorScheme = ColorScheme::light;
    Locale locale;
    // False on the older system, whose widgets have no container background and get no
    // content margins from the host.
    bool isContainerBackgroundAvailable = true;
    // Privacy-sensitive texts are drawn as placeholders.
    bool redactsPrivacySensitive = false;
};

// Reads one value of the environment in force where the view is rendered.
template <class T>
struct Environment {
    T EnvironmentValues::*key;
    T operator()(const EnvironmentValues& values) const { return values.*key; }
};

}  // namespace ui

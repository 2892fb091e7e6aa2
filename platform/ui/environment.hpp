#pragma once
// The values a view reads from where it is rendered, and readers bound to one of them.

#include <string>
#include <vector>

#include "platform/ui/widget_family.hpp"

namespace ui {

enum class ColorScheme { light, dark };

// The user's languages and formats, as the locale settings give them.
struct Locale {
    // The translation tables to try, most wanted first, as gettext tries catalogs: LANGUAGE's
    // list unless the messages locale is C, else the messages locale; each entry followed by
    // its bare language ("pt_BR", "pt"). Empty for the C locale.
    std::vector<std::string> languages;
    // The language the user's own texts are written in, as a BCP 47 tag ("ja-jp", "zh-tw"):
    // it picks the glyph forms of Han characters. Empty for the C locale.
    std::string textLanguage;
    // The locale whose conventions times of day follow, as ICU names it ("ko_KR"); empty for
    // the C locale.
    std::string timeLocale;

    // From LC_ALL, LC_MESSAGES / LC_CTYPE / LC_TIME, LANG and LANGUAGE.
    static Locale current();
};

struct EnvironmentValues {
    WidgetFamily widgetFamily = WidgetFamily::systemSmall;
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

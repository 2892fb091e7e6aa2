#include <string_view>

#include "platform/ui/environment.hpp"
#include "platform/ui/locale_names.hpp"

namespace ui {
namespace {

// "sr_RS.UTF-8@latin" -> "sr_RS@latin": ICU reads POSIX names once the code set is gone.
std::string icuLocale(std::string_view locale) {
    if (isPlainC(locale)) return {};
    return withoutCodeSet(locale);
}

}  // namespace

Locale Locale::current() {
    Locale locale;
    locale.textLanguage = languageTag(localeSetting("LC_CTYPE"));
    locale.timeLocale = icuLocale(localeSetting("LC_TIME"));
    locale.numberLocale = icuLocale(localeSetting("LC_NUMERIC"));
    return locale;
}

}  // namespace ui

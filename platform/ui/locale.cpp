#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/ui/environment.hpp"

namespace ui {
namespace {

// The first of the variables that is set and not empty, as POSIX orders them.
std::string_view setting(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return {};
}

bool isPlainC(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.");
}

// "pt_BR.UTF-8@euro" without its code set: "pt_BR@euro".
std::string withoutCodeSet(std::string_view locale) {
    const auto dot = locale.find('.');
    if (dot == std::string_view::npos) return std::string(locale);
    const auto at = locale.find('@', dot);
    std::string name(locale.substr(0, dot));
    if (at != std::string_view::npos) name += locale.substr(at);
    return name;
}

// "zh_TW.UTF-8" -> "zh-tw", as Pango and HarfBuzz name languages.
std::string languageTag(std::string_view locale) {
    if (isPlainC(locale)) return {};
    std::string tag = withoutCodeSet(locale);
    tag = tag.substr(0, tag.find('@'));
    for (char& c : tag)
        c = c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    return tag;
}

// "sr_RS.UTF-8@latin" -> "sr_RS@latin": ICU reads POSIX names once the code set is gone.
std::string icuLocale(std::string_view locale) {
    if (isPlainC(locale)) return {};
    return withoutCodeSet(locale);
}

}  // namespace

Locale Locale::current() {
    Locale locale;
    locale.textLanguage = languageTag(setting("LC_CTYPE"));
    locale.timeLocale = icuLocale(setting("LC_TIME"));
    locale.numberLocale = icuLocale(setting("LC_NUMERIC"));
    return locale;
}

}  // namespace ui

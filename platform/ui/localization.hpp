#pragma once
// Turning text content into what a person reads: translations from the gettext catalogs,
// numbers put into "%lld", and times of day in the locale's format.

#include <string>
#include <string_view>

#include "platform/ui/environment.hpp"
#include "platform/ui/text_content.hpp"
#include "platform/ui/time_of_day.hpp"

namespace ui {

// The gettext domain of every catalog: <locale dir>/<ll>/LC_MESSAGES/jotbird-widgets.mo.
inline constexpr const char* messageDomain = "jotbird-widgets";

// Marks a key for xgettext (keyword N_) and gives it back as it is.
constexpr const char* N_(const char* key) {
    return key;
}

// A key whose wording depends on a number, looked up with ngettext (keyword pluralKey:1,2).
inline LocalizedStringKey pluralKey(const char* singular, const char* plural, std::int64_t count) {
    return {singular, {count}, plural};
}

// Sets the messages locale from the environment and binds the domain to
// <directory of the executable>/../share/locale, in UTF-8. When the environment names a
// locale the machine lacks, the messages locale becomes C.UTF-8 with the named language put
// into LANGUAGE, so the user's language still shows. Called once at the start of a program.
void bindMessageCatalogs();

// The catalog gettext answers with, as far as the widget's layout needs it.
struct Translation {
    // BCP 47 tag of the first catalog gettext found ("de", "zh-tw"); empty when none.
    std::string language;
    // Its translators asked for right-to-left layout ("default:RTL", as GTK asks them).
    bool rightToLeft = false;

    static Translation current();
};

// The key's translation, or the key itself, with each "%lld" replaced by the next argument
// in the digits of `numberLocale` (ICU's name; empty: ASCII) and "%%" by "%".
std::string localizedString(const LocalizedStringKey& key, std::string_view numberLocale = {});

// True when the catalogs hold a translation for the key.
bool isTranslated(const LocalizedStringKey& key);

// What a text shows.
std::string displayString(const TextContent& content, const Locale& locale);

}  // namespace ui

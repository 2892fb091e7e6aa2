#pragma once
// Turning text content into what a person reads: translations from the bundle, numbers put
// into "%lld", and times of day in the locale's format.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/bundle.hpp"
#include "platform/ui/environment.hpp"
#include "platform/ui/text_content.hpp"
#include "platform/ui/time_of_day.hpp"

namespace ui {

// A translation table: key -> text. Empty when the bundle has none for the language.
using StringTable = std::map<std::string, std::string, std::less<>>;

// The first of the locale's languages the bundle has a table for, as the table is named
// ("en"); nothing when the keys show untranslated.
std::optional<std::string> tableLanguage(const foundation::Bundle& bundle, const Locale& locale);

// <bundle>/translations/<language>.json for that language, a flat JSON object of strings.
StringTable loadStringTable(const foundation::Bundle& bundle, const Locale& locale);

// The same for a language tableLanguage chose already, so the bundle is not searched twice.
StringTable loadStringTable(const foundation::Bundle& bundle, std::string_view language);

// The key's translation, or the key itself, with each "%lld" replaced by the next argument
// and "%%" by "%".
std::string localizedString(const LocalizedStringKey& key, const StringTable& table);

// What a text shows.
std::string displayString(const TextContent& content, const StringTable& table,
                          const Locale& locale);

}  // namespace ui

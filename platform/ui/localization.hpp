#pragma once
// Turning text content into what a person reads: translations from the bundle, numbers put
// into "%lld", and times of day in the locale's format.

#include <map>
#include <string>

#include "platform/foundation/bundle.hpp"
#include "platform/ui/environment.hpp"
#include "platform/ui/text_content.hpp"

namespace ui {

// A translation table: key -> text. Empty when the bundle has none for the language.
using StringTable = std::map<std::string, std::string, std::less<>>;

// <bundle>/translations/<language>.json, a flat JSON object of strings.
StringTable loadStringTable(const foundation::Bundle& bundle, const Locale& locale);

// The key's translation, or the key itself, with each "%lld" replaced by the next argument
// and "%%" by "%".
std::string localizedString(const LocalizedStringKey& key, const StringTable& table);

// "14:05" on a 24-hour clock, "2:05 PM" on a 12-hour one, in the local time zone.
std::string timeOfDay(foundation::Date date, const Locale& locale);

// What a text shows.
std::string displayString(const TextContent& content, const StringTable& table,
                          const Locale& locale);

}  // namespace ui

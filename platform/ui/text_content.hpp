#pragma once
// What a text shows before localization and formatting.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ui {

// A key looked up in the message catalogs; "%lld" takes the arguments in order. A key with a
// plural form is looked up by its first argument's count.
struct LocalizedStringKey {
    std::string key;
    std::vector<std::int64_t> arguments;
    std::string plural;
    bool operator==(const LocalizedStringKey&) const = default;
};

// A text shown as it stands, never looked up.
struct Verbatim {
    std::string text;
    bool operator==(const Verbatim&) const = default;
};

// An instant shown as a time of day in the user's locale format. Seconds since 1970 as a
// double, as the platform's dates hold them, so that any instant a snapshot carries fits.
struct TimeText {
    double secondsSince1970 = 0;
    bool operator==(const TimeText&) const = default;
};

using TextContent = std::variant<LocalizedStringKey, Verbatim, TimeText>;

}  // namespace ui

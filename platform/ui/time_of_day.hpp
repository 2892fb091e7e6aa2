#pragma once
// Times of day in a locale's own format, from ICU's locale data.

#include <string>
#include <string_view>

namespace ui {

// The hour and minute of the instant in the local time zone, written as the locale writes a
// time of day (ICU's skeleton "jmm": the locale's hour cycle, digits and day periods, "14:05",
// "2:05 PM", "오후 2:05"). An empty locale is the C locale: 24 hours, "14:05". Instants more
// than 275,760 years from 1970 lose whole 400-year Gregorian cycles, after which every date,
// weekday and daylight-saving rule repeats, so ICU's calendars hold them; a value that is no
// instant (not a number, infinite) shows nothing.
std::string timeOfDay(double secondsSince1970, std::string_view locale);

}  // namespace ui

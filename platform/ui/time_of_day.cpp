#include "platform/ui/time_of_day.hpp"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace ui {
namespace {

// 400 Gregorian years: 146,097 days, a whole number of weeks, after which every date falls on
// the same weekday again.
constexpr double gregorianCycleSeconds = 146097.0 * 86400.0;
// Within this distance of 1970 ICU's calendars hold every instant (they reach about 5.8
// million years either way); ECMAScript's date range, 275,760 years, is well inside.
constexpr double calendarRangeSeconds = 8.64e12;

// The instant itself when a calendar holds it, else the one with the same time of day and
// date within 400 years of 1970, on the same side of it. fmod is exact for doubles.
double representable(double seconds) {
    if (std::fabs(seconds) <= calendarRangeSeconds) return seconds;
    return std::fmod(seconds, gregorianCycleSeconds);
}

struct Formatter {
    std::string locale;
    std::string zone;
    std::unique_ptr<icu::SimpleDateFormat> format;
};

std::string zoneSetting() {
    const char* zone = std::getenv("TZ");
    return zone != nullptr ? zone : "";
}

// The locale's own pattern for an hour and minutes; the C locale's is POSIX's "%H:%M" (ICU
// would take its root locale for American).
icu::UnicodeString timePattern(const icu::Locale& locale, bool posix, UErrorCode& status) {
    if (posix) return u"HH:mm";
    const std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status)) return {};
    return generator->getBestPattern(u"jmm", status);
}

std::unique_ptr<icu::SimpleDateFormat> makeFormat(std::string_view name) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale = name.empty()
                                   ? icu::Locale::getRoot()
                                   : icu::Locale::createCanonical(std::string(name).c_str());
    const icu::UnicodeString pattern = timePattern(locale, name.empty(), status);
    if (U_FAILURE(status)) return nullptr;
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) return nullptr;
    // The zone as the C library reads it now, not as ICU saw it at its first use.
    format->adoptTimeZone(icu::TimeZone::detectHostTimeZone());
    return format;
}

// Making a formatter loads locale data; one per thread is kept for the locale and zone last
// asked for, since a widget formats several times with the same ones.
icu::SimpleDateFormat* formatFor(std::string_view locale) {
    thread_local Formatter cached;
    const std::string zone = zoneSetting();
    if (!cached.format || cached.locale != locale || cached.zone != zone)
        cached = {std::string(locale), zone, makeFormat(locale)};
    return cached.format.get();
}

}  // namespace

std::string timeOfDay(double secondsSince1970, std::string_view locale) {
    if (!std::isfinite(secondsSince1970)) return {};
    icu::SimpleDateFormat* format = formatFor(locale);
    if (format == nullptr) return {};
    icu::UnicodeString text;
    format->format(UDate(representable(secondsSince1970) * 1000.0), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace ui

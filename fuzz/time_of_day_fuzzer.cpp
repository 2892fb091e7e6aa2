// Times of day for any double and a few locales: no undefined behaviour anywhere in the
// range, a time for every finite instant, nothing for the rest.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ui/time_of_day.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double) + 1) return 0;
    double seconds = 0;
    std::memcpy(&seconds, data, sizeof seconds);
    static const char* const locales[] = {"", "en_US", "ja_JP", "ar_EG", "ko_KR", "fr_CA"};
    const char* locale = locales[data[sizeof(double)] % std::size(locales)];
    const std::string shown = ui::timeOfDay(seconds, locale);
    if (std::isfinite(seconds) == shown.empty()) {
        std::fprintf(stderr, "time_of_day_fuzzer: %.17g in '%s' shows '%s'\n", seconds, locale,
                     shown.c_str());
        std::abort();
    }
    return 0;
}

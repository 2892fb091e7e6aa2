// The user's locale as the widget reads it from the environment, and times of day in each
// locale's own format, checked against ICU's locale data.
#include <gtest/gtest.h>
#include <unicode/dtptngen.h>
#include <unicode/numsys.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/localization.hpp"
#include "platform/ui/time_of_day.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Settings = std::map<std::string, std::optional<std::string>>;

// Sets the locale variables (and TZ) for one scope; every one not named is unset, so the
// machine's own settings never leak in. The old values come back at the end.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Settings& settings) {
        for (const char* name :
             {"LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LC_TIME", "LANG", "LANGUAGE", "TZ"}) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
            const auto wanted = settings.find(name);
            apply(name, wanted == settings.end() ? std::nullopt : wanted->second);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            apply(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    Settings saved_;
};

std::string describe(const Settings& settings) {
    std::ostringstream out;
    for (const auto& [name, value] : settings)
        out << name << "=" << value.value_or("(unset)") << " ";
    return out.str();
}

// ---------------------------------------------------------------------------------------------
// Reading the locale

TEST(Locale, ReadsTextLanguageAndTimeLocaleAsTheCLibraryOrdersThem) {
    struct Case {
        Settings settings;
        std::string textLanguage, timeLocale;
    };
    for (const Case& c : std::vector<Case>{
             {{}, "", ""},
             {{{"LANG", "C"}}, "", ""},
             {{{"LANG", "C.UTF-8"}}, "", ""},
             {{{"LANG", "POSIX"}, {"LANGUAGE", "fr"}}, "", ""},
             {{{"LANG", "ja_JP.UTF-8"}}, "ja-jp", "ja_JP"},
             {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr_CA:en"}}, "de-de", "de_DE"},
             {{{"LANG", "en_US.UTF-8"},
               {"LC_MESSAGES", "pt_BR.UTF-8"},
               {"LC_CTYPE", "zh_TW.UTF-8"},
               {"LC_TIME", "ko_KR.UTF-8"}},
              "zh-tw",
              "ko_KR"},
             {{{"LC_ALL", "zh_HK.UTF-8"}, {"LC_TIME", "en_US.UTF-8"}, {"LANG", "fr_FR.UTF-8"}},
              "zh-hk",
              "zh_HK"},
             {{{"LANG", "sr_RS.UTF-8@latin"}}, "sr-rs", "sr_RS@latin"},
         }) {
        SCOPED_TRACE(describe(c.settings));
        const ScopedEnvironment environment(c.settings);
        const ui::Locale locale = ui::Locale::current();
        EXPECT_EQ(locale.textLanguage, c.textLanguage);
        EXPECT_EQ(locale.timeLocale, c.timeLocale);
    }
}

// ---------------------------------------------------------------------------------------------
// Times of day

constexpr double morning = 1700039100;  // 2023-11-15 09:05:00 UTC
constexpr double evening = 1700000360;  // 2023-11-14 22:19:20 UTC

// What ICU's data gives for "jmm" in each locale: hour cycle, digits, day periods, spacing.
TEST(TimeOfDay, EachLocaleWritesTheTimeItsOwnWay) {
    const ScopedEnvironment environment(Settings{{"TZ", "UTC"}});
    struct Case {
        std::string locale, morning, evening;
    };
    for (const Case& c : std::vector<Case>{
             {"", "09:05", "22:19"},
             {"en_US", "9:05\u202fAM", "10:19\u202fPM"},
             {"en_GB", "09:05", "22:19"},
             {"en_CA", "9:05\u202fa.m.", "10:19\u202fp.m."},
             {"en_AU", "9:05\u202fam", "10:19\u202fpm"},
             {"en_IN", "9:05\u202fam", "10:19\u202fpm"},
             {"en_PH", "9:05\u202fAM", "10:19\u202fPM"},
             {"en_NZ", "9:05\u202fam", "10:19\u202fpm"},
             {"en_IE", "09:05", "22:19"},
             {"es_US", "9:05\u202fa.\u00a0m.", "10:19\u202fp.\u00a0m."},
             {"es_ES", "9:05", "22:19"},
             {"es_MX", "09:05", "22:19"},
             {"fr_FR", "09:05", "22:19"},
             {"fr_CA", "09 h 05", "22 h 19"},
             {"de_DE", "09:05", "22:19"},
             {"it_IT", "09:05", "22:19"},
             {"pt_BR", "09:05", "22:19"},
             {"nl_NL", "09:05", "22:19"},
             {"sv_SE", "09:05", "22:19"},
             {"fi_FI", "9.05", "22.19"},
             {"pl_PL", "09:05", "22:19"},
             {"ru_RU", "09:05", "22:19"},
             {"uk_UA", "09:05", "22:19"},
             {"tr_TR", "09:05", "22:19"},
             {"el_GR", "9:05\u202fπ.μ.", "10:19\u202fμ.μ."},
             {"he_IL", "9:05", "22:19"},
             {"ar_EG", "٩:٠٥ ص", "١٠:١٩ م"},
             {"ar_SA", "٩:٠٥ ص", "١٠:١٩ م"},
             {"fa_IR", "۹:۰۵", "۲۲:۱۹"},
             {"hi_IN", "9:05 am", "10:19 pm"},
             {"bn_BD", "৯:০৫ AM", "১০:১৯ PM"},
             {"ta_IN", "முற்பகல் 9:05", "பிற்பகல் 10:19"},
             {"mr_IN", "९:०५ AM", "१०:१९ PM"},
             {"ne_NP", "०९:०५", "२२:१९"},
             {"my_MM", "၉:၀၅", "၂၂:၁၉"},
             {"th_TH", "09:05", "22:19"},
             {"vi_VN", "09:05", "22:19"},
             {"id_ID", "09.05", "22.19"},
             {"ja_JP", "9:05", "22:19"},
             {"ko_KR", "오전 9:05", "오후 10:19"},
             {"zh_CN", "09:05", "22:19"},
             {"zh_TW", "上午9:05", "下午10:19"},
             {"zh_HK", "上午9:05", "下午10:19"},
         }) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(ui::timeOfDay(morning, c.locale), c.morning);
        EXPECT_EQ(ui::timeOfDay(evening, c.locale), c.evening);
    }
}

// The hour cycle and the digits ICU gives each locale the C library knows, read through
// the environment as the widget reads it.
TEST(TimeOfDay, EveryInstalledLocaleGetsItsHourCycleAndDigits) {
    testsupport::ProcessOptions options;
    options.arguments = {"-a"};
    const auto listed = testsupport::runProcess("/usr/bin/locale", options);
    ASSERT_EQ(listed.exitStatus, 0) << testsupport::describe(listed);
    std::istringstream names(listed.standardOutput);
    int checked = 0;
    for (std::string name; std::getline(names, name);) {
        // The C locale's own clock is checked above.
        if (name.find(".utf8") == std::string::npos || name.starts_with("C.")) continue;
        SCOPED_TRACE(name);
        const ScopedEnvironment environment(Settings{{"LC_ALL", name}, {"TZ", "UTC"}});
        const std::string id = ui::Locale::current().timeLocale;
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale locale = icu::Locale::createCanonical(id.c_str());
        const std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(locale, status));
        const std::unique_ptr<icu::NumberingSystem> numbers(
            icu::NumberingSystem::createInstance(locale, status));
        ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
        if (numbers->isAlgorithmic()) continue;
        const UDateFormatHourCycle cycle = generator->getDefaultHourCycle(status);
        const bool twelve = cycle == UDAT_HOUR_CYCLE_12 || cycle == UDAT_HOUR_CYCLE_11;
        // The hour and the minutes in the locale's own digits.
        const icu::UnicodeString digits = numbers->getDescription();
        auto written = [&](int value) -> std::string {
            icu::UnicodeString text;
            text.append(digits[value / 10]).append(digits[value % 10]);
            std::string utf8;
            text.toUTF8String(utf8);
            return utf8;
        };
        const std::string shown = ui::timeOfDay(evening, id);
        EXPECT_NE(shown.find(written(twelve ? 10 : 22)), std::string::npos) << shown;
        EXPECT_NE(shown.find(written(19)), std::string::npos) << shown;
        ++checked;
    }
    EXPECT_GT(checked, 100) << "locales-all should provide several hundred locales";
}

// Far from 1970 the instant still has its time of day: ICU's calendars where they reach,
// else the same day 400 years nearer. Before 1970 times round down, to the minute before.
TEST(TimeOfDay, EveryFiniteInstantHasItsTimeOfDayAndNonInstantsShowNothing) {
    const ScopedEnvironment environment(Settings{{"TZ", "UTC"}});
    const double largest = std::numeric_limits<double>::max();
    struct Case {
        const char* name;
        double seconds;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{
             {"1970", 0, "00:00"},
             {"negative zero", -0.0, "00:00"},
             {"smallest positive", std::numeric_limits<double>::denorm_min(), "00:00"},
             {"one millisecond before 1970", -1 / 1000.0, "23:59"},
             {"one minute before 1970", -60, "23:59"},
             {"a minute and a millisecond before", -60001 / 1000.0, "23:58"},
             {"past 64-bit nanoseconds (2262)", 9.3e12 / 1000.0, "21:20"},
             {"before 64-bit nanoseconds (1677)", -9.3e12 / 1000.0, "02:40"},
             {"the edge of ICU's direct range", 8.64e12, "00:00"},
             {"a minute past it", 8.64e12 + 60, "00:01"},
             {"a minute before its negative", -8.64e12 - 60, "23:59"},
             {"1e20 milliseconds", 1e20 / 1000.0, "09:46"},
             {"-1e20 milliseconds", -1e20 / 1000.0, "14:13"},
             {"1e300 seconds", 1e300, "17:36"},
             {"-1e300 seconds", -1e300, "06:24"},
             {"the largest double of milliseconds", largest / 1000.0, "07:40"},
             {"the most negative", -largest / 1000.0, "16:19"},
             {"the largest double of seconds", largest, "14:26"},
             {"its negative", -largest, "09:33"},
             {"not a number", std::nan(""), ""},
             {"infinity", std::numeric_limits<double>::infinity(), ""},
             {"negative infinity", -std::numeric_limits<double>::infinity(), ""},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ui::timeOfDay(c.seconds, ""), c.shown);
    }
    EXPECT_EQ(ui::timeOfDay(-1 / 1000.0, "en_US"), "11:59\u202fPM");
    EXPECT_EQ(ui::timeOfDay(1e20 / 1000.0, "ja_JP"), "9:46");
}

TEST(TimeOfDay, FollowsTheLocalTimeZoneAndItsDaylightSavingFarAhead) {
    constexpr double gregorianCycle = 146097.0 * 86400;
    constexpr double july2400Noon = 13585233600;  // 2400-07-01 12:00 UTC
    struct Case {
        const char* zone;
        double seconds;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{
             {"Asia/Tokyo", evening, "07:19"},
             {"America/New_York", evening, "17:19"},  // standard time in November
             {"America/New_York", july2400Noon, "08:00"},
             {"America/New_York", july2400Noon + 744 * gregorianCycle, "08:00"},  // year 300000
             {"Asia/Kolkata", evening, "03:49"},
             {"UTC", evening, "22:19"},
         }) {
        SCOPED_TRACE(c.zone);
        const ScopedEnvironment environment(Settings{{"TZ", c.zone}});
        EXPECT_EQ(ui::timeOfDay(c.seconds, ""), c.shown);
    }
}

}  // namespace

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

}  // namespace

Locale Locale::current() {
    Locale locale;
    const std::string_view messages = setting("LC_MESSAGES");
    const std::string_view language = messages.substr(0, messages.find_first_of("_.@"));
    if (language != "C" && language != "POSIX") locale.language = std::string(language);
    const std::string_view time = setting("LC_TIME");
    // The regions that read the clock in twelve hours.
    for (std::string_view region : {"en_US", "en_CA", "en_AU", "en_PH", "en_IN", "en_NZ"})
        if (time.substr(0, region.size()) == region) locale.uses24HourClock = false;
    return locale;
}

}  // namespace ui

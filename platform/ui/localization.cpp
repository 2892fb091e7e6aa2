#include "platform/ui/localization.hpp"

#include <ctime>
#include <nlohmann/json.hpp>

#include "platform/foundation/bounded_read.hpp"
#include "platform/foundation/overloaded.hpp"

namespace ui {
namespace {

// Translation tables are small; a larger file is not one of ours.
constexpr std::size_t maxTableBytes = 1 << 20;

}  // namespace

StringTable loadStringTable(const foundation::Bundle& bundle, const Locale& locale) {
    StringTable table;
    if (locale.language.empty()) return table;
    auto file = bundle.urlForResource("translations/" + locale.language, "json");
    if (!file) return table;
    auto bytes = foundation::readFilePrefix(*file, maxTableBytes);
    if (!bytes) return table;
    const auto json = nlohmann::json::parse(*bytes, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) return table;
    for (const auto& [key, value] : json.items())
        if (value.is_string()) table.emplace(key, value.get<std::string>());
    return table;
}

std::string localizedString(const LocalizedStringKey& key, const StringTable& table) {
    const auto found = table.find(key.key);
    const std::string& format = found != table.end() ? found->second : key.key;
    std::string result;
    std::size_t argument = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 4, "%lld") == 0) {
            if (argument < key.arguments.size()) result += std::to_string(key.arguments[argument]);
            ++argument;
            i += 3;
        } else if (format.compare(i, 2, "%%") == 0) {
            result += '%';
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

std::string timeOfDay(foundation::Date date, const Locale& locale) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) return {};
    char text[16];
    if (locale.uses24HourClock) {
        std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    } else {
        const int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
        std::snprintf(text, sizeof text, "%d:%02d %s", hour, local.tm_min,
                      local.tm_hour < 12 ? "AM" : "PM");
    }
    return text;
}

std::string displayString(const TextContent& content, const StringTable& table,
                          const Locale& locale) {
    return std::visit(
        foundation::Overloaded{
            [&](const LocalizedStringKey& key) { return localizedString(key, table); },
            [](const Verbatim& verbatim) { return verbatim.text; },
            [&](const TimeText& time) { return timeOfDay(time.date, locale); },
        },
        content);
}

}  // namespace ui

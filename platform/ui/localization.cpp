#include "platform/ui/localization.hpp"

#include <nlohmann/json.hpp>

#include "platform/foundation/bounded_read.hpp"
#include "platform/foundation/overloaded.hpp"

namespace ui {
namespace {

// Translation tables are small; a larger file is not one of ours.
constexpr std::size_t maxTableBytes = 1 << 20;

}  // namespace

std::optional<std::string> tableLanguage(const foundation::Bundle& bundle, const Locale& locale) {
    for (const std::string& language : locale.languages)
        if (bundle.urlForResource("translations/" + language, "json")) return language;
    return std::nullopt;
}

StringTable loadStringTable(const foundation::Bundle& bundle, const Locale& locale) {
    const auto language = tableLanguage(bundle, locale);
    return language ? loadStringTable(bundle, *language) : StringTable{};
}

StringTable loadStringTable(const foundation::Bundle& bundle, std::string_view language) {
    StringTable table;
    auto file = bundle.urlForResource("translations/" + std::string(language), "json");
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

std::string displayString(const TextContent& content, const StringTable& table,
                          const Locale& locale) {
    return std::visit(
        foundation::Overloaded{
            [&](const LocalizedStringKey& key) { return localizedString(key, table); },
            [](const Verbatim& verbatim) { return verbatim.text; },
            [&](const TimeText& time) {
                return timeOfDay(time.secondsSince1970, locale.timeLocale);
            },
        },
        content);
}

}  // namespace ui

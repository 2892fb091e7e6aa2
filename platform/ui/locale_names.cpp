#include "platform/ui/locale_names.hpp"

#include <cctype>
#include <cstdlib>

namespace ui {

std::string_view localeSetting(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return {};
}

bool isPlainC(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.");
}

std::string withoutCodeSet(std::string_view locale) {
    const auto dot = locale.find('.');
    if (dot == std::string_view::npos) return std::string(locale);
    const auto at = locale.find('@', dot);
    std::string name(locale.substr(0, dot));
    if (at != std::string_view::npos) name += locale.substr(at);
    return name;
}

std::string languageTag(std::string_view locale) {
    if (isPlainC(locale)) return {};
    std::string tag = withoutCodeSet(locale);
    tag = tag.substr(0, tag.find('@'));
    for (char& c : tag)
        c = c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    return tag;
}

}  // namespace ui

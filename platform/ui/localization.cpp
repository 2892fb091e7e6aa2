#include "platform/ui/localization.hpp"

#include <libintl.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <limits>

#include "platform/foundation/bundle.hpp"
#include "platform/foundation/overloaded.hpp"
#include "platform/ui/locale_names.hpp"
#include "platform/ui/number_format.hpp"

namespace ui {
namespace {

// The "Language:" field of a catalog's header entry.
std::string headerLanguage(std::string_view header) {
    constexpr std::string_view field = "Language:";
    const auto start = header.find(field);
    if (start == std::string_view::npos) return {};
    std::string_view rest = header.substr(start + field.size());
    rest = rest.substr(0, rest.find('\n'));
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);
    return languageTag(rest);
}

// ngettext counts are unsigned; a negative count takes the form of its magnitude.
unsigned long pluralCount(std::int64_t n) {
    const std::uint64_t magnitude = n < 0 ? 0 - std::uint64_t(n) : std::uint64_t(n);
    return magnitude > std::numeric_limits<unsigned long>::max()
               ? std::numeric_limits<unsigned long>::max()
               : static_cast<unsigned long>(magnitude);
}

// The catalog's text for the key, or the key's own pointer when there is none.
const char* lookUp(const LocalizedStringKey& key) {
    if (key.key.empty()) return key.key.c_str();  // "" would answer the catalog's header
    if (!key.plural.empty() && !key.arguments.empty())
        return dngettext(messageDomain, key.key.c_str(), key.plural.c_str(),
                         pluralCount(key.arguments.front()));
    return dgettext(messageDomain, key.key.c_str());
}

}  // namespace

void bindMessageCatalogs() {
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        // A locale the machine lacks: gettext would read it as C and ignore LANGUAGE.
        const std::string_view wanted = localeSetting("LC_MESSAGES");
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        const char* list = std::getenv("LANGUAGE");
        if (!isPlainC(wanted) && (list == nullptr || list[0] == '\0'))
            ::setenv("LANGUAGE", withoutCodeSet(wanted).c_str(), 1);
    }
    const auto bundle = foundation::Bundle::main().resourcePath;
    if (!bundle.empty()) bindtextdomain(messageDomain, (bundle.parent_path() / "locale").c_str());
    bind_textdomain_codeset(messageDomain, "UTF-8");
}

Translation Translation::current() {
    Translation translation;
    static const char empty[] = "";
    const char* header = dgettext(messageDomain, empty);
    if (header != empty) translation.language = headerLanguage(header);
    // TRANSLATORS: "default:RTL" when your language is written right to left, else as it is.
    const char* direction = N_("default:LTR");
    translation.rightToLeft = std::string_view(dgettext(messageDomain, direction)) == "default:RTL";
    return translation;
}

bool isTranslated(const LocalizedStringKey& key) {
    const char* found = lookUp(key);
    return found != key.key.c_str() && found != key.plural.c_str();
}

std::string localizedString(const LocalizedStringKey& key, std::string_view numberLocale) {
    const std::string_view format = lookUp(key);
    std::string result;
    std::size_t argument = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 4, "%lld") == 0) {
            if (argument < key.arguments.size())
                result += localizedInteger(key.arguments[argument], numberLocale);
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

std::string displayString(const TextContent& content, const Locale& locale) {
    return std::visit(foundation::Overloaded{
                          [&](const LocalizedStringKey& key) {
                              return localizedString(key, locale.numberLocale);
                          },
                          [](const Verbatim& verbatim) { return verbatim.text; },
                          [&](const TimeText& time) {
                              return timeOfDay(time.secondsSince1970, locale.timeLocale);
                          },
                      },
                      content);
}

}  // namespace ui

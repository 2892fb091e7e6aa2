#include "platform/desktop/desktop_options.hpp"

#include <optional>

#include "platform/foundation/decimal_number.hpp"
#include "platform/foundation/option_table.hpp"

namespace desktop {
namespace {

// Every option of the command line, and which take a value.
constexpr foundation::OptionSpec optionTable[] = {
    {"--family", true}, {"--corner", true},  {"--margin", true},  {"--scheme", true},
    {"--layer", true},  {"--backend", true}, {"--monitor", true}, {"--legacy"},
    {"--quiet"},        {"--version"},       {"--help"},          {"-h"}};

// Sets `field` to what `value` names among `names`; false when it names none of them.
template <class T, std::size_t N>
bool setNamed(T& field, std::string_view value, const std::pair<std::string_view, T> (&names)[N]) {
    for (const auto& [name, meaning] : names)
        if (name == value) {
            field = meaning;
            return true;
        }
    return false;
}

constexpr std::pair<std::string_view, Corner> corners[] = {{"top-left", Corner::topLeft},
                                                           {"top-right", Corner::topRight},
                                                           {"bottom-left", Corner::bottomLeft},
                                                           {"bottom-right", Corner::bottomRight}};
constexpr std::pair<std::string_view, SchemeChoice> schemes[] = {{"auto", SchemeChoice::automatic},
                                                                 {"light", SchemeChoice::light},
                                                                 {"dark", SchemeChoice::dark}};
constexpr std::pair<std::string_view, LayerChoice> layers[] = {
    {"background", LayerChoice::background}, {"bottom", LayerChoice::bottom}};
constexpr std::pair<std::string_view, Backend> backends[] = {
    {"auto", Backend::automatic}, {"wayland", Backend::wayland}, {"x11", Backend::x11}};

std::optional<double> marginFrom(std::string_view text) {
    const auto value = foundation::parseDecimal(text);
    if (!value || *value < 0 || *value > 10000) return std::nullopt;
    return value;
}

// Sets the option's value; false when the value is not one it takes.
bool applyValue(DesktopOptions& options, std::string_view name, std::string_view value) {
    if (name == "--family") {
        const auto family = widgetkit::familyFromShortName(value);
        if (family) options.families.push_back(*family);
        return bool(family);
    }
    if (name == "--corner") {
        options.placementGiven = true;
        return setNamed(options.corner, value, corners);
    }
    if (name == "--margin") {
        const auto margin = marginFrom(value);
        if (margin) options.margin = *margin;
        options.placementGiven = true;
        return bool(margin);
    }
    if (name == "--monitor") {
        options.monitor = std::string(value);
        return !value.empty();
    }
    if (name == "--scheme") return setNamed(options.scheme, value, schemes);
    if (name == "--layer") return setNamed(options.layer, value, layers);
    return setNamed(options.backend, value, backends);
}

void applyFlag(DesktopOptions& options, std::string_view name) {
    if (name == "--legacy") options.legacy = true;
    if (name == "--quiet") options.quiet = true;
    if (name == "--version") options.version = true;
    if (name == "--help" || name == "-h") options.help = true;
}

}  // namespace

std::variant<DesktopOptions, foundation::UsageError> parseDesktopOptions(
    const std::vector<std::string_view>& arguments) {
    auto given = foundation::readOptions(arguments, optionTable);
    if (auto* error = std::get_if<foundation::UsageError>(&given)) return *error;
    DesktopOptions options;
    for (const foundation::GivenOption& option :
         std::get<std::vector<foundation::GivenOption>>(given)) {
        if (!option.spec.takesValue)
            applyFlag(options, option.spec.name);
        else if (!applyValue(options, option.spec.name, option.value))
            return foundation::UsageError{"bad value for " + std::string(option.spec.name) + ": " +
                                          std::string(option.value)};
    }
    options.placementGiven = !options.families.empty() || options.placementGiven;
    if (options.families.empty()) options.families.push_back(widgetkit::WidgetFamily::systemMedium);
    return options;
}

}  // namespace desktop

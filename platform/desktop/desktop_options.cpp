#include "platform/desktop/desktop_options.hpp"

#include <optional>

#include "platform/foundation/decimal_number.hpp"
#include "platform/foundation/option_word.hpp"

namespace desktop {
namespace {

bool takesValue(std::string_view name) {
    return name == "--family" || name == "--corner" || name == "--margin" || name == "--scheme" ||
           name == "--layer" || name == "--backend" || name == "--monitor";
}

std::optional<Corner> cornerNamed(std::string_view name) {
    if (name == "top-left") return Corner::topLeft;
    if (name == "top-right") return Corner::topRight;
    if (name == "bottom-left") return Corner::bottomLeft;
    if (name == "bottom-right") return Corner::bottomRight;
    return std::nullopt;
}

std::optional<Backend> backendNamed(std::string_view name) {
    if (name == "auto") return Backend::automatic;
    if (name == "wayland") return Backend::wayland;
    if (name == "x11") return Backend::x11;
    return std::nullopt;
}

std::optional<double> marginFrom(std::string_view text) {
    const auto value = foundation::parseDecimal(text);
    if (!value || *value < 0 || *value > 10000) return std::nullopt;
    return value;
}

std::optional<OptionsError> applyValue(DesktopOptions& options, std::string_view name,
                                       std::string_view value) {
    const auto bad = [&] {
        return OptionsError{"bad value for " + std::string(name) + ": " + std::string(value)};
    };
    if (name == "--family") {
        const auto family = widgetkit::familyFromShortName(value);
        if (!family) return bad();
        options.families.push_back(*family);
    } else if (name == "--corner") {
        const auto corner = cornerNamed(value);
        if (!corner) return bad();
        options.corner = *corner;
        options.placementGiven = true;
    } else if (name == "--margin") {
        const auto margin = marginFrom(value);
        if (!margin) return bad();
        options.margin = *margin;
        options.placementGiven = true;
    } else if (name == "--scheme") {
        if (value == "auto")
            options.scheme = SchemeChoice::automatic;
        else if (value == "light")
            options.scheme = SchemeChoice::light;
        else if (value == "dark")
            options.scheme = SchemeChoice::dark;
        else
            return bad();
    } else if (name == "--layer") {
        if (value == "background")
            options.layer = Layer::background;
        else if (value == "bottom")
            options.layer = Layer::bottom;
        else
            return bad();
    } else if (name == "--monitor") {
        if (value.empty()) return bad();
        options.monitor = std::string(value);
    } else if (name == "--backend") {
        const auto backend = backendNamed(value);
        if (!backend) return bad();
        options.backend = *backend;
    }
    return std::nullopt;
}

std::optional<OptionsError> applyFlag(DesktopOptions& options, std::string_view name) {
    if (name == "--legacy")
        options.legacy = true;
    else if (name == "--quiet")
        options.quiet = true;
    else if (name == "--version")
        options.version = true;
    else if (name == "--help" || name == "-h")
        options.help = true;
    else
        return OptionsError{"unknown option: " + std::string(name)};
    return std::nullopt;
}

}  // namespace

std::variant<DesktopOptions, OptionsError> parseDesktopOptions(
    const std::vector<std::string_view>& arguments) {
    DesktopOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto argument = foundation::splitOption(arguments[i]);
        std::optional<OptionsError> error;
        if (takesValue(argument.name)) {
            if (!argument.attached && i + 1 >= arguments.size())
                return OptionsError{std::string(argument.name) + " needs a value"};
            error = applyValue(options, argument.name,
                               argument.attached ? *argument.attached : arguments[++i]);
        } else if (argument.attached) {
            error = OptionsError{std::string(argument.name) + " takes no value"};
        } else {
            error = applyFlag(options, argument.name);
        }
        if (error) return *error;
    }
    options.placementGiven = !options.families.empty() || options.placementGiven;
    if (options.families.empty()) options.families.push_back(widgetkit::WidgetFamily::systemMedium);
    return options;
}

}  // namespace desktop

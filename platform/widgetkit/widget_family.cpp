#include "platform/widgetkit/widget_family.hpp"

namespace widgetkit {

std::string_view familyName(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall:
            return "systemSmall";
        case WidgetFamily::systemMedium:
            return "systemMedium";
        case WidgetFamily::systemLarge:
            return "systemLarge";
    }
    return "systemSmall";
}

std::optional<WidgetFamily> familyFromShortName(std::string_view name) {
    if (name == "small") return WidgetFamily::systemSmall;
    if (name == "medium") return WidgetFamily::systemMedium;
    if (name == "large") return WidgetFamily::systemLarge;
    return std::nullopt;
}

}  // namespace widgetkit

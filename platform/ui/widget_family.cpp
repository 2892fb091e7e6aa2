#include "platform/ui/widget_family.hpp"

namespace ui {

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

std::string_view familyShortName(WidgetFamily family) {
    static constexpr std::string_view names[] = {"small", "medium", "large"};
    return names[static_cast<int>(family)];
}

std::optional<WidgetFamily> familyFromShortName(std::string_view name) {
    for (WidgetFamily family :
         {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge})
        if (familyShortName(family) == name) return family;
    return std::nullopt;
}

}  // namespace ui

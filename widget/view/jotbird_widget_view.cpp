#include "widget/view/jotbird_widget_view.hpp"

namespace jotbird {

ui::ColorScheme JotbirdWidgetView::colorScheme(const ui::EnvironmentValues& environment) const {
    const auto& theme = entry.snapshot.theme;
    if (theme && *theme == "dark") return ui::ColorScheme::dark;
    if (theme && *theme == "light") return ui::ColorScheme::light;
    return systemColorScheme(environment);
}

ui::Color JotbirdWidgetView::ring(const ui::EnvironmentValues& environment) const {
    if (colorScheme(environment) == ui::ColorScheme::dark)
        return ui::Color::sRGB(160.0 / 255, 165.0 / 255, 171.0 / 255);
    return ui::Color::sRGB(136.0 / 255, 141.0 / 255, 147.0 / 255);
}

ui::Color JotbirdWidgetView::backgroundColor(const ui::EnvironmentValues& environment) const {
    if (colorScheme(environment) == ui::ColorScheme::dark)
        return ui::Color::sRGB(0.098, 0.098, 0.098);
    return ui::Color::white();
}

ui::Color JotbirdWidgetView::addMarkYellow() {
    return ui::Color::sRGB(1.0, 0.855, 0.337);
}

std::int64_t JotbirdWidgetView::limit(const ui::EnvironmentValues& environment) const {
    const widgetkit::WidgetFamily size = family(environment);
    if (size == widgetkit::WidgetFamily::systemSmall) return 2;
    if (size == widgetkit::WidgetFamily::systemMedium) return 3;
    return 7;
}

}  // namespace jotbird

#pragma once
// The platform's own colours, which follow the colour scheme in force.

#include "platform/ui/color.hpp"
#include "platform/ui/environment.hpp"

namespace ui {

// Default foreground of texts and symbols.
inline Color primaryLabel(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? Color::sRGB(1, 1, 1, 0.85) : Color::sRGB(0, 0, 0, 0.85);
}

// The hierarchical secondary style.
inline Color secondaryLabel(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? Color::sRGB(1, 1, 1, 0.55) : Color::sRGB(0, 0, 0, 0.5);
}

// Dividers.
inline Color separator(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? Color::sRGB(1, 1, 1, 0.1) : Color::sRGB(0, 0, 0, 0.1);
}

// What the host shows behind a widget that draws no background of its own.
inline Color widgetBackground(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? Color::sRGB(0.118, 0.118, 0.118) : Color::white();
}

}  // namespace ui

#pragma once
// The size classes a widget comes in: the ui layer carries one to views in their environment.

#include <optional>
#include <string_view>

namespace ui {

enum class WidgetFamily { systemSmall, systemMedium, systemLarge };

// "systemSmall", ... as the host names them.
std::string_view familyName(WidgetFamily family);

// The command-line names "small", "medium", "large".
std::string_view familyShortName(WidgetFamily family);
std::optional<WidgetFamily> familyFromShortName(std::string_view name);

}  // namespace ui

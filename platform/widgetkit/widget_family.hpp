#pragma once
// The size classes a widget comes in.

#include <optional>
#include <string_view>

namespace widgetkit {

enum class WidgetFamily { systemSmall, systemMedium, systemLarge };

// "systemSmall", ... as the host names them.
std::string_view familyName(WidgetFamily family);

// The command-line names "small", "medium", "large".
std::string_view familyShortName(WidgetFamily family);
std::optional<WidgetFamily> familyFromShortName(std::string_view name);

}  // namespace widgetkit

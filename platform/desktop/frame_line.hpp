#pragma once
// The line the host prints for every frame it draws.

#include <string>
#include <string_view>

#include "platform/ui/drawing.hpp"
#include "platform/widgetkit/widget_family.hpp"

namespace desktop {

// {"family":"medium","reason":"reload","width":728,"height":340} without a line end; the
// reason is "start", "reload", "timeline", "scheme", "family" or "listen".
std::string frameLine(widgetkit::WidgetFamily family, std::string_view reason,
                      ui::PixelSize pixels);

}  // namespace desktop

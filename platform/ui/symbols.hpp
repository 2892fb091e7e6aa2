#pragma once
// Vector stand-ins for the system symbols the widget shows: "tray" and "tray.full".

#include <cairo.h>

#include <string_view>

#include "platform/ui/color.hpp"
#include "platform/ui/font.hpp"
#include "platform/ui/geometry.hpp"

namespace ui {

// Strokes the symbol centred in `box`, as large as fits with the symbol's proportions, in
// `color`, with a line that grows with the font's size and weight. Draws nothing for a name
// without a stand-in.
void drawSymbol(cairo_t* cairo, std::string_view name, const CGRect& box, const Font& font,
                Color color);

}  // namespace ui

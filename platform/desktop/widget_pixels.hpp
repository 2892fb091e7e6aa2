#pragma once
// The widget's pixels for a window: drawn exactly as `render` draws them, then copied.

#include <cairo.h>

#include "platform/ui/drawing.hpp"

namespace desktop {

// Draws `root` into an image of the canvas's pixels and copies it onto `cairo`, whose user
// space is in points at the canvas's scale. Drawing straight onto a window would leave text
// and curves to the window system's rasteriser (XRender on X11), whose edges differ.
std::error_code paintWidget(cairo_t* cairo, const ui::LaidOutView& root, const ui::Canvas& canvas);

}  // namespace desktop

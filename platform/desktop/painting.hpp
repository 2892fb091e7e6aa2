#pragma once
// A window's pixels: the laid-out widget drawn by the same code as `render` into an image at
// the monitor's scale and copied onto the window, the keyboard focus ring over it, and the
// frame line.

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// The drawing area's "draw" handler.
gboolean paintWindow(GtkWidget* area, cairo_t* cairo, gpointer window);

// The pixels a frame of `window` covers at its current scale.
ui::PixelSize framePixels(const DesktopWindow& window);

}  // namespace desktop

#pragma once
// A host window cut to the widget's rounded outline. Where the screen composites, the window
// has an RGBA visual and its drawing is clipped to the outline, so its corners are
// transparent with smooth edges; where it does not, the X Shape extension cuts the corners.
// Either way clicks in the corners go to what lies behind.

#include <cairo.h>

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// Sets the window up; before it is realized.
void useRoundedShape(DesktopWindow& window);

// Before the widget is painted: makes the window transparent and clips to the outline, where
// the corners are to be transparent.
void clipToOutline(cairo_t* cairo, const DesktopWindow& window);

}  // namespace desktop

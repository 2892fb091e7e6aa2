#pragma once
// The outline of a widget's window: a rectangle with rounded corners, as desktop widgets have.
// Where the display composites, the corners are transparent (the window is clipped to the
// outline with antialiasing); where it does not, the X Shape extension keeps the pixels
// whose centres lie inside it.

#include <cairo.h>

#include <memory>

#include "platform/ui/geometry.hpp"

namespace desktop {

// 20 points at every scale: the corner the widget's own system gives its widgets, and well
// clear of the 16-point content margin (the curve comes at most 5.9 points in at its middle).
inline constexpr double widgetCornerRadius = 20;

// Adds the outline of a widget of `size` points to `cairo`'s path, in its user space.
void roundedOutline(cairo_t* cairo, ui::CGSize size, double radius = widgetCornerRadius);

struct RegionRelease {
    void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using Region = std::unique_ptr<cairo_region_t, RegionRelease>;

// The device pixels of a window `size` points at `scale` whose centres lie inside the outline,
// as rows of rectangles: the shape for a display without a compositor.
Region roundedRegion(ui::CGSize size, double scale, double radius = widgetCornerRadius);

}  // namespace desktop

#pragma once
// The widget's pixels for a window: drawn exactly as `render` draws them into an image, kept,
// and copied onto the window whenever it is painted.

#include <cairo.h>

#include <memory>
#include <system_error>

#include "platform/ui/drawing.hpp"

namespace desktop {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Picture = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// Draws `root` into an image of the canvas's pixels, as `render` would.
std::error_code drawPicture(const ui::LaidOutView& root, const ui::Canvas& canvas,
                            Picture& picture);

// Copies the picture onto `cairo`, whose user space is in points at `scale` pixels each.
// Drawing straight onto a window would leave text and curves to the window system's
// rasteriser (XRender on X11), whose edges differ.
void copyPicture(cairo_t* cairo, cairo_surface_t* picture, double scale);

// Both, for a picture that is not kept.
std::error_code paintWidget(cairo_t* cairo, const ui::LaidOutView& root, const ui::Canvas& canvas);

}  // namespace desktop

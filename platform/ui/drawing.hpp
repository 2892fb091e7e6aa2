#pragma once
// Drawing a laid-out widget to a PNG file with Cairo and Pango.

#include <filesystem>
#include <system_error>

#include "platform/ui/color.hpp"
#include "platform/ui/laid_out_view.hpp"

extern "C" {
typedef struct _cairo cairo_t;
}

namespace ui {

struct Canvas {
    CGSize size;       // the whole widget, in points
    double scale = 2;  // pixels per point
    Color background;  // what shows where the view draws no background of its own
    bool redacted = false;
};

struct PixelSize {
    int width = 0, height = 0;
};

// Draws the widget onto `cairo` with its top-left corner at the current origin, one point
// being `canvas.scale` units of the current user space (device pixels, for a fresh context).
// Never throws; Cairo's own errors stay in the context's status.
void drawWidget(cairo_t* cairo, const LaidOutView& root, const Canvas& canvas);

// Draws and writes the PNG atomically (a reader never sees half a file).
std::error_code drawPNG(const LaidOutView& root, const Canvas& canvas,
                        const std::filesystem::path& file, PixelSize* written = nullptr);

}  // namespace ui

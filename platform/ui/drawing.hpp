#pragma once
// Drawing a laid-out widget to PNG with Cairo and Pango.

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/ui/color.hpp"
#include "platform/ui/laid_out_view.hpp"

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

// Draws and writes the PNG atomically (a reader never sees half a file).
std::error_code drawPNG(const LaidOutView& root, const Canvas& canvas,
                        const std::filesystem::path& file, PixelSize* written = nullptr);

// Draws and encodes the PNG into `png`, for a caller that sends it elsewhere than a file.
std::error_code drawPNGData(const LaidOutView& root, const Canvas& canvas, std::string* png,
                            PixelSize* written = nullptr);

}  // namespace ui

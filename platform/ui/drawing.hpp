#pragma once
// Drawing a laid-out widget with Cairo and Pango into an image: encoded to PNG, or handed to
// a caller that shows it.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "platform/ui/color.hpp"
#include "platform/ui/laid_out_view.hpp"

extern "C" {
typedef struct _cairo_surface cairo_surface_t;
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

// A widget is never larger than a screen: pictures are at most this many pixels a side, so a
// hostile size cannot make a drawing allocate gigabytes.
inline constexpr int maxPictureSide = 8192;

// The picture's size in pixels (points times scale, rounded up); nothing when a side is below
// one pixel or above maxPictureSide.
std::optional<PixelSize> pictureSize(const Canvas& canvas);

// Draws into a new image of the canvas's pixels and hands it to `use`, which shows or encodes
// it; refuses a canvas that pictureSize refuses before allocating anything. Never throws.
std::error_code drawImage(const LaidOutView& root, const Canvas& canvas,
                          const std::function<std::error_code(cairo_surface_t*)>& use,
                          PixelSize* written = nullptr);

// Draws and writes the PNG atomically (a reader never sees half a file); refuses a canvas
// that pictureSize refuses before allocating anything.
std::error_code drawPNG(const LaidOutView& root, const Canvas& canvas,
                        const std::filesystem::path& file, PixelSize* written = nullptr);

// Draws and encodes the PNG into `png`, for a caller that sends it elsewhere than a file.
std::error_code drawPNGData(const LaidOutView& root, const Canvas& canvas, std::string* png,
                            PixelSize* written = nullptr);

}  // namespace ui

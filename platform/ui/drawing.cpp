#include "platform/ui/drawing.hpp"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <utility>

#include "platform/ui/cairo_handles.hpp"
#include "platform/ui/png_file.hpp"
#include "platform/ui/symbols.hpp"
#include "platform/ui/system_colors.hpp"
#include "platform/ui/text_shaping.hpp"

namespace ui {
namespace {

// Redaction placeholders: a bar over where the glyphs would be.
constexpr double placeholderOpacity = 0.3;
constexpr double placeholderHeightPerPoint = 0.7;
constexpr double placeholderCornerRadius = 2;

void setSource(cairo_t* cairo, Color color) {
    cairo_set_source_rgba(cairo, color.red, color.green, color.blue, color.opacity);
}

Color foreground(const LaidOutView& node) {
    return node.color.value_or(primaryLabel(node.colorScheme));
}

void appendPath(cairo_t* cairo, const Path& path) {
    for (const Path::Element& element : path.elements) {
        switch (element.kind) {
            case Path::Element::Kind::move:
                cairo_move_to(cairo, element.point.x, element.point.y);
                break;
            case Path::Element::Kind::line:
                cairo_line_to(cairo, element.point.x, element.point.y);
                break;
            case Path::Element::Kind::curve:
                cairo_curve_to(cairo, element.control1.x, element.control1.y, element.control2.x,
                               element.control2.y, element.point.x, element.point.y);
                break;
            case Path::Element::Kind::close:
                cairo_close_path(cairo);
                break;
        }
    }
}

void roundedRectangle(cairo_t* cairo, const CGRect& rect, double radius) {
    const double x = rect.origin.x, y = rect.origin.y;
    const double w = rect.size.width, h = rect.size.height;
    radius = std::min({radius, w / 2, h / 2});
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, x + w - radius, y + radius, radius, -std::numbers::pi / 2, 0);
    cairo_arc(cairo, x + w - radius, y + h - radius, radius, 0, std::numbers::pi / 2);
    cairo_arc(cairo, x + radius, y + h - radius, radius, std::numbers::pi / 2, std::numbers::pi);
    cairo_arc(cairo, x + radius, y + radius, radius, std::numbers::pi, 3 * std::numbers::pi / 2);
    cairo_close_path(cairo);
}

// A line one point thick across the frame's long axis, centred on its short one. Its
// thickness is a whole number of device pixels and its edge on a pixel boundary, so every
// divider is equally sharp wherever layout put it (rows may be 23.33 points high).
void drawDivider(cairo_t* cairo, const LaidOutView& node) {
    const CGRect& f = node.frame;
    const bool horizontal = f.size.width >= f.size.height;
    double x0 = f.origin.x, y0 = f.origin.y;
    double x1 = CGRectGetMaxX(f), y1 = CGRectGetMaxY(f);
    double ux = f.origin.x + 1, uy = f.origin.y + 1;  // one point on, in pixels
    cairo_user_to_device(cairo, &x0, &y0);
    cairo_user_to_device(cairo, &x1, &y1);
    cairo_user_to_device(cairo, &ux, &uy);
    auto snap = [](double from, double to, double onePoint) {
        const double thickness = std::max(1.0, std::round(std::fabs(onePoint)));
        return std::pair{std::round((from + to) / 2 - thickness / 2), thickness};
    };
    // Corners in pixels, back in user space: an axis-aligned rectangle stays one.
    auto fillPixels = [cairo](double left, double top, double width, double height) {
        double l = left, t = top, r = left + width, b = top + height;
        cairo_device_to_user(cairo, &l, &t);
        cairo_device_to_user(cairo, &r, &b);
        cairo_rectangle(cairo, std::min(l, r), std::min(t, b), std::fabs(r - l), std::fabs(b - t));
    };
    if (horizontal) {
        const auto [top, thickness] = snap(y0, y1, uy - y0);
        fillPixels(std::min(x0, x1), top, std::fabs(x1 - x0), thickness);
    } else {
        const auto [left, thickness] = snap(x0, x1, ux - x0);
        fillPixels(left, std::min(y0, y1), thickness, std::fabs(y1 - y0));
    }
    setSource(cairo, node.color.value_or(separator(node.colorScheme)));
    cairo_fill(cairo);
}

// The outline comes from layout, which gives every shape one (inset by half the line, so
// that a stroke stays inside the edge).
void drawShape(cairo_t* cairo, const LaidOutView& node) {
    if (!node.path || (!node.fillStyle && node.strokeWidth <= 0)) return;
    cairo_save(cairo);
    cairo_new_path(cairo);
    appendPath(cairo, *node.path);
    setSource(cairo, foreground(node));
    if (node.fillStyle) {
        cairo_set_fill_rule(
            cairo, node.fillStyle->eoFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_set_antialias(
            cairo, node.fillStyle->antialiased ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_fill_preserve(cairo);
    }
    if (node.strokeWidth > 0) {
        cairo_set_line_width(cairo, node.strokeWidth);
        cairo_stroke_preserve(cairo);
    }
    cairo_new_path(cairo);
    cairo_restore(cairo);
}

// The bitmap stretched over the frame (layout has already fitted the frame to its aspect);
// nothing when the file cannot be decoded.
void drawBitmap(cairo_t* cairo, const LaidOutView& node) {
    const CGRect& f = node.frame;
    if (!node.image || f.size.width <= 0 || f.size.height <= 0) return;
    const CairoSurfacePtr bitmap = readPNG(node.image->file);
    if (!bitmap) return;
    const int width = cairo_image_surface_get_width(bitmap.get());
    const int height = cairo_image_surface_get_height(bitmap.get());
    if (width <= 0 || height <= 0) return;

    cairo_save(cairo);
    cairo_rectangle(cairo, f.origin.x, f.origin.y, f.size.width, f.size.height);
    cairo_clip(cairo);
    cairo_translate(cairo, f.origin.x, f.origin.y);
    cairo_scale(cairo, f.size.width / width, f.size.height / height);
    cairo_set_source_surface(cairo, bitmap.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cairo);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BEST);
    // Edge pixels repeat outwards, so the picture's border does not fade into the background.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(cairo);
    cairo_restore(cairo);
}

// The placeholder that stands for a private text: a rounded bar as wide as the text's frame.
void drawPlaceholder(cairo_t* cairo, const CGRect& frame, const Font& font, Color color) {
    const double height = std::min(frame.size.height, font.size * placeholderHeightPerPoint);
    if (frame.size.width <= 0 || height <= 0) return;
    roundedRectangle(
        cairo, {{frame.origin.x, CGRectGetMidY(frame) - height / 2}, {frame.size.width, height}},
        placeholderCornerRadius);
    color.opacity *= placeholderOpacity;
    setSource(cairo, color);
    cairo_fill(cairo);
}

// One line of text, set by the same shaping code that measured it, centred vertically in its
// frame; cut with an ellipsis at the frame's width when layout found it too long.
void drawTextLine(cairo_t* cairo, const std::string& text, const CGRect& frame,
                  const LaidOutView& node, bool redacted) {
    const Font font = node.font.value_or(Font{});
    const Color color = foreground(node);
    if (redacted && node.privacySensitive) return drawPlaceholder(cairo, frame, font, color);
    if (text.empty() || frame.size.width <= 0) return;

    const std::optional<double> ellipsizeWidth =
        node.truncated ? std::optional<double>(frame.size.width) : std::nullopt;
    const TextStyle style{font, node.monospacedDigit, node.language};
    const PangoLayoutPtr layout = makeTextLayout(cairo, text, style, ellipsizeWidth);
    if (!layout) return;
    const LineBox line = lineBox(style);
    // The baseline on a pixel row, so that hinted stems and the tops of letters fall on
    // whole pixels; it moves by less than half a pixel.
    double x = frame.origin.x, y = CGRectGetMidY(frame) - line.height / 2 + line.ascent;
    cairo_user_to_device(cairo, &x, &y);
    y = std::round(y);
    cairo_device_to_user(cairo, &x, &y);
    const double layoutBaseline = double(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;

    cairo_save(cairo);
    setSource(cairo, color);
    cairo_move_to(cairo, x, y - layoutBaseline);
    pango_cairo_show_layout(cairo, layout.get());
    cairo_restore(cairo);
}

void drawNode(cairo_t* cairo, const LaidOutView& node, const Canvas& canvas) {
    if (node.containerBackground) {
        cairo_rectangle(cairo, 0, 0, canvas.size.width, canvas.size.height);
        setSource(cairo, *node.containerBackground);
        cairo_fill(cairo);
    }
    switch (node.kind) {
        case ViewKind::Divider:
            drawDivider(cairo, node);
            break;
        case ViewKind::Circle:
        case ViewKind::Rectangle:
        case ViewKind::Shape:
            drawShape(cairo, node);
            break;
        case ViewKind::Image:
            // A label's symbol comes as an image child of the label, named, not loaded.
            if (node.image)
                drawBitmap(cairo, node);
            else if (node.symbol)
                drawSymbol(cairo, *node.symbol, node.frame, node.font.value_or(Font{}),
                           foreground(node));
            break;
        case ViewKind::Text:
            if (node.text) drawTextLine(cairo, *node.text, node.frame, node, canvas.redacted);
            break;
        default:
            break;
    }
    for (const LaidOutView& child : node.children)
        drawNode(cairo, child, canvas);
}

// Pixels for `points` at `scale`, rounded up so the whole widget fits; nothing outside
// 1...maxPictureSide.
std::optional<int> pixelCount(double points, double scale) {
    const double pixels = std::ceil(points * scale - 1e-9);
    if (!std::isfinite(pixels) || pixels < 1 || pixels > maxPictureSide) return std::nullopt;
    return int(pixels);
}

// Draws the widget and hands the finished surface to `output`, which encodes it somewhere.
std::error_code draw(const LaidOutView& root, const Canvas& canvas,
                     const std::function<std::error_code(cairo_surface_t*)>& output,
                     PixelSize* written) {
    if (!std::isfinite(canvas.scale) || canvas.scale <= 0)
        return std::make_error_code(std::errc::invalid_argument);
    const auto pixels = pictureSize(canvas);
    if (!pixels) return std::make_error_code(std::errc::value_too_large);
    const auto [width, height] = *pixels;

    const CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return std::make_error_code(std::errc::not_enough_memory);
    {
        const CairoPtr cairo(cairo_create(surface.get()));
        cairo_scale(cairo.get(), canvas.scale, canvas.scale);
        cairo_rectangle(cairo.get(), 0, 0, canvas.size.width, canvas.size.height);
        setSource(cairo.get(), canvas.background);
        cairo_fill(cairo.get());
        drawNode(cairo.get(), root, canvas);
        if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS)
            return std::make_error_code(std::errc::not_enough_memory);
    }
    cairo_surface_flush(surface.get());
    if (auto error = output(surface.get())) return error;
    if (written) *written = {width, height};
    return {};
}

}  // namespace

std::optional<PixelSize> pictureSize(const Canvas& canvas) {
    const auto width = pixelCount(canvas.size.width, canvas.scale);
    const auto height = pixelCount(canvas.size.height, canvas.scale);
    if (!width || !height) return std::nullopt;
    return PixelSize{*width, *height};
}

std::error_code drawImage(const LaidOutView& root, const Canvas& canvas,
                          const std::function<std::error_code(cairo_surface_t*)>& use,
                          PixelSize* written) {
    try {
        return draw(root, canvas, use, written);
    } catch (...) {
        // Drawing never fails its caller with an exception: out of memory is an error code.
        return std::make_error_code(std::errc::not_enough_memory);
    }
}

std::error_code drawPNG(const LaidOutView& root, const Canvas& canvas,
                        const std::filesystem::path& file, PixelSize* written) {
    return drawImage(
        root, canvas, [&](cairo_surface_t* surface) { return writePNGAtomically(surface, file); },
        written);
}

std::error_code drawPNGData(const LaidOutView& root, const Canvas& canvas, std::string* png,
                            PixelSize* written) {
    return drawImage(
        root, canvas, [&](cairo_surface_t* surface) { return encodePNG(surface, png); }, written);
}

}  // namespace ui

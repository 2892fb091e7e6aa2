#include "platform/desktop/painting.hpp"

#include <cmath>

#include "platform/desktop/frame_line.hpp"
#include "platform/desktop/link_overlay.hpp"
#include "platform/desktop/rounded_window.hpp"
#include "platform/desktop/widget_pixels.hpp"
#include "platform/ui/drawing.hpp"

namespace desktop {
namespace {

constexpr double focusRingWidth = 2;
constexpr double focusRingRadius = 6;

// The system accent blue, light enough to read on the dark background too.
ui::Color focusRingColor(ui::ColorScheme scheme) {
    return scheme == ui::ColorScheme::dark ? ui::Color::sRGB(0.04, 0.52, 1.0)
                                           : ui::Color::sRGB(0.0, 0.48, 1.0);
}

void drawFocusRing(cairo_t* cairo, const ui::CGRect& frame, ui::ColorScheme scheme) {
    const double inset = focusRingWidth / 2;
    const double x = frame.origin.x + inset, y = frame.origin.y + inset;
    const double w = std::max(0.0, frame.size.width - focusRingWidth);
    const double h = std::max(0.0, frame.size.height - focusRingWidth);
    const double r = std::min({focusRingRadius, w / 2, h / 2});
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cairo, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cairo, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cairo, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cairo);
    const ui::Color color = focusRingColor(scheme);
    cairo_set_source_rgba(cairo, color.red, color.green, color.blue, color.opacity);
    cairo_set_line_width(cairo, focusRingWidth);
    cairo_stroke(cairo);
}

void paintFocus(cairo_t* cairo, const DesktopWindow& window) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window.window));
    if (!focus || !gtk_widget_has_visible_focus(focus)) return;
    if (const LinkTarget* target = focusedTarget(window))
        drawFocusRing(cairo, target->frame, window.live.request.scheme);
}

}  // namespace

ui::PixelSize framePixels(const DesktopWindow& window) {
    return ui::pictureSize(widgetkit::canvasFor(window.live.request)).value_or(ui::PixelSize{});
}

gboolean paintWindow(GtkWidget*, cairo_t* cairo, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    clipToOutline(cairo, window);
    if (!window.root) {
        // Nothing laid out (the provider failed, and said so): an empty widget, not garbage.
        const ui::Color background = widgetkit::canvasFor(window.live.request).background;
        cairo_set_source_rgba(cairo, background.red, background.green, background.blue,
                              background.opacity);
        cairo_paint(cairo);
        return TRUE;
    }
    // Drawn once per layout and scale; exposes and moves copy the kept picture.
    const ui::Canvas canvas = widgetkit::canvasFor(window.live.request);
    if (!window.picture) {
        if (auto error = drawPicture(*window.root, canvas, window.picture)) {
            report("cannot draw the " +
                   std::string(widgetkit::familyShortName(window.live.request.family)) +
                   " widget: " + error.message());
            return TRUE;
        }
    }
    copyPicture(cairo, window.picture.get(), canvas.scale);
    paintFocus(cairo, window);
    if (!window.pendingReason.empty()) {
        writeFrameLine(window.host->output, frameLine(window.live.request.family,
                                                      window.pendingReason, framePixels(window)));
        window.pendingReason.clear();
    }
    return TRUE;
}

}  // namespace desktop

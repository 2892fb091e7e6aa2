#include "platform/ui/symbols.hpp"

#include <algorithm>
#include <numbers>

namespace ui {
namespace {

// Proportions of the tray: width to height.
constexpr double trayAspect = 1.25;

double weightFactor(FontWeight weight) {
    switch (weight) {
        case FontWeight::ultraLight:
            return 0.55;
        case FontWeight::thin:
            return 0.65;
        case FontWeight::light:
            return 0.8;
        case FontWeight::regular:
            return 0.9;
        case FontWeight::medium:
            return 1.0;
        case FontWeight::semibold:
            return 1.12;
        case FontWeight::bold:
            return 1.25;
        case FontWeight::heavy:
            return 1.4;
        case FontWeight::black:
            return 1.55;
    }
    return 1.0;
}

// The tray seen from the front: a body with rounded bottom corners whose upper half narrows
// towards the back, and a front lip with the slot sunk into its middle.
void trayOutline(cairo_t* cairo, double x, double y, double w, double h) {
    const double lip = y + h * 0.48;  // where the lip runs across
    const double slant = w * 0.13;    // how much narrower the back edge is
    const double r = std::min(w, h) * 0.16;
    const double bottom = y + h, right = x + w;

    cairo_new_sub_path(cairo);
    cairo_move_to(cairo, x, lip);
    cairo_line_to(cairo, x + slant, y);
    cairo_line_to(cairo, right - slant, y);
    cairo_line_to(cairo, right, lip);
    cairo_line_to(cairo, right, bottom - r);
    cairo_arc(cairo, right - r, bottom - r, r, 0, std::numbers::pi / 2);
    cairo_line_to(cairo, x + r, bottom);
    cairo_arc(cairo, x + r, bottom - r, r, std::numbers::pi / 2, std::numbers::pi);
    cairo_close_path(cairo);

    const double slotDepth = h * 0.2;
    cairo_move_to(cairo, x, lip);
    cairo_line_to(cairo, x + w * 0.3, lip);
    cairo_line_to(cairo, x + w * 0.36, lip + slotDepth);
    cairo_line_to(cairo, right - w * 0.36, lip + slotDepth);
    cairo_line_to(cairo, right - w * 0.3, lip);
    cairo_line_to(cairo, right, lip);
}

// Sheets lying in the tray, drawn as lines across its upper half.
void traySheets(cairo_t* cairo, double x, double y, double w, double h) {
    const double lip = y + h * 0.48;
    for (double f : {0.36, 0.72}) {
        const double sheetY = y + (lip - y) * f;
        const double inset = w * (0.13 * (1 - f) + 0.2);
        cairo_move_to(cairo, x + inset, sheetY);
        cairo_line_to(cairo, x + w - inset, sheetY);
    }
}

}  // namespace

bool hasSymbol(std::string_view name) {
    return name == "tray" || name == "tray.full";
}

void drawSymbol(cairo_t* cairo, std::string_view name, const CGRect& box, const Font& font,
                Color color) {
    if (!hasSymbol(name) || box.size.width <= 0 || box.size.height <= 0) return;
    const double lineWidth = std::max(0.5, font.size * 0.085 * weightFactor(font.weight));

    // Fit the tray's proportions into the box, then keep the stroke inside it.
    double w = std::min(box.size.width, box.size.height * trayAspect);
    double h = w / trayAspect;
    const double x = CGRectGetMidX(box) - w / 2 + lineWidth / 2;
    const double y = CGRectGetMidY(box) - h / 2 + lineWidth / 2;
    w = std::max(0.0, w - lineWidth);
    h = std::max(0.0, h - lineWidth);

    cairo_save(cairo);
    cairo_new_path(cairo);
    trayOutline(cairo, x, y, w, h);
    if (name == "tray.full") traySheets(cairo, x, y, w, h);
    cairo_set_source_rgba(cairo, color.red, color.green, color.blue, color.opacity);
    cairo_set_line_width(cairo, lineWidth);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cairo);
    cairo_restore(cairo);
}

}  // namespace ui

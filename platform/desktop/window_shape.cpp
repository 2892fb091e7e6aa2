#include "platform/desktop/window_shape.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace desktop {

void roundedOutline(cairo_t* cairo, ui::CGSize size, double radius) {
    const double r = std::min({radius, size.width / 2, size.height / 2});
    const double w = size.width, h = size.height, pi = std::numbers::pi;
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, w - r, r, r, -pi / 2, 0);
    cairo_arc(cairo, w - r, h - r, r, 0, pi / 2);
    cairo_arc(cairo, r, h - r, r, pi / 2, pi);
    cairo_arc(cairo, r, r, r, pi, 3 * pi / 2);
    cairo_close_path(cairo);
}

Region roundedRegion(ui::CGSize size, double scale, double radius) {
    const int width = int(std::lround(size.width * scale));
    const int height = int(std::lround(size.height * scale));
    const double r = std::min({radius * scale, width / 2.0, height / 2.0});
    Region region(cairo_region_create());
    for (int y = 0; y < height; ++y) {
        // How far the row's centre lies within a corner's square, and the curve's inset there.
        const double centre = y + 0.5;
        const double into = std::max({r - centre, centre - (height - r), 0.0});
        const double inset = r - std::sqrt(std::max(r * r - into * into, 0.0));
        // Pixels whose centres are inside: from ceil(inset - 0.5) to width minus that.
        const int left = int(std::ceil(inset - 0.5));
        if (width - 2 * left <= 0) continue;
        const cairo_rectangle_int_t row{left, y, width - 2 * left, 1};
        cairo_region_union_rectangle(region.get(), &row);
    }
    return region;
}

}  // namespace desktop

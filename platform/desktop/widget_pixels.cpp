#include "platform/desktop/widget_pixels.hpp"

namespace desktop {

std::error_code paintWidget(cairo_t* cairo, const ui::LaidOutView& root, const ui::Canvas& canvas) {
    return ui::drawImage(root, canvas, [&](cairo_surface_t* picture) {
        cairo_save(cairo);
        cairo_scale(cairo, 1 / canvas.scale, 1 / canvas.scale);
        cairo_set_source_surface(cairo, picture, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
        cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cairo);
        cairo_restore(cairo);
        return std::error_code{};
    });
}

}  // namespace desktop

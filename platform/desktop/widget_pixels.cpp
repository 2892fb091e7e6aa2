#include "platform/desktop/widget_pixels.hpp"

namespace desktop {

std::error_code drawPicture(const ui::LaidOutView& root, const ui::Canvas& canvas,
                            Picture& picture) {
    return ui::drawImage(root, canvas, [&](cairo_surface_t* drawn) {
        picture.reset(cairo_surface_reference(drawn));
        return std::error_code{};
    });
}

void copyPicture(cairo_t* cairo, cairo_surface_t* picture, double scale) {
    cairo_save(cairo);
    cairo_scale(cairo, 1 / scale, 1 / scale);
    cairo_set_source_surface(cairo, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cairo);
    cairo_restore(cairo);
}

std::error_code paintWidget(cairo_t* cairo, const ui::LaidOutView& root, const ui::Canvas& canvas) {
    Picture picture;
    if (auto error = drawPicture(root, canvas, picture)) return error;
    copyPicture(cairo, picture.get(), canvas.scale);
    return {};
}

}  // namespace desktop

// The rounded outline of a widget's window, drawn with antialiasing for a compositor and as
// whole pixels for the X Shape extension: both the same shape, at every scale.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/desktop/window_shape.hpp"

namespace desktop {
namespace {

bool inside(cairo_region_t* region, int x, int y) {
    return cairo_region_contains_point(region, x, y);
}

long area(cairo_region_t* region) {
    long pixels = 0;
    for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        pixels += long(r.width) * r.height;
    }
    return pixels;
}

TEST(WindowShape, TheRegionCutsTheFourCornersAndKeepsTheRest) {
    for (double scale : {1.0, 2.0, 1.25}) {
        for (ui::CGSize size : {ui::CGSize{170, 170}, ui::CGSize{364, 170}, ui::CGSize{364, 382}}) {
            SCOPED_TRACE(std::to_string(scale) + " " + std::to_string(size.width));
            const Region region = roundedRegion(size, scale);
            const int w = int(std::lround(size.width * scale));
            const int h = int(std::lround(size.height * scale));
            const double r = widgetCornerRadius * scale;
            for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
                EXPECT_FALSE(inside(region.get(), x, y)) << x << "," << y;
            for (auto [x, y] : {std::pair{w / 2, 0},
                                {0, h / 2},
                                {w - 1, h / 2},
                                {w / 2, h - 1},
                                {int(r), int(r)}})
                EXPECT_TRUE(inside(region.get(), x, y)) << x << "," << y;
            // The area of a rounded rectangle, to within the pixels along the curves.
            const double expected = double(w) * h - (4 - std::numbers::pi) * r * r;
            EXPECT_NEAR(double(area(region.get())), expected, 4 * r);
        }
    }
}

TEST(WindowShape, TheOutlineDrawnWithAntialiasingAgreesWithTheRegion) {
    const ui::CGSize size{170, 170};
    const double scale = 2;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 340, 340);
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, scale, scale);
    roundedOutline(cairo, size);
    cairo_fill(cairo);
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    const Region region = roundedRegion(size, scale);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    int disagreeing = 0;
    for (int y = 0; y < 340; ++y)
        for (int x = 0; x < 340; ++x) {
            const int alpha = data[y * stride + x];
            // Clearly in or out with antialiasing: the region must say the same.
            if (alpha > 200 && !inside(region.get(), x, y)) ++disagreeing;
            if (alpha < 55 && inside(region.get(), x, y)) ++disagreeing;
        }
    EXPECT_EQ(disagreeing, 0);
    EXPECT_EQ(data[0], 0) << "the corner is transparent";
    EXPECT_EQ(data[170 * stride + 170], 255);
    cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace desktop

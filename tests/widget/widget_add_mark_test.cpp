// The add mark's outline: a circle in the centred square, then a twelve-point plus.
#include <gtest/gtest.h>

#include "widget/view/widget_add_mark.hpp"

namespace {

using Kind = ui::Path::Element::Kind;

struct Case {
    const char* name;
    ui::CGRect rect;
    double x0, y0, u;  // the square's corner and the grid unit
};

TEST(WidgetAddMark, CircleThenPlusInTheCentredSquare) {
    const Case cases[] = {
        {"square", {{0, 0}, {18, 18}}, 0, 0, 1},
        {"wide", {{0, 0}, {40, 18}}, 11, 0, 1},
        {"tall", {{0, 0}, {18, 40}}, 0, 11, 1},
        {"offset and scaled", {{5, 7}, {36, 36}}, 5, 7, 2},
    };
    const double plus[12][2] = {{8, 4},   {10, 4}, {10, 8}, {14, 8}, {14, 10}, {10, 10},
                                {10, 14}, {8, 14}, {8, 10}, {4, 10}, {4, 8},   {8, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto elements = jotbird::WidgetAddMark{}.path(c.rect).elements;
        ASSERT_EQ(elements.size(), 6u + 13u);

        // The circle: one closed subpath through the four extremes of the square.
        EXPECT_EQ(elements[0].kind, Kind::move);
        const double side = 18 * c.u, cx = c.x0 + side / 2, cy = c.y0 + side / 2;
        EXPECT_EQ(elements[0].point, (ui::CGPoint{cx + side / 2, cy}));
        EXPECT_EQ(elements[1].point, (ui::CGPoint{cx, cy + side / 2}));
        EXPECT_EQ(elements[2].point, (ui::CGPoint{cx - side / 2, cy}));
        EXPECT_EQ(elements[3].point, (ui::CGPoint{cx, cy - side / 2}));
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(elements[i].kind, Kind::curve);
        EXPECT_EQ(elements[5].kind, Kind::close);

        // The plus: move, eleven lines, close.
        for (int i = 0; i < 12; ++i) {
            const auto& element = elements[6 + i];
            EXPECT_EQ(element.kind, i == 0 ? Kind::move : Kind::line) << "vertex " << i;
            EXPECT_EQ(element.point,
                      (ui::CGPoint{c.x0 + plus[i][0] * c.u, c.y0 + plus[i][1] * c.u}))
                << "vertex " << i;
        }
        EXPECT_EQ(elements.back().kind, Kind::close);
    }
}

TEST(WidgetAddMark, ZeroSizeCollapsesOntoTheCentre) {
    for (const ui::CGRect rect : {ui::CGRect{{4, 6}, {0, 10}}, ui::CGRect{{4, 6}, {10, 0}}}) {
        const ui::CGPoint centre{ui::CGRectGetMidX(rect), ui::CGRectGetMidY(rect)};
        for (const auto& element : jotbird::WidgetAddMark{}.path(rect).elements) {
            if (element.kind == Kind::close) continue;
            EXPECT_EQ(element.point, centre);
        }
    }
}

}  // namespace

// Where windows go: stacked along a corner, and brought back inside the work area.

#include <gtest/gtest.h>

#include <vector>

#include "platform/desktop/window_placement.hpp"

namespace desktop {
namespace {

TEST(WindowPlacement, WindowsStackAlongTheCornersVerticalEdge) {
    const ui::CGRect area{{10, 30}, {1000, 700}};
    const std::vector<ui::CGSize> sizes{{364, 170}, {170, 170}};
    struct Case {
        Corner corner;
        std::vector<ui::CGRect> frames;
    };
    const Case cases[] = {
        {Corner::topLeft, {{{34, 54}, {364, 170}}, {{34, 240}, {170, 170}}}},
        {Corner::topRight, {{{622, 54}, {364, 170}}, {{816, 240}, {170, 170}}}},
        {Corner::bottomLeft, {{{34, 536}, {364, 170}}, {{34, 350}, {170, 170}}}},
        {Corner::bottomRight, {{{622, 536}, {364, 170}}, {{816, 350}, {170, 170}}}},
    };
    for (const Case& c : cases) {
        const auto frames = placeWindows(area, c.corner, 24, sizes);
        EXPECT_EQ(frames, c.frames) << int(c.corner);
        // A layer surface gets the same place as margins from its anchored edges.
        const EdgeOffsets second = offsetsFromCorner(area, c.corner, frames[1]);
        EXPECT_EQ(second.horizontal, 24);
        EXPECT_EQ(second.vertical, 24 + 170 + windowSpacing);
    }
}

// A widget dragged or restored past an edge, or left on a screen that shrank, comes back the
// least distance that puts it inside; one larger than the work area sits at its top-left.
TEST(WindowPlacement, FramesAreBroughtBackInsideTheWorkArea) {
    const ui::CGRect workArea{{0, 32}, {1280, 768}};
    struct Case {
        ui::CGRect frame;
        ui::CGPoint kept;
    };
    for (const Case& c : std::vector<Case>{
             {{{100, 100}, {364, 170}}, {100, 100}},
             {{{-50, 10}, {364, 170}}, {0, 32}},
             {{{1200, 700}, {364, 170}}, {916, 630}},
             {{{1000, -500}, {170, 170}}, {1000, 32}},
             {{{2000, 2000}, {170, 170}}, {1110, 630}},
             {{{500, 100}, {2000, 1000}}, {0, 32}},
         }) {
        const ui::CGRect kept = keptInside(workArea, c.frame);
        EXPECT_EQ(kept.origin, c.kept) << c.frame.origin.x << "," << c.frame.origin.y;
        EXPECT_EQ(kept.size, c.frame.size);
    }
}

}  // namespace
}  // namespace desktop

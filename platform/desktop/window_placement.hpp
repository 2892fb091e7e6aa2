#pragma once
// Where the host's windows go: stacked along the vertical edge of the chosen corner of the
// work area, the first one `margin` points from both edges, the next ones 16 points apart.

#include <vector>

#include "platform/desktop/desktop_options.hpp"
#include "platform/ui/geometry.hpp"

namespace desktop {

inline constexpr double windowSpacing = 16;

// Each window's frame, in the same points as `workArea`, for windows of `sizes` in order.
std::vector<ui::CGRect> placeWindows(const ui::CGRect& workArea, Corner corner, double margin,
                                     const std::vector<ui::CGSize>& sizes);

// The distances from the work area's edges a layer surface anchored at the corner is given:
// the frame's offset from the anchored horizontal and vertical edge.
struct EdgeOffsets {
    double horizontal = 0;  // from the left or right edge
    double vertical = 0;    // from the top or bottom edge
};
EdgeOffsets offsetsFromCorner(const ui::CGRect& workArea, Corner corner, const ui::CGRect& frame);

// The frame moved the least that brings it inside the work area; a frame larger than the work
// area keeps its top-left corner at the work area's.
ui::CGRect keptInside(const ui::CGRect& workArea, const ui::CGRect& frame);

// How far Alt and an arrow key move a focused widget.
inline constexpr double keyboardMoveStep = windowSpacing;

bool isTop(Corner corner);
bool isLeft(Corner corner);

}  // namespace desktop

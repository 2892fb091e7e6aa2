#include "platform/desktop/window_placement.hpp"

#include <algorithm>

namespace desktop {

bool isTop(Corner corner) {
    return corner == Corner::topLeft || corner == Corner::topRight;
}

bool isLeft(Corner corner) {
    return corner == Corner::topLeft || corner == Corner::bottomLeft;
}

std::vector<ui::CGRect> placeWindows(const ui::CGRect& workArea, Corner corner, double margin,
                                     const std::vector<ui::CGSize>& sizes) {
    std::vector<ui::CGRect> frames;
    double along = margin;  // distance from the corner's horizontal edge to the next window
    for (const ui::CGSize& size : sizes) {
        const double x = isLeft(corner) ? ui::CGRectGetMinX(workArea) + margin
                                        : ui::CGRectGetMaxX(workArea) - margin - size.width;
        const double y = isTop(corner) ? ui::CGRectGetMinY(workArea) + along
                                       : ui::CGRectGetMaxY(workArea) - along - size.height;
        frames.push_back({{x, y}, size});
        along += size.height + windowSpacing;
    }
    return frames;
}

EdgeOffsets offsetsFromCorner(const ui::CGRect& workArea, Corner corner, const ui::CGRect& frame) {
    return {isLeft(corner) ? ui::CGRectGetMinX(frame) - ui::CGRectGetMinX(workArea)
                           : ui::CGRectGetMaxX(workArea) - ui::CGRectGetMaxX(frame),
            isTop(corner) ? ui::CGRectGetMinY(frame) - ui::CGRectGetMinY(workArea)
                          : ui::CGRectGetMaxY(workArea) - ui::CGRectGetMaxY(frame)};
}

ui::CGRect keptInside(const ui::CGRect& workArea, const ui::CGRect& frame) {
    const auto within = [](double position, double length, double start, double room) {
        return std::max(start, std::min(position, start + room - length));
    };
    return {{within(frame.origin.x, frame.size.width, workArea.origin.x, workArea.size.width),
             within(frame.origin.y, frame.size.height, workArea.origin.y, workArea.size.height)},
            frame.size};
}

}  // namespace desktop

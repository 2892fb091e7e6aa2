#include "widget/view/widget_add_mark.hpp"

#include <array>

namespace jotbird {
namespace {

// The plus, clockwise from the upper arm's top-left corner, in grid units.
constexpr std::array<std::array<double, 2>, 12> plus{{
    {8, 4},
    {10, 4},
    {10, 8},
    {14, 8},
    {14, 10},
    {10, 10},
    {10, 14},
    {8, 14},
    {8, 10},
    {4, 10},
    {4, 8},
    {8, 8},
}};

}  // namespace

ui::Path WidgetAddMark::path(const ui::CGRect& rect) const {
    using namespace ui;
    const double side =
        CGRectGetHeight(rect) < CGRectGetWidth(rect) ? CGRectGetHeight(rect) : CGRectGetWidth(rect);
    const double u = side / 18;
    const CGRect square{{CGRectGetMidX(rect) - side * 0.5, CGRectGetMidY(rect) - side * 0.5},
                        {side, side}};
    const double x0 = CGRectGetMinX(square), y0 = CGRectGetMinY(square);

    Path path = Path::ellipseIn(square);
    path.move({x0 + plus[0][0] * u, y0 + plus[0][1] * u});
    for (std::size_t i = 1; i < plus.size(); ++i)
        path.addLine({x0 + plus[i][0] * u, y0 + plus[i][1] * u});
    path.closeSubpath();
    return path;
}

ui::View WidgetAddMark::view() const {
    return ui::Shape([mark = *this](const ui::CGRect& rect) { return mark.path(rect); });
}

}  // namespace jotbird

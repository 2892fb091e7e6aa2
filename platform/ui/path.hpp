#pragma once
// A vector outline made of closed or open subpaths, as shapes describe themselves.

#include <vector>

#include "platform/ui/geometry.hpp"

namespace ui {

struct Path {
    struct Element {
        enum class Kind { move, line, curve, close } kind;
        CGPoint point;               // the end point (unused for close)
        CGPoint control1, control2;  // for curve
        bool operator==(const Element&) const = default;
    };
    std::vector<Element> elements;

    // The ellipse inscribed in `rect` as a closed subpath of four cubic curves, starting at the
    // right-hand end of the horizontal axis.
    static Path ellipseIn(const CGRect& rect);

    void move(CGPoint to) { elements.push_back({Element::Kind::move, to, {}, {}}); }
    void addLine(CGPoint to) { elements.push_back({Element::Kind::line, to, {}, {}}); }
    void addCurve(CGPoint to, CGPoint c1, CGPoint c2) {
        elements.push_back({Element::Kind::curve, to, c1, c2});
    }
    void closeSubpath() { elements.push_back({Element::Kind::close, {}, {}, {}}); }
};

inline Path Path::ellipseIn(const CGRect& rect) {
    // Control points at 0.5523 of the radius make each quarter a close circular arc.
    constexpr double k = 0.5522847498307936;
    const double cx = CGRectGetMidX(rect), cy = CGRectGetMidY(rect);
    const double rx = rect.size.width * 0.5, ry = rect.size.height * 0.5;
    Path path;
    path.move({cx + rx, cy});
    path.addCurve({cx, cy + ry}, {cx + rx, cy + ry * k}, {cx + rx * k, cy + ry});
    path.addCurve({cx - rx, cy}, {cx - rx * k, cy + ry}, {cx - rx, cy + ry * k});
    path.addCurve({cx, cy - ry}, {cx - rx, cy - ry * k}, {cx - rx * k, cy - ry});
    path.addCurve({cx + rx, cy}, {cx + rx * k, cy - ry}, {cx + rx, cy - ry * k});
    path.closeSubpath();
    return path;
}

}  // namespace ui

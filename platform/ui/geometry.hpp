#pragma once
// Points, sizes and rectangles in points, y growing downward.

#include <algorithm>

namespace ui {

struct CGPoint {
    double x = 0, y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    double width = 0, height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

inline double CGRectGetWidth(const CGRect& r) {
    return r.size.width;
}
inline double CGRectGetHeight(const CGRect& r) {
    return r.size.height;
}
inline double CGRectGetMinX(const CGRect& r) {
    return r.origin.x;
}
inline double CGRectGetMinY(const CGRect& r) {
    return r.origin.y;
}
inline double CGRectGetMaxX(const CGRect& r) {
    return r.origin.x + r.size.width;
}
inline double CGRectGetMaxY(const CGRect& r) {
    return r.origin.y + r.size.height;
}
inline double CGRectGetMidX(const CGRect& r) {
    return r.origin.x + r.size.width * 0.5;
}
inline double CGRectGetMidY(const CGRect& r) {
    return r.origin.y + r.size.height * 0.5;
}

inline bool contains(const CGRect& r, CGPoint p) {
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) &&
           p.y < CGRectGetMaxY(r);
}

struct EdgeInsets {
    double top = 0, leading = 0, bottom = 0, trailing = 0;
    static EdgeInsets all(double length) { return {length, length, length, length}; }
    bool operator==(const EdgeInsets&) const = default;
};

}  // namespace ui

#include "platform/ui/mirroring.hpp"

namespace ui {
namespace {

CGRect reflected(const CGRect& rect, double axisTwice) {
    return {{axisTwice - rect.origin.x - rect.size.width, rect.origin.y}, rect.size};
}

void shift(Path& path, double dx) {
    for (Path::Element& element : path.elements) {
        element.point.x += dx;
        element.control1.x += dx;
        element.control2.x += dx;
    }
}

void mirror(LaidOutView& view, double axisTwice) {
    const CGRect frame = reflected(view.frame, axisTwice);
    if (view.path) shift(*view.path, frame.origin.x - view.frame.origin.x);
    view.frame = frame;
    view.layoutFrame = reflected(view.layoutFrame, axisTwice);
    for (LaidOutView& child : view.children)
        mirror(child, axisTwice);
}

}  // namespace

void mirrorHorizontally(LaidOutView& view, const CGRect& bounds) {
    mirror(view, 2 * bounds.origin.x + bounds.size.width);
}

}  // namespace ui

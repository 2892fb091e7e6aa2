#include "platform/ui/hit_test.hpp"

namespace ui {
namespace {

bool isLink(const LaidOutView& node) {
    return node.kind == ViewKind::Link && node.url;
}
bool hasWidgetURL(const LaidOutView& node) {
    return node.kind != ViewKind::Link && node.url;
}

// The innermost link whose frame holds the point; later siblings lie on top of earlier ones.
const LaidOutView* linkAt(const LaidOutView& node, CGPoint point) {
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
        if (const LaidOutView* found = linkAt(*child, point)) return found;
    return isLink(node) && contains(node.layoutFrame, point) ? &node : nullptr;
}

// The widget URL nearest to the point on the way down from the root.
const LaidOutView* widgetURLOnPath(const LaidOutView& node, CGPoint point) {
    if (!contains(node.layoutFrame, point)) return nullptr;
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
        if (const LaidOutView* found = widgetURLOnPath(*child, point)) return found;
    return hasWidgetURL(node) ? &node : nullptr;
}

// The outermost widget URL: it covers the whole widget, margins included.
const LaidOutView* outermostWidgetURL(const LaidOutView& node) {
    if (hasWidgetURL(node)) return &node;
    for (const LaidOutView& child : node.children)
        if (const LaidOutView* found = outermostWidgetURL(child)) return found;
    return nullptr;
}

}  // namespace

std::optional<std::string> urlAt(const LaidOutView& root, CGPoint point) {
    const LaidOutView* hit = linkAt(root, point);
    if (!hit) hit = widgetURLOnPath(root, point);
    if (!hit) hit = outermostWidgetURL(root);
    if (!hit) return std::nullopt;
    return hit->url;
}

}  // namespace ui

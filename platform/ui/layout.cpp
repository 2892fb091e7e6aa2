#include "platform/ui/layout.hpp"

namespace ui {

// Placeholder until the layout engine lands: every node gets the whole bounds.
LaidOutView layout(const View& root, const CGRect& bounds, const EnvironmentValues& environment) {
    LaidOutView node;
    node.kind = root.kind;
    node.frame = bounds;
    for (const View& child : root.children) node.children.push_back(layout(child, bounds, environment));
    return node;
}

}  // namespace ui

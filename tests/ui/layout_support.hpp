#pragma once
// Laying out hand-built trees and reading the result, for the tests of layout and its readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/layout.hpp"
#include "platform/ui/text_shaping.hpp"

namespace testsupport {

inline constexpr double tolerance = 1e-9;

// The style texts get when nothing sets another.
inline const ui::TextStyle body{ui::Font::system(12)};

inline ui::LaidOutView layOut(const ui::View& view, ui::CGSize size,
                              const ui::EnvironmentValues& environment = {}) {
    return ui::layout(view, {{0, 0}, size}, environment);
}

// A rectangle with a fixed size, the plainest child a stack can have.
inline ui::View box(std::optional<double> width, std::optional<double> height) {
    return ui::Rectangle().frame(ui::FixedFrame{.width = width, .height = height});
}

// A laid-out node built by hand, its frame and layout frame the same.
inline ui::LaidOutView node(ui::ViewKind kind, ui::CGRect frame,
                            std::optional<std::string> url = std::nullopt,
                            std::vector<ui::LaidOutView> children = {}) {
    ui::LaidOutView n;
    n.kind = kind;
    n.frame = n.layoutFrame = frame;
    n.url = std::move(url);
    n.children = std::move(children);
    return n;
}

// Every node in depth-first order, the root first.
inline void collect(const ui::LaidOutView& node, std::vector<const ui::LaidOutView*>& out) {
    out.push_back(&node);
    for (const ui::LaidOutView& child : node.children)
        collect(child, out);
}
inline std::vector<const ui::LaidOutView*> nodesOfKind(const ui::LaidOutView& root,
                                                       ui::ViewKind kind) {
    std::vector<const ui::LaidOutView*> all, found;
    collect(root, all);
    for (const ui::LaidOutView* node : all)
        if (node->kind == kind) found.push_back(node);
    return found;
}

inline void expectRect(const ui::CGRect& actual, const ui::CGRect& expected) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-6);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-6);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-6);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-6);
}

// The box around a path's points.
inline ui::CGRect bounds(const ui::Path& path) {
    double minX = ui::infinity, minY = ui::infinity, maxX = -ui::infinity, maxY = -ui::infinity;
    for (const ui::Path::Element& e : path.elements) {
        if (e.kind == ui::Path::Element::Kind::close) continue;
        minX = std::min(minX, e.point.x), maxX = std::max(maxX, e.point.x);
        minY = std::min(minY, e.point.y), maxY = std::max(maxY, e.point.y);
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

}  // namespace testsupport

// Hit testing on laid-out trees: the innermost link under a point, else the widget URL.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ui/hit_test.hpp"
#include "tests/ui/layout_support.hpp"

namespace {

using namespace ui;
using namespace testsupport;

// ---------------------------------------------------------------------------------------------
// Hit testing

struct ClickCase {
    std::string name;
    CGPoint point;
    std::optional<std::string> url;
};

class HitTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(HitTest, InnermostLinkElseTheWidgetURL) {
    const LaidOutView text = node(ViewKind::Text, {{10, 10}, {20, 10}});
    const LaidOutView inner = node(ViewKind::Link, {{50, 0}, {10, 10}}, "inner");
    const LaidOutView outer =
        node(ViewKind::Link, {{40, 0}, {40, 40}}, "outer",
             {node(ViewKind::HStack, {{40, 0}, {40, 40}}, std::nullopt, {inner})});
    const LaidOutView later = node(ViewKind::Link, {{70, 30}, {30, 30}}, "later");
    const LaidOutView root =
        node(ViewKind::AnyView, {{0, 0}, {100, 100}}, std::nullopt,
             {node(ViewKind::VStack, {{0, 0}, {100, 100}}, "home", {text, outer, later})});
    EXPECT_EQ(urlAt(root, GetParam().point), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Layout, HitTest,
                         ::testing::Values(ClickCase{"OnText", {15, 15}, "home"},
                                           ClickCase{"OnOuterLink", {45, 30}, "outer"},
                                           ClickCase{"OnInnerLink", {55, 5}, "inner"},
                                           ClickCase{"LaterSiblingOnTop", {75, 35}, "later"},
                                           ClickCase{"OnNothing", {5, 90}, "home"},
                                           ClickCase{"OutsideEverything", {-5, 200}, "home"},
                                           ClickCase{"RightEdgeIsOutside", {80, 10}, "home"}),
                         [](const auto& info) { return info.param.name; });

TEST(Layout, NoWidgetURLAndNoLinkGivesNothing) {
    EXPECT_FALSE(urlAt(node(ViewKind::VStack, {{0, 0}, {10, 10}}), {5, 5}));
}

}  // namespace

// What a keyboard or screen-reader user meets as links, in view order and named.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/link_targets.hpp"

namespace desktop {
namespace {

ui::LaidOutView text(std::string value, bool privacySensitive = false) {
    ui::LaidOutView node;
    node.kind = ui::ViewKind::Text;
    node.text = std::move(value);
    node.privacySensitive = privacySensitive;
    return node;
}

ui::LaidOutView link(std::string url, std::vector<ui::LaidOutView> children, double y) {
    ui::LaidOutView node;
    node.kind = ui::ViewKind::Link;
    node.url = std::move(url);
    node.layoutFrame = {{16, y}, {332, 24}};
    node.children.push_back({.kind = ui::ViewKind::HStack, .children = std::move(children)});
    return node;
}

TEST(LinkTargets, LinksInViewOrderNamedByWhatTheyShow) {
    ui::LaidOutView root;
    root.kind = ui::ViewKind::VStack;
    root.url = "jotbird-open://home";
    root.children = {
        text("header"),
        link("jotbird-open://note/a", {text("Buy milk", true), text("17:30", true)}, 49),
        link("jotbird-open://note/b", {text("Call", true)}, 73),
        link("jotbird-open://new", {text("New note")}, 122)};
    const auto shown = linkTargets(root, false);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].url, "jotbird-open://note/a");
    EXPECT_EQ(shown[0].name, "Buy milk, 17:30");
    EXPECT_EQ(shown[0].frame, (ui::CGRect{{16, 49}, {332, 24}}));
    EXPECT_EQ(shown[1].name, "Call");
    EXPECT_EQ(shown[2].name, "New note");

    // Redacted, the private texts are not told: only what is drawn as text is.
    const auto redacted = linkTargets(root, true);
    EXPECT_EQ(redacted[0].name, "");
    EXPECT_EQ(redacted[2].name, "New note");
}

}  // namespace
}  // namespace desktop

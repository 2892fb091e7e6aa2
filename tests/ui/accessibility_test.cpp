// Accessible elements of a laid-out tree, as a screen reader meets them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/ui/accessibility.hpp"
#include "platform/ui/tree_json.hpp"
#include "tests/ui/layout_support.hpp"

namespace {

using namespace ui;
using namespace testsupport;

// A screen reader's view of the tree: the view's own labels name what they label, and what
// it hides is left out, links and all.
TEST(Accessibility, LabelsNameAndHiddenViewsAreLeftOut) {
    using Role = AccessibleElement::Role;
    const View view = VStack(
        Alignment::leading(), 0,
        {Image(NSImage{"brand.png", {40, 20}}).accessibilityLabel({"Brand"}),
         Link("jotbird-open://a",
              HStack(Alignment::center(), 4,
                     {box(10, 10).accessibilityHidden(true), Text(LocalizedStringKey{"Shown"}),
                      Text(LocalizedStringKey{"Private"}).privacySensitive()})),
         Link("jotbird-open://b",
              HStack(Alignment::center(), 4, {Text(LocalizedStringKey{"Said otherwise"})}))
             .accessibilityLabel({"Named"}),
         Link("jotbird-open://c", Text(LocalizedStringKey{"Hidden link"}))
             .accessibilityHidden(true),
         Text(LocalizedStringKey{"Not a link"})});
    const LaidOutView root = layOut(view, {300, 200});
    const auto elements = accessibleElements(root, false);
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0].role, Role::image);
    EXPECT_EQ(elements[0].name, "Brand");
    EXPECT_FALSE(elements[0].url);
    EXPECT_EQ(elements[1].role, Role::link);
    EXPECT_EQ(elements[1].name, "Shown, Private");
    EXPECT_EQ(elements[1].url, "jotbird-open://a");
    EXPECT_EQ(elements[1].frame, root.children[1].layoutFrame);
    EXPECT_EQ(elements[2].name, "Named");
    EXPECT_EQ(accessibleElements(root, true)[1].name, "Shown") << "redacted, private texts go";

    // The tree reports them too.
    const auto json = nlohmann::json::parse(treeJSON(root));
    EXPECT_EQ(json["children"][0]["accessibilityLabel"], "Brand");
    EXPECT_EQ(json["children"][3]["accessibilityHidden"], true);
}

}  // namespace

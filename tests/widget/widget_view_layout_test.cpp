// The widget's own view laid out in-process: its marker, add mark, count and what it
// tells a screen reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/accessibility.hpp"
#include "platform/ui/layout.hpp"
#include "tests/ui/layout_support.hpp"
#include "widget/view/jotbird_widget_view.hpp"
#include "widget/view/widget_add_mark.hpp"

namespace {

using namespace ui;
using namespace testsupport;

// ---------------------------------------------------------------------------------------------
// The widget's own view, laid out in-process

jotbird::JotbirdEntry entryWith(std::vector<jotbird::NotePreview> notes,
                                std::optional<std::int64_t> folded = std::nullopt) {
    jotbird::JotbirdEntry entry;
    entry.snapshot.total = std::int64_t(notes.size());
    entry.snapshot.notes = std::move(notes);
    entry.snapshot.folded = folded;
    return entry;
}

LaidOutView layOutWidget(const jotbird::JotbirdEntry& entry, widgetkit::WidgetFamily family,
                         CGSize size, const std::string& textLanguage = {}) {
    EnvironmentValues environment;
    environment.widgetFamily = family;
    environment.locale.textLanguage = textLanguage;
    const jotbird::JotbirdWidgetView view{entry};
    return layout(view.body(environment), {{16, 16}, {size.width - 32, size.height - 32}},
                  environment);
}

TEST(WidgetLayout, MarkerIsTenPointsWithATwoPointOutlineInTheRingColour) {
    const auto entry = entryWith({{"a", "One", std::nullopt}, {"b", "Two", 1.0e12}});
    const LaidOutView root = layOutWidget(entry, widgetkit::WidgetFamily::systemMedium, {364, 170});
    const auto circles = nodesOfKind(root, ViewKind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    const jotbird::JotbirdWidgetView view{entry};
    for (const LaidOutView* circle : circles) {
        EXPECT_NEAR(circle->frame.size.width, 10, tolerance);
        EXPECT_NEAR(circle->frame.size.height, 10, tolerance);
        EXPECT_EQ(circle->strokeWidth, 2);
        EXPECT_EQ(circle->color, view.ring({}));
        ASSERT_TRUE(circle->path);
        const CGRect outline = bounds(*circle->path);
        EXPECT_NEAR(outline.origin.x, circle->frame.origin.x + 1, 1e-6);
        EXPECT_NEAR(outline.size.width, 8, 1e-6);
    }
}

TEST(WidgetLayout, AddMarkIsFilledEvenOddInYellow) {
    const LaidOutView root =
        layOutWidget(entryWith({}), widgetkit::WidgetFamily::systemSmall, {170, 170});
    const auto shapes = nodesOfKind(root, ViewKind::Shape);
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0]->color, jotbird::JotbirdWidgetView::addMarkYellow());
    ASSERT_TRUE(shapes[0]->fillStyle);
    EXPECT_TRUE(shapes[0]->fillStyle->eoFill);
    EXPECT_EQ(shapes[0]->path->elements, jotbird::WidgetAddMark{}.path(shapes[0]->frame).elements);
}

// The widget names its brand for a screen reader and hides the add mark beside its text.
TEST(Accessibility, TheWidgetNamesItsBrandAndHidesItsAddMark) {
    const auto entry = entryWith({{"a", "One", std::nullopt}});
    const LaidOutView root = layOutWidget(entry, widgetkit::WidgetFamily::systemMedium, {364, 170});
    const auto elements = accessibleElements(root, false);
    ASSERT_GE(elements.size(), 3u);
    if (nodesOfKind(root, ViewKind::Image).empty())
        GTEST_SKIP() << "no bundle with the brand picture beside this test";
    EXPECT_EQ(elements[0].role, AccessibleElement::Role::image);
    EXPECT_EQ(elements[0].name, "Jotbird");
    EXPECT_EQ(elements[1].name, "One");
    const AccessibleElement& add = elements.back();
    EXPECT_EQ(add.url, "jotbird-open://new");
    EXPECT_EQ(add.name, nodesOfKind(root, ViewKind::Text).back()->text.value_or(""))
        << "the add mark adds nothing to the button's name";
    EXPECT_TRUE(nodesOfKind(root, ViewKind::Shape)[0]->accessibilityHidden);
}

// The header's count is a bare number: it is set in the user's language, so a cut count ends
// in that language's ellipsis; an untranslated key stays in the keys' own.
TEST(WidgetLayout, TheCountIsInTheUsersLanguageUntranslatedKeysInTheirOwn) {
    const auto entry = entryWith({}, 3);
    for (const std::string language : {"", "en-us", "ja-jp"}) {
        SCOPED_TRACE(language);
        const LaidOutView root =
            layOutWidget(entry, widgetkit::WidgetFamily::systemSmall, {170, 170}, language);
        for (const LaidOutView* text : nodesOfKind(root, ViewKind::Text)) {
            if (text->key == "%lld") {
                EXPECT_EQ(text->language, language);
            } else if (text->key == "记下一件事") {
                EXPECT_EQ(text->language, "zh-cn");
            }
        }
    }
}

}  // namespace

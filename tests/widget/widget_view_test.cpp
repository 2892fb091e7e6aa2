// The widget's view as a tree: what it shows for a snapshot, in which order, with which
// keys, colours and links.
#include <gtest/gtest.h>

#include "tests/widget/view_tree_support.hpp"
#include "widget/jotbird_provider.hpp"
#include "widget/view/jotbird_widget_view.hpp"

namespace {

using jotbird::JotbirdWidgetView;
using jotbird::NotePreview;
using jotbird::WidgetSnapshot;
using testsupport::nodesOfKind;
using testsupport::textOf;
using widgetkit::WidgetFamily;

// Built by appending: GCC 12 misreads `"n" + std::to_string(i)` as an overlapping copy.
std::string numbered(std::string prefix, std::size_t i) {
    prefix += std::to_string(i);
    return prefix;
}

WidgetSnapshot snapshotWithNotes(std::size_t count) {
    WidgetSnapshot snapshot;
    snapshot.total = 42;
    for (std::size_t i = 0; i < count; ++i)
        snapshot.notes.push_back({numbered("n", i), numbered("Note ", i), {}});
    return snapshot;
}

ui::EnvironmentValues environment(WidgetFamily family,
                                  ui::ColorScheme scheme = ui::ColorScheme::light) {
    ui::EnvironmentValues values;
    values.widgetFamily = family;
    values.colorScheme = scheme;
    return values;
}

JotbirdWidgetView viewOf(WidgetSnapshot snapshot) {
    return {{foundation::now(), snapshot}};
}

// The links of the note rows, in order.
std::vector<const ui::View*> rowLinks(const ui::View& content) {
    std::vector<const ui::View*> rows;
    for (const ui::View* link : nodesOfKind(content, ui::ViewKind::Link))
        if (link->id) rows.push_back(link);
    return rows;
}

TEST(WidgetViewLimit, ShowsAtMostTheRowsOfEachSize) {
    struct Case {
        WidgetFamily family;
        std::size_t notes;
        std::size_t rows;
    };
    const Case cases[] = {
        {WidgetFamily::systemSmall, 0, 0},  {WidgetFamily::systemSmall, 1, 1},
        {WidgetFamily::systemSmall, 5, 2},  {WidgetFamily::systemMedium, 2, 2},
        {WidgetFamily::systemMedium, 5, 3}, {WidgetFamily::systemLarge, 5, 5},
        {WidgetFamily::systemLarge, 7, 7},  {WidgetFamily::systemLarge, 9, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(widgetkit::familyName(c.family)) + " with " +
                     std::to_string(c.notes) + " notes");
        const ui::View content = viewOf(snapshotWithNotes(c.notes)).content(environment(c.family));
        const auto rows = rowLinks(content);
        ASSERT_EQ(rows.size(), c.rows);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(*rows[i]->id, numbered("n", i));
    }
}

TEST(WidgetViewPalette, ThemeForcesTheSchemeElseTheSystemDecides) {
    using ui::ColorScheme;
    const ui::Color white = ui::Color::white(), grey = ui::Color::sRGB(0.098, 0.098, 0.098);
    const ui::Color darkRing = ui::Color::sRGB(160.0 / 255, 165.0 / 255, 171.0 / 255);
    const ui::Color lightRing = ui::Color::sRGB(136.0 / 255, 141.0 / 255, 147.0 / 255);
    struct Case {
        std::optional<std::string> theme;
        ColorScheme system, expected;
    };
    const Case cases[] = {
        {"dark", ColorScheme::light, ColorScheme::dark},
        {"light", ColorScheme::dark, ColorScheme::light},
        {std::nullopt, ColorScheme::dark, ColorScheme::dark},
        {std::nullopt, ColorScheme::light, ColorScheme::light},
        {"", ColorScheme::dark, ColorScheme::dark},
        {"Dark", ColorScheme::light, ColorScheme::light},
        {"LIGHT", ColorScheme::dark, ColorScheme::dark},
        {"sepia", ColorScheme::dark, ColorScheme::dark},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("theme " + c.theme.value_or("(absent)"));
        WidgetSnapshot snapshot;
        snapshot.theme = c.theme;
        const auto view = viewOf(snapshot);
        const auto env = environment(WidgetFamily::systemMedium, c.system);
        const bool dark = c.expected == ColorScheme::dark;
        EXPECT_EQ(view.colorScheme(env), c.expected);
        EXPECT_EQ(view.backgroundColor(env), dark ? grey : white);
        EXPECT_EQ(view.ring(env), dark ? darkRing : lightRing);
        EXPECT_EQ(JotbirdWidgetView::addMarkYellow(), ui::Color::sRGB(1.0, 0.855, 0.337));
    }
    // The ring's components are the exact quotients, not rounded figures.
    EXPECT_DOUBLE_EQ(lightRing.red, 0.5333333333333333);
    EXPECT_DOUBLE_EQ(darkRing.blue, 0.6705882352941176);
}

TEST(WidgetViewContent, RowsComeBetweenDividersAndTheFooterSitsBelowASpacer) {
    const auto view = viewOf(snapshotWithNotes(2));
    const ui::View content = view.content(environment(WidgetFamily::systemMedium));
    ASSERT_EQ(content.kind, ui::ViewKind::VStack);
    EXPECT_EQ(content.alignment, ui::Alignment::leading());
    EXPECT_EQ(content.spacing, 0);
    EXPECT_EQ(testsupport::kindNames(content.children),
              (std::vector<std::string>{"HStack", "ForEach", "Spacer", "Divider", "HStack"}));
    EXPECT_EQ(content.children[2].minLength, 0);
    EXPECT_EQ(testsupport::kindNames(content.children[1].children),
              (std::vector<std::string>{"Divider", "Link", "Divider", "Link"}));
    ASSERT_NE(content.modifier<ui::WidgetURL>(), nullptr);
    EXPECT_EQ(content.modifier<ui::WidgetURL>()->url, "jotbird-open://home");
}

TEST(WidgetViewContent, HeaderShowsTheTotalNotTheNumberOfRows) {
    const auto view = viewOf(jotbird::JotbirdProvider::sampleSnapshot());
    const ui::View header = view.content(environment(WidgetFamily::systemSmall)).children[0];
    EXPECT_EQ(header.modifier<ui::FixedFrame>()->height, 32);
    EXPECT_EQ(header.modifier<ui::FontModifier>()->font,
              ui::Font::system(13, ui::FontWeight::semibold));
    ASSERT_EQ(header.children.size(), 3u);
    const ui::View& count = header.children[2];
    EXPECT_EQ(std::get<ui::LocalizedStringKey>(*count.text), (ui::LocalizedStringKey{"%lld", {3}}));
    EXPECT_NE(count.modifier<ui::PrivacySensitive>(), nullptr);
    EXPECT_NE(count.modifier<ui::MonospacedDigit>(), nullptr);
    EXPECT_EQ(count.modifier<ui::FontModifier>()->font,
              ui::Font::system(15, ui::FontWeight::medium));
    EXPECT_FALSE(count.modifier<ui::ForegroundStyle>()->color.has_value());  // secondary
}

TEST(WidgetViewContent, RowTitlesAreVerbatimWithAPlaceholderForEmptyOnes) {
    WidgetSnapshot snapshot;
    snapshot.notes = {{"a", "%lld", {}}, {"b", "", {}}, {"c", "买菜", 1700000000000.0}};
    const ui::View content = viewOf(snapshot).content(environment(WidgetFamily::systemMedium));
    const auto rows = rowLinks(content);
    ASSERT_EQ(rows.size(), 3u);
    const std::string titles[] = {"%lld", "新便签", "买菜"};
    for (std::size_t i = 0; i < 3; ++i) {
        const ui::View& label = rows[i]->children.at(0);
        ASSERT_EQ(label.kind, ui::ViewKind::HStack);
        EXPECT_EQ(label.spacing, 6);
        EXPECT_EQ(label.modifier<ui::FlexibleFrame>()->maxHeight, 24);
        const ui::View& title = label.children.at(1);
        // The placeholder is a key, translated as the others are; titles are the user's own.
        EXPECT_EQ(std::holds_alternative<ui::Verbatim>(*title.text), i != 1);
        EXPECT_EQ(textOf(title), titles[i]);
        EXPECT_EQ(title.modifier<ui::LineLimit>()->lines, 1);
        EXPECT_EQ(title.modifier<ui::FlexibleFrame>()->maxWidth, ui::infinity);
        // Only a note with a reminder has a time at the right.
        EXPECT_EQ(label.children.size(), i == 2 ? 3u : 2u);
    }
    const ui::View& time = rows[2]->children[0].children[2];
    EXPECT_DOUBLE_EQ(std::get<ui::TimeText>(*time.text).secondsSince1970, 1700000000.0);
    EXPECT_NE(time.modifier<ui::FixedSize>(), nullptr);
    EXPECT_NE(time.modifier<ui::PrivacySensitive>(), nullptr);
    const ui::View& marker = rows[0]->children[0].children[0];
    EXPECT_EQ(marker.kind, ui::ViewKind::Circle);
    EXPECT_EQ(marker.modifier<ui::StrokeBorder>()->lineWidth, 2);
    EXPECT_EQ(marker.modifier<ui::FixedFrame>()->width, 10);
}

TEST(WidgetViewContent, NoteLinksPercentEncodeTheIdAsAPath) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain-id_1.2~", "plain-id_1.2~"},
        {"a b/c?d", "a%20b/c%3Fd"},
        {"便", "%E4%BE%BF"},
        {"100%#frag", "100%25%23frag"},
        {"!$&'()*+,;=:@", "!$&'()*+,;=:@"},
        {"tab\tquote\"", "tab%09quote%22"},
        {"", ""},
    };
    for (const auto& [id, encoded] : cases) {
        SCOPED_TRACE(id);
        WidgetSnapshot snapshot;
        snapshot.notes = {{id, "t", {}}};
        const ui::View content = viewOf(snapshot).content(environment(WidgetFamily::systemSmall));
        const auto rows = rowLinks(content);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0]->destination, "jotbird-open://note/" + encoded);
    }
}

TEST(WidgetViewContent, RowsSharingAnIdBothAppear) {
    WidgetSnapshot snapshot;
    snapshot.notes = {{"same", "first", {}}, {"same", "second", {}}};
    const ui::View content = viewOf(snapshot).content(environment(WidgetFamily::systemSmall));
    const auto rows = rowLinks(content);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(textOf(rows[0]->children[0].children[1]), "first");
    EXPECT_EQ(textOf(rows[1]->children[0].children[1]), "second");
}

TEST(WidgetViewContent, EmptyStateAndBadgeFollowFolded) {
    struct Case {
        std::optional<std::int64_t> folded;
        std::size_t notes;
        std::string label;  // empty: rows instead of the empty state
        std::string symbol;
        bool badge;
    };
    const Case cases[] = {
        {std::nullopt, 0, "暂无待办", "tray", false},
        {0, 0, "暂无待办", "tray", false},
        {-1, 0, "暂无待办", "tray", false},
        {1, 0, "待办已折叠", "tray.full", true},
        {3, 0, "待办已折叠", "tray.full", true},
        {2, 1, "", "", true},
        {std::nullopt, 1, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("folded " + (c.folded ? std::to_string(*c.folded) : "absent") + ", " +
                     std::to_string(c.notes) + " notes");
        WidgetSnapshot snapshot = snapshotWithNotes(c.notes);
        snapshot.folded = c.folded;
        const ui::View content = viewOf(snapshot).content(environment(WidgetFamily::systemLarge));
        const auto labels = nodesOfKind(content, ui::ViewKind::Label);
        if (c.label.empty()) {
            EXPECT_TRUE(labels.empty());
        } else {
            ASSERT_EQ(labels.size(), 1u);
            EXPECT_EQ(textOf(*labels[0]), c.label);
            EXPECT_EQ(labels[0]->systemImage, c.symbol);
            EXPECT_EQ(testsupport::kindNames(content.children),
                      (std::vector<std::string>{"HStack", "Spacer", "Label", "Spacer", "Divider",
                                                "HStack"}));
        }
        const ui::View& footer = content.children.back();
        ASSERT_EQ(footer.children.size(), c.badge ? 3u : 2u);
        if (c.badge) {
            EXPECT_EQ(std::get<ui::LocalizedStringKey>(*footer.children[2].text),
                      (ui::LocalizedStringKey{"已折叠 %lld", {*c.folded}, "已折叠 %lld"}));
        }
    }
}

TEST(WidgetViewContent, AddButtonLinksToANewNoteWithTheYellowMark) {
    const ui::View footer =
        viewOf({}).content(environment(WidgetFamily::systemSmall)).children.back();
    const ui::View& add = footer.children.at(0);
    ASSERT_EQ(add.kind, ui::ViewKind::Link);
    EXPECT_EQ(add.destination, "jotbird-open://new");
    const ui::View& label = add.children.at(0);
    EXPECT_EQ(label.spacing, 5);
    EXPECT_EQ(label.modifier<ui::FixedFrame>()->height, 32);
    const ui::View& mark = label.children.at(0);
    EXPECT_EQ(mark.kind, ui::ViewKind::Shape);
    EXPECT_EQ(mark.modifier<ui::Fill>()->color, JotbirdWidgetView::addMarkYellow());
    EXPECT_TRUE(mark.modifier<ui::Fill>()->style.eoFill);
    EXPECT_EQ(mark.modifier<ui::FixedFrame>()->width, 18);
    EXPECT_EQ(textOf(label.children.at(1)), "记下一件事");
}

TEST(WidgetViewBody, ContainerBackgroundOnlyWhereTheSystemHasIt) {
    WidgetSnapshot snapshot;
    snapshot.theme = "dark";
    const auto view = viewOf(snapshot);
    auto env = environment(WidgetFamily::systemMedium);

    const ui::View modern = view.body(env);
    ASSERT_EQ(modern.kind, ui::ViewKind::AnyView);
    const ui::View& inner = modern.children.at(0);
    EXPECT_EQ(inner.modifier<ui::ColorSchemeEnvironment>()->colorScheme, ui::ColorScheme::dark);
    EXPECT_EQ(inner.modifier<ui::ContainerBackground>()->color,
              ui::Color::sRGB(0.098, 0.098, 0.098));
    EXPECT_EQ(inner.modifier<ui::Padding>(), nullptr);

    env.isContainerBackgroundAvailable = false;
    const ui::View legacy = view.body(env);
    EXPECT_EQ(legacy.kind, ui::ViewKind::VStack);
    EXPECT_EQ(legacy.modifier<ui::ContainerBackground>(), nullptr);
    EXPECT_EQ(legacy.modifier<ui::Padding>()->insets, ui::EdgeInsets::all(14));
}

}  // namespace

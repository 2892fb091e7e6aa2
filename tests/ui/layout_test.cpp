// The layout engine on small hand-built trees: stacks, frames, images, texts, shapes, links
// and what the root reports.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/layout.hpp"
#include "platform/ui/system_colors.hpp"
#include "platform/ui/text_shaping.hpp"
#include "tests/ui/layout_support.hpp"
#include "widget/view/widget_add_mark.hpp"

namespace {

using namespace ui;
using namespace testsupport;

std::vector<double> childWidths(const LaidOutView& stack) {
    std::vector<double> widths;
    for (const LaidOutView& child : stack.children)
        widths.push_back(child.layoutFrame.size.width);
    return widths;
}

void expectLengths(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << i;
}

// ---------------------------------------------------------------------------------------------
// Stacks

struct StackCase {
    std::string name;
    std::function<View()> build;
    double width;
    std::vector<double> widths;  // of the stack's children, in order
};

class StackWidths : public ::testing::TestWithParam<StackCase> {};

TEST_P(StackWidths, ChildrenTakeTheirShare) {
    const StackCase& c = GetParam();
    const LaidOutView root = layOut(c.build(), {c.width, 50});
    expectLengths(childWidths(root), c.widths);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, StackWidths,
    ::testing::Values(
        // The less flexible child is offered half and keeps it; the other needs 100.
        StackCase{"LeastFlexibleFirst",
                  [] {
                      return HStack(Alignment::center(), 0,
                                    {Rectangle().frame(FlexibleFrame{.maxWidth = 100}),
                                     Rectangle().frame(FlexibleFrame{.minWidth = 100})});
                  },
                  150,
                  {75, 100}},
        // Fixed first (30), then the capped one (half of 105, capped at 50), then the rest.
        StackCase{"FixedThenCappedThenOpen",
                  [] {
                      return HStack(Alignment::center(), 7.5,
                                    {Rectangle().frame(FlexibleFrame{.minWidth = 100}), box(30, {}),
                                     Rectangle().frame(FlexibleFrame{.maxWidth = 50})});
                  },
                  150,
                  {100, 30, 50}},
        StackCase{
            "EqualShares",
            [] {
                return HStack(Alignment::center(), 0, {Rectangle(), Rectangle(), Rectangle()});
            },
            300,
            {100, 100, 100}},
        StackCase{"SpacingBetweenChildren",
                  [] {
                      return HStack(Alignment::center(), 10, {Rectangle(), Rectangle()});
                  },
                  110,
                  {50, 50}},
        StackCase{"DefaultSpacingIsEight",
                  [] {
                      return HStack(Alignment::center(), std::nullopt, {Rectangle(), Rectangle()});
                  },
                  108,
                  {50, 50}},
        StackCase{"SpacerTakesWhatIsLeft",
                  [] {
                      return HStack(Alignment::center(), 0, {box(40, {}), Spacer(), box(30, {})});
                  },
                  200,
                  {40, 130, 30}},
        StackCase{"SpacerKeepsItsDefaultMinimum",
                  [] {
                      return HStack(Alignment::center(), 0, {box(100, {}), Spacer(), box(30, {})});
                  },
                  120,
                  {100, 8, 30}},
        StackCase{
            "SpacerMinimumOfItsOwn",
            [] {
                return HStack(Alignment::center(), 0, {box(100, {}), Spacer(20), box(30, {})});
            },
            120,
            {100, 20, 30}},
        StackCase{"SpacerMinimumZero",
                  [] {
                      return HStack(Alignment::center(), 0, {box(100, {}), Spacer(0), box(30, {})});
                  },
                  120,
                  {100, 0, 30}},
        // Spacers do not take a share from the views: the flexible view gets all but the
        // spacer's minimum.
        StackCase{"SpacerYieldsToFlexibleViews",
                  [] {
                      return HStack(Alignment::center(), 0, {Rectangle(), Spacer()});
                  },
                  100,
                  {92, 8}},
        StackCase{"TwoSpacersShareEqually",
                  [] {
                      return HStack(Alignment::center(), 0, {Spacer(0), box(20, {}), Spacer(0)});
                  },
                  100,
                  {40, 20, 40}},
        StackCase{"OverflowKeepsFixedSizes",
                  [] {
                      return HStack(Alignment::center(), 0, {box(80, {}), box(80, {})});
                  },
                  100,
                  {80, 80}}),
    [](const auto& info) { return info.param.name; });

TEST(Layout, HStackPlacesChildrenInOrderAcrossItsWidth) {
    const LaidOutView root =
        layOut(HStack(Alignment::center(), 5, {box(10, 10), box(20, 30)}), {35, 30});
    expectRect(root.layoutFrame, {{0, 0}, {35, 30}});
    expectRect(root.children[0].layoutFrame, {{0, 10}, {10, 10}});
    expectRect(root.children[1].layoutFrame, {{15, 0}, {20, 30}});
}

struct AlignmentCase {
    std::string name;
    HorizontalAlignment alignment;
    double narrowX;
};

class VStackAlignment : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P(VStackAlignment, NarrowerChildSitsAtTheAlignment) {
    const LaidOutView root =
        layOut(VStack({GetParam().alignment}, 0, {box(40, 10), box(20, 10)}), {40, 20});
    EXPECT_NEAR(root.children[0].layoutFrame.origin.x, 0, tolerance);
    EXPECT_NEAR(root.children[1].layoutFrame.origin.x, GetParam().narrowX, tolerance);
    EXPECT_NEAR(root.children[1].layoutFrame.origin.y, 10, tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, VStackAlignment,
    ::testing::Values(AlignmentCase{"Leading", HorizontalAlignment::leading, 0},
                      AlignmentCase{"Center", HorizontalAlignment::center, 10},
                      AlignmentCase{"Trailing", HorizontalAlignment::trailing, 20}),
    [](const auto& info) { return info.param.name; });

TEST(Layout, SpacerInAVStackIsVertical) {
    const LaidOutView root =
        layOut(VStack(Alignment::leading(), 0, {box(10, 10), Spacer(), box(10, 10)}), {10, 100});
    expectRect(root.children[1].layoutFrame, {{0, 10}, {0, 80}});
    EXPECT_NEAR(root.children[2].layoutFrame.origin.y, 90, tolerance);
}

TEST(Layout, ForEachChildrenJoinTheStackInsideAForEachNode) {
    const std::vector<std::string> ids{"a", "b"};
    const View stack = VStack(Alignment::leading(), 0,
                              {box(10, 5),
                               ForEach(
                                   ids, [](const std::string& id) { return id; },
                                   [](const std::string&) {
                                       return std::vector<View>{Divider(), box({}, 10)};
                                   }),
                               Spacer(0), box(10, 5)});
    const LaidOutView root = layOut(stack, {50, 100});
    ASSERT_EQ(root.children.size(), 4u);
    const LaidOutView& group = root.children[1];
    ASSERT_EQ(group.kind, ViewKind::ForEach);
    ASSERT_EQ(group.children.size(), 4u);
    EXPECT_EQ(group.children[0].id, "a");
    EXPECT_EQ(group.children[3].id, "b");
    expectRect(group.layoutFrame, {{0, 5}, {50, 22}});
    EXPECT_NEAR(group.children[2].layoutFrame.origin.y, 16, tolerance);
    EXPECT_NEAR(root.children[2].layoutFrame.size.height, 100 - 5 - 22 - 5, tolerance);
}

TEST(Layout, DividerIsOnePointAcrossTheStack) {
    const LaidOutView vertical =
        layOut(VStack(Alignment::leading(), 0, {box(30, 10), Divider()}), {80, 40});
    const CGPoint v = vertical.layoutFrame.origin;
    expectRect(vertical.children[1].layoutFrame, {{v.x, v.y + 10}, {80, 1}});
    const LaidOutView horizontal =
        layOut(HStack(Alignment::center(), 0, {box(30, 10), Divider()}), {80, 40});
    const CGPoint h = horizontal.layoutFrame.origin;
    expectRect(horizontal.children[1].layoutFrame, {{h.x + 30, h.y}, {1, 40}});
    EXPECT_EQ(horizontal.children[1].color, separator(ColorScheme::light));
}

// ---------------------------------------------------------------------------------------------
// Frames, padding, fixed size, aspect fit

struct FrameCase {
    std::string name;
    std::function<View()> build;
    CGSize proposal;
    CGRect layoutFrame;   // of the root, placed at the origin of a space of `proposal`
    CGRect contentFrame;  // where the root's own content sits
};

class Frames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(Frames, TakeTheirSizeAndPlaceTheirContent) {
    const FrameCase& c = GetParam();
    const LaidOutView root =
        layOut(HStack(Alignment::center(), 0, {c.build(), Spacer(0)}), c.proposal);
    expectRect(root.children[0].layoutFrame, c.layoutFrame);
    expectRect(root.children[0].frame, c.contentFrame);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, Frames,
    ::testing::Values(
        FrameCase{"FixedCentresItsChild",
                  [] { return box(10, 10).frame(FixedFrame{.width = 30, .height = 20}); },
                  {100, 20},
                  {{0, 0}, {30, 20}},
                  {{10, 5}, {10, 10}}},
        FrameCase{"FixedWithLeadingAlignment",
                  [] {
                      return box(10, 10).frame(
                          FixedFrame{.width = 30, .height = 20, .alignment = Alignment::leading()});
                  },
                  {100, 20},
                  {{0, 0}, {30, 20}},
                  {{0, 5}, {10, 10}}},
        FrameCase{"MaxWidthInfinityFillsTheProposal",
                  [] {
                      return box(10, 10).frame(
                          FlexibleFrame{.maxWidth = infinity, .alignment = Alignment::leading()});
                  },
                  {100, 20},
                  {{0, 5}, {100, 10}},
                  {{0, 5}, {10, 10}}},
        FrameCase{"MaxHeightCapsAFlexibleChild",
                  [] { return Rectangle().frame(FlexibleFrame{.maxHeight = 24}); },
                  {50, 100},
                  {{0, 38}, {50, 24}},
                  {{0, 38}, {50, 24}}},
        FrameCase{"MaxHeightTakesTheProposalWhenSmaller",
                  [] { return Rectangle().frame(FlexibleFrame{.maxHeight = 24}); },
                  {50, 15},
                  {{0, 0}, {50, 15}},
                  {{0, 0}, {50, 15}}},
        FrameCase{"MaxHeightNoLessThanAFixedChild",
                  [] { return box(10, 30).frame(FlexibleFrame{.maxHeight = 24}); },
                  {50, 20},
                  {{0, -2}, {10, 24}},
                  {{0, -5}, {10, 30}}},
        FrameCase{"MinWidthAroundASmallerChild",
                  [] { return box(30, 10).frame(FlexibleFrame{.minWidth = 50}); },
                  {100, 10},
                  {{0, 0}, {50, 10}},
                  {{10, 0}, {30, 10}}},
        FrameCase{"PaddingInsetsTheContent",
                  [] { return Rectangle().padding(14); },
                  {100, 60},
                  {{0, 0}, {100, 60}},
                  {{14, 14}, {72, 32}}},
        FrameCase{"PaddingAroundAFixedChild",
                  [] { return box(10, 10).padding(5); },
                  {100, 60},
                  {{0, 20}, {20, 20}},
                  {{5, 25}, {10, 10}}}),
    [](const auto& info) { return info.param.name; });

struct ImageCase {
    std::string name;
    CGSize pixels;
    CGRect fitted;  // in a 66 x 22 frame at the origin
};

class ScaledToFitImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(ScaledToFitImage, KeepsItsProportionsInsideTheFrame) {
    const View image = Image(NSImage{"brand.png", GetParam().pixels})
                           .resizable()
                           .scaledToFit()
                           .frame(FixedFrame{.width = 66, .height = 22});
    const LaidOutView root = layOut(image, {66, 22});
    expectRect(root.layoutFrame, {{0, 0}, {66, 22}});
    expectRect(root.frame, GetParam().fitted);
    ASSERT_TRUE(root.image);
    EXPECT_EQ(root.image->file, "brand.png");
}

INSTANTIATE_TEST_SUITE_P(
    Layout, ScaledToFitImage,
    ::testing::Values(ImageCase{"SameProportions", {264, 88}, {{0, 0}, {66, 22}}},
                      ImageCase{"Square", {100, 100}, {{22, 0}, {22, 22}}},
                      ImageCase{"Wider", {660, 110}, {{0, 5.5}, {66, 11}}},
                      ImageCase{"Small", {33, 11}, {{0, 0}, {66, 22}}}),
    [](const auto& info) { return info.param.name; });

TEST(Layout, ImageWithoutResizableKeepsItsPixelSize) {
    const LaidOutView root =
        layOut(Image(NSImage{"brand.png", {40, 20}}).frame(FixedFrame{.width = 66, .height = 22}),
               {66, 22});
    expectRect(root.frame, {{13, 1}, {40, 20}});
}

// ---------------------------------------------------------------------------------------------
// Texts

TEST(Layout, TextTakesItsMeasuredSizeWhenItFits) {
    const CGSize measured = measureText("Hello", body);
    const LaidOutView root = layOut(
        HStack(Alignment::center(), 0, {Text(Verbatim{"Hello"}).font(Font::system(12)), Spacer(0)}),
        {200, 40});
    const LaidOutView& text = root.children[0];
    EXPECT_NEAR(text.frame.size.width, measured.width, tolerance);
    EXPECT_NEAR(text.frame.size.height, measured.height, tolerance);
    EXPECT_FALSE(text.truncated);
    EXPECT_EQ(text.text, "Hello");
    EXPECT_FALSE(text.key);
}

struct TruncationCase {
    std::string name;
    bool fixedSize;
    bool truncated;
};

class TextInANarrowSpace : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(TextInANarrowSpace, IsCutUnlessFixedSize) {
    const std::string title = "A title far too long for the forty points it is offered";
    View text = Text(Verbatim{title}).lineLimit(1);
    if (GetParam().fixedSize) text = std::move(text).fixedSize();
    const LaidOutView root = layOut(
        HStack(Alignment::center(), 0, {std::move(text)}).frame(FixedFrame{.width = 40}), {40, 40});
    const LaidOutView& node = root.children[0];
    const double full = measureText(title, TextStyle{}).width;
    EXPECT_EQ(node.truncated, GetParam().truncated);
    EXPECT_NEAR(node.frame.size.width, GetParam().truncated ? 40 : full, 1e-6);
    EXPECT_EQ(node.lineLimit, 1);
}

INSTANTIATE_TEST_SUITE_P(Layout, TextInANarrowSpace,
                         ::testing::Values(TruncationCase{"Cut", false, true},
                                           TruncationCase{"FixedSize", true, false}),
                         [](const auto& info) { return info.param.name; });

struct StyleCase {
    std::string name;
    std::function<View()> build;
    Font font;
    Color color;
};

class TextStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(TextStyles, ResolveFromTheEnvironmentInForce) {
    const LaidOutView root = layOut(GetParam().build(), {200, 100});
    const auto texts = nodesOfKind(root, ViewKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->font, GetParam().font);
    EXPECT_EQ(texts[0]->color, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, TextStyles,
    ::testing::Values(
        StyleCase{"Defaults", [] { return Text(Verbatim{"x"}); }, Font{},
                  primaryLabel(ColorScheme::light)},
        StyleCase{"FromTheStack",
                  [] {
                      return HStack(Alignment::center(), 0, {Text(Verbatim{"x"})})
                          .font(Font::system(13, FontWeight::semibold));
                  },
                  Font::system(13, FontWeight::semibold), primaryLabel(ColorScheme::light)},
        StyleCase{"OwnFontWins",
                  [] {
                      return HStack(Alignment::center(), 0,
                                    {Text(Verbatim{"x"}).font(Font::caption().bold())})
                          .font(Font::system(13, FontWeight::semibold));
                  },
                  Font::caption().bold(), primaryLabel(ColorScheme::light)},
        StyleCase{"Secondary",
                  [] { return Text(Verbatim{"x"}).foregroundStyle(ForegroundStyle::secondary()); },
                  Font{}, secondaryLabel(ColorScheme::light)},
        StyleCase{
            "DarkFromTheEnvironment",
            [] {
                return VStack(Alignment::leading(), 0,
                              {Text(Verbatim{"x"}).foregroundStyle(ForegroundStyle::secondary())})
                    .environment(ColorScheme::dark);
            },
            Font{}, secondaryLabel(ColorScheme::dark)},
        StyleCase{"ColourOfItsOwn",
                  [] { return Text(Verbatim{"x"}).foregroundStyle({Color::sRGB(1, 0, 0)}); },
                  Font{}, Color::sRGB(1, 0, 0)}),
    [](const auto& info) { return info.param.name; });

TEST(Layout, LocalizedTextPutsInItsNumberAndKeepsItsKey) {
    const LaidOutView root = layOut(Text(LocalizedStringKey{"已折叠 %lld", {3}}), {200, 40});
    EXPECT_EQ(root.text, "已折叠 3");
    EXPECT_EQ(root.key, "已折叠 %lld");
}

TEST(Layout, PrivacySensitiveAndMonospacedDigitReachTheText) {
    const LaidOutView root = layOut(
        HStack(Alignment::center(), 0, {Text(Verbatim{"12"})}).privacySensitive().monospacedDigit(),
        {200, 40});
    EXPECT_TRUE(root.children[0].privacySensitive);
    EXPECT_TRUE(root.children[0].monospacedDigit);
    EXPECT_FALSE(root.privacySensitive);
}

TEST(Layout, LabelIsASymbolThenItsTitle) {
    const Font font = Font::system(12, FontWeight::medium);
    const LaidOutView root = layOut(Label({"暂无待办"}, "tray").font(font), {200, 40});
    EXPECT_EQ(root.text, "暂无待办");
    EXPECT_EQ(root.key, "暂无待办");
    EXPECT_EQ(root.symbol, "tray");
    ASSERT_EQ(root.children.size(), 2u);
    const LaidOutView& icon = root.children[0];
    const LaidOutView& title = root.children[1];
    EXPECT_EQ(icon.kind, ViewKind::Image);
    EXPECT_EQ(icon.symbol, "tray");
    EXPECT_EQ(icon.font, font);
    EXPECT_EQ(title.kind, ViewKind::Text);
    EXPECT_EQ(title.text, "暂无待办");
    EXPECT_NEAR(icon.frame.size.height, 12, tolerance);
    EXPECT_GT(title.frame.origin.x, CGRectGetMaxX(icon.frame));
    EXPECT_NEAR(CGRectGetMaxX(title.frame), CGRectGetMaxX(root.frame), 1e-6);
    EXPECT_NEAR(CGRectGetMidY(icon.frame), CGRectGetMidY(title.frame), 1e-6);
}

// ---------------------------------------------------------------------------------------------
// Shapes

TEST(Layout, StrokedCircleIsInsetByHalfItsLine) {
    const Color ring = Color::sRGB(0.5, 0.5, 0.5);
    const LaidOutView root = layOut(
        HStack(Alignment::center(), 0,
               {Circle().strokeBorder(ring, 2).frame(FixedFrame{.width = 10, .height = 10})}),
        {10, 10});
    const LaidOutView& circle = root.children[0];
    expectRect(circle.frame, {{0, 0}, {10, 10}});
    ASSERT_TRUE(circle.path);
    expectRect(bounds(*circle.path), {{1, 1}, {8, 8}});
    EXPECT_EQ(circle.strokeWidth, 2);
    EXPECT_EQ(circle.color, ring);
    EXPECT_FALSE(circle.fillStyle);
}

TEST(Layout, FilledShapeGetsItsPathInWidgetCoordinates) {
    const Color yellow = Color::sRGB(1, 0.855, 0.337);
    const View mark = jotbird::WidgetAddMark{}
                          .view()
                          .fill(yellow, FillStyle{.eoFill = true})
                          .frame(FixedFrame{.width = 18, .height = 18});
    const LaidOutView root = layout(mark, {{100, 50}, {18, 18}}, {});
    ASSERT_TRUE(root.path);
    EXPECT_EQ(root.path->elements, jotbird::WidgetAddMark{}.path({{100, 50}, {18, 18}}).elements);
    ASSERT_TRUE(root.fillStyle);
    EXPECT_TRUE(root.fillStyle->eoFill);
    EXPECT_EQ(root.color, yellow);
}

// Drawing takes every shape's outline from layout and has no fallback of its own.
TEST(Layout, EveryShapeGetsItsOutlineFilledStrokedOrNeither) {
    const Color grey = Color::sRGB(0.5, 0.5, 0.5);
    struct Case {
        std::string name;
        View shape;
    };
    std::vector<Case> cases;
    for (const auto& [kind, make] : std::vector<std::pair<std::string, std::function<View()>>>{
             {"circle", [] { return Circle(); }},
             {"rectangle", [] { return Rectangle(); }},
             {"add mark", [] { return jotbird::WidgetAddMark{}.view(); }}}) {
        cases.push_back({kind + ", plain", make()});
        cases.push_back({kind + ", filled", make().fill(grey)});
        cases.push_back({kind + ", stroked", make().strokeBorder(grey, 2)});
    }
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LaidOutView root =
            layout(std::move(c.shape).frame(FixedFrame{.width = 20, .height = 20}),
                   {{30, 40}, {20, 20}}, {});
        ASSERT_TRUE(root.path);
        const CGRect outline = bounds(*root.path);
        EXPECT_GE(outline.origin.x, 30);
        EXPECT_GE(outline.origin.y, 40);
        EXPECT_LE(CGRectGetMaxX(outline), 50);
        EXPECT_LE(CGRectGetMaxY(outline), 60);
        EXPECT_TRUE(root.fillStyle || root.strokeWidth > 0);
    }
}

TEST(Layout, ShapeIdealSizeIsTen) {
    const LaidOutView root =
        layOut(HStack(Alignment::center(), 0, {Circle().fixedSize()}), {100, 100});
    expectRect(root.children[0].frame, {{45, 45}, {10, 10}});
}

// ---------------------------------------------------------------------------------------------
// Links, widget URL, container background, colour scheme

TEST(Layout, LinkTakesTheFrameOfItsLabel) {
    const View view = VStack(Alignment::leading(), 0,
                             {Link("jotbird-open://new", box(40, 20).padding(2)), Spacer(0)})
                          .widgetURL("jotbird-open://home");
    const LaidOutView root = layOut(view, {100, 100});
    EXPECT_EQ(root.url, "jotbird-open://home");
    const LaidOutView& link = root.children[0];
    EXPECT_EQ(link.kind, ViewKind::Link);
    EXPECT_EQ(link.url, "jotbird-open://new");
    // The stack is as wide as the link and centred in the widget.
    expectRect(link.layoutFrame, {{28, 0}, {44, 24}});
    expectRect(link.children[0].frame, {{30, 2}, {40, 20}});
}

TEST(Layout, RootReportsTheWidgetURLSetBelowIt) {
    const View view =
        AnyView(VStack(Alignment::leading(), 0, {Link("jotbird-open://new", box(10, 10))})
                    .widgetURL("jotbird-open://home"));
    const LaidOutView root = layOut(view, {100, 100});
    EXPECT_EQ(root.url, "jotbird-open://home");
    EXPECT_EQ(root.children[0].url, "jotbird-open://home");
    EXPECT_FALSE(layOut(AnyView(Link("jotbird-open://new", box(10, 10))), {20, 20}).url);
}

TEST(Layout, ContainerBackgroundAndSchemeAreRecorded) {
    const View view = AnyView(VStack(Alignment::leading(), 0, {Divider()})
                                  .environment(ColorScheme::dark)
                                  .containerBackground(Color::sRGB(0.098, 0.098, 0.098)));
    const LaidOutView root = layOut(view, {100, 100});
    const LaidOutView& stack = root.children[0];
    EXPECT_EQ(stack.containerBackground, Color::sRGB(0.098, 0.098, 0.098));
    EXPECT_EQ(stack.colorScheme, ColorScheme::dark);
    EXPECT_EQ(root.colorScheme, ColorScheme::light);
    EXPECT_EQ(stack.children[0].color, separator(ColorScheme::dark));
}

TEST(Layout, RootIsCentredInItsBounds) {
    const LaidOutView root = layout(box(20, 10), {{16, 16}, {100, 50}}, {});
    expectRect(root.layoutFrame, {{56, 36}, {20, 10}});
}

}  // namespace

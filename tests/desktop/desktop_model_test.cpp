// The desktop host's plain parts: its command line, where windows go, what a keyboard or
// screen-reader user meets as links, and the frame line.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/desktop/backend_choice.hpp"
#include "platform/desktop/desktop_options.hpp"
#include "platform/desktop/frame_line.hpp"
#include "platform/desktop/link_targets.hpp"
#include "platform/desktop/monitor_choice.hpp"
#include "platform/desktop/window_placement.hpp"
#include "platform/desktop/x11_window_type.hpp"

namespace desktop {
namespace {

using widgetkit::WidgetFamily;

std::variant<DesktopOptions, foundation::UsageError> parse(std::vector<std::string_view> arguments) {
    return parseDesktopOptions(arguments);
}

TEST(DesktopOptions, DefaultsAreOneMediumWindowTopRight) {
    const auto options = std::get<DesktopOptions>(parse({}));
    EXPECT_EQ(options.families, std::vector{WidgetFamily::systemMedium});
    EXPECT_EQ(options.corner, Corner::topRight);
    EXPECT_EQ(options.margin, 24);
    EXPECT_EQ(options.scheme, SchemeChoice::automatic);
    EXPECT_EQ(options.layer, LayerChoice::bottom);
    EXPECT_EQ(options.backend, Backend::automatic);
    EXPECT_FALSE(options.legacy || options.quiet || options.version);
    EXPECT_FALSE(options.placementGiven) << "the kept widgets decide";
}

// Where the widgets are is the command line's to say only when it says it.
TEST(DesktopOptions, FamilyCornerOrMarginGivenDecidesThePlacement) {
    for (const std::vector<std::string_view>& given :
         std::vector<std::vector<std::string_view>>{
             {"--family", "small"}, {"--corner=bottom-left"}, {"--margin", "0"}})
        EXPECT_TRUE(std::get<DesktopOptions>(parse(given)).placementGiven) << given[0];
    for (const std::vector<std::string_view>& other : std::vector<std::vector<std::string_view>>{
             {"--scheme", "dark"}, {"--quiet"}, {"--monitor", "DP-2"}, {"--legacy"}})
        EXPECT_FALSE(std::get<DesktopOptions>(parse(other)).placementGiven) << other[0];
}

TEST(DesktopOptions, ValuesComeSeparateOrAfterEquals) {
    const auto options = std::get<DesktopOptions>(
        parse({"--family", "large", "--family=small", "--corner=bottom-left", "--margin", "0",
               "--scheme=dark", "--layer", "background", "--legacy", "--quiet", "--backend=x11",
               "--monitor", "DP-2"}));
    EXPECT_EQ(options.families,
              (std::vector{WidgetFamily::systemLarge, WidgetFamily::systemSmall}));
    EXPECT_EQ(options.corner, Corner::bottomLeft);
    EXPECT_EQ(options.margin, 0);
    EXPECT_EQ(options.scheme, SchemeChoice::dark);
    EXPECT_EQ(options.layer, LayerChoice::background);
    EXPECT_TRUE(options.legacy && options.quiet);
    EXPECT_EQ(options.backend, Backend::x11);
    EXPECT_EQ(options.monitor, "DP-2");
}

TEST(DesktopOptions, BadArgumentsAreRefused) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--family"},        {"--family", "huge"}, {"--family="},      {"--corner", "middle"},
        {"--margin", "-1"},  {"--margin", "nan"},  {"--margin", "4x"}, {"--scheme", "auto "},
        {"--layer", "top"},  {"--quiet=1"},        {"--bogus"},        {"medium"},
        {"--margin", "1e9"}, {"--margin", " 4"},   {"--margin", "4 "}, {"--margin", "0x10"},
        {"--margin", "inf"}, {"--backend", "gtk"}, {"--backend"},      {"--monitor="},
    };
    for (const auto& arguments : cases)
        EXPECT_TRUE(std::holds_alternative<foundation::UsageError>(parse(arguments))) << arguments.front();
}

TEST(BackendChoice, LayerShellFirstThenX11ThenPlainWayland) {
    struct Case {
        Backend requested;
        SessionOffer offer;
        std::string backends;
    };
    const SessionOffer sway{true, true, false, false};
    const SessionOffer gnome{true, false, true, false};    // XWayland beside it
    const SessionOffer weston{true, false, false, false};  // no X11 at all
    const SessionOffer xorg{false, false, true, false};
    const SessionOffer handedOver{true, std::nullopt, true, false};  // WAYLAND_SOCKET
    const SessionOffer chosenByUser{true, false, true, true};        // GDK_BACKEND set
    const Case cases[] = {
        {Backend::automatic, sway, "wayland"},
        {Backend::automatic, {true, true, true, false}, "wayland"},
        {Backend::automatic, gnome, "x11"},
        {Backend::automatic, weston, "wayland"},
        {Backend::automatic, xorg, "x11"},
        {Backend::automatic, handedOver, "wayland"},
        {Backend::automatic, chosenByUser, ""},
        {Backend::automatic, {}, ""},
        {Backend::wayland, gnome, "wayland"},
        {Backend::wayland, chosenByUser, "wayland"},
        {Backend::x11, sway, "x11"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(allowedBackends(c.requested, c.offer), c.backends)
            << int(c.requested) << c.offer.wayland << c.offer.layerShell.value_or(true)
            << c.offer.x11 << c.offer.gdkBackendSet;
    // The one line for plain windows says what would do better where something would.
    EXPECT_NE(plainWindowNotice(Backend::wayland, gnome).find("--backend x11"), std::string::npos);
    EXPECT_NE(plainWindowNotice(Backend::automatic, weston).find("no X11 display"),
              std::string::npos);
}

TEST(MonitorChoice, TheNamedOneElseThePrimaryElseTheFirst) {
    const std::vector<MonitorFacts> withPrimary{{"DP-1", false}, {"HDMI-1", true}, {"DP-2", false}};
    const std::vector<MonitorFacts> withoutPrimary{{"HEADLESS-1", false}, {"HEADLESS-2", false}};
    struct Case {
        const std::vector<MonitorFacts>* monitors;
        std::string_view wanted;
        std::optional<std::size_t> chosen;
    };
    const std::vector<MonitorFacts> none;
    const Case cases[] = {
        {&withPrimary, "DP-2", 2},          {&withPrimary, "", 1},    {&withPrimary, "VGA-1", 1},
        {&withoutPrimary, "HEADLESS-2", 1}, {&withoutPrimary, "", 0}, {&withoutPrimary, "gone", 0},
        {&none, "DP-1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseMonitor(*c.monitors, c.wanted), c.chosen) << c.wanted;
}

TEST(X11WindowType, NormalUnlessTheWindowManagerCyclesToOrFlagsNormalWindows) {
    EXPECT_EQ(x11WindowTypeFor("Fluxbox"), X11WindowType::desktop);
    EXPECT_EQ(x11WindowTypeFor("KWin"), X11WindowType::toolbar);
    for (const char* name : {"Openbox", "Xfwm4", "GNOME Shell", "Mutter (Muffin)", "i3", ""})
        EXPECT_EQ(x11WindowTypeFor(name), X11WindowType::normal) << name;
}

TEST(WindowPlacement, WindowsStackAlongTheCornersVerticalEdge) {
    const ui::CGRect area{{10, 30}, {1000, 700}};
    const std::vector<ui::CGSize> sizes{{364, 170}, {170, 170}};
    struct Case {
        Corner corner;
        std::vector<ui::CGRect> frames;
    };
    const Case cases[] = {
        {Corner::topLeft, {{{34, 54}, {364, 170}}, {{34, 240}, {170, 170}}}},
        {Corner::topRight, {{{622, 54}, {364, 170}}, {{816, 240}, {170, 170}}}},
        {Corner::bottomLeft, {{{34, 536}, {364, 170}}, {{34, 350}, {170, 170}}}},
        {Corner::bottomRight, {{{622, 536}, {364, 170}}, {{816, 350}, {170, 170}}}},
    };
    for (const Case& c : cases) {
        const auto frames = placeWindows(area, c.corner, 24, sizes);
        EXPECT_EQ(frames, c.frames) << int(c.corner);
        // A layer surface gets the same place as margins from its anchored edges.
        const EdgeOffsets second = offsetsFromCorner(area, c.corner, frames[1]);
        EXPECT_EQ(second.horizontal, 24);
        EXPECT_EQ(second.vertical, 24 + 170 + windowSpacing);
    }
}

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
    ui::LaidOutView row;
    row.kind = ui::ViewKind::HStack;
    row.children = std::move(children);
    node.children.push_back(std::move(row));
    return node;
}

// A widget dragged or restored past an edge, or left on a screen that shrank, comes back the
// least distance that puts it inside; one larger than the work area sits at its top-left.
TEST(WindowPlacement, FramesAreBroughtBackInsideTheWorkArea) {
    const ui::CGRect workArea{{0, 32}, {1280, 768}};
    struct Case {
        ui::CGRect frame;
        ui::CGPoint kept;
    };
    for (const Case& c : std::vector<Case>{
             {{{100, 100}, {364, 170}}, {100, 100}},
             {{{-50, 10}, {364, 170}}, {0, 32}},
             {{{1200, 700}, {364, 170}}, {916, 630}},
             {{{1000, -500}, {170, 170}}, {1000, 32}},
             {{{2000, 2000}, {170, 170}}, {1110, 630}},
             {{{500, 100}, {2000, 1000}}, {0, 32}},
         }) {
        const ui::CGRect kept = keptInside(workArea, c.frame);
        EXPECT_EQ(kept.origin, c.kept) << c.frame.origin.x << "," << c.frame.origin.y;
        EXPECT_EQ(kept.size, c.frame.size);
    }
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

TEST(FrameLine, FamilyReasonAndPixels) {
    const std::string line = frameLine(WidgetFamily::systemMedium, "reload", {728, 340});
    EXPECT_EQ(line, R"({"family":"medium","reason":"reload","width":728,"height":340})");
    EXPECT_TRUE(nlohmann::json::accept(line));
}

}  // namespace
}  // namespace desktop

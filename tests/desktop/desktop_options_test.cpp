// The desktop host's command line: its defaults, its values and what it refuses.

#include <gtest/gtest.h>

#include <string_view>
#include <variant>
#include <vector>

#include "platform/desktop/desktop_options.hpp"

namespace desktop {
namespace {

using widgetkit::WidgetFamily;

std::variant<DesktopOptions, foundation::UsageError> parse(
    std::vector<std::string_view> arguments) {
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
    for (const std::vector<std::string_view>& given : std::vector<std::vector<std::string_view>>{
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
        EXPECT_TRUE(std::holds_alternative<foundation::UsageError>(parse(arguments)))
            << arguments.front();
}

}  // namespace
}  // namespace desktop

// The tree JSON: one line per laid-out tree, with the fields that apply to each node.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/tree_json.hpp"
#include "tests/ui/layout_support.hpp"

namespace {

using namespace ui;
using namespace testsupport;
using Json = nlohmann::json;

// ---------------------------------------------------------------------------------------------
// Tree JSON

TEST(TreeJSON, OneLineWithTheFieldsThatApply) {
    LaidOutView text = node(ViewKind::Text, {{1, 2}, {30, 14}});
    text.layoutFrame = {{1, 2}, {50, 14}};
    text.text = "3";
    text.key = "%lld";
    text.font = Font::system(15, FontWeight::medium);
    text.color = Color::sRGB(0, 0, 0, 0.5);
    text.privacySensitive = true;
    text.truncated = true;
    text.id = "n1";
    text.path = Path::ellipseIn({{0, 0}, {1, 1}});
    LaidOutView label = node(ViewKind::Label, {{0, 20}, {10, 10}});
    label.symbol = "tray";
    const LaidOutView root =
        node(ViewKind::VStack, {{0, 0}, {100, 50}}, "jotbird-open://home", {text, label});

    const std::string line = treeJSON(root);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const Json json = Json::parse(line);
    EXPECT_EQ(json["type"], "VStack");
    EXPECT_EQ(json["frame"], Json::parse("[0,0,100,50]"));
    EXPECT_EQ(json["url"], "jotbird-open://home");
    EXPECT_FALSE(json.contains("contentFrame"));
    EXPECT_FALSE(json.contains("text"));
    const Json& t = json["children"][0];
    EXPECT_EQ(t["type"], "Text");
    EXPECT_EQ(t["frame"], Json::parse("[1,2,50,14]"));
    EXPECT_EQ(t["contentFrame"], Json::parse("[1,2,30,14]"));
    EXPECT_EQ(t["text"], "3");
    EXPECT_EQ(t["key"], "%lld");
    EXPECT_EQ(t["font"], Json::parse(R"({"size":15,"weight":"medium"})"));
    EXPECT_EQ(t["color"], Json::parse("[0,0,0,0.5]"));
    EXPECT_EQ(t["privacySensitive"], true);
    EXPECT_EQ(t["truncated"], true);
    EXPECT_EQ(t["id"], "n1");
    EXPECT_EQ(t["children"], Json::array());
    EXPECT_FALSE(t.contains("path"));
    EXPECT_EQ(json["children"][1]["symbol"], "tray");
    EXPECT_FALSE(json["children"][1].contains("privacySensitive"));
}

TEST(TreeJSON, EveryKindHasItsToolkitName) {
    const std::vector<std::pair<ViewKind, std::string>> kinds{
        {ViewKind::VStack, "VStack"},   {ViewKind::HStack, "HStack"},
        {ViewKind::Spacer, "Spacer"},   {ViewKind::Divider, "Divider"},
        {ViewKind::ForEach, "ForEach"}, {ViewKind::Text, "Text"},
        {ViewKind::Label, "Label"},     {ViewKind::Image, "Image"},
        {ViewKind::Circle, "Circle"},   {ViewKind::Rectangle, "Rectangle"},
        {ViewKind::Link, "Link"},       {ViewKind::Shape, "Shape"},
        {ViewKind::AnyView, "AnyView"}};
    for (const auto& [kind, name] : kinds)
        EXPECT_EQ(Json::parse(treeJSON(node(kind, {})))["type"], name);
}

}  // namespace

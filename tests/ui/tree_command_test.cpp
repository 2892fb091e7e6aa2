// `tree` and `click` as a host or a person calls them: the built widget program run with a
// temporary container whose snapshot the real bridge published.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/ui/text_shaping.hpp"
#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;

// Points: frames are not rounded, so only the last bits may differ.
constexpr double epsilon = 1e-6;
constexpr double hostMargin = 16;
constexpr double legacyMargin = 14;

// ---------------------------------------------------------------------------------------------
// Snapshots

const char* const longTitle =
    "Finish the quarterly report draft before Friday's review meeting with all the numbers";

Json note(std::string id, std::string title, std::optional<double> remindAt = std::nullopt) {
    Json n{{"id", std::move(id)}, {"title", std::move(title)}};
    if (remindAt) n["remindAt"] = *remindAt;
    return n;
}

Json snapshot(Json notes, std::optional<int> folded = std::nullopt) {
    Json s{{"schema", 1},
           {"updatedAt", 1796857367000.0},
           {"account", ""},
           {"total", 12},
           {"notes", std::move(notes)}};
    if (folded) s["folded"] = *folded;
    return s;
}

// Nine rows, so that every size is full: a long title with a reminder first.
Json rowsSnapshot() {
    Json notes =
        Json::array({note("a b/c?d", longTitle, 1796860967000.0),
                     note("便签-42", "整理本周的读书笔记", 1796864567000.0), note("untitled", "")});
    for (int i = 4; i <= 9; ++i) {
        const std::string number = std::to_string(i);
        notes.push_back(note("n" + number, "Note " + number));
    }
    return snapshot(std::move(notes), 2);
}

enum class Content { rows, empty, foldedEmpty };

Json snapshotFor(Content content) {
    switch (content) {
        case Content::rows:
            return rowsSnapshot();
        case Content::empty:
            return snapshot(Json::array());
        case Content::foldedEmpty:
            return snapshot(Json::array(), 3);
    }
    return snapshot(Json::array());
}

// ---------------------------------------------------------------------------------------------
// The laid-out tree

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
};

Rect rectOf(const Json& node, const char* key = "frame") {
    const Json& f = node.at(key);
    return {f[0].get<double>(), f[1].get<double>(), f[2].get<double>(), f[3].get<double>()};
}

// Where the node's own content sits: inside its frame under frame modifiers.
Rect contentOf(const Json& node) {
    return rectOf(node, node.contains("contentFrame") ? "contentFrame" : "frame");
}

void collect(const Json& node, std::vector<const Json*>& out) {
    out.push_back(&node);
    for (const Json& child : node.at("children"))
        collect(child, out);
}

std::vector<const Json*> nodesWhere(const Json& root,
                                    const std::function<bool(const Json&)>& test) {
    std::vector<const Json*> all, found;
    collect(root, all);
    for (const Json* node : all)
        if (test(*node)) found.push_back(node);
    return found;
}

std::vector<const Json*> ofType(const Json& root, const std::string& type) {
    return nodesWhere(root, [&](const Json& n) { return n["type"] == type; });
}

bool urlStartsWith(const Json& node, std::string_view prefix) {
    return node.contains("url") && node["url"].get<std::string>().starts_with(prefix);
}

std::vector<const Json*> rowLinks(const Json& root) {
    return nodesWhere(root, [](const Json& n) {
        return n["type"] == "Link" && urlStartsWith(n, "jotbird-open://note/");
    });
}

const Json& addButton(const Json& root) {
    const auto found = nodesWhere(root, [](const Json& n) {
        return n["type"] == "Link" && n.value("url", "") == "jotbird-open://new";
    });
    EXPECT_EQ(found.size(), 1u);
    return *found.at(0);
}

// The content VStack: the one that carries the widget URL.
const Json& content(const Json& root) {
    const auto found = nodesWhere(root, [](const Json& n) {
        return n["type"] == "VStack" && n.value("url", "") == "jotbird-open://home";
    });
    EXPECT_EQ(found.size(), 1u);
    return *found.at(0);
}

const Json& textNamed(const Json& root, const std::string& text) {
    const auto found = nodesWhere(
        root, [&](const Json& n) { return n["type"] == "Text" && n.value("text", "") == text; });
    EXPECT_EQ(found.size(), 1u) << text;
    return *found.at(0);
}

// ---------------------------------------------------------------------------------------------
// Running the programs

// A container of its own, and the two programs run against it.
struct WidgetProgram {
    testsupport::TemporaryDirectory home;

    void publish(const Json& snapshot) { testsupport::publishOrFail(snapshot.dump(), home.path()); }

    // `lang` names the locale; by default none: keys as shown.
    Json answer(const std::vector<std::string>& arguments,
                const std::optional<std::string>& lang = std::nullopt) {
        testsupport::ProcessOptions options;
        options.arguments = arguments;
        // A known clock and no translations: times in UTC on a 24-hour clock, keys as shown.
        options.environment = {{"XDG_DATA_HOME", home.path().string()},
                               {"TZ", "UTC"},
                               {"LANG", lang},
                               {"LANGUAGE", std::nullopt},
                               {"LC_ALL", std::nullopt},
                               {"LC_MESSAGES", std::nullopt},
                               {"LC_TIME", std::nullopt}};
        const auto result = testsupport::runProcess(widgetProgram, options);
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
        EXPECT_EQ(result.standardError, "");
        EXPECT_EQ(result.standardOutput.find('\n'), result.standardOutput.size() - 1);
        return Json::parse(result.standardOutput);
    }
};

struct Family {
    std::string name;
    double width, height;
    std::size_t rows;  // shown of the nine
};

const std::vector<Family> families{
    {"small", 170, 170, 2}, {"medium", 364, 170, 3}, {"large", 364, 382, 7}};

std::vector<std::string> treeArguments(const std::string& command, const Family& family,
                                       bool legacy) {
    std::vector<std::string> arguments{command, "--family", family.name};
    if (legacy) arguments.push_back("--legacy");
    return arguments;
}

// ---------------------------------------------------------------------------------------------
// Geometry for each size, content and system

struct GeometryCase {
    Family family;
    Content content;
    bool legacy;
};

std::string caseName(const GeometryCase& c) {
    const char* contents[] = {"Rows", "Empty", "FoldedEmpty"};
    return c.family.name + contents[int(c.content)] + (c.legacy ? "Legacy" : "");
}

class TreeGeometry : public ::testing::TestWithParam<GeometryCase> {
protected:
    void SetUp() override {
        const GeometryCase& c = GetParam();
        program.publish(snapshotFor(c.content));
        tree = program.answer(treeArguments("tree", c.family, c.legacy));
        margin = c.legacy ? legacyMargin : hostMargin;
    }

    WidgetProgram program;
    Json tree;
    double margin = 0;
};

TEST_P(TreeGeometry, ContentFillsTheWidgetInsideItsMargin) {
    const Family& family = GetParam().family;
    const Rect area = contentOf(content(tree));
    EXPECT_NEAR(area.x, margin, epsilon);
    EXPECT_NEAR(area.y, margin, epsilon);
    EXPECT_NEAR(area.maxX(), family.width - margin, epsilon);
    EXPECT_NEAR(area.maxY(), family.height - margin, epsilon);
}

TEST_P(TreeGeometry, HeaderIsThirtyTwoHighAtTheTop) {
    const Json& header = content(tree)["children"][0];
    ASSERT_EQ(header["type"], "HStack");
    const Rect frame = rectOf(header);
    EXPECT_NEAR(frame.height, 32, epsilon);
    EXPECT_NEAR(frame.y, margin, epsilon);
    EXPECT_NEAR(frame.width, GetParam().family.width - 2 * margin, epsilon);
    // Brand image fitted in 66 x 22, centred on the header's line; the count at the right.
    const Json& brand = header["children"][0];
    const Rect image = contentOf(brand);
    EXPECT_LE(image.width, 66 + epsilon);
    EXPECT_LE(image.height, 22 + epsilon);
    EXPECT_NEAR(image.midY(), frame.midY(), epsilon);
    const Json& count = header["children"][2];
    EXPECT_EQ(count["text"], "12");
    EXPECT_NEAR(rectOf(count).maxX(), frame.maxX(), epsilon);
}

TEST_P(TreeGeometry, FooterSitsOnTheContentBottomUnderItsDivider) {
    const Json& children = content(tree)["children"];
    const Json& footer = children[children.size() - 1];
    const Json& divider = children[children.size() - 2];
    ASSERT_EQ(footer["type"], "HStack");
    ASSERT_EQ(divider["type"], "Divider");
    const Rect frame = rectOf(footer);
    EXPECT_NEAR(frame.maxY(), GetParam().family.height - margin, epsilon);
    EXPECT_NEAR(frame.height, 32, epsilon);
    EXPECT_NEAR(rectOf(divider).height, 1, epsilon);
    EXPECT_NEAR(rectOf(divider).maxY(), frame.y, epsilon);
    EXPECT_NEAR(rectOf(divider).width, GetParam().family.width - 2 * margin, epsilon);
}

TEST_P(TreeGeometry, AddButtonIsThirtyTwoHighWithItsMarkFiveFromItsText) {
    const Json& button = addButton(tree);
    EXPECT_NEAR(rectOf(button).height, 32, epsilon);
    const auto marks = ofType(button, "Shape");
    ASSERT_EQ(marks.size(), 1u);
    const Rect mark = contentOf(*marks[0]);
    EXPECT_NEAR(mark.width, 18, epsilon);
    EXPECT_NEAR(mark.height, 18, epsilon);
    EXPECT_NEAR(mark.x, margin, epsilon);
    const Json& text = textNamed(button, "记下一件事");
    EXPECT_NEAR(contentOf(text).x - mark.maxX(), 5, epsilon);
    EXPECT_NEAR(contentOf(text).midY(), mark.midY(), epsilon);
    EXPECT_NEAR(mark.midY(), rectOf(button).midY(), epsilon);
}

TEST_P(TreeGeometry, RowsAreNeverOverTwentyFourWithTenPointMarkers) {
    const auto rows = rowLinks(tree);
    EXPECT_EQ(rows.size(), GetParam().content == Content::rows ? GetParam().family.rows : 0u);
    for (const Json* row : rows) {
        const Rect frame = rectOf(*row);
        EXPECT_LE(frame.height, 24 + epsilon) << row->dump();
        EXPECT_GT(frame.height, 0);
        const auto markers = ofType(*row, "Circle");
        ASSERT_EQ(markers.size(), 1u);
        EXPECT_NEAR(rectOf(*markers[0]).width, 10, epsilon);
        EXPECT_NEAR(rectOf(*markers[0]).height, 10, epsilon);
        EXPECT_NEAR(rectOf(*markers[0]).midY(), frame.midY(), epsilon);
    }
}

TEST_P(TreeGeometry, EveryTextStaysInsideTheWidget) {
    const Family& family = GetParam().family;
    for (const Json* text : ofType(tree, "Text")) {
        const Rect frame = contentOf(*text);
        EXPECT_GE(frame.x, margin - epsilon) << text->dump();
        EXPECT_LE(frame.maxX(), family.width - margin + epsilon) << text->dump();
        EXPECT_GE(frame.y, margin - epsilon) << text->dump();
        EXPECT_LE(frame.maxY(), family.height - margin + epsilon) << text->dump();
    }
}

TEST_P(TreeGeometry, EmptyStateLabelIsCentredBetweenHeaderAndFooterDivider) {
    const auto labels = ofType(tree, "Label");
    if (GetParam().content == Content::rows) {
        EXPECT_TRUE(labels.empty());
        return;
    }
    ASSERT_EQ(labels.size(), 1u);
    const Json& label = *labels[0];
    const bool folded = GetParam().content == Content::foldedEmpty;
    EXPECT_EQ(label["text"], folded ? "待办已折叠" : "暂无待办");
    EXPECT_EQ(label["symbol"], folded ? "tray.full" : "tray");
    const Json& children = content(tree)["children"];
    const double headerBottom = rectOf(children[0]).maxY();
    const double dividerTop = rectOf(children[children.size() - 2]).y;
    EXPECT_NEAR(rectOf(label).midY(), (headerBottom + dividerTop) / 2, epsilon);
    EXPECT_NEAR(contentOf(label).midX(), GetParam().family.width / 2, epsilon);
}

TEST_P(TreeGeometry, LongTitleIsCutWithinItsSpaceWhileTimesKeepTheirWidth) {
    if (GetParam().content != Content::rows) return;
    const auto rows = rowLinks(tree);
    ASSERT_FALSE(rows.empty());
    const Json& row = *rows[0];
    const Rect rowFrame = rectOf(row);
    const Json& title = textNamed(row, longTitle);
    const auto times = nodesWhere(row, [&](const Json& n) {
        return n["type"] == "Text" && n.value("text", "") != longTitle;
    });
    ASSERT_EQ(times.size(), 1u);
    const Json& time = *times[0];
    EXPECT_EQ(time["text"], "00:02");

    EXPECT_EQ(title.value("truncated", false), true);
    EXPECT_FALSE(time.contains("truncated"));
    const Rect titleFrame = rectOf(title), titleContent = contentOf(title);
    const Rect timeFrame = contentOf(time);
    // The title's space: after the marker and 6 points, up to 6 points before the time.
    EXPECT_NEAR(titleFrame.x, rowFrame.x + 10 + 6, epsilon);
    EXPECT_LE(titleFrame.maxX(), timeFrame.x - 6 + epsilon);
    EXPECT_LE(titleContent.width, titleFrame.width + epsilon);
    EXPECT_NEAR(timeFrame.maxX(), rowFrame.maxX(), epsilon);
    const double full = ui::measureText("00:02", {ui::Font::system(10), true}).width;
    EXPECT_NEAR(timeFrame.width, full, epsilon);
    EXPECT_EQ(time["font"], Json::parse(R"({"size":10,"weight":"regular"})"));
    EXPECT_EQ(time["privacySensitive"], true);
    EXPECT_EQ(title["privacySensitive"], true);
}

TEST_P(TreeGeometry, RowIdentitiesAndLinksFollowTheNotes) {
    if (GetParam().content != Content::rows) return;
    const auto groups = ofType(tree, "ForEach");
    ASSERT_EQ(groups.size(), 1u);
    const Json& children = (*groups[0])["children"];
    ASSERT_EQ(children.size(), 2 * GetParam().family.rows);
    EXPECT_EQ(children[0]["type"], "Divider");
    EXPECT_EQ(children[0]["id"], "a b/c?d");
    EXPECT_EQ(children[1]["id"], "a b/c?d");
    EXPECT_EQ(children[1]["url"], "jotbird-open://note/a%20b/c%3Fd");
    EXPECT_EQ(children[3]["url"], "jotbird-open://note/%E4%BE%BF%E7%AD%BE-42");
}

std::vector<GeometryCase> geometryCases() {
    std::vector<GeometryCase> cases;
    for (const Family& family : families)
        for (Content content : {Content::rows, Content::empty, Content::foldedEmpty})
            for (bool legacy : {false, true})
                cases.push_back({family, content, legacy});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Widget, TreeGeometry, ::testing::ValuesIn(geometryCases()),
                         [](const auto& info) { return caseName(info.param); });

TEST(TreeGeometry, LegacyHasNoBackgroundAndTheFourteenPointPadding) {
    WidgetProgram program;
    program.publish(rowsSnapshot());
    const Json legacy = program.answer({"tree", "--family", "medium", "--legacy"});
    EXPECT_EQ(legacy["type"], "VStack");
    EXPECT_EQ(legacy["url"], "jotbird-open://home");
    EXPECT_EQ(rectOf(legacy).x, 0);
    EXPECT_EQ(rectOf(legacy).width, 364);
    EXPECT_EQ(rectOf(content(legacy)["children"][0]).x, 14);
    const Json modern = program.answer({"tree", "--family", "medium"});
    EXPECT_EQ(modern["type"], "AnyView");
    EXPECT_EQ(modern["url"], "jotbird-open://home");
    EXPECT_EQ(rectOf(content(modern)["children"][0]).x, 16);
}

TEST(TreeGeometry, DarkSchemeResolvesTheTextColours) {
    WidgetProgram program;
    program.publish(rowsSnapshot());
    const Json light = program.answer({"tree", "--family", "small"});
    const Json dark = program.answer({"tree", "--family", "small", "--scheme", "dark"});
    EXPECT_EQ(textNamed(light, "12")["color"], Json::parse("[0,0,0,0.5]"));
    EXPECT_EQ(textNamed(dark, "12")["color"], Json::parse("[1,1,1,0.55]"));
    EXPECT_EQ(textNamed(dark, "记下一件事")["color"], Json::parse("[1,1,1,0.85]"));
}

TEST(TreeGeometry, FractionalSizeIsNotRounded) {
    WidgetProgram program;
    program.publish(snapshot(Json::array()));
    const Json tree = program.answer({"tree", "--family", "medium", "--size", "364.4x170.5"});
    const Rect area = contentOf(content(tree));
    EXPECT_NEAR(area.maxX(), 364.4 - 16, epsilon);
    EXPECT_NEAR(area.maxY(), 170.5 - 16, epsilon);
}

// ---------------------------------------------------------------------------------------------
// Clicks

struct ClickCase {
    std::string name;
    Content content;
    // Where to click, found in the tree.
    std::function<std::pair<double, double>(const Json& tree)> point;
    std::string url;
};

std::pair<double, double> centreOf(const Rect& r) {
    return {r.midX(), r.midY()};
}

class Click : public ::testing::TestWithParam<ClickCase> {};

TEST_P(Click, OpensTheLinkUnderThePoint) {
    WidgetProgram program;
    program.publish(snapshotFor(GetParam().content));
    const Json tree = program.answer({"tree", "--family", "medium"});
    const auto [x, y] = GetParam().point(tree);
    const Json answer =
        program.answer({"click", std::to_string(x), std::to_string(y), "--family", "medium"});
    EXPECT_EQ(answer, Json({{"url", GetParam().url}})) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Widget, Click,
    ::testing::Values(
        ClickCase{"RowWithEncodedId", Content::rows,
                  [](const Json& t) { return centreOf(rectOf(*rowLinks(t).at(0))); },
                  "jotbird-open://note/a%20b/c%3Fd"},
        ClickCase{"RowTitleText", Content::rows,
                  [](const Json& t) { return centreOf(contentOf(textNamed(t, longTitle))); },
                  "jotbird-open://note/a%20b/c%3Fd"},
        ClickCase{"RowRightEnd", Content::rows,
                  [](const Json& t) {
                      const Rect r = rectOf(*rowLinks(t).at(1));
                      return std::pair{r.maxX() - 1, r.midY()};
                  },
                  "jotbird-open://note/%E4%BE%BF%E7%AD%BE-42"},
        ClickCase{"RowBlankSpaceAfterTitle", Content::rows,
                  [](const Json& t) {
                      const Rect r = rectOf(*rowLinks(t).at(2));
                      return std::pair{r.maxX() - 20, r.y + 1};
                  },
                  "jotbird-open://note/untitled"},
        ClickCase{"Header", Content::rows,
                  [](const Json& t) { return centreOf(rectOf(content(t)["children"][0])); },
                  "jotbird-open://home"},
        ClickCase{"BrandImage", Content::rows,
                  [](const Json& t) {
                      return centreOf(contentOf(content(t)["children"][0]["children"][0]));
                  },
                  "jotbird-open://home"},
        ClickCase{"Count", Content::rows,
                  [](const Json& t) { return centreOf(contentOf(textNamed(t, "12"))); },
                  "jotbird-open://home"},
        ClickCase{"AddButton", Content::rows,
                  [](const Json& t) { return centreOf(rectOf(addButton(t))); },
                  "jotbird-open://new"},
        ClickCase{
            "AddMark", Content::empty,
            [](const Json& t) { return centreOf(contentOf(*ofType(addButton(t), "Shape")[0])); },
            "jotbird-open://new"},
        ClickCase{"FoldedBadge", Content::rows,
                  [](const Json& t) { return centreOf(contentOf(textNamed(t, "已折叠 2"))); },
                  "jotbird-open://home"},
        ClickCase{"EmptyState", Content::empty,
                  [](const Json& t) { return centreOf(contentOf(*ofType(t, "Label")[0])); },
                  "jotbird-open://home"},
        ClickCase{"FoldedEmptyState", Content::foldedEmpty,
                  [](const Json& t) { return centreOf(contentOf(*ofType(t, "Label")[0])); },
                  "jotbird-open://home"},
        ClickCase{"Margin", Content::rows,
                  [](const Json&) {
                      return std::pair{4.0, 4.0};
                  },
                  "jotbird-open://home"},
        ClickCase{"DividerBetweenRows", Content::rows,
                  [](const Json& t) {
                      const Json& divider = (*ofType(t, "ForEach")[0])["children"][2];
                      return centreOf(rectOf(divider));
                  },
                  "jotbird-open://home"}),
    [](const auto& info) { return info.param.name; });

// The add button's text wraps onto a second line where one line does not fit beside the
// badge, inside the button's 32 points; where it fits it stays one line.
TEST(AddButton, ItsTextWrapsToASecondLineWhereOneDoesNotFit) {
    WidgetProgram program;
    program.publish(rowsSnapshot());
    struct Case {
        std::string family, lang;
        int lines;
        bool truncated;
    };
    for (const Case& c : std::vector<Case>{{"small", "C", 2, false},
                                           {"small", "en_US.UTF-8", 2, true},
                                           {"medium", "C", 1, false},
                                           {"medium", "en_US.UTF-8", 1, false}}) {
        SCOPED_TRACE(c.family + " " + c.lang);
        const Json root = program.answer({"tree", "--family", c.family}, c.lang);
        const Json& button = addButton(root);
        const auto texts = ofType(button, "Text");
        ASSERT_EQ(texts.size(), 1u);
        const Json& text = *texts[0];
        const Rect frame = rectOf(text), link = rectOf(button);
        EXPECT_EQ(text.value("lines", 1), c.lines);
        EXPECT_EQ(text.value("truncated", false), c.truncated);
        EXPECT_GE(frame.y, link.y - epsilon);
        EXPECT_LE(frame.maxY(), link.maxY() + epsilon);
        if (c.lines == 2) {
            EXPECT_NEAR(frame.height, 32, epsilon);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Right to left

// Under a right-to-left translation the widget reads from the right: the brand at the right
// and the count at the left of the header, each row's marker at the right of its title and
// its time at the left, the add button at the right of the footer, the badge at its left;
// clicks follow what is drawn. A left-to-right translation stays as it is.
TEST(RightToLeft, ArabicAndHebrewMirrorTheLayoutAndItsLinksGermanDoesNot) {
    WidgetProgram program;
    program.publish(rowsSnapshot());
    const double width = 364, left = hostMargin, right = width - hostMargin;
    for (const auto& [lang, mirrored] : std::vector<std::pair<std::string, bool>>{
             {"ar_EG.UTF-8", true}, {"he_IL.UTF-8", true}, {"de_DE.UTF-8", false}}) {
        SCOPED_TRACE(lang);
        const Json root = program.answer({"tree", "--family", "medium"}, lang);
        const Rect count = rectOf(
            *nodesWhere(root, [](const Json& n) { return n.value("key", "") == "%lld"; }).at(0));
        const Rect badge = rectOf(*nodesWhere(root, [](const Json& n) {
                                       return n.value("key", "") == "已折叠 %lld";
                                   }).at(0));
        const Rect add = rectOf(addButton(root));
        const auto rows = rowLinks(root);
        ASSERT_EQ(rows.size(), 3u);
        const Rect row = rectOf(*rows[0]);
        const Rect marker = rectOf(*ofType(*rows[0], "Circle").at(0));
        const Rect title = rectOf(textNamed(*rows[0], longTitle));
        const Rect time =
            rectOf(*nodesWhere(*rows[0], [](const Json& n) {
                        return n["type"] == "Text" && n.value("text", "") != longTitle;
                    }).at(0));
        EXPECT_NEAR(row.x, left, epsilon);
        EXPECT_NEAR(row.maxX(), right, epsilon);
        if (mirrored) {
            EXPECT_NEAR(count.x, left, epsilon);
            EXPECT_NEAR(badge.x, left, epsilon);
            EXPECT_NEAR(add.maxX(), right, epsilon);
            EXPECT_NEAR(marker.maxX(), right, epsilon);
            EXPECT_LT(title.maxX(), marker.x);
            EXPECT_NEAR(time.x, left, epsilon);
            EXPECT_LT(time.maxX(), title.x);
        } else {
            EXPECT_NEAR(count.maxX(), right, epsilon);
            EXPECT_NEAR(badge.maxX(), right, epsilon);
            EXPECT_NEAR(add.x, left, epsilon);
            EXPECT_NEAR(marker.x, left, epsilon);
            EXPECT_GT(title.x, marker.maxX());
            EXPECT_NEAR(time.maxX(), right, epsilon);
        }
        // A click where the marker is drawn opens its note; one where the add button is
        // drawn adds one.
        // The binding named again: clang before 16 cannot capture a structured binding.
        const auto click = [&, &lang = lang](double x, double y) {
            return program
                .answer({"click", std::to_string(x), std::to_string(y), "--family", "medium"}, lang)
                .value("url", "");
        };
        EXPECT_EQ(click(marker.midX(), marker.midY()), rows[0]->value("url", ""));
        EXPECT_EQ(click(add.midX(), add.midY()), "jotbird-open://new");
        EXPECT_EQ(click(mirrored ? right - 2 : left + 2, add.midY()), "jotbird-open://new");
        EXPECT_EQ(click(mirrored ? left + 2 : right - 2, add.midY()), "jotbird-open://home");
    }
}

TEST(Click, ChineseIdIsEncodedByteByByte) {
    WidgetProgram program;
    program.publish(snapshot(Json::array({note("便", "One")})));
    const Json tree = program.answer({"tree", "--family", "small"});
    const auto [x, y] = centreOf(rectOf(*rowLinks(tree).at(0)));
    EXPECT_EQ(program.answer({"click", std::to_string(x), std::to_string(y), "--family", "small"}),
              Json({{"url", "jotbird-open://note/%E4%BE%BF"}}));
}

TEST(Click, LegacyLayoutClicksWhereItDraws) {
    WidgetProgram program;
    program.publish(rowsSnapshot());
    const Json tree = program.answer({"tree", "--family", "large", "--legacy"});
    const auto [x, y] = centreOf(rectOf(addButton(tree)));
    EXPECT_EQ(program.answer(
                  {"click", std::to_string(x), std::to_string(y), "--family", "large", "--legacy"}),
              Json({{"url", "jotbird-open://new"}}));
}

}  // namespace

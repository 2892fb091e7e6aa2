// The forms a person types options in: "--opt value" and "--opt=value", "-" for the picture
// on standard output, --version and --help; the built widget program run as a child process.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Arguments = std::vector<std::string>;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;
const fs::path bridgeProgram = JOTBIRD_BRIDGE_PATH;

const std::string pngSignature = "\x89PNG\r\n\x1a\n";

std::string joined(const Arguments& arguments) {
    std::string line;
    for (const auto& argument : arguments)
        line += argument + " ";
    return line;
}

class WidgetOptionsTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory home;

    void SetUp() override {
        testsupport::ProcessOptions options;
        options.arguments = {"publish"};
        options.standardInput =
            R"({"schema":1,"updatedAt":0,"account":"","total":2,"notes":[)"
            R"({"id":"a","title":"Buy milk","remindAt":1765303600000},{"id":"b","title":"便签"}]})";
        options.environment = {{"XDG_DATA_HOME", home.path().string()}};
        const auto result = testsupport::runProcess(bridgeProgram, options);
        ASSERT_EQ(result.standardOutput, "{\"ok\":true}\n") << testsupport::describe(result);
    }

    testsupport::ProcessResult run(
        const Arguments& arguments,
        testsupport::OutputSink output = testsupport::OutputSink::capture) {
        testsupport::ProcessOptions options;
        options.arguments = arguments;
        options.environment = {{"XDG_DATA_HOME", home.path().string()}, {"TZ", "UTC"}};
        options.standardOutput = output;
        options.workingDirectory = home.path();
        return testsupport::runProcess(widgetProgram, options);
    }

    // What a successful run wrote to standard output; nothing may go to standard error.
    std::string output(const Arguments& arguments) {
        const auto result = run(arguments);
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
        EXPECT_EQ(result.standardError, "");
        return result.standardOutput;
    }

    fs::path file(const std::string& name) const { return home.path() / name; }
};

TEST_F(WidgetOptionsTest, AttachedValuesMeanTheSameAsSeparateOnes) {
    struct Case {
        Arguments separate, attached;
    };
    const std::vector<Case> cases{
        {{"tree", "--family", "medium", "--scheme", "dark", "--size", "300x170"},
         {"tree", "--family=medium", "--scheme=dark", "--size=300x170"}},
        {{"tree", "--family", "large", "--legacy", "--preview"},
         {"tree", "--preview", "--family=large", "--legacy"}},
        // Separate and attached forms mixed on one line.
        {{"tree", "--family", "small", "--size", "170.5x200"},
         {"tree", "--size=170.5x200", "--family", "small"}},
        {{"click", "60", "70", "--family", "medium"}, {"click", "60", "70", "--family=medium"}},
        {{"click", "30", "30", "--family", "small", "--scheme", "dark", "--legacy"},
         {"click", "30", "30", "--scheme=dark", "--family=small", "--legacy"}},
    };
    for (const auto& [separate, attached] : cases) {
        SCOPED_TRACE(joined(attached));
        const std::string expected = output(separate);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(output(attached), expected);
    }
}

TEST_F(WidgetOptionsTest, TimelineTakesItsSizeAttached) {
    const Json timeline = Json::parse(output({"timeline", "--family=medium", "--size=300.4x170"}));
    EXPECT_EQ(timeline["entries"][0]["snapshot"]["total"], 2);
    // The medium width the timeline records is the size given.
    EXPECT_EQ(testsupport::readFile(home.path() / "group-containers" / "group.jotbird.notes" /
                                    "medium-width.txt"),
              "300");
}

TEST_F(WidgetOptionsTest, RenderTakesEveryValueAttached) {
    const Json separate = Json::parse(output({"render", "--family", "medium", "--scale", "1",
                                              "--scheme", "dark", "--png", file("a.png")}));
    const Json attached = Json::parse(output({"render", "--family=medium", "--scale=1",
                                              "--scheme=dark", "--png=" + file("b.png").string()}));
    EXPECT_EQ(separate["width"], 364);
    EXPECT_EQ(attached["png"], file("b.png").string());
    EXPECT_EQ(attached["width"], separate["width"]);
    EXPECT_EQ(attached["height"], separate["height"]);
    EXPECT_EQ(testsupport::readFile(file("b.png")), testsupport::readFile(file("a.png")));
}

TEST_F(WidgetOptionsTest, DashSendsThePictureToStandardOutputInsteadOfTheAnswer) {
    output({"render", "--family", "large", "--redacted", "--png", file("large.png")});
    const auto picture = testsupport::readFile(file("large.png"));
    ASSERT_TRUE(picture);
    for (const Arguments& arguments :
         {Arguments{"render", "--family", "large", "--redacted", "--png", "-"},
          Arguments{"render", "--png=-", "--family=large", "--redacted"}}) {
        SCOPED_TRACE(joined(arguments));
        // The picture's bytes and nothing else: no JSON line before or after it.
        EXPECT_EQ(output(arguments), *picture);
    }
    EXPECT_FALSE(fs::exists(file("-")));
}

TEST_F(WidgetOptionsTest, AFileNamedDashIsReachedThroughItsDirectory) {
    const Json answer = Json::parse(output({"render", "--family", "small", "--png", "./-"}));
    EXPECT_EQ(answer["png"], "./-");
    const auto written = testsupport::readFile(file("-"));
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->starts_with(pngSignature));
}

TEST_F(WidgetOptionsTest, PictureThatCannotBeWrittenToStandardOutputIsAFailure) {
    for (auto sink : {testsupport::OutputSink::deviceFull, testsupport::OutputSink::brokenPipe,
                      testsupport::OutputSink::closed}) {
        const auto result = run({"render", "--family", "small", "--png", "-"}, sink);
        EXPECT_TRUE(result.exited && result.exitStatus == 1) << testsupport::describe(result);
        EXPECT_NE(result.standardError.find("JotbirdWidgets: "), std::string::npos);
    }
}

TEST_F(WidgetOptionsTest, VersionAndHelpAnswerOnStandardOutput) {
    const std::string version = output({"--version"});
    EXPECT_EQ(version, "JotbirdWidgets " JOTBIRD_VERSION "\n");
    EXPECT_TRUE(std::regex_match(version, std::regex("JotbirdWidgets [0-9]+\\.[0-9]+\\.[0-9]+\n")));
    const std::string help = output({"--help"});
    EXPECT_TRUE(help.starts_with("usage: JotbirdWidgets COMMAND"));
    EXPECT_NE(help.find("--quiet"), std::string::npos);
}

TEST_F(WidgetOptionsTest, MalformedOptionsPrintUsageAndExitTwo) {
    const std::vector<Arguments> cases{
        {"tree", "--family="},
        {"tree", "--family=huge"},
        {"tree", "--family=medium", "--size="},
        {"tree", "--family=medium", "--size=0x170"},
        {"tree", "--family=medium", "--scheme=Dark"},
        {"tree", "--family=medium", "--preview=yes"},
        {"tree", "--family=medium", "--legacy="},
        {"tree", "--family=medium", "--colour=dark"},
        {"tree", "--family=medium", "--bogus"},
        {"tree", "--family", "medium", "-family", "small"},
        {"tree", "--family=medium", "--quiet"},
        {"timeline", "family=medium"},
        {"render", "--family=small", "--png="},
        {"render", "--family=small", "--png"},
        {"render", "--family=small", "--png=-", "--scale=0"},
        {"render", "--family=small", "--png=-", "--scale=1x"},
        {"serve", "--out="},
        {"serve", "--out", "pictures", "--quiet=no"},
        {"--versions"},
        {"-v"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(joined(arguments));
        const auto result = run(arguments);
        EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_NE(result.standardError.find("usage: JotbirdWidgets"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(file("pictures")));
}

}  // namespace

// The forms a person types options in: "--opt value" and "--opt=value", "-" for the picture
// on standard output, --version and --help; the built widget program run as a child process.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Arguments = std::vector<std::string>;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;

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
        testsupport::publishOrFail(
            R"({"schema":1,"updatedAt":0,"account":"","total":2,"notes":[)"
            R"({"id":"a","title":"Buy milk","remindAt":1765303600000},{"id":"b","title":"便签"}]})",
            home.path());
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

// Sizes and click coordinates are plain decimal numbers with nothing around them; anything
// else is a usage error, never a number read some other way.
TEST_F(WidgetOptionsTest, NumbersAreReadStrictly) {
    struct Case {
        Arguments arguments;
        bool accepted;
    };
    const std::vector<Case> cases{
        {{"tree", "--family", "small", "--size", "170x170"}, true},
        {{"tree", "--family", "small", "--size", "170.5x1.7e2"}, true},
        {{"tree", "--family", "small", "--size", " 170x170"}, false},
        {{"tree", "--family", "small", "--size", "170x170 "}, false},
        {{"tree", "--family", "small", "--size", "170 x170"}, false},
        {{"tree", "--family", "small", "--size", "+170x170"}, false},
        {{"tree", "--family", "small", "--size", "0xAAx170"}, false},
        {{"tree", "--family", "small", "--size", "infx170"}, false},
        {{"tree", "--family", "small", "--size", "170xnan"}, false},
        {{"tree", "--family", "small", "--size", "1e400x170"}, false},
        {{"timeline", "--family", "small", "--size=170x170\n"}, false},
        {{"render", "--family", "small", "--size", "\t170x170", "--png", "x.png"}, false},
        {{"render", "--family", "small", "--scale", " 2", "--png", "x.png"}, false},
        {{"render", "--family", "small", "--scale", "0x2", "--png", "x.png"}, false},
        {{"click", "32", "60", "--family", "small"}, true},
        {{"click", "3.2e1", "60.0", "--family", "small"}, true},
        {{"click", "0x20", "60", "--family", "small"}, false},
        {{"click", " 32", "60", "--family", "small"}, false},
        {{"click", "32", "60 ", "--family", "small"}, false},
        {{"click", "inf", "60", "--family", "small"}, false},
        {{"click", "32", "nan", "--family", "small"}, false},
        {{"click", "", "60", "--family", "small"}, false},
    };
    for (const auto& [arguments, accepted] : cases) {
        SCOPED_TRACE(joined(arguments));
        const auto result = run(arguments);
        if (accepted) {
            EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
            continue;
        }
        EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_NE(result.standardError.find("usage: JotbirdWidgets"), std::string::npos);
        EXPECT_FALSE(fs::exists(file("x.png")));
    }
}

// A click answers the link under a point of the widget; a point off it is a usage error.
TEST_F(WidgetOptionsTest, AClickOutsideTheWidgetIsRefused) {
    struct Case {
        Arguments arguments;
        bool inside;
    };
    const std::vector<Case> cases{
        {{"click", "0", "0", "--family", "small"}, true},
        {{"click", "169.9", "169.9", "--family", "small"}, true},
        {{"click", "299", "10", "--family", "small", "--size", "300x20"}, true},
        {{"click", "-0.1", "10", "--family", "small"}, false},
        {{"click", "10", "-5", "--family", "small"}, false},
        {{"click", "170", "10", "--family", "small"}, false},
        {{"click", "10", "170", "--family", "small"}, false},
        {{"click", "200", "100", "--family", "small"}, false},
        {{"click", "300", "10", "--family", "medium", "--size", "300x20"}, false},
        {{"click", "1e9", "1e9", "--family", "large"}, false},
    };
    for (const auto& [arguments, inside] : cases) {
        SCOPED_TRACE(joined(arguments));
        const auto result = run(arguments);
        if (inside) {
            EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
            EXPECT_TRUE(Json::parse(result.standardOutput)["url"].is_string());
            continue;
        }
        EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_NE(result.standardError.find("is outside the"), std::string::npos)
            << result.standardError;
    }
}

// A size that is no widget at all, or more than a screen's worth, is refused alike by every
// command that takes a size, before anything is laid out.
TEST_F(WidgetOptionsTest, EveryCommandRefusesTheSameSizes) {
    const std::vector<Arguments> commands{
        {"timeline", "--family", "small"},
        {"tree", "--family", "small"},
        {"click", "0", "0", "--family", "small"},
        {"render", "--family", "small", "--png", "x.png"},
    };
    for (const std::string size : {"1e-300x1e-300", "170x1e-12", "5000x170", "170x4097"}) {
        for (Arguments arguments : commands) {
            arguments.insert(arguments.end(), {"--size", size});
            SCOPED_TRACE(joined(arguments));
            const auto result = run(arguments);
            EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
            EXPECT_EQ(result.standardOutput, "");
            EXPECT_NE(result.standardError.find("pixels a side"), std::string::npos)
                << result.standardError;
        }
    }
    // A tenth of a point still takes a pixel at the default scale of 2: a widget, though a
    // small one.
    for (Arguments arguments : commands) {
        arguments.insert(arguments.end(), {"--size", "0.1x0.1"});
        SCOPED_TRACE(joined(arguments));
        EXPECT_EQ(run(arguments).exitStatus, 0);
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

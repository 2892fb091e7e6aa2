// The widget program on the command line, as a host or a person would call it, with
// snapshots put in place by the real bridge.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/foundation/clock.hpp"
#include "shared/container_storage.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;
const fs::path bridgeProgram = JOTBIRD_BRIDGE_PATH;

const std::string sampleJSON =
    R"({"schema":1,"updatedAt":0.0,"account":"","total":3,"notes":[)"
    R"({"id":"sample","title":"给今天留一点空间"},{"id":"sample2","title":"把重要的事记下来"}]})";

class WidgetRuntimeTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory home;
    fs::path container = home.path() / "group-containers" / jotbird::jotbirdGroup;

    testsupport::ProcessResult run(const std::vector<std::string>& arguments) {
        testsupport::ProcessOptions options;
        options.arguments = arguments;
        options.environment = {{"XDG_DATA_HOME", home.path().string()},
                               {"LANG", std::nullopt},
                               {"LC_ALL", std::nullopt},
                               {"LC_MESSAGES", std::nullopt}};
        return testsupport::runProcess(widgetProgram, options);
    }

    // One JSON line on standard output, nothing on standard error, status 0.
    Json answer(const std::vector<std::string>& arguments) {
        const auto result = run(arguments);
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
        EXPECT_EQ(result.standardError, "");
        EXPECT_TRUE(result.standardOutput.ends_with("\n"));
        EXPECT_EQ(result.standardOutput.find('\n'), result.standardOutput.size() - 1);
        return Json::parse(result.standardOutput);
    }

    void publish(const std::string& json) {
        testsupport::ProcessOptions options;
        options.arguments = {"publish"};
        options.standardInput = json;
        options.environment = {{"XDG_DATA_HOME", home.path().string()}};
        const auto result = testsupport::runProcess(bridgeProgram, options);
        ASSERT_EQ(result.standardOutput, "{\"ok\":true}\n") << testsupport::describe(result);
    }
};

double nowMilliseconds() {
    return foundation::millisecondsSince1970(foundation::now());
}

TEST_F(WidgetRuntimeTest, DescribeNamesTheOneWidgetAndItsThreeSizes) {
    const auto result = run({"describe"});
    EXPECT_EQ(result.standardOutput, R"({"kind":"JotbirdNotes","displayName":"Jotbird",)"
                                     R"("description":"桌面上的待办与提醒，点一下回到便签。",)"
                                     R"("families":["systemSmall","systemMedium","systemLarge"]})"
                                     "\n");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST_F(WidgetRuntimeTest, PlaceholderAndPreviewSnapshotAreTheSample) {
    publish(R"({"schema":1,"updatedAt":5,"account":"","total":1,"notes":[]})");
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"placeholder", "--family", "small"},
                                               {"snapshot", "--family", "large", "--preview"}}) {
        SCOPED_TRACE(arguments[0]);
        const double before = nowMilliseconds();
        const Json entry = answer(arguments);
        EXPECT_EQ(entry["snapshot"].dump(), Json::parse(sampleJSON).dump());
        EXPECT_GE(entry["date"].get<double>(), before - 1);
        EXPECT_LE(entry["date"].get<double>(), nowMilliseconds() + 1);
    }
}

TEST_F(WidgetRuntimeTest, LiveSnapshotAndTimelineShowWhatWasPublished) {
    const std::string published =
        R"({"schema":1,"updatedAt":1700000000000.5,"account":"a","total":4,)"
        R"("notes":[{"id":"n 1","title":"Milk","remindAt":1700000360000}],"folded":2})";
    publish(published + "   ");
    EXPECT_EQ(answer({"snapshot", "--family", "small"})["snapshot"], Json::parse(published));

    const Json timeline = answer({"timeline", "--family", "large"});
    ASSERT_EQ(timeline["entries"].size(), 1u);
    EXPECT_EQ(timeline["entries"][0]["snapshot"], Json::parse(published));
    const double date = timeline["entries"][0]["date"].get<double>();
    EXPECT_GE(timeline["policy"]["after"].get<double>(), date + 900000);
    EXPECT_LE(timeline["policy"]["after"].get<double>(), nowMilliseconds() + 900000 + 1);
}

TEST_F(WidgetRuntimeTest, NoSnapshotShowsTheEmptyOne) {
    const Json entry = answer({"timeline", "--family", "medium", "--preview"})["entries"][0];
    EXPECT_EQ(entry["snapshot"]["total"], 0);
    EXPECT_EQ(entry["snapshot"]["notes"], Json::array());
    EXPECT_EQ(entry["snapshot"].size(), 5u);
}

TEST_F(WidgetRuntimeTest, MediumTimelineRecordsItsWidthForTheBridge) {
    publish(R"({"schema":1,"updatedAt":5,"account":"","total":1,"notes":[]})");
    answer({"timeline", "--family", "medium", "--size", "364.6x170"});
    EXPECT_EQ(testsupport::readFile(container / "medium-width.txt"), "365");
    answer({"timeline", "--family", "medium", "--size", "300x170", "--preview"});
    answer({"timeline", "--family", "large", "--size", "300x170"});
    EXPECT_EQ(testsupport::readFile(container / "medium-width.txt"), "365");
    answer({"timeline", "--family", "medium"});  // the default medium size, 364 points
    EXPECT_EQ(testsupport::readFile(container / "medium-width.txt"), "364");
}

TEST_F(WidgetRuntimeTest, BadArgumentsPrintUsageAndExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"launch"},
        {"placeholder"},
        {"timeline", "--family", "huge"},
        {"timeline", "--family", "small", "--size", "0x10"},
        {"timeline", "--family", "small", "--size", "axb"},
        {"timeline", "--family", "small", "--size"},
        {"timeline", "--family", "small", "--png", "x.png"},
        {"tree", "--family", "small", "--scheme", "sepia"},
        {"render", "--family", "small"},
        {"click", "10", "--family", "small"},
        {"serve"},
    };
    for (const auto& arguments : cases) {
        std::string line;
        for (const auto& a : arguments)
            line += a + " ";
        SCOPED_TRACE(line);
        const auto result = run(arguments);
        EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_NE(result.standardError.find("usage: JotbirdWidgets"), std::string::npos);
    }
}

}  // namespace

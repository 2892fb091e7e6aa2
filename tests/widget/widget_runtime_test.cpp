// The widget program on the command line, as a host or a person would call it, with
// snapshots put in place by the real bridge.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>

#include <nlohmann/json.hpp>

#include "platform/foundation/clock.hpp"
#include "shared/container_storage.hpp"
#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;

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

    void publish(const std::string& json) { testsupport::publishOrFail(json, home.path()); }
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

TEST_F(WidgetRuntimeTest, TheWidthFileIsPrivateWhateverTheUmask) {
    publish(R"({"schema":1,"updatedAt":5,"account":"","total":1,"notes":[]})");
    ::chmod(container.c_str(), 0755);  // as someone else may have made it
    int width = 300;
    for (const mode_t mask : {mode_t(0), mode_t(022)}) {
        SCOPED_TRACE("umask " + std::to_string(mask));
        const testsupport::ScopedUmask umask(mask);
        answer({"timeline", "--family", "medium", "--size", std::to_string(++width) + "x170"});
        EXPECT_EQ(testsupport::readFile(container / "medium-width.txt"), std::to_string(width));
        EXPECT_EQ(testsupport::fileStatus(container / "medium-width.txt").st_mode & 07777, 0600u);
    }
}

TEST_F(WidgetRuntimeTest, ASnapshotStoredAtTheSizeLimitIsShown) {
    // A whole-number time is stored with ".0": 65,533 bytes in, 65,535 bytes stored.
    const std::string head = R"({"schema":1,"updatedAt":1765300000000,"account":")";
    const std::string tail = R"(","total":5,"notes":[]})";
    const std::string atLimit = head + std::string(65533 - head.size() - tail.size(), 'a') + tail;
    publish(atLimit);
    ASSERT_EQ(testsupport::readFile(container / "widget-snapshot.json")->size(), 65535u);
    EXPECT_EQ(answer({"snapshot", "--family", "small"})["snapshot"]["total"], 5);

    // Two bytes more in would be stored past the limit: refused, and the widget keeps showing
    // what it showed.
    const auto refused = testsupport::publishThroughBridge(
        head + std::string(65535 - head.size() - tail.size(), 'b') + tail,
        {{"XDG_DATA_HOME", home.path().string()}});
    EXPECT_EQ(refused.exitStatus, 1) << testsupport::describe(refused);
    const Json shown = answer({"snapshot", "--family", "small"})["snapshot"];
    EXPECT_EQ(shown["total"], 5);
    EXPECT_EQ(shown["account"].get<std::string>()[0], 'a');
}

TEST_F(WidgetRuntimeTest, AFifoOrADirectoryInPlaceOfTheFilesIsReadAsNothingAtOnce) {
    fs::create_directories(container);
    const fs::path png = home.path() / "fifo.png";
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFOs" : "directories");
        for (const char* name : {"widget-snapshot.json", "medium-width.txt"}) {
            fs::remove_all(container / name);
            if (fifo)
                ASSERT_EQ(::mkfifo((container / name).c_str(), 0600), 0);
            else
                fs::create_directory(container / name);
        }
        // The medium timeline also reads the width; it gives a FIFO a file's place and
        // cannot replace a directory.
        const std::vector<std::vector<std::string>> commands{
            {"snapshot", "--family", "small"},
            {"timeline", "--family", "large"},
            {"tree", "--family", "small"},
            {"render", "--family", "small", "--png", png.string()},
            {"timeline", "--family", "medium", "--size", "364x170"},
        };
        for (const auto& arguments : commands) {
            SCOPED_TRACE(arguments[0]);
            testsupport::ProcessOptions options;
            options.arguments = arguments;
            options.environment = {{"XDG_DATA_HOME", home.path().string()}};
            options.killAfter = std::chrono::seconds(5);  // a reader that waits fails here
            const auto result = testsupport::runProcess(widgetProgram, options);
            EXPECT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
        }
    }
}

TEST_F(WidgetRuntimeTest, PicturesAreBoundedBeforeAnythingIsDrawn) {
    const fs::path png = home.path() / "big.png";
    struct Case {
        std::vector<std::string> options;
        bool drawn;
    };
    const std::vector<Case> cases{
        {{"--size", "5000x5000"}, false},
        {{"--size", "16000x16000"}, false},
        {{"--size", "4097x10"}, false},  // 8,194 pixels wide at the default scale
        {{"--size", "10x513", "--scale", "16"}, false},
        {{"--size", "1e-300x1e-300"}, false},  // not even a pixel
        {{"--size", "4096x1"}, true},          // exactly 8,192 pixels wide
        {{"--size", "512x10", "--scale", "16"}, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"render", "--family", "small", "--png", png.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(c.options[1]);
        fs::remove(png);
        const auto result = run(arguments);
        if (c.drawn) {
            EXPECT_EQ(result.exitStatus, 0) << testsupport::describe(result);
            EXPECT_TRUE(fs::exists(png));
            continue;
        }
        EXPECT_TRUE(result.exited && result.exitStatus == 2) << testsupport::describe(result);
        EXPECT_NE(result.standardError.find("8192 pixels a side"), std::string::npos)
            << result.standardError;
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_FALSE(fs::exists(png));
    }
}

TEST_F(WidgetRuntimeTest, APngPathThatIsNotUtf8IsAnsweredWithAReplacementCharacter) {
    const fs::path png = home.path() / "\xff.png";
    const Json written = answer({"render", "--family", "small", "--png", png.string()});
    EXPECT_EQ(written["png"], (home.path() / "\uFFFD.png").string());
    EXPECT_EQ(written["width"], 340);
    EXPECT_TRUE(fs::exists(png));
}

}  // namespace

// The bridge's command words and answers, seen from outside: exact bytes on standard output,
// the failure line on standard error, the exit status.

#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "bridge_fixture.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/samples.hpp"

namespace bridgetest {
namespace {

using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::writeFile;

const std::string sampleJson = *jotbird::encode(testsupport::sampleSnapshot());

double nowInMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

std::string joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const auto& argument : arguments)
        text += "[" + argument + "]";
    return text.empty() ? "(no arguments)" : text;
}

using BridgeCommandTest = BridgeTest;

TEST_F(BridgeCommandTest, StatusIsTheDefaultAndIgnoresFurtherArguments) {
    const std::vector<std::vector<std::string>> argumentLists{
        {}, {"status"}, {"status", "publish"}, {"status", ""}, {"status", "read", "x"}};
    for (const auto& arguments : argumentLists) {
        SCOPED_TRACE(joined(arguments));
        expectAnswer(run(arguments, sampleJson), statusLine);
    }
    // Only the container's location is worked out; nothing is made.
    EXPECT_FALSE(fs::exists(dataHome()));
}

TEST_F(BridgeCommandTest, WordsThatNameNoCommandFail) {
    // A valid snapshot waits on standard input, so a word taken for "publish" would succeed.
    const std::vector<std::string> words{
        "",
        "Status",
        "STATUS",
        "Publish",
        "PUBLISH",
        "Read",
        "READ",
        "Medium-width",
        "MEDIUM-WIDTH",
        "medium_width",
        "mediumwidth",
        "medium",
        "width",
        "stat",
        "pub",
        "status ",
        " status",
        "publish ",
        "read\n",
        "publishx",
        "statusstatus",
        "help",
        "--help",
        "-h",
        "--version",
        "version",
        "st\u0430tus",  // a Cyrillic letter a
    };
    for (const std::string& word : words) {
        SCOPED_TRACE("[" + word + "]");
        expectFailure(run({word}, sampleJson));
        expectFailure(run({word, "status"}, sampleJson));
    }
    EXPECT_FALSE(fs::exists(dataHome()));
}

TEST_F(BridgeCommandTest, EveryCommandFailsWithoutAContainer) {
    // Run from a scratch working directory: relative settings must not be taken from it.
    const fs::path cwd = root.path() / "cwd";
    fs::create_directory(cwd);
    struct Environment {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
    };
    const std::vector<Environment> environments{
        {std::nullopt, std::nullopt},
        {"data", std::nullopt},
        {std::nullopt, "home"},
        {"", ""},
        {"data", "home"},
        {"~/data", "."},
    };
    const std::vector<std::vector<std::string>> argumentLists{
        {}, {"status"}, {"publish"}, {"read"}, {"medium-width"}, {""}, {"bogus"}};
    for (const Environment& environment : environments) {
        for (const auto& arguments : argumentLists) {
            SCOPED_TRACE("XDG_DATA_HOME=" + environment.dataHome.value_or("(unset)") +
                         " HOME=" + environment.home.value_or("(unset)") + " " + joined(arguments));
            ProcessOptions options;
            options.arguments = arguments;
            options.standardInput = sampleJson;
            options.environment = {{"XDG_DATA_HOME", environment.dataHome},
                                   {"HOME", environment.home}};
            options.workingDirectory = cwd;
            expectFailure(testsupport::runProcess(bridgeProgram, options));
        }
    }
    EXPECT_EQ(directoryEntries(root.path()), std::set<std::string>{"cwd"});
    EXPECT_TRUE(directoryEntries(cwd).empty());
}

TEST_F(BridgeCommandTest, ReadPrintsThePublishedSnapshotWithoutALineEnd) {
    expectAnswer(run({"publish"}, sampleJson), acknowledgement);
    const auto stored = readFile(snapshotFile());
    ASSERT_TRUE(stored);
    expectAnswer(run({"read"}), *stored);
    expectAnswer(run({"read", "extra"}), *stored);
    EXPECT_NE(stored->back(), '\n');
}

TEST_F(BridgeCommandTest, ReadPrintsItsOwnEncodingOfWhatIsStored) {
    // A file the bridge did not write: spaced out, with keys the snapshot does not have.
    const std::string stored = R"( {
        "theme": null, "notes": [ {"title": "t", "id": "i", "pinned": [1, {"x": 2}]} ],
        "total": 2.0, "account": "a", "updatedAt": 1e3, "schema": 1, "future": {"a": []} } )";
    makeContainer();
    writeFile(snapshotFile(), stored);
    const auto expected = jotbird::encode(*jotbird::decode(stored));
    ASSERT_TRUE(expected);
    const ProcessResult result = run({"read"});
    expectAnswer(result, *expected);
    const auto json = nlohmann::json::parse(result.standardOutput);
    EXPECT_FALSE(json.contains("future"));
    EXPECT_FALSE(json.contains("theme"));
    EXPECT_FALSE(json.at("notes").at(0).contains("pinned"));
    EXPECT_EQ(readFile(snapshotFile()), stored);
}

TEST_F(BridgeCommandTest, ReadWithoutAUsableFilePrintsTheEmptySnapshotOfNow) {
    jotbird::WidgetSnapshot schemaTwo = testsupport::sampleSnapshot();
    schemaTwo.schema = 2;
    struct Case {
        std::string name;
        std::optional<std::string> content;  // nullopt: no file
    };
    const std::vector<Case> cases{
        {"no file", std::nullopt},
        {"zero bytes", ""},
        {"schema 2", *jotbird::encode(schemaTwo)},
        {"not JSON", "widget"},
        {"65,536 bytes", testsupport::paddedTo(sampleJson, 65536)},
        // Malformed after a NUL byte is still malformed; a byte-order mark counts only first.
        {"NUL and garbage after the snapshot", sampleJson + std::string(1, '\0') + "garbage}}}"},
        {"NUL between spaces", sampleJson + " " + std::string(1, '\0') + " "},
        {"byte-order mark after a space", " \xEF\xBB\xBF" + sampleJson},
        {"schema a hair above 1",
         R"({"schema":1.0000000000000001,"updatedAt":5,"account":"x","total":0,"notes":[]})"},
        {"total a tiny fraction",
         R"({"schema":1,"updatedAt":5,"account":"x","total":1e-400,"notes":[]})"},
    };
    // Without even the container directory, "read" still answers, and makes nothing.
    {
        SCOPED_TRACE("no container directory");
        const double before = nowInMilliseconds();
        const ProcessResult result = run({"read"});
        const double after = nowInMilliseconds();
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << describe(result);
        const auto json = nlohmann::json::parse(result.standardOutput);
        EXPECT_GE(json.at("updatedAt").get<double>(), std::floor(before));
        EXPECT_LE(json.at("updatedAt").get<double>(), std::ceil(after));
        EXPECT_FALSE(fs::exists(dataHome()));
    }
    makeContainer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(snapshotFile());
        if (c.content) writeFile(snapshotFile(), *c.content);
        const double before = nowInMilliseconds();
        const ProcessResult result = run({"read"});
        const double after = nowInMilliseconds();
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << describe(result);
        EXPECT_EQ(result.standardError, "");
        ASSERT_FALSE(result.standardOutput.empty());
        EXPECT_EQ(result.standardOutput.find_first_of(" \n"), std::string::npos)
            << result.standardOutput;
        const auto json = nlohmann::json::parse(result.standardOutput);
        const double updatedAt = json.at("updatedAt").get<double>();
        EXPECT_GE(updatedAt, std::floor(before));
        EXPECT_LE(updatedAt, std::ceil(after));
        EXPECT_EQ(json, (nlohmann::json{{"schema", 1},
                                        {"updatedAt", updatedAt},
                                        {"account", ""},
                                        {"total", 0},
                                        {"notes", nlohmann::json::array()}}));
    }
}

TEST_F(BridgeCommandTest, MediumWidthPrintsTheStoredWidthOrZero) {
    struct Case {
        std::optional<std::string> content;  // nullopt: no file
        std::string answer;
    };
    const std::vector<Case> cases{
        {std::nullopt, "0\n"}, {"364", "364\n"},  {"280", "280\n"}, {"480", "480\n"},
        {"+300", "300\n"},     {"0300", "300\n"}, {"500", "0\n"},   {"279", "0\n"},
        {"364\n", "0\n"},      {"-300", "0\n"},   {" 300", "0\n"},  {"3e2", "0\n"},
        {"300.0", "0\n"},      {"", "0\n"},       {"+", "0\n"},
    };
    {
        SCOPED_TRACE("no container directory");
        expectAnswer(run({"medium-width"}), "0\n");
        EXPECT_FALSE(fs::exists(dataHome()));
    }
    makeContainer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content ? "\"" + *c.content + "\"" : "no file");
        fs::remove(widthFile());
        if (c.content) writeFile(widthFile(), *c.content);
        expectAnswer(run({"medium-width"}), c.answer);
        // The widget owns the width file; the bridge only reads it.
        EXPECT_EQ(readFile(widthFile()), c.content);
    }
}

TEST_F(BridgeCommandTest, NonBlockingStandardStreamsAreWaitedOnAsBlockingOnes) {
    // Far more than the one page the output pipe holds, fed and read by a slow peer.
    jotbird::WidgetSnapshot large = testsupport::sampleSnapshot();
    large.account = std::string(60000, 'a');
    const std::string input = *jotbird::encode(large);
    makeContainer();
    writeFile(widthFile(), "364");
    ReloadListener host(container());
    const auto slowly = [&](const std::vector<std::string>& arguments, const std::string& in) {
        ProcessOptions streams = options(arguments, in);
        streams.nonBlockingStreams = true;
        streams.peerDelay = std::chrono::milliseconds(300);
        return testsupport::runProcess(bridgeProgram, streams);
    };
    {
        SCOPED_TRACE("publish, its input arriving late and in two parts");
        const ProcessResult result = slowly({"publish"}, input);
        expectAnswer(result, acknowledgement);
        EXPECT_EQ(result.standardInputAccepted, input.size());
        EXPECT_TRUE(readFile(snapshotFile()) == input);  // not printed: 60 kB
        EXPECT_EQ(host.received(), oneReloadRequest);
    }
    writeFile(snapshotFile(), input);  // as a publish stores it, whatever became of that one
    const std::vector<std::pair<std::vector<std::string>, std::string>> answers{
        {{"read"}, input}, {{"medium-width"}, "364\n"}, {{"status"}, statusLine}};
    for (const auto& [arguments, answer] : answers) {
        SCOPED_TRACE(joined(arguments) + ", its answer taken late");
        const ProcessResult result = slowly(arguments, "");
        EXPECT_TRUE(result.exited && result.exitStatus == 0) << describe(result);
        EXPECT_EQ(result.standardOutput.size(), answer.size());
        EXPECT_TRUE(result.standardOutput == answer);
        EXPECT_EQ(result.standardError, "");
    }
}

TEST_F(BridgeCommandTest, AnAnswerThatCannotBeWrittenIsAFailure) {
    makeContainer();
    writeFile(widthFile(), "364");
    struct Sink {
        std::string name;
        OutputSink sink;
    };
    const std::vector<Sink> sinks{{"standard output closed", OutputSink::closed},
                                  {"standard output on /dev/full", OutputSink::deviceFull},
                                  {"reader of standard output gone", OutputSink::brokenPipe}};
    const std::vector<std::vector<std::string>> argumentLists{
        {}, {"status"}, {"read"}, {"medium-width"}, {"publish"}};
    for (const Sink& sink : sinks) {
        for (const auto& arguments : argumentLists) {
            SCOPED_TRACE(sink.name + " " + joined(arguments));
            const ProcessResult result = run(arguments, sampleJson, sink.sink);
            // Exited with status 1: in particular not killed by SIGPIPE.
            EXPECT_TRUE(result.exited && result.exitStatus == 1) << describe(result);
            EXPECT_EQ(result.standardError, failureLine);
        }
    }
}

}  // namespace
}  // namespace bridgetest

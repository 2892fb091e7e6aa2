// "publish" seen from outside: what gets stored, what is refused, what a refusal leaves
// behind, and the reload request to the widget host.

#include <sys/socket.h>
#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bridge_fixture.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/samples.hpp"

namespace bridgetest {
namespace {

using jotbird::NotePreview;
using jotbird::WidgetSnapshot;
using testsupport::directoryEntries;
using testsupport::paddedTo;
using testsupport::readFile;
using testsupport::repeated;
using testsupport::writeFile;

std::string encoded(const WidgetSnapshot& snapshot) {
    return *jotbird::encode(snapshot);
}

WidgetSnapshot withNotes(std::size_t count, std::int64_t total = 0) {
    WidgetSnapshot snapshot = testsupport::sampleSnapshot();
    snapshot.total = total;
    snapshot.notes.clear();
    for (std::size_t i = 0; i < count; ++i)
        snapshot.notes.push_back({"note-" + std::to_string(i), "title", std::nullopt});
    return snapshot;
}

WidgetSnapshot withNote(std::string id, std::string title) {
    WidgetSnapshot snapshot = testsupport::sampleSnapshot();
    snapshot.notes = {{std::move(id), std::move(title), 1.0}};
    return snapshot;
}

// A valid snapshot with `value` under a key it does not have.
std::string withUnknownKey(const std::string& value) {
    std::string json = encoded(testsupport::sampleSnapshot());
    return json.insert(1, "\"future\":" + value + ",");
}

const std::string minimal = R"({"schema":1,"updatedAt":5,"account":"","total":0,"notes":[]})";
const std::string nul(1, '\0');
const std::string bom = "\xEF\xBB\xBF";

// Exactly `size` bytes of input whose account fills the room and whose `updatedAt` is written
// `updatedAt` as the caller wrote it.
std::string sizedWithTime(std::size_t size, const std::string& updatedAt) {
    const std::string head = R"({"schema":1,"updatedAt":)" + updatedAt + R"(,"account":")";
    const std::string tail = R"(","total":0,"notes":[]})";
    return head + std::string(size - head.size() - tail.size(), 'a') + tail;
}

class BridgePublishTest : public BridgeTest {
protected:
    // What a failed publish leaves: the stored file as it was, byte for byte and the same
    // file, no temporary beside it, and no reload request.
    void expectLeftAsItWas(const std::optional<std::string>& stored, const struct stat& before,
                           ReloadListener& host) const {
        EXPECT_EQ(readFile(snapshotFile()), stored);
        EXPECT_EQ(testsupport::fileStatus(snapshotFile()).st_ino, before.st_ino);
        EXPECT_EQ(directoryEntries(container()),
                  (std::set<std::string>{"widget-snapshot.json", "widget-host.sock"}));
        EXPECT_TRUE(host.received().empty());
    }
};

TEST_F(BridgePublishTest, StoresItsOwnEncodingAcknowledgesAndRequestsOneReload) {
    makeContainer();
    ReloadListener host(container());
    struct Case {
        std::string name;
        std::string input;
    };
    const std::vector<Case> cases{
        {"sample", encoded(testsupport::sampleSnapshot())},
        {"spaced out, keys in another order", R"(
            { "notes" : [ { "title" : "t" , "remindAt" : null , "id" : "i" } ] ,
              "theme" : null , "folded" : null , "total" : 1.0 , "account" : "" ,
              "updatedAt" : 1e3 , "schema" : 1 }
        )"},
        {"unknown keys at both levels",
         R"({"schema":1,"v":2,"updatedAt":5,"account":"a","total":0,"extra":{"x":[1,{}]},)"
         R"("notes":[{"id":"i","title":"t","color":"red","tags":["a"]}],"theme":"light"})"},
        {"no notes", encoded(withNotes(0))},
        {"12 notes", encoded(withNotes(12, 12))},
        {"total 0 beside five notes", encoded(withNotes(5, 0))},
        {"ids and titles at their limits",
         encoded(withNote(repeated(testsupport::family, 100), repeated(testsupport::flag, 200)))},
        {"title of combining marks at its limit",
         encoded(withNote("x", repeated(testsupport::markedLetter, 200)))},
        {"deep nesting under an unknown key",
         withUnknownKey(testsupport::nestedArrays(testsupport::hostileDepth))},
        {"a byte-order mark at the very start", bom + " " + minimal},
        {"integers beyond a double's precision, kept exactly",
         R"({"schema":1.0,"updatedAt":5,"account":"","total":9007199254740993.0,"notes":[],)"
         R"("folded":9.223372036854775807e18})"},
        {"whole-number times whose stored form is exactly 65,535 bytes",
         sizedWithTime(65533, "1765300000000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = run({"publish"}, c.input);
        expectAnswer(result, acknowledgement);

        const auto stored = readFile(snapshotFile());
        ASSERT_TRUE(stored);
        const auto decoded = jotbird::decode(c.input);
        ASSERT_TRUE(decoded);
        // Never the caller's bytes: the bridge's own encoding of what it decoded.
        EXPECT_EQ(*stored, encoded(*decoded));
        const auto json = nlohmann::json::parse(*stored);
        for (const auto& item : json.items())
            EXPECT_TRUE(jotbird::snapshotKey(item.key())) << item.key();
        for (const auto& note : json.at("notes"))
            for (const auto& item : note.items())
                EXPECT_TRUE(jotbird::noteKey(item.key())) << item.key();

        EXPECT_LE(stored->size(), jotbird::maxSnapshotBytes);
        EXPECT_EQ(host.received(), oneReloadRequest);
        expectAnswer(run({"read"}), *stored);
        EXPECT_EQ(directoryEntries(container()),
                  (std::set<std::string>{"widget-snapshot.json", "widget-host.sock"}));
    }
}

TEST_F(BridgePublishTest, AFailedPublishLeavesTheStoredFileAndRequestsNoReload) {
    const std::string sample = encoded(testsupport::sampleSnapshot());
    WidgetSnapshot schemaTwo = testsupport::sampleSnapshot();
    schemaTwo.schema = 2;
    std::string badUtf8 = sample;
    badUtf8.replace(badUtf8.find("me@"), 2, "\xC0\xAF");
    struct Case {
        std::string name;
        std::string input;
    };
    const std::vector<Case> cases{
        {"empty input", ""},
        {"only whitespace", " \n"},
        {"not JSON", "publish"},
        {"cut short", sample.substr(0, sample.size() - 1)},
        {"an array", "[" + sample + "]"},
        {"missing updatedAt", R"({"schema":1,"account":"","total":0,"notes":[]})"},
        {"total as text", R"({"schema":1,"updatedAt":1,"account":"","total":"0","notes":[]})"},
        {"updatedAt beyond a double",
         R"({"schema":1,"updatedAt":1e400,"account":"","total":0,"notes":[]})"},
        {"invalid UTF-8", badUtf8},
        {"schema 2", encoded(schemaTwo)},
        {"13 notes", encoded(withNotes(13, 13))},
        {"total -1", encoded(withNotes(1, -1))},
        {"id of 101 characters", encoded(withNote(repeated(testsupport::family, 101), "t"))},
        {"title of 201 characters", encoded(withNote("i", repeated(testsupport::flag, 201)))},
        {"deep nesting as the notes",
         R"({"schema":1,"updatedAt":1,"account":"","total":0,"notes":)" +
             testsupport::nestedArrays(testsupport::hostileDepth) + "}"},
        {"valid snapshot of 65,536 bytes", paddedTo(sample, 65536)},
        {"65,536 bytes of anything", std::string(65536, 'x')},
        {"valid snapshot followed by 1 MB", paddedTo(sample, 1 << 20)},
        // Malformed after a NUL byte is still malformed.
        {"NUL after the object", minimal + nul},
        {"NUL and garbage after the object", minimal + nul + "garbage}}}\xff"},
        {"NUL between spaces", minimal + " " + nul + " "},
        {"NUL and a second object", sample + nul + minimal},
        // A byte-order mark is taken only as the first bytes of the input.
        {"byte-order mark after a space", " " + bom + minimal},
        {"byte-order mark after a tab", "\t" + bom + minimal},
        // Integers are judged from their text, not from a rounded double.
        {"schema just above 1",
         R"({"schema":1.0000000000000001,"updatedAt":5,"account":"","total":0,"notes":[]})"},
        {"total a tiny fraction",
         R"({"schema":1,"updatedAt":5,"account":"","total":1e-400,"notes":[]})"},
        {"total just below 1",
         R"({"schema":1,"updatedAt":5,"account":"","total":0.99999999999999999999,"notes":[]})"},
        {"total with a half",
         R"({"schema":1,"updatedAt":5,"account":"","total":4503599627370497.5,"notes":[]})"},
        // What would be stored must fit the readers' limit, not only what came in.
        {"65,535 bytes whose time is stored with a fraction",
         sizedWithTime(65535, "1765300000000")},
        {"65,535 bytes whose exponent is stored in full", sizedWithTime(65535, "1e5")},
    };

    makeContainer();
    ReloadListener host(container());
    const std::string previous = encoded(withNotes(2, 2));
    expectAnswer(run({"publish"}, previous), acknowledgement);
    ASSERT_EQ(host.received(), oneReloadRequest);
    const auto stored = readFile(snapshotFile());
    const struct stat before = testsupport::fileStatus(snapshotFile());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = run({"publish"}, c.input);
        expectFailure(result);
        // Refused or not, the input is read to its end.
        EXPECT_EQ(result.standardInputAccepted, c.input.size());
        expectLeftAsItWas(stored, before, host);
    }
}

TEST_F(BridgePublishTest, AcceptsInputOfUpTo65535Bytes) {
    const WidgetSnapshot sample = testsupport::sampleSnapshot();
    // The same limit reached by padding and by content.
    WidgetSnapshot longAccount = sample;
    longAccount.account = "";
    longAccount.account = std::string(65535 - encoded(longAccount).size(), 'a');
    const std::vector<std::string> inputs{paddedTo(encoded(sample), 65535), encoded(longAccount)};
    for (const std::string& input : inputs) {
        ASSERT_EQ(input.size(), 65535u);
        expectAnswer(run({"publish"}, input), acknowledgement);
        EXPECT_EQ(readFile(snapshotFile()), encoded(*jotbird::decode(input)));
    }
    // Read back through the reader's own limit.
    expectAnswer(run({"read"}), encoded(longAccount));
}

TEST_F(BridgePublishTest, CreatesTheContainerPrivateWithMissingParents) {
    const std::string sample = encoded(testsupport::sampleSnapshot());
    const fs::path dataHome = root.path() / "a" / "b" / "c";
    const fs::path container = dataHome / "group-containers" / jotbird::jotbirdGroup;

    // A refused snapshot is refused before anything is made.
    expectFailure(runBridge({"publish"}, "{}", dataHome, home()));
    EXPECT_FALSE(fs::exists(root.path() / "a"));

    expectAnswer(runBridge({"publish"}, sample, dataHome, home()), acknowledgement);
    EXPECT_EQ(readFile(container / "widget-snapshot.json"), sample);
    for (fs::path dir = container; dir != root.path(); dir = dir.parent_path()) {
        SCOPED_TRACE(dir.string());
        const struct stat info = testsupport::fileStatus(dir);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0700u);
    }

    // Directories that exist already keep their mode.
    const fs::path shared = root.path() / "shared";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 0755);
    expectAnswer(runBridge({"publish"}, sample, shared, home()), acknowledgement);
    EXPECT_EQ(testsupport::fileStatus(shared).st_mode & 07777, 0755u);
    EXPECT_EQ(testsupport::fileStatus(shared / "group-containers" / jotbird::jotbirdGroup).st_mode &
                  07777,
              0700u);
}

TEST_F(BridgePublishTest, FailsWhenTheFileSystemGetsInTheWay) {
    const std::string sample = encoded(testsupport::sampleSnapshot());
    {
        SCOPED_TRACE("a file where the container's parent should be");
        fs::create_directories(dataHome());
        writeFile(dataHome() / "group-containers", "in the way");
        expectFailure(run({"publish"}, sample));
        EXPECT_EQ(readFile(dataHome() / "group-containers"), "in the way");
        fs::remove(dataHome() / "group-containers");
    }
    {
        SCOPED_TRACE("a directory where the snapshot file should be");
        makeContainer();
        ReloadListener host(container());
        fs::create_directory(snapshotFile());
        expectFailure(run({"publish"}, sample));
        // The temporary file is gone again and no reload was asked for.
        EXPECT_EQ(directoryEntries(container()),
                  (std::set<std::string>{"widget-snapshot.json", "widget-host.sock"}));
        EXPECT_TRUE(fs::is_directory(snapshotFile()));
        EXPECT_TRUE(host.received().empty());
    }
}

TEST_F(BridgePublishTest, AContainerThatCannotBeOpenedForItsFlushIsLeftAsItWas) {
    makeContainer();
    ReloadListener host(container());
    const std::string previous = encoded(withNotes(2, 2));
    expectAnswer(run({"publish"}, previous), acknowledgement);
    ASSERT_EQ(host.received(), oneReloadRequest);
    const struct stat before = testsupport::fileStatus(snapshotFile());

    // Written and searched, but not read: the directory cannot be opened to flush a rename.
    fs::permissions(container(), fs::perms::owner_write | fs::perms::owner_exec);
    const ProcessResult result =
        runBridgeWithoutOverrides(options({"publish"}, encoded(testsupport::sampleSnapshot())));
    fs::permissions(container(), fs::perms::owner_all);
    expectFailure(result);
    expectLeftAsItWas(previous, before, host);
}

TEST_F(BridgePublishTest, ANegativeZeroIsStoredWithItsSign) {
    struct Case {
        std::string written;
        std::string stored;
    };
    const std::vector<Case> cases{
        {"-0", "-0.0"}, {"-0.0", "-0.0"}, {"-0e0", "-0.0"}, {"-0 ", "-0.0"},
        {"0", "0.0"},   {"0.0", "0.0"},   {"-1", "-1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.written + "]");
        const std::string input = R"({"schema":1,"updatedAt":)" + c.written +
                                  R"(,"account":"","total":0,"notes":[{"id":"i","title":"t",)" +
                                  R"("remindAt":)" + c.written + "}]}";
        expectAnswer(run({"publish"}, input), acknowledgement);
        const auto stored = readFile(snapshotFile());
        ASSERT_TRUE(stored);
        EXPECT_NE(stored->find("\"updatedAt\":" + c.stored + ","), std::string::npos) << *stored;
        EXPECT_NE(stored->find("\"remindAt\":" + c.stored + "}"), std::string::npos) << *stored;
    }
}

TEST_F(BridgePublishTest, ReloadRequestReachesASocketBeyondTheAddressLengthLimit) {
    // sockaddr_un holds 108 bytes; this container path alone is longer.
    const fs::path dataHome = root.path() / std::string(60, 'd') / std::string(60, 'e');
    const fs::path container = dataHome / "group-containers" / jotbird::jotbirdGroup;
    ASSERT_GT((container / "widget-host.sock").string().size(), sizeof(sockaddr_un{}.sun_path));
    fs::create_directories(container);
    ReloadListener host(container);

    const std::string sample = encoded(testsupport::sampleSnapshot());
    expectAnswer(runBridge({"publish"}, sample, dataHome, home()), acknowledgement);
    EXPECT_EQ(host.received(), oneReloadRequest);
    EXPECT_EQ(readFile(container / "widget-snapshot.json"), sample);
}

TEST_F(BridgePublishTest, PublishSucceedsWhenNoHostListens) {
    const std::string sample = encoded(testsupport::sampleSnapshot());
    const fs::path socketPath = container() / "widget-host.sock";
    struct Case {
        std::string name;
        std::function<void()> prepare;
    };
    std::optional<ReloadListener> streamHost;
    const std::vector<Case> cases{
        {"no container yet", [] {}},
        {"no socket", [] {}},
        {"a socket left by a host that has gone", [&] { ReloadListener gone(container()); }},
        {"a regular file", [&] { writeFile(socketPath, "not a socket"); }},
        {"a directory", [&] { fs::create_directory(socketPath); }},
        {"a stream socket", [&] { streamHost.emplace(container(), SOCK_STREAM); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.name != "no container yet") {
            makeContainer();
            fs::remove_all(socketPath);
        }
        c.prepare();
        expectAnswer(run({"publish"}, sample), acknowledgement);
        EXPECT_EQ(readFile(snapshotFile()), sample);
        streamHost.reset();
    }
}

TEST_F(BridgePublishTest, PublishDoesNotWaitForAHostWithAFullQueue) {
    makeContainer();
    ReloadListener host(container());
    // Fill the host's queue from another socket until it takes no more.
    const int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(sender, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (container() / "widget-host.sock").string();
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::connect(sender, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    while (::send(sender, "filler", 6, 0) == 6) {
    }
    EXPECT_EQ(errno, EAGAIN);
    ::close(sender);

    const std::string sample = encoded(testsupport::sampleSnapshot());
    expectAnswer(run({"publish"}, sample), acknowledgement);
    EXPECT_EQ(readFile(snapshotFile()), sample);
}

}  // namespace
}  // namespace bridgetest

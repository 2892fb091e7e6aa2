// The shared container: where it is, reading the snapshot with its fallback, and the width
// file. Every test gets its own XDG_DATA_HOME.

#include "shared/container_storage.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shared/snapshot_coding.hpp"
#include "support/files.hpp"
#include "support/samples.hpp"

namespace {

namespace fs = std::filesystem;
using jotbird::WidgetSnapshot;
using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::writeFile;

double nowInMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// Every path under `root`, relative to it, so that a test can tell nothing was made.
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.insert(fs::relative(entry.path(), root).string());
    return paths;
}

class ContainerStorageTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory root;
    testsupport::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME",
                                                    (root.path() / "data").string()};
    testsupport::ScopedEnvironmentVariable home{"HOME", (root.path() / "home").string()};

    fs::path container() const {
        return root.path() / "data" / "group-containers" / jotbird::jotbirdGroup;
    }
    fs::path snapshotFile() const { return container() / "widget-snapshot.json"; }
    fs::path widthFile() const { return container() / "medium-width.txt"; }
    void makeContainer() const { fs::create_directories(container()); }

    // Runs `read` and checks it gave the empty snapshot made during the call.
    static void expectFallback(const std::function<WidgetSnapshot()>& read) {
        const double before = nowInMilliseconds();
        const WidgetSnapshot snapshot = read();
        const double after = nowInMilliseconds();
        EXPECT_GE(snapshot.updatedAt, std::floor(before));
        EXPECT_LE(snapshot.updatedAt, std::ceil(after));
        WidgetSnapshot expected = WidgetSnapshot::empty();
        expected.updatedAt = snapshot.updatedAt;
        EXPECT_EQ(snapshot, expected);
    }
};

TEST_F(ContainerStorageTest, ContainerFollowsAbsoluteXdgSettingsOnly) {
    const fs::path r = root.path();
    const fs::path group(jotbird::jotbirdGroup);
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::optional<fs::path> expected;
    };
    const std::vector<Case> cases{
        {(r / "data").string(), (r / "home").string(), r / "data/group-containers" / group},
        {(r / "data").string(), std::nullopt, r / "data/group-containers" / group},
        {std::nullopt, (r / "home").string(), r / "home/.local/share/group-containers" / group},
        {"", (r / "home").string(), r / "home/.local/share/group-containers" / group},
        {"data", (r / "home").string(), r / "home/.local/share/group-containers" / group},
        {std::nullopt, std::nullopt, std::nullopt},
        {"data", std::nullopt, std::nullopt},
        {"~/data", std::nullopt, std::nullopt},
        {std::nullopt, "home", std::nullopt},
        {"", "", std::nullopt},
        {"data", "./home", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("XDG_DATA_HOME=" + c.dataHome.value_or("(unset)") +
                     " HOME=" + c.home.value_or("(unset)"));
        testsupport::ScopedEnvironmentVariable x("XDG_DATA_HOME", c.dataHome);
        testsupport::ScopedEnvironmentVariable h("HOME", c.home);
        if (c.expected) {
            EXPECT_EQ(jotbird::snapshotURL(), *c.expected / "widget-snapshot.json");
            EXPECT_EQ(jotbird::widthURL(), *c.expected / "medium-width.txt");
        } else {
            EXPECT_FALSE(jotbird::snapshotURL());
            EXPECT_FALSE(jotbird::widthURL());
        }
    }
    // Looking the container up creates nothing.
    EXPECT_TRUE(treeOf(root.path()).empty());
}

TEST_F(ContainerStorageTest, WithoutAContainerNothingIsReadOrWritten) {
    // Usable files wait where a relative setting would point from the working directory; a
    // lookup that honoured relative settings would find them.
    const fs::path cwd = root.path();
    for (const fs::path& dir :
         {cwd / "data/group-containers" / jotbird::jotbirdGroup,
          cwd / "home/.local/share/group-containers" / jotbird::jotbirdGroup}) {
        fs::create_directories(dir);
        writeFile(dir / "widget-snapshot.json", *jotbird::encode(testsupport::sampleSnapshot()));
        writeFile(dir / "medium-width.txt", "300");
    }
    const auto before = treeOf(root.path());
    const fs::path savedCwd = fs::current_path();
    fs::current_path(cwd);

    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
    };
    const std::vector<Case> cases{
        {std::nullopt, std::nullopt},
        {"data", std::nullopt},
        {std::nullopt, "home"},
        {"", ""},
        {"data", "home"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("XDG_DATA_HOME=" + c.dataHome.value_or("(unset)") +
                     " HOME=" + c.home.value_or("(unset)"));
        testsupport::ScopedEnvironmentVariable x("XDG_DATA_HOME", c.dataHome);
        testsupport::ScopedEnvironmentVariable h("HOME", c.home);
        expectFallback(jotbird::readSnapshot);
        EXPECT_FALSE(jotbird::mediumWidth());
        jotbird::rememberMediumWidth(364.0);
        EXPECT_EQ(treeOf(root.path()), before);
        EXPECT_EQ(
            readFile(cwd / "data/group-containers" / jotbird::jotbirdGroup / "medium-width.txt"),
            "300");
    }
    fs::current_path(savedCwd);
}

TEST_F(ContainerStorageTest, ReadSnapshotFallsBackToTheEmptySnapshotOfNow) {
    const WidgetSnapshot sample = testsupport::sampleSnapshot();
    const std::string sampleJson = *jotbird::encode(sample);
    auto jsonWith = [&](auto change) {
        WidgetSnapshot snapshot = sample;
        change(snapshot);
        return *jotbird::encode(snapshot);
    };
    std::string hostileIgnored = sampleJson;
    hostileIgnored.insert(
        1, "\"ignored\":" + testsupport::nestedArrays(testsupport::hostileDepth) + ",");
    ASSERT_LE(hostileIgnored.size(), 65535u);

    struct Case {
        std::string name;
        std::optional<std::string> content;      // nullopt: no file
        std::optional<WidgetSnapshot> expected;  // nullopt: the fallback
    };
    WidgetSnapshot unlimited = sample;
    unlimited.total = -1;
    unlimited.notes.assign(13, sample.notes[0]);
    const std::vector<Case> cases{
        {"valid", sampleJson, sample},
        {"missing", std::nullopt, std::nullopt},
        {"zero bytes", "", std::nullopt},
        {"schema 2", jsonWith([](WidgetSnapshot& s) { s.schema = 2; }), std::nullopt},
        {"schema 0", jsonWith([](WidgetSnapshot& s) { s.schema = 0; }), std::nullopt},
        {"undecodable", "{\"schema\":1,", std::nullopt},
        {"not an object", "[]", std::nullopt},
        {"invalid UTF-8", std::string(sampleJson).replace(sampleJson.find("me@"), 2, "\xC0\xAF"),
         std::nullopt},
        // Only the schema is the reader's concern; the publish limits are the bridge's.
        {"beyond the publish limits", *jotbird::encode(unlimited), unlimited},
        {"exactly 65,535 bytes", testsupport::paddedTo(sampleJson, 65535), sample},
        {"65,536 bytes", testsupport::paddedTo(sampleJson, 65536), std::nullopt},
        {"1 MB", testsupport::paddedTo(sampleJson, 1 << 20), std::nullopt},
        {"hostile nesting under an unknown key", hostileIgnored, sample},
        {"hostile nesting as the notes",
         "{\"schema\":1,\"updatedAt\":1,\"account\":\"\",\"total\":0,\"notes\":" +
             testsupport::nestedArrays(testsupport::hostileDepth) + "}",
         std::nullopt},
    };
    makeContainer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(snapshotFile());
        if (c.content) writeFile(snapshotFile(), *c.content);
        if (c.expected)
            EXPECT_EQ(jotbird::readSnapshot(), *c.expected);
        else
            expectFallback(jotbird::readSnapshot);
    }

    // A path that cannot be read as a file at all.
    fs::remove(snapshotFile());
    fs::create_directory(snapshotFile());
    expectFallback(jotbird::readSnapshot);
}

TEST_F(ContainerStorageTest, ReadSnapshotWithoutTheContainerDirectoryFallsBack) {
    expectFallback(jotbird::readSnapshot);
    EXPECT_FALSE(fs::exists(root.path() / "data"));
}

TEST_F(ContainerStorageTest, MediumWidthAcceptsOnlyAPlainIntegerWithinRange) {
    struct Case {
        std::optional<std::string> content;  // nullopt: no file
        std::optional<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"364", 364},    {"280", 280},        {"480", 480},   {"+300", 300},
        {"0300", 300},   {"0000000364", 364}, {"+0480", 480}, {std::nullopt, {}},
        {"", {}},        {"-300", {}},        {" 300", {}},   {"300\n", {}},
        {"300 ", {}},    {"3e2", {}},         {"300.0", {}},  {"500", {}},
        {"279", {}},     {"481", {}},         {"0", {}},      {"-0", {}},
        {"+", {}},       {"-", {}},           {"3\xFF", {}},  {"9223372036854775808", {}},
        {"364\r\n", {}}, {"\uFEFF364", {}},  // byte order mark
    };
    makeContainer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content ? "\"" + *c.content + "\"" : "no file");
        fs::remove(widthFile());
        if (c.content) writeFile(widthFile(), *c.content);
        EXPECT_EQ(jotbird::mediumWidth(), c.expected);
    }
    // A file longer than 4,096 bytes is no width, whatever it spells.
    writeFile(widthFile(), std::string(4093, '0') + "364");
    EXPECT_EQ(jotbird::mediumWidth(), 364);
    writeFile(widthFile(), std::string(4094, '0') + "364");
    EXPECT_FALSE(jotbird::mediumWidth());
    fs::remove(widthFile());
    fs::create_directory(widthFile());
    EXPECT_FALSE(jotbird::mediumWidth());
}

TEST_F(ContainerStorageTest, RememberMediumWidthStoresRoundedUsableWidthsThatDiffer) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::optional<std::string> stored;  // nullopt: no file
        double width;
        std::optional<std::string> after;  // the file's content afterwards
        bool rewritten;
    };
    const std::vector<Case> cases{
        {std::nullopt, 280.0, "280", true},
        {std::nullopt, 480.0, "480", true},
        {std::nullopt, 479.6, "480", true},
        {std::nullopt, 300.5, "301", true},
        {std::nullopt, 300.49, "300", true},
        {std::nullopt, 280.4, "280", true},
        // The range test is on the width as given, before rounding.
        {std::nullopt, 279.99, std::nullopt, false},
        {std::nullopt, 279.5, std::nullopt, false},
        {std::nullopt, 480.2, std::nullopt, false},
        {std::nullopt, 0.0, std::nullopt, false},
        {std::nullopt, -364.0, std::nullopt, false},
        {std::nullopt, inf, std::nullopt, false},
        {std::nullopt, -inf, std::nullopt, false},
        {std::nullopt, nan, std::nullopt, false},
        {"364", 364.4, "364", false},
        {"364", 363.5, "364", false},
        {"364", 364.0, "364", false},
        {"364", 364.6, "365", true},
        {"364", 279.99, "364", false},
        {"364", nan, "364", false},
        {"364\n", 364.0, "364", true},
        {"500", 364.0, "364", true},
        {"500", 480.0, "480", true},
        {"", 300.0, "300", true},
        {"wide", 300.0, "300", true},
        // Other spellings of the same value count as the same width.
        {"+364", 364.0, "+364", false},
        {"0364", 364.2, "0364", false},
    };
    makeContainer();
    // A time no write of today can produce, so an unchanged modification time means no write.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE((c.stored ? "\"" + *c.stored + "\"" : "no file") + " then " +
                     std::to_string(c.width));
        fs::remove(widthFile());
        struct stat before {};
        if (c.stored) {
            writeFile(widthFile(), *c.stored);
            ASSERT_EQ(::utimensat(AT_FDCWD, widthFile().c_str(), old, 0), 0);
            before = testsupport::fileStatus(widthFile());
        }

        jotbird::rememberMediumWidth(c.width);

        EXPECT_EQ(readFile(widthFile()), c.after);
        // Nothing but the width file itself, no temporary left behind.
        EXPECT_EQ(directoryEntries(container()),
                  c.after ? std::set<std::string>{"medium-width.txt"} : std::set<std::string>{});
        if (!c.stored || !c.after) continue;
        const struct stat after = testsupport::fileStatus(widthFile());
        if (c.rewritten) {
            // Replaced by a rename, never rewritten in place.
            EXPECT_NE(after.st_ino, before.st_ino);
        } else {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(after.st_mtim.tv_sec, old[1].tv_sec);
        }
    }
}

TEST_F(ContainerStorageTest, RememberedWidthReadsBack) {
    makeContainer();
    jotbird::rememberMediumWidth(364.6);
    EXPECT_EQ(jotbird::mediumWidth(), 365);
    jotbird::rememberMediumWidth(280.0);
    EXPECT_EQ(jotbird::mediumWidth(), 280);
}

TEST_F(ContainerStorageTest, RememberMediumWidthNeverCreatesTheContainer) {
    jotbird::rememberMediumWidth(364.0);
    EXPECT_FALSE(fs::exists(root.path() / "data"));

    fs::create_directories(container().parent_path());
    jotbird::rememberMediumWidth(364.0);
    EXPECT_FALSE(fs::exists(container()));
}

TEST_F(ContainerStorageTest, AWidthThatCannotBeStoredLeavesNothingBehind) {
    // A directory in the width file's place makes the final rename fail.
    makeContainer();
    fs::create_directory(widthFile());
    jotbird::rememberMediumWidth(364.0);
    EXPECT_EQ(directoryEntries(container()), std::set<std::string>{"medium-width.txt"});
    EXPECT_TRUE(fs::is_directory(widthFile()));
}

}  // namespace

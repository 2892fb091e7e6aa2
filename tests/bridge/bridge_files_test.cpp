// The files the bridge leaves in the container: private whatever the umask, no temporaries
// after processes killed mid-publish, and readers that do not wait on what is not a file.

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bridge_fixture.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/samples.hpp"

namespace bridgetest {
namespace {

using namespace std::chrono_literals;
using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::writeFile;

const std::string sample = *jotbird::encode(testsupport::sampleSnapshot());

mode_t modeOf(const fs::path& path) {
    return testsupport::fileStatus(path).st_mode & 07777;
}

// Names in the container that only a writer's temporary file has.
std::set<std::string> temporaries(const fs::path& directory) {
    std::set<std::string> found;
    for (const std::string& name : directoryEntries(directory))
        if (name.find(".tmp-") != std::string::npos) found.insert(name);
    return found;
}

class BridgeFilesTest : public BridgeTest {
protected:
    // A container made beforehand by someone else, readable by all.
    void makeOpenContainer() const {
        fs::create_directories(container());
        ::chmod(container().c_str(), 0755);
    }

    // A run that may not wait: killed, and so failing the test, if it takes seconds.
    ProcessResult runBounded(const std::vector<std::string>& arguments,
                             const std::string& input = "") const {
        ProcessOptions bounded = options(arguments, input);
        bounded.killAfter = 5s;
        return testsupport::runProcess(bridgeProgram, bounded);
    }
};

TEST_F(BridgeFilesTest, TheSnapshotIsPrivateWhateverTheUmask) {
    makeOpenContainer();
    for (const mode_t mask : {mode_t(0), mode_t(022), mode_t(077)}) {
        SCOPED_TRACE("umask " + std::to_string(mask));
        const testsupport::ScopedUmask umask(mask);
        expectAnswer(run({"publish"}, sample), acknowledgement);
        EXPECT_EQ(modeOf(snapshotFile()), 0600u);
        // A file that was already there, wider, is replaced by a private one.
        ::chmod(snapshotFile().c_str(), 0644);
        expectAnswer(run({"publish"}, sample), acknowledgement);
        EXPECT_EQ(modeOf(snapshotFile()), 0600u);
        EXPECT_EQ(modeOf(container()), 0755u);  // someone else's choice, left alone
    }
}

TEST_F(BridgeFilesTest, KilledPublishesLeaveNoTemporaryFiles) {
    makeContainer();
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> delay(0, 4000);
    for (int i = 0; i < 150; ++i) {
        ProcessOptions killed = options({"publish"}, sample);
        killed.killAfter = std::chrono::microseconds(delay(random));
        (void)testsupport::runProcess(bridgeProgram, killed);
        // Whatever moment the kill came at, the stored file is whole.
        const auto stored = readFile(snapshotFile());
        if (stored) {
            EXPECT_EQ(*stored, sample);
        }
    }
    // One publish after the kills clears what a kill in the last instant may have named.
    expectAnswer(run({"publish"}, sample), acknowledgement);
    EXPECT_EQ(temporaries(container()), std::set<std::string>{});
}

TEST_F(BridgeFilesTest, OnlyTemporariesThatNoWriterHoldsAreSwept) {
    makeContainer();
    const fs::path stale = container() / ".widget-snapshot.json.tmp-0123456789abcdef";
    const fs::path held = container() / ".widget-snapshot.json.tmp-fedcba9876543210";
    const fs::path otherTarget = container() / ".medium-width.txt.tmp-0123456789abcdef";
    const fs::path notOurs = container() / "notes.tmp-0123456789abcdef";
    for (const fs::path& file : {stale, held, otherTarget, notOurs})
        writeFile(file, "partial");
    // A writer still at work keeps its temporary locked.
    const int writer = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);

    expectAnswer(run({"publish"}, sample), acknowledgement);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::exists(otherTarget));
    EXPECT_TRUE(fs::exists(notOurs));
    ::close(writer);
    EXPECT_EQ(readFile(snapshotFile()), sample);
}

TEST_F(BridgeFilesTest, WhatIsNotARegularFileReadsAsNothingAtOnce) {
    struct Case {
        std::string name;
        std::function<void(const fs::path&)> make;
    };
    const std::vector<Case> cases{
        {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a directory", [](const fs::path& p) { fs::create_directory(p); }},
        {"a link to a FIFO",
         [](const fs::path& p) {
             const fs::path fifo = p.string() + ".fifo";
             ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
             fs::create_symlink(fifo, p);
         }},
        {"a link to a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(container());
        makeContainer();
        c.make(snapshotFile());
        c.make(widthFile());

        const ProcessResult read = runBounded({"read"});
        EXPECT_TRUE(read.exited && read.exitStatus == 0) << describe(read);
        const auto empty = jotbird::decode(read.standardOutput);
        ASSERT_TRUE(empty) << read.standardOutput;
        EXPECT_EQ(empty->total, 0);
        EXPECT_TRUE(empty->notes.empty());
        expectAnswer(runBounded({"medium-width"}), "0\n");
        if (c.name == "a directory") continue;  // a publish over it fails, as it should
        // A publish puts a file in its place.
        expectAnswer(runBounded({"publish"}, sample), acknowledgement);
        EXPECT_EQ(readFile(snapshotFile()), sample);
    }
}

}  // namespace
}  // namespace bridgetest

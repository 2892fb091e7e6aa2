// The error value each way a bridge command fails ends with, taken from the same call the
// program's main makes: domain, code and description, so that no two codes can trade places.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/widget_bridge.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "support/files.hpp"
#include "support/samples.hpp"

namespace {

namespace fs = std::filesystem;
using jotbird::BridgeError;
using testsupport::ScopedEnvironmentVariable;

// A file in memory holding `bytes`, read from its start.
int memoryFile(const std::string& bytes) {
    const int fd = ::memfd_create("bridge-stream", MFD_CLOEXEC);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

std::string contentOf(int fd) {
    std::string bytes(1 << 20, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
    bytes.resize(n < 0 ? 0 : std::size_t(n));
    return bytes;
}

std::string described(const std::optional<BridgeError>& error) {
    if (!error) return "no error";
    return error->domain + " " + std::to_string(error->code) + " " +
           error->description.value_or("(no description)");
}

const std::string sample = *jotbird::encode(testsupport::sampleSnapshot());

std::string withNotes(std::size_t count) {
    jotbird::WidgetSnapshot snapshot = testsupport::sampleSnapshot();
    snapshot.notes.assign(count, {"id", "title", std::nullopt});
    return *jotbird::encode(snapshot);
}

class BridgeErrorTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory root;
    ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", (root.path() / "data").string()};
    ScopedEnvironmentVariable home{"HOME", (root.path() / "home").string()};

    // The command's error, with `input` on its input and a file in memory as its output.
    std::optional<BridgeError> run(std::vector<std::string_view> arguments,
                                   const std::string& input = "", int output = -1) {
        arguments.insert(arguments.begin(), "JotbirdWidgetBridge");
        const int in = memoryFile(input);
        const int out = output >= 0 ? output : memoryFile("");
        auto error = jotbird::runBridgeCommand(arguments, {in, out});
        answer = contentOf(out);
        ::close(in);
        if (output < 0) ::close(out);
        return error;
    }

    std::string answer;
};

TEST_F(BridgeErrorTest, EveryFailureEndsWithItsOwnErrorValue) {
    struct Case {
        std::string name;
        std::vector<std::string_view> arguments;
        std::string input;
        BridgeError expected;
    };
    const std::string tooLarge = testsupport::paddedTo(sample, jotbird::maxSnapshotBytes + 1);
    const std::vector<Case> cases{
        {"a word that names no command", {"Status"}, sample, {"Jotbird", 4, std::nullopt}},
        {"input of 65,536 bytes", {"publish"}, tooLarge, {"Jotbird", 2, std::nullopt}},
        {"13 notes", {"publish"}, withNotes(13), {"Jotbird", 3, std::nullopt}},
        {"not JSON", {"publish"}, "publish", {"JSON", 1, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto error = run(c.arguments, c.input);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain, c.expected.domain);
        EXPECT_EQ(error->code, c.expected.code);
        EXPECT_EQ(error->description, c.expected.description);
        EXPECT_EQ(answer, "");
    }
}

TEST_F(BridgeErrorTest, OnlyAMissingContainerIsDescribed) {
    const ScopedEnvironmentVariable noDataHome("XDG_DATA_HOME", std::nullopt);
    const ScopedEnvironmentVariable noHome("HOME", std::nullopt);
    for (const std::string_view word : {"status", "publish", "read", "medium-width", "bogus"}) {
        SCOPED_TRACE(word);
        const auto error = run({word}, sample);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain, "Jotbird");
        EXPECT_EQ(error->code, 1);
        EXPECT_EQ(error->description, "小组件资料容器不可用");
    }
}

TEST_F(BridgeErrorTest, FileSystemAndStreamErrorsKeepTheirOwnDomainAndCode) {
    {
        SCOPED_TRACE("a file where the container's parent should be");
        fs::create_directories(root.path() / "data");
        testsupport::writeFile(root.path() / "data" / "group-containers", "in the way");
        const auto error = run({"publish"}, sample);
        ASSERT_TRUE(error) << described(error);
        EXPECT_EQ(error->domain, "generic");
        EXPECT_EQ(error->code, ENOTDIR);
        EXPECT_EQ(error->description, std::nullopt);
    }
    {
        SCOPED_TRACE("an answer to a full device");
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(full, 0);
        const auto error = run({"status"}, "", full);
        ::close(full);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain, "generic");
        EXPECT_EQ(error->code, ENOSPC);
        EXPECT_EQ(error->description, std::nullopt);
    }
}

TEST_F(BridgeErrorTest, ASucceedingCommandEndsWithNoErrorAndItsAnswer) {
    EXPECT_EQ(described(run({})), "no error");
    EXPECT_EQ(answer, "{\"ok\":true,\"group\":\"group.jotbird.notes\"}\n");
    EXPECT_EQ(described(run({"publish"}, sample)), "no error");
    EXPECT_EQ(answer, "{\"ok\":true}\n");
    EXPECT_EQ(described(run({"read"})), "no error");
    EXPECT_EQ(answer, sample);
}

}  // namespace

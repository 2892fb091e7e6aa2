// Lines written without blocking: a full pipe queues lines up to the backlog and then loses
// whole lines instead of holding up the writer, a reader never sees part of a line followed
// by another, and the stream's own flags stay as they were for whoever else holds it.

#include "platform/foundation/line_output.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A pipe of one page, both ends owned.
struct SmallPipe {
    int read = -1, write = -1;
    SmallPipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
        read = ends[0];
        write = ends[1];
        ::fcntl(write, F_SETPIPE_SZ, 4096);
    }
    ~SmallPipe() {
        ::close(read);
        ::close(write);
    }
    std::string drain() const {
        const int flags = ::fcntl(read, F_GETFL);
        ::fcntl(read, F_SETFL, flags | O_NONBLOCK);
        std::string text;
        char buffer[8192];
        for (ssize_t n; (n = ::read(read, buffer, sizeof buffer)) > 0;)
            text.append(buffer, std::size_t(n));
        ::fcntl(read, F_SETFL, flags);
        return text;
    }
};

TEST(LineOutput, AFullPipeQueuesThenLosesWholeLinesAndNeverWaits) {
    SmallPipe pipe;
    foundation::LineOutput output = foundation::nonBlockingLines(pipe.write);
    // The inherited descriptor keeps blocking for everyone else who holds it.
    EXPECT_FALSE(::fcntl(pipe.write, F_GETFL) & O_NONBLOCK);

    // Far more than the page and the backlog hold, in lengths that leave parts of lines at the
    // page's end; nobody reads meanwhile, and no call waits.
    std::vector<std::string> written;
    for (int i = 0; i < 60; ++i)
        written.push_back(std::string(std::size_t(300 + 97 * i), char('A' + i % 26)) +
                          std::to_string(i));
    std::size_t accepted = 0;
    for (const std::string& line : written)
        accepted += foundation::writeLineWithoutBlocking(output, line) ? 1 : 0;
    EXPECT_GT(output.dropped, 0u);
    EXPECT_GT(accepted, 1u);
    EXPECT_EQ(accepted + output.dropped, written.size());
    EXPECT_LE(output.pending.size(), foundation::lineOutputBacklog);
    EXPECT_TRUE(foundation::linesWaiting(output));

    // Once the reader catches up, the backlog is handed over as the pipe turns writable, and
    // a line written then comes after it.
    std::string seen;
    for (int turn = 0; turn < 1000 && foundation::linesWaiting(output); ++turn) {
        seen += pipe.drain();
        foundation::flushLines(output);
    }
    EXPECT_FALSE(foundation::linesWaiting(output));
    written.push_back("last");
    EXPECT_TRUE(foundation::writeLineWithoutBlocking(output, "last"));
    seen += pipe.drain();

    // Only whole lines, each one written, in the order written, the last one among them.
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = seen.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(seen.substr(start, end - start));
    EXPECT_TRUE(seen.ends_with("last\n"));
    EXPECT_EQ(lines.size(), accepted + 1);
    auto next = written.begin();
    for (const std::string& line : lines) {
        next = std::find(next, written.end(), line);
        ASSERT_NE(next, written.end()) << "not a whole written line: " << line.substr(0, 20);
        ++next;
    }
}

TEST(LineOutput, AReaderThatWentAwayOnlyLosesTheLines) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    ::close(ends[0]);
    ::signal(SIGPIPE, SIG_IGN);
    foundation::LineOutput output = foundation::nonBlockingLines(ends[1]);
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(foundation::writeLineWithoutBlocking(output, "lost"));
    EXPECT_TRUE(output.broken);
    EXPECT_FALSE(foundation::linesWaiting(output));
    EXPECT_EQ(output.dropped, 10u);
    ::close(ends[1]);
}

TEST(LineOutput, AReaderLeavingWithABacklogDropsItAndStopsWaiting) {
    ::signal(SIGPIPE, SIG_IGN);
    SmallPipe pipe;
    foundation::LineOutput output = foundation::nonBlockingLines(pipe.write);
    const std::string line(1000, 'x');
    while (!foundation::linesWaiting(output))
        ASSERT_TRUE(foundation::writeLineWithoutBlocking(output, line));
    ::close(pipe.read);
    pipe.read = ::open("/dev/null", O_RDONLY | O_CLOEXEC);  // closed again by the fixture
    foundation::flushLines(output);
    EXPECT_TRUE(output.broken);
    EXPECT_TRUE(output.pending.empty());
    EXPECT_FALSE(foundation::writeLineWithoutBlocking(output, line));
}

TEST(LineOutput, ARegularFileGetsEveryLine) {
    char name[] = "/tmp/line-output-XXXXXX";
    const int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::unlink(name);
    foundation::LineOutput output = foundation::nonBlockingLines(fd);
    for (const char* line : {"one", "two"})
        EXPECT_TRUE(foundation::writeLineWithoutBlocking(output, line));
    char buffer[16] = {};
    EXPECT_EQ(::pread(fd, buffer, sizeof buffer, 0), 8);
    EXPECT_EQ(std::string(buffer), "one\ntwo\n");
    ::close(fd);
}

}  // namespace

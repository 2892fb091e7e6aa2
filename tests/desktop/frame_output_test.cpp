// The host's frame lines never block it: a reader that stalls gets whole lines queued up to
// the backlog and then dropped, and the main loop hands it the backlog once it reads again.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/desktop/frame_output.hpp"

namespace desktop {
namespace {

struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        read = fds[0];
        write = fds[1];
        ::fcntl(write, F_SETPIPE_SZ, 4096);
        ::fcntl(read, F_SETFL, O_NONBLOCK);
    }
    ~Pipe() {
        if (read >= 0) ::close(read);
        if (write >= 0) ::close(write);
    }
    std::string drain() {
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(read, buffer, sizeof buffer);
            if (n <= 0) return text;
            text.append(buffer, std::size_t(n));
        }
    }
};

const std::string line(120, 'x');

TEST(FrameOutput, StalledReaderNeverBlocksAndLinesStayWhole) {
    Pipe pipe;
    FrameOutput output;
    openFrameOutput(output, pipe.write, false);
    const auto start = std::chrono::steady_clock::now();
    const std::size_t written = 2 * foundation::lineOutputBacklog / line.size();
    for (std::size_t i = 0; i < written; ++i)
        writeFrameLine(output, line);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_GT(output.lines.dropped, 0u);
    EXPECT_LE(output.lines.pending.size(), foundation::lineOutputBacklog);
    EXPECT_NE(output.watch.id, 0u);

    // The reader comes back: the main loop hands it the backlog.
    std::string received;
    for (int turn = 0; turn < 1000 && (!output.lines.pending.empty() || received.empty()); ++turn) {
        received += pipe.drain();
        g_main_context_iteration(nullptr, FALSE);
    }
    received += pipe.drain();
    ASSERT_TRUE(output.lines.pending.empty());
    EXPECT_EQ(output.watch.id, 0u);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.size() % (line.size() + 1), 0u);
    for (std::size_t at = 0; at < received.size(); at += line.size() + 1)
        ASSERT_EQ(received.substr(at, line.size() + 1), line + "\n") << at;
    EXPECT_EQ(received.size() / (line.size() + 1) + output.lines.dropped, written);
}

TEST(FrameOutput, GoneReaderAndQuietWriteNothing) {
    ::signal(SIGPIPE, SIG_IGN);  // as the host does before it writes anything
    Pipe gone;
    ::close(gone.read);
    gone.read = -1;
    FrameOutput output;
    openFrameOutput(output, gone.write, false);
    for (int i = 0; i < 10; ++i)
        writeFrameLine(output, line);  // no error for the caller
    EXPECT_TRUE(output.lines.broken);
    EXPECT_EQ(output.watch.id, 0u);  // nothing left to wait for

    Pipe pipe;
    FrameOutput quiet;
    openFrameOutput(quiet, pipe.write, true);
    writeFrameLine(quiet, line);
    EXPECT_EQ(pipe.drain(), "");
}

}  // namespace
}  // namespace desktop

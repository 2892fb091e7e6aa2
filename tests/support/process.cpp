#include "support/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

extern char** environ;

namespace testsupport {
namespace {

using namespace std::chrono_literals;

[[noreturn]] void fail(const char* what, int error = errno) {
    throw std::system_error(error, std::generic_category(), what);
}

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        // Close-on-exec, so that children started from other threads never inherit them.
        if (::pipe2(fds, O_CLOEXEC) != 0) fail("pipe2");
        read = fds[0];
        write = fds[1];
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    void closeRead() {
        if (read >= 0) ::close(read);
        read = -1;
    }
    void closeWrite() {
        if (write >= 0) ::close(write);
        write = -1;
    }
};

std::vector<std::string> childEnvironment(
    const std::map<std::string, std::optional<std::string>>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!changes.contains(name)) entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value) entries.push_back(name + "=" + *value);
    return entries;
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

void drain(int& fd, std::string& into) {
    std::array<char, 65536> buffer;
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n > 0) {
        into.append(buffer.data(), std::size_t(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ProcessResult runProcess(const std::filesystem::path& program, const ProcessOptions& options) {
    // Feeding a child that has already gone must show up as EPIPE here, not kill the runner.
    ::signal(SIGPIPE, SIG_IGN);

    Pipe input, output, error;
    std::optional<Pipe> broken;
    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, input.read, STDIN_FILENO);
    switch (options.standardOutput) {
        case OutputSink::capture:
            posix_spawn_file_actions_adddup2(&setup.actions, output.write, STDOUT_FILENO);
            break;
        case OutputSink::closed:
            posix_spawn_file_actions_addclose(&setup.actions, STDOUT_FILENO);
            break;
        case OutputSink::deviceFull:
            posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/full", O_WRONLY,
                                             0);
            break;
        case OutputSink::brokenPipe:
            broken.emplace();
            broken->closeRead();
            posix_spawn_file_actions_adddup2(&setup.actions, broken->write, STDOUT_FILENO);
            break;
    }
    posix_spawn_file_actions_adddup2(&setup.actions, error.write, STDERR_FILENO);
    if (options.nonBlockingStreams) {
        // O_NONBLOCK belongs to the open pipe, so the child's duplicates have it too.
        ::fcntl(input.read, F_SETFL, O_NONBLOCK);
        ::fcntl(output.write, F_SETFL, O_NONBLOCK);
        ::fcntl(output.write, F_SETPIPE_SZ, 4096);
    }
    if (options.workingDirectory)
        posix_spawn_file_actions_addchdir_np(&setup.actions, options.workingDirectory->c_str());

    sigset_t defaults, empty;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&empty);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setsigmask(&setup.attributes, &empty);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = childEnvironment(options.environment);
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    if (int rc = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes,
                               argv.data(), envp.data());
        rc != 0)
        fail("posix_spawn", rc);

    // Only the child keeps these ends now.
    input.closeRead();
    output.closeWrite();
    error.closeWrite();
    if (broken) broken->closeWrite();
    if (options.standardOutput != OutputSink::capture) output.closeRead();

    ProcessResult result;
    std::string_view pending = options.standardInput;
    if (pending.empty()) input.closeWrite();
    if (input.write >= 0) ::fcntl(input.write, F_SETFL, O_NONBLOCK);
    // A slow peer feeds the first half of the input late, then the second half later still.
    std::size_t pauseAt = std::string_view::npos;
    if (options.peerDelay.count() > 0) {
        std::this_thread::sleep_for(options.peerDelay);
        pauseAt = pending.size() / 2;
    }

    using Clock = std::chrono::steady_clock;
    bool killPending = options.killAfter.has_value();
    const Clock::time_point killAt =
        Clock::now() + options.killAfter.value_or(std::chrono::microseconds(0));
    // Poll in steps no longer than the time left before the kill, then kill once.
    auto pollTimeout = [&]() -> int {
        if (!killPending) return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(killAt - Clock::now());
        if (left.count() > 0) return int(left.count());
        ::kill(pid, SIGKILL);
        killPending = false;
        return -1;
    };

    while (input.write >= 0 || output.read >= 0 || error.read >= 0) {
        std::array<pollfd, 3> fds{
            {{input.write, POLLOUT, 0}, {output.read, POLLIN, 0}, {error.read, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), pollTimeout()) < 0) {
            if (errno == EINTR) continue;
            fail("poll");
        }
        if (fds[0].revents != 0) {
            const std::size_t now =
                std::min(pending.size(), pauseAt - result.standardInputAccepted);
            const ssize_t n = ::write(input.write, pending.data(), now);
            if (n > 0) {
                pending.remove_prefix(std::size_t(n));
                result.standardInputAccepted += std::size_t(n);
            }
            if (result.standardInputAccepted == pauseAt) {
                std::this_thread::sleep_for(options.peerDelay);
                pauseAt = std::string_view::npos;
            }
            if (pending.empty() || (n < 0 && errno != EAGAIN && errno != EINTR)) input.closeWrite();
        }
        if (fds[1].revents != 0) drain(output.read, result.standardOutput);
        if (fds[2].revents != 0) drain(error.read, result.standardError);
    }

    // A child that closed its streams but runs on still gets its kill when it is due.
    int status = 0;
    for (pid_t ended = 0; killPending && ended != pid; std::this_thread::sleep_for(1ms)) {
        ended = ::waitpid(pid, &status, WNOHANG);
        if (ended < 0 && errno != EINTR) fail("waitpid");
        if (ended != pid && Clock::now() >= killAt) {
            ::kill(pid, SIGKILL);
            killPending = false;
        }
    }
    while (!killPending && ::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) fail("waitpid");
    result.exited = WIFEXITED(status);
    if (result.exited)
        result.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

std::string describe(const ProcessResult& result) {
    std::string text = result.exited ? "exit status " + std::to_string(result.exitStatus)
                                     : "killed by signal " + std::to_string(result.signal) + " (" +
                                           ::strsignal(result.signal) + ")";
    text += ", stdout " + std::to_string(result.standardOutput.size()) + " bytes, stderr \"" +
            result.standardError + "\"";
    return text;
}

}  // namespace testsupport

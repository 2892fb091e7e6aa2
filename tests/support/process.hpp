#pragma once
// Runs a program as a child process with chosen arguments, environment and standard streams,
// and collects what it wrote and how it ended.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Where the child's standard output goes.
enum class OutputSink {
    capture,     // a pipe read by the runner
    closed,      // descriptor 1 closed before the program starts
    deviceFull,  // /dev/full: every write fails with ENOSPC
    brokenPipe,  // a pipe whose reading end is already gone
};

struct ProcessOptions {
    std::vector<std::string> arguments;  // after the program's own name
    // Changes to the runner's environment: a value sets the variable, nullopt removes it.
    std::map<std::string, std::optional<std::string>> environment;
    std::string standardInput;  // written through a pipe, then end of file
    OutputSink standardOutput = OutputSink::capture;
    std::optional<std::filesystem::path> workingDirectory;
    // The child is sent SIGKILL once this long has passed: a bound on a run that might hang,
    // or a kill at a chosen moment.
    std::optional<std::chrono::microseconds> killAfter;
    // The child's ends of its standard input and captured output are non-blocking, as a caller
    // that set O_NONBLOCK on a pipe it shares would leave them; the output pipe holds one page.
    bool nonBlockingStreams = false;
    // A slow peer: the runner waits this long before it feeds standard input, again halfway
    // through it, and before it first reads standard output.
    std::chrono::milliseconds peerDelay{0};
};

struct ProcessResult {
    std::string standardOutput;
    std::string standardError;
    bool exited = false;                    // ended by exit(); otherwise by a signal
    int exitStatus = -1;                    // when exited
    int signal = 0;                         // when not exited
    std::size_t standardInputAccepted = 0;  // bytes the pipe took before the child closed it
};

// Starts `program` and waits for it to end. Standard input is fed and both outputs drained in
// one poll loop, so large inputs and outputs cannot deadlock. SIGPIPE is reset to its default
// action in the child, whatever the runner does with it. Throws std::system_error when the
// child cannot be started.
ProcessResult runProcess(const std::filesystem::path& program, const ProcessOptions& options);

// True for a clean exit with status 0; a readable summary otherwise, for test messages.
std::string describe(const ProcessResult& result);

}  // namespace testsupport

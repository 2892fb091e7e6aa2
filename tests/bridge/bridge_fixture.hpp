#pragma once
// Runs the built bridge program against a container of its own, as the notes app would.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "shared/container_storage.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace bridgetest {

namespace fs = std::filesystem;
using testsupport::OutputSink;
using testsupport::ProcessOptions;
using testsupport::ProcessResult;

inline const fs::path bridgeProgram = JOTBIRD_BRIDGE_PATH;
inline const std::string acknowledgement = "{\"ok\":true}\n";
inline const std::string failureLine = "Jotbird widget bridge failed\n";
inline const std::string statusLine =
    "{\"ok\":true,\"group\":\"" + std::string(jotbird::jotbirdGroup) + "\"}\n";

// A run of the bridge with `input` on standard input and the container under `dataHome`.
inline ProcessOptions bridgeOptions(const std::vector<std::string>& arguments,
                                    const std::string& input, const fs::path& dataHome,
                                    const fs::path& home) {
    ProcessOptions options;
    options.arguments = arguments;
    options.standardInput = input;
    options.environment = {{"XDG_DATA_HOME", dataHome.string()}, {"HOME", home.string()}};
    return options;
}

inline ProcessResult runBridge(const std::vector<std::string>& arguments, const std::string& input,
                               const fs::path& dataHome, const fs::path& home,
                               OutputSink sink = OutputSink::capture) {
    ProcessOptions options = bridgeOptions(arguments, input, dataHome, home);
    options.standardOutput = sink;
    return testsupport::runProcess(bridgeProgram, options);
}

// Runs the bridge bound by file permissions as any user is: root's overrides of them are
// dropped before it starts.
inline ProcessResult runBridgeWithoutOverrides(ProcessOptions options) {
    if (::geteuid() != 0) return testsupport::runProcess(bridgeProgram, options);
    options.arguments.insert(options.arguments.begin(),
                             {"--bounding-set=-dac_override,-dac_read_search", bridgeProgram});
    return testsupport::runProcess("/usr/bin/setpriv", options);
}

// A run that succeeded with exactly `output` and nothing on standard error.
inline void expectAnswer(const ProcessResult& result, const std::string& output) {
    EXPECT_TRUE(result.exited && result.exitStatus == 0) << describe(result);
    EXPECT_EQ(result.standardOutput, output);
    EXPECT_EQ(result.standardError, "");
}

// A run that failed the one way every failure ends.
inline void expectFailure(const ProcessResult& result) {
    EXPECT_TRUE(result.exited && result.exitStatus == 1) << describe(result);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.standardError, failureLine);
}

// The widget host's end of the reload request: a datagram socket bound in the container.
// Paths too long for sockaddr_un are bound through a descriptor of the directory.
class ReloadListener {
public:
    explicit ReloadListener(const fs::path& container, int type = SOCK_DGRAM) {
        fd_ = ::socket(AF_UNIX, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "socket");
        std::string path = (container / "widget-host.sock").string();
        sockaddr_un address{};
        if (path.size() >= sizeof address.sun_path) {
            directory_ = ::open(container.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (directory_ < 0) throw std::system_error(errno, std::generic_category(), "open");
            path = "/proc/self/fd/" + std::to_string(directory_) + "/widget-host.sock";
        }
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::system_error(errno, std::generic_category(), "bind " + path);
        if (type == SOCK_STREAM) ::listen(fd_, 1);
    }
    ~ReloadListener() {
        ::close(fd_);
        if (directory_ >= 0) ::close(directory_);
    }
    ReloadListener(const ReloadListener&) = delete;
    ReloadListener& operator=(const ReloadListener&) = delete;

    // Every datagram queued so far, without waiting for more.
    std::vector<std::string> received() {
        std::vector<std::string> datagrams;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < 0) break;
            datagrams.emplace_back(buffer, std::size_t(n));
        }
        return datagrams;
    }

    int fd() const { return fd_; }

private:
    int fd_ = -1;
    int directory_ = -1;
};

inline const std::vector<std::string> oneReloadRequest{"JotbirdNotes"};

class BridgeTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory root;

    fs::path dataHome() const { return root.path() / "data"; }
    fs::path home() const { return root.path() / "home"; }
    fs::path container() const { return dataHome() / "group-containers" / jotbird::jotbirdGroup; }
    fs::path snapshotFile() const { return container() / "widget-snapshot.json"; }
    fs::path widthFile() const { return container() / "medium-width.txt"; }
    void makeContainer() const {
        fs::create_directories(container());
        fs::permissions(container(), fs::perms::owner_all);
    }

    ProcessOptions options(const std::vector<std::string>& arguments,
                           const std::string& input = "") const {
        return bridgeOptions(arguments, input, dataHome(), home());
    }

    ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = "",
                      OutputSink sink = OutputSink::capture) const {
        return runBridge(arguments, input, dataHome(), home(), sink);
    }
};

}  // namespace bridgetest

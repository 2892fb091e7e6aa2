// `JotbirdWidgets serve` as a person keeping a widget live sees it: the built program runs as a
// child process beside the real bridge, in a data home of its own.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/widgetkit/reload_request.hpp"
#include "platform/widgetkit/unix_socket_address.hpp"
#include "shared/container_storage.hpp"
#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;
using namespace std::chrono_literals;

const fs::path widgetsProgram = JOTBIRD_WIDGETS_PATH;

// Generous: the events waited for take milliseconds, but a loaded machine may be slow.
constexpr auto deadline = 5s;
// How long the host gets to show that it does not react.
constexpr auto quietPeriod = 1s;

[[noreturn]] void fail(const char* what, int error = errno) {
    throw std::system_error(error, std::generic_category(), what);
}

std::vector<std::string> environmentWith(
    const std::map<std::string, std::optional<std::string>>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!changes.contains(text.substr(0, text.find('=')))) entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value) entries.push_back(name + "=" + *value);
    return entries;
}

// How a child ended.
struct Ending {
    bool exited = false;
    int status = -1;  // exit status, or the signal that ended it
};

// A running `serve`: its standard output parsed line by line as it comes, its standard error
// kept as text. Killed at the end of the test if it is still running.
class ServeProcess {
public:
    // With `readOutput` false nobody reads its standard output or error, pipes of one page
    // each: readers that stall.
    ServeProcess(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::optional<std::string>>& environment,
                 bool readOutput = true)
        : readOutput_(readOutput) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) fail("pipe2");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

        std::vector<std::string> args{widgetsProgram.string(), "serve"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& argument : args)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = environmentWith(environment);
        std::vector<char*> envp;
        for (auto& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        const int rc = ::posix_spawn(&pid_, widgetsProgram.c_str(), &actions, &attributes,
                                     argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
        if (rc != 0) fail("posix_spawn", rc);
        if (!readOutput_) {
            ::fcntl(out_, F_SETPIPE_SZ, 4096);
            ::fcntl(err_, F_SETPIPE_SZ, 4096);
        }
    }

    ~ServeProcess() {
        if (!ending_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }
    ServeProcess(const ServeProcess&) = delete;
    ServeProcess& operator=(const ServeProcess&) = delete;

    pid_t pid() const { return pid_; }
    const std::vector<Json>& drawings() const { return drawings_; }
    const std::string& standardError() const { return errorText_; }

    // The drawings made so far for `reason`.
    std::vector<Json> drawingsFor(const std::string& reason) const {
        std::vector<Json> found;
        for (const Json& drawing : drawings_)
            if (drawing.value("reason", "") == reason) found.push_back(drawing);
        return found;
    }

    // Reads what the child writes until `done` holds or `timeout` has passed; true if it held.
    bool waitUntil(const std::function<bool()>& done, Clock::duration timeout = deadline) {
        const auto end = Clock::now() + timeout;
        while (!done()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0) return false;
            pump(int(std::min<long>(left.count(), 50)));
        }
        return true;
    }

    // Waits for `count` drawings of each size for `reason`, counting from the start.
    bool waitForDrawings(const std::string& reason, std::size_t count = 1) {
        return waitUntil([&] { return drawingsFor(reason).size() >= 3 * count; });
    }

    // Reads for the whole period, for checks that nothing happens.
    void keepReading(Clock::duration period) {
        waitUntil([] { return false; }, period);
    }

    // Reads until nothing new has come for `period`; false if it never settles.
    bool waitForQuiet(Clock::duration period) {
        for (auto end = Clock::now() + deadline; Clock::now() < end;) {
            const std::size_t seen = drawings_.size();
            if (!waitUntil([&] { return drawings_.size() > seen; }, period)) return true;
        }
        return false;
    }

    void signal(int number) { ::kill(pid_, number); }

    // How it ended, if it did within the timeout.
    std::optional<Ending> waitForEnd(Clock::duration timeout = deadline) {
        waitUntil([&] { return ended(); }, timeout);
        if (ended()) pump(0);  // what it wrote last
        return ending_;
    }

private:
    bool ended() {
        if (ending_) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
        ending_ =
            WIFEXITED(status) ? Ending{true, WEXITSTATUS(status)} : Ending{false, WTERMSIG(status)};
        return true;
    }

    void pump(int timeoutMs) {
        std::array<pollfd, 2> fds{
            {{readOutput_ ? out_ : -1, POLLIN, 0}, {readOutput_ ? err_ : -1, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) fail("poll");
        if (fds[0].revents != 0) readInto(out_, outText_);
        if (fds[1].revents != 0) readInto(err_, errorText_);
        for (std::size_t end; (end = outText_.find('\n')) != std::string::npos;) {
            const std::string line = outText_.substr(0, end);
            outText_.erase(0, end + 1);
            drawings_.push_back(Json::parse(line, nullptr, false));
        }
    }

    static void readInto(int& fd, std::string& text) {
        char buffer[65536];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, std::size_t(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(fd);
            fd = -1;
        }
    }

    bool readOutput_ = true;
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    std::string outText_, errorText_;
    std::vector<Json> drawings_;
    std::optional<Ending> ending_;
};

std::string noteSnapshot(const std::string& title) {
    return R"({"schema":1,"updatedAt":1700000000000,"account":"a@example.com","total":1,)"
           R"("notes":[{"id":"n1","title":")" +
           title + R"("}]})";
}

std::string describe(const std::optional<Ending>& ending) {
    if (!ending) return "still running";
    return ending->exited ? "exit status " + std::to_string(ending->status)
                          : "signal " + std::to_string(ending->status);
}

class ServeTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory root;
    fs::path dataHome = root.path() / "data";

    fs::path container() const { return dataHome / "group-containers" / jotbird::jotbirdGroup; }
    fs::path socketFile() const { return container() / widgetkit::hostSocketName; }
    fs::path snapshotFile() const { return container() / jotbird::snapshotFileName; }
    fs::path out() const { return root.path() / "out"; }

    std::map<std::string, std::optional<std::string>> environment() const {
        return {{"XDG_DATA_HOME", dataHome.string()}, {"HOME", root.path().string()}};
    }

    std::unique_ptr<ServeProcess> startServe(std::vector<std::string> extra = {}) const {
        std::vector<std::string> arguments{"--out", out().string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return std::make_unique<ServeProcess>(arguments, environment());
    }

    // A host that has drawn its start pictures and so is listening, when the container exists.
    std::unique_ptr<ServeProcess> startedServe(std::vector<std::string> extra = {}) const {
        auto serve = startServe(std::move(extra));
        EXPECT_TRUE(serve->waitForDrawings("start")) << serve->standardError();
        return serve;
    }

    testsupport::ProcessResult publish(const std::string& json) const {
        return testsupport::publishThroughBridge(json, environment());
    }

    void publishOK(const std::string& json) const {
        const auto result = publish(json);
        ASSERT_TRUE(result.exited && result.exitStatus == 0) << testsupport::describe(result);
    }

    void makeContainer() const { publishOK(noteSnapshot("first")); }
};

struct stat statusOf(const fs::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) fail("lstat");
    return status;
}

bool isPNG(const fs::path& file) {
    const auto bytes = testsupport::readFile(file);
    return bytes && bytes->rfind("\x89PNG\r\n\x1a\n", 0) == 0;
}

// Binds a datagram socket at `path` as another program would; the path must fit sun_path.
int bindSocketAt(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) fail("bind");
    return fd;
}

TEST_F(ServeTest, DrawsEverySizeAtStartAndRecordsTheMediumWidth) {
    makeContainer();
    auto serve = startedServe();
    struct Expected {
        std::string family, file;
        int width, height;
    };
    const std::vector<Expected> sizes{{"systemSmall", "small.png", 340, 340},
                                      {"systemMedium", "medium.png", 728, 340},
                                      {"systemLarge", "large.png", 728, 764}};
    ASSERT_EQ(serve->drawings().size(), 3u);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Json& line = serve->drawings()[i];
        SCOPED_TRACE(line.dump());
        EXPECT_EQ(line["family"], sizes[i].family);
        EXPECT_EQ(line["png"], (out() / sizes[i].file).string());
        EXPECT_EQ(line["width"], sizes[i].width);
        EXPECT_EQ(line["height"], sizes[i].height);
        EXPECT_TRUE(line["date"].is_number());
        EXPECT_EQ(line["reason"], "start");
        EXPECT_TRUE(isPNG(out() / sizes[i].file));
    }
    // The host asks for timelines as the real one does, so the medium width is remembered.
    EXPECT_EQ(testsupport::readFile(container() / jotbird::widthFileName), "364");
    // Nothing but the socket is added to the container.
    EXPECT_EQ(
        testsupport::directoryEntries(container()),
        (std::set<std::string>{"medium-width.txt", "widget-host.sock", "widget-snapshot.json"}));
}

TEST_F(ServeTest, DrawingOptionsReachEveryPicture) {
    makeContainer();
    auto serve = startedServe({"--scale", "1", "--scheme", "dark", "--legacy", "--redacted"});
    ASSERT_EQ(serve->drawings().size(), 3u);
    EXPECT_EQ(serve->drawings()[0]["width"], 170);
    EXPECT_EQ(serve->drawings()[1]["width"], 364);
    EXPECT_EQ(serve->drawings()[2]["height"], 382);
}

// Under a service manager every line would go to the journal: quiet, only errors are told.
TEST_F(ServeTest, QuietDrawsWithoutALinePerDrawing) {
    makeContainer();
    auto serve = startServe({"--quiet", "--scale=1"});
    const fs::path medium = out() / "medium.png";
    ASSERT_TRUE(serve->waitUntil([&] { return isPNG(out() / "large.png"); }))
        << serve->standardError();
    const auto before = testsupport::readFile(medium);
    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(serve->waitUntil([&] { return testsupport::readFile(medium) != before; }))
        << serve->standardError();
    serve->signal(SIGTERM);
    const auto ending = serve->waitForEnd();
    ASSERT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
    EXPECT_TRUE(serve->drawings().empty());
    EXPECT_EQ(serve->standardError(), "");
}

// Both ways the socket is addressed: by its path, and through the directory when the path is
// longer than a socket address holds.
class PublishTest : public ServeTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(PublishTest, PublishThroughTheBridgeRedrawsEverySize) {
    dataHome = root.path() / std::string(GetParam(), 'd');
    makeContainer();
    auto serve = startedServe();
    const struct stat before = statusOf(out() / "medium.png");

    publishOK(noteSnapshot("second"));
    ASSERT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
    const struct stat after = statusOf(out() / "medium.png");
    // Replaced, not rewritten in place: a viewer never sees half a picture.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_TRUE(isPNG(out() / "medium.png"));
    EXPECT_EQ(serve->drawingsFor("reload")[1]["family"], "systemMedium");
}

INSTANTIATE_TEST_SUITE_P(SocketPaths, PublishTest, ::testing::Values(8, 150), [](const auto& info) {
    return info.param < 100 ? std::string("Short") : std::string("Long");
});

TEST_F(ServeTest, FailedPublishDoesNotRedraw) {
    makeContainer();
    auto serve = startedServe();
    const auto result = publish("{not json");
    ASSERT_TRUE(result.exited && result.exitStatus == 1) << testsupport::describe(result);
    serve->keepReading(quietPeriod);
    EXPECT_TRUE(serve->drawingsFor("reload").empty());
}

TEST_F(ServeTest, RequestsForOtherKindsAreIgnored) {
    makeContainer();
    auto serve = startedServe();
    for (const std::string& kind : std::vector<std::string>{
             "OtherWidget", "JotbirdNote", "JotbirdNotesX", "jotbirdnotes", "JotbirdNotes\n",
             std::string("JotbirdNotes\0", 13), "", std::string(300, 'J')})
        widgetkit::reloadTimelines(kind, container());
    serve->keepReading(quietPeriod);
    EXPECT_TRUE(serve->drawingsFor("reload").empty());

    // It was listening all along.
    widgetkit::reloadTimelines("JotbirdNotes", container());
    EXPECT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
}

TEST_F(ServeTest, BurstOfRequestsEndsInFewRedraws) {
    makeContainer();
    auto serve = startedServe();
    for (int i = 0; i < 1000; ++i)
        widgetkit::reloadTimelines("JotbirdNotes", container());
    ASSERT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
    ASSERT_TRUE(serve->waitForQuiet(quietPeriod));
    // Sending the burst takes milliseconds and one redraw of three pictures tens of them, so
    // a host that drains its queue before drawing redraws once or twice.
    const std::size_t pictures = serve->drawingsFor("reload").size();
    EXPECT_LE(pictures, 3u * 5);
    EXPECT_EQ(pictures % 3, 0u);
}

struct StopCase {
    const char* name;
    int signal;
};

class StopTest : public ServeTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, StopsCleanlyAndRemovesItsSocket) {
    makeContainer();
    auto serve = startedServe();
    ASSERT_TRUE(fs::exists(socketFile()));
    serve->signal(GetParam().signal);
    const auto ending = serve->waitForEnd();
    ASSERT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socketFile())));
    EXPECT_TRUE(fs::exists(snapshotFile()));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopTest,
                         ::testing::Values(StopCase{"SIGTERM", SIGTERM}, StopCase{"SIGINT", SIGINT},
                                           StopCase{"SIGHUP", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServeTest, SecondHostOnTheSameContainerFailsAtOnce) {
    makeContainer();
    auto first = startedServe();
    const fs::path otherOut = root.path() / "other";
    ServeProcess second({"--out", otherOut.string()}, environment());
    const auto ending = second.waitForEnd();
    ASSERT_TRUE(ending && ending->exited && ending->status == 1) << describe(ending);
    EXPECT_NE(second.standardError().find("another widget host"), std::string::npos)
        << second.standardError();
    EXPECT_TRUE(second.drawings().empty());

    // The first keeps its socket and its work.
    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(first->waitForDrawings("reload")) << first->standardError();
}

TEST_F(ServeTest, StaleSocketOfACrashedHostIsTakenOver) {
    makeContainer();
    ::close(bindSocketAt(socketFile()));  // bound, then gone without removing its file
    auto serve = startedServe();
    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
}

TEST_F(ServeTest, SomethingElseUnderTheSocketNameIsLeftAlone) {
    makeContainer();
    testsupport::writeFile(socketFile(), "not a socket");
    ServeProcess serve({"--out", out().string()}, environment());
    const auto ending = serve.waitForEnd();
    ASSERT_TRUE(ending && ending->exited && ending->status == 1) << describe(ending);
    EXPECT_NE(serve.standardError().find("not a socket"), std::string::npos);
    EXPECT_EQ(testsupport::readFile(socketFile()), "not a socket");
}

TEST_F(ServeTest, SocketTakenByAnotherIsNotRemovedOnStop) {
    makeContainer();
    auto serve = startedServe();
    // Put in its place in one step: a host sees its socket go at once and binds anew.
    const fs::path elsewhere = container() / "other.sock";
    const int other = bindSocketAt(elsewhere);
    fs::rename(elsewhere, socketFile());
    const ino_t otherInode = statusOf(socketFile()).st_ino;
    EXPECT_TRUE(serve->waitUntil([&] {
        return serve->standardError().find("gone or taken over") != std::string::npos;
    })) << serve->standardError();
    serve->signal(SIGTERM);
    const auto ending = serve->waitForEnd();
    EXPECT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
    ASSERT_TRUE(fs::exists(fs::symlink_status(socketFile())));
    EXPECT_EQ(statusOf(socketFile()).st_ino, otherInode);
    ::close(other);
}

TEST_F(ServeTest, WithoutAContainerLocationItFails) {
    ServeProcess serve({"--out", out().string()},
                       {{"XDG_DATA_HOME", std::nullopt}, {"HOME", std::nullopt}});
    const auto ending = serve.waitForEnd();
    ASSERT_TRUE(ending && ending->exited && ending->status == 1) << describe(ending);
    EXPECT_NE(serve.standardError().find("container"), std::string::npos);
    EXPECT_TRUE(serve.drawings().empty());
}

TEST_F(ServeTest, DrawingThatFailsIsReportedAndServingGoesOn) {
    makeContainer();
    // A directory where the medium picture should go: that one drawing cannot be replaced.
    fs::create_directories(out() / "medium.png" / "blocked");
    auto serve = startServe();
    ASSERT_TRUE(serve->waitUntil([&] { return serve->drawings().size() >= 2; }));
    EXPECT_TRUE(serve->waitUntil(
        [&] { return serve->standardError().find("systemMedium") != std::string::npos; }));
    EXPECT_EQ(serve->drawings()[0]["family"], "systemSmall");
    EXPECT_EQ(serve->drawings()[1]["family"], "systemLarge");

    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(serve->waitUntil([&] { return serve->drawingsFor("reload").size() >= 2; }))
        << serve->standardError();
}

// Garbage in the stored file reads as the empty snapshot: still drawn, still serving.
class GarbageTest : public ServeTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(GarbageTest, GarbageInTheSnapshotFileKeepsItServing) {
    makeContainer();
    auto serve = startedServe();
    testsupport::writeFile(snapshotFile(), GetParam());
    widgetkit::reloadTimelines("JotbirdNotes", container());
    ASSERT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
    EXPECT_TRUE(isPNG(out() / "medium.png"));

    publishOK(noteSnapshot("after the garbage"));
    EXPECT_TRUE(serve->waitForDrawings("reload", 2)) << serve->standardError();
}

INSTANTIATE_TEST_SUITE_P(Files, GarbageTest,
                         ::testing::Values(std::string("{not json"), std::string(""),
                                           std::string("\xff\xfe\x00\x01", 4),
                                           R"({"schema":2,"notes":[]})", std::string(70000, ' ')));

// The container comes later: deleted while the host runs and made again by a publish, or not
// there yet when the host starts. Either way the host draws, then listens once it can.
class LateContainerTest : public ServeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LateContainerTest, HostListensOnceTheContainerIsThere) {
    const bool deleteWhileServing = GetParam();
    if (deleteWhileServing) makeContainer();
    auto serve = startedServe();
    if (deleteWhileServing) fs::remove_all(container());

    // This publish makes the container; its own request may come before the host listens.
    publishOK(noteSnapshot("second"));
    ASSERT_TRUE(serve->waitUntil([&] { return fs::exists(fs::symlink_status(socketFile())); }))
        << serve->standardError();
    ASSERT_TRUE(serve->waitForDrawings("listen")) << serve->standardError();

    publishOK(noteSnapshot("third"));
    EXPECT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();

    serve->signal(SIGTERM);
    const auto ending = serve->waitForEnd();
    EXPECT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socketFile())));
}

INSTANTIATE_TEST_SUITE_P(Containers, LateContainerTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "DeletedWhileServing" : "MissingAtStart");
});

// rm -r removes the files, the socket among them, and then the directory: a host that bound
// a new socket the moment it saw the old one go would make that last step fail.
TEST_F(ServeTest, RemovingTheContainerEntryByEntryIsNotRacedByTheHost) {
    makeContainer();
    auto serve = startedServe();
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::error_code error;
        fs::remove_all(container(), error);
        ASSERT_FALSE(error) << error.message();
        ASSERT_FALSE(fs::exists(container()));
        publishOK(noteSnapshot("back"));
        ASSERT_TRUE(serve->waitForDrawings("listen", round + 1)) << serve->standardError();
    }
}

std::set<std::string> temporaries(const fs::path& directory) {
    std::set<std::string> found;
    for (const std::string& name : testsupport::directoryEntries(directory))
        if (name.find(".tmp-") != std::string::npos) found.insert(name);
    return found;
}

const std::vector<std::string> pictureNames{"small.png", "medium.png", "large.png"};

TEST_F(ServeTest, PicturesAndTheirDirectoryArePrivateWhateverTheUmask) {
    makeContainer();
    for (const mode_t mask : {mode_t(0), mode_t(022)}) {
        SCOPED_TRACE("umask " + std::to_string(mask));
        const testsupport::ScopedUmask umask(mask);
        fs::remove_all(root.path() / "made");
        const fs::path pictures = root.path() / "made" / "pictures";
        ServeProcess serve({"--out", pictures.string()}, environment());
        ASSERT_TRUE(serve.waitForDrawings("start")) << serve.standardError();
        EXPECT_EQ(statusOf(pictures).st_mode & 07777, 0700u);
        EXPECT_EQ(statusOf(pictures.parent_path()).st_mode & 07777, 0700u);
        for (const std::string& name : pictureNames)
            EXPECT_EQ(statusOf(pictures / name).st_mode & 07777, 0600u) << name;
    }
}

TEST_F(ServeTest, RefusesAnOutDirectoryOthersCouldTamperWith) {
    makeContainer();
    struct Case {
        std::string name;
        std::function<void(const fs::path&)> prepare;
    };
    std::vector<Case> cases{
        {"writable by all", [](const fs::path& d) { ::chmod(d.c_str(), 0777); }},
        {"writable by its group", [](const fs::path& d) { ::chmod(d.c_str(), 0770); }},
        {"sticky and writable by all, as /tmp",
         [](const fs::path& d) { ::chmod(d.c_str(), 01777); }},
    };
    // Only root can give a directory or a link away.
    if (::geteuid() == 0) {
        cases.push_back({"owned by another user", [](const fs::path& d) {
                             ::chmod(d.c_str(), 0700);
                             ASSERT_EQ(::chown(d.c_str(), 65534, 65534), 0);
                         }});
        cases.push_back({"another user's link to a directory of ours", [](const fs::path& d) {
                             const fs::path ours = d.string() + "-ours";
                             fs::create_directory(ours);
                             ::chmod(ours.c_str(), 0700);
                             fs::remove(d);
                             fs::create_directory_symlink(ours, d);
                             ASSERT_EQ(::lchown(d.c_str(), 65534, 65534), 0);
                         }});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path pictures = root.path() / "theirs";
        fs::remove_all(pictures);
        fs::remove_all(pictures.string() + "-ours");
        fs::create_directory(pictures);
        c.prepare(pictures);
        ServeProcess serve({"--out", pictures.string()}, environment());
        const auto ending = serve.waitForEnd();
        ASSERT_TRUE(ending && ending->exited && ending->status == 1) << describe(ending);
        EXPECT_NE(serve.standardError().find("refusing to draw into"), std::string::npos)
            << serve.standardError();
        EXPECT_TRUE(serve.drawings().empty());
        EXPECT_EQ(testsupport::directoryEntries(pictures), std::set<std::string>{});
    }
}

TEST_F(ServeTest, ALinkPlantedAtAPicturePathIsReplacedNotFollowed) {
    makeContainer();
    const fs::path victim = root.path() / "victim";
    testsupport::writeFile(victim, "keep me");
    fs::create_directory(out());
    ::chmod(out().c_str(), 0700);
    for (const std::string& name : pictureNames)
        fs::create_symlink(victim, out() / name);
    auto serve = startedServe();
    EXPECT_EQ(testsupport::readFile(victim), "keep me");
    for (const std::string& name : pictureNames) {
        EXPECT_TRUE(S_ISREG(statusOf(out() / name).st_mode)) << name;
        EXPECT_TRUE(isPNG(out() / name)) << name;
    }
}

TEST_F(ServeTest, AnOutDirectoryThatIsNotUtf8IsNamedWithAReplacementCharacter) {
    makeContainer();
    const fs::path pictures = root.path() / "pictures\xff\xfe";
    ServeProcess serve({"--out", pictures.string()}, environment());
    ASSERT_TRUE(serve.waitForDrawings("start")) << serve.standardError();
    widgetkit::reloadTimelines("JotbirdNotes", container());
    ASSERT_TRUE(serve.waitForDrawings("reload")) << serve.standardError();
    const std::string png = serve.drawings().front().at("png");
    EXPECT_EQ(png, (root.path() / "pictures\uFFFD\uFFFD" / "small.png").string());
    EXPECT_TRUE(isPNG(pictures / "small.png"));
    serve.signal(SIGTERM);
    const auto ending = serve.waitForEnd();
    EXPECT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
}

TEST_F(ServeTest, AFifoInPlaceOfTheContainerFilesNeitherHangsNorKeepsItFromStopping) {
    makeContainer();
    fs::remove(snapshotFile());
    ASSERT_EQ(::mkfifo(snapshotFile().c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((container() / jotbird::widthFileName).c_str(), 0600), 0);
    auto serve = startedServe();
    widgetkit::reloadTimelines("JotbirdNotes", container());
    ASSERT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
    EXPECT_TRUE(S_ISFIFO(statusOf(snapshotFile()).st_mode));
    serve->signal(SIGTERM);
    const auto ending = serve->waitForEnd();
    EXPECT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
}

TEST_F(ServeTest, StalledReadersOfItsOutputKeepItNeitherFromDrawingNorFromStopping) {
    makeContainer();
    // The medium picture cannot be replaced: every redraw also writes a line of error.
    fs::create_directories(out() / "medium.png" / "blocked");
    ServeProcess serve({"--out", out().string()}, environment(), /*readOutput=*/false);
    const fs::path large = out() / "large.png";
    ASSERT_TRUE(serve.waitUntil([&] { return fs::exists(large); })) << serve.standardError();
    // A page holds some 25 lines; every request past that would block a writer that waits.
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE("request " + std::to_string(i));
        const ino_t before = statusOf(large).st_ino;
        widgetkit::reloadTimelines("JotbirdNotes", container());
        ASSERT_TRUE(serve.waitUntil([&] { return statusOf(large).st_ino != before; }))
            << serve.standardError();
    }
    serve.signal(SIGTERM);
    const auto ending = serve.waitForEnd();
    EXPECT_TRUE(ending && ending->exited && ending->status == 0) << describe(ending);
    EXPECT_FALSE(fs::exists(fs::symlink_status(socketFile())));
}

TEST_F(ServeTest, KilledHostsLeaveNoPictureTemporaries) {
    makeContainer();
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> delay(0, 80);
    for (int i = 0; i < 30; ++i) {
        ServeProcess serve({"--out", out().string()}, environment());
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        serve.signal(SIGKILL);
        serve.waitForEnd();
    }
    // The next host's first pictures clear what a kill in the last instant may have left.
    auto serve = startedServe();
    EXPECT_EQ(temporaries(out()), std::set<std::string>{});
}

TEST_F(ServeTest, ASocketRemovedUnderneathIsBoundAgain) {
    makeContainer();
    auto serve = startedServe();
    fs::remove(socketFile());
    ASSERT_TRUE(serve->waitForDrawings("listen")) << serve->standardError();
    ASSERT_TRUE(fs::exists(fs::symlink_status(socketFile())));
    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
}

// How often the kernel has put the host's main thread to sleep and woken it.
long wakeups(pid_t pid) {
    const auto status = testsupport::readFile("/proc/" + std::to_string(pid) + "/status");
    if (!status) return -1;
    const std::string key = "voluntary_ctxt_switches:";
    const auto at = status->find(key);
    return at == std::string::npos ? -1 : std::stol(status->substr(at + key.size()));
}

TEST_F(ServeTest, AnIdleHostSleeps) {
    makeContainer();
    auto serve = startedServe();
    serve->keepReading(300ms);
    const long before = wakeups(serve->pid());
    ASSERT_GE(before, 0);
    serve->keepReading(2500ms);
    // A host that polled every second would have woken at least twice.
    EXPECT_LE(wakeups(serve->pid()) - before, 1);
    // Asleep, not deaf.
    publishOK(noteSnapshot("second"));
    EXPECT_TRUE(serve->waitForDrawings("reload")) << serve->standardError();
}

// The provider asks again 900 s after each timeline. With the host's clock running a thousand
// times fast (libfaketime, which also shortens its poll), that instant comes within a second,
// and every size is drawn again for it, showing the entry of the new timeline.
TEST_F(ServeTest, AReloadInstantDrawsEverySizeAgainForTheTimeline) {
    const std::string faketime = JOTBIRD_LIBFAKETIME;
    if (faketime.empty()) GTEST_SKIP() << "no libfaketime for this build";
    makeContainer();
    auto environment = this->environment();
    environment["LD_PRELOAD"] = faketime;
    environment["FAKETIME"] = "+0 x1000";
    ServeProcess serve({"--out", out().string()}, environment);
    ASSERT_TRUE(serve.waitForDrawings("start")) << serve.standardError();
    ASSERT_TRUE(serve.waitForDrawings("timeline")) << serve.standardError();
    const std::vector<Json> started = serve.drawingsFor("start");
    const std::vector<Json> reloaded = serve.drawingsFor("timeline");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reloaded[i]["family"], started[i]["family"]);
        // The new timeline's entry begins when it was asked for, 900 s of the host's time on.
        // Each real millisecond is a second here, so a slow build may wake well after the
        // instant; the bound only rules out a reload missed and a later one drawn instead.
        const double later = reloaded[i]["date"].get<double>() - started[i]["date"].get<double>();
        EXPECT_GE(later, 900'000.0) << reloaded[i].dump();
        EXPECT_LT(later, 1'800'000.0) << reloaded[i].dump();
    }
}

}  // namespace

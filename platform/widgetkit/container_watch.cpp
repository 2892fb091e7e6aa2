#include "platform/widgetkit/container_watch.hpp"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace widgetkit {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t selfEvents = IN_DELETE_SELF | IN_MOVE_SELF;
// In the container: the file coming and going. Above it: the next directory appearing.
constexpr std::uint32_t containerEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t ancestorEvents = IN_CREATE | IN_MOVED_TO;

bool isDirectory(const fs::path& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

fs::path nearestExisting(const fs::path& container) {
    fs::path directory = container;
    while (!isDirectory(directory) && directory.has_relative_path())
        directory = directory.parent_path();
    return directory;
}

// The name an event in the watched directory must have to matter.
std::string awaitedName(const ContainerWatch& watch) {
    if (watch.watched == watch.container) return watch.fileName;
    const fs::path rest = watch.container.lexically_relative(watch.watched);
    return rest.empty() ? std::string() : rest.begin()->string();
}

// Watches the nearest existing directory. A directory made between the look and the watch
// would go unseen, so the look is repeated until it holds still.
void arm(ContainerWatch& watch) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const fs::path nearest = nearestExisting(watch.container);
        if (watch.watch < 0 || nearest != watch.watched) {
            if (watch.watch >= 0) ::inotify_rm_watch(watch.fd.fd, watch.watch);
            const std::uint32_t events =
                selfEvents | IN_ONLYDIR |
                (nearest == watch.container ? containerEvents : ancestorEvents);
            watch.watch = ::inotify_add_watch(watch.fd.fd, nearest.c_str(), events);
            watch.watched = nearest;
        }
        if (nearestExisting(watch.container) == nearest) return;
    }
}

}  // namespace

ContainerWatch watchContainer(const fs::path& container, std::string fileName) {
    ContainerWatch watch;
    watch.container = container.lexically_normal();
    if (!watch.container.has_filename()) watch.container = watch.container.parent_path();
    watch.fileName = std::move(fileName);
    watch.fd = foundation::FileDescriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (watch.fd) arm(watch);
    return watch;
}

bool takeContainerChanges(ContainerWatch& watch) {
    if (!watch.fd) return false;
    const std::string awaited = awaitedName(watch);
    bool changed = false, gone = false;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t n = ::read(watch.fd.fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            // Events of a watch given up already say nothing about the one in force.
            if (event->wd != watch.watch && !(event->mask & IN_Q_OVERFLOW)) continue;
            const bool named = event->len > 0 && awaited == event->name;
            // A watched directory that moved is followed by its watch: it has to be let go.
            if (event->mask & (selfEvents | IN_IGNORED)) gone = true;
            if (named || gone || (event->mask & IN_Q_OVERFLOW)) changed = true;
        }
    }
    if (gone) {
        ::inotify_rm_watch(watch.fd.fd, watch.watch);
        watch.watch = -1;
    }
    if (changed) arm(watch);
    return changed;
}

}  // namespace widgetkit

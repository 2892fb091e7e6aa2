#include "platform/widgetkit/reload_listener.hpp"

#include <sys/socket.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/foundation/last_error.hpp"
#include "platform/widgetkit/reload_request.hpp"
#include "platform/widgetkit/unix_socket_address.hpp"

namespace widgetkit {
namespace {

using foundation::lastError;

ListenError failure(ListenFailure kind, std::error_code error = {}) {
    return {kind, error};
}

ListenError bindFailure(std::error_code error) {
    // The directory can vanish between the lookup and the bind.
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return failure(ListenFailure::noDirectory, error);
    return failure(ListenFailure::systemError, error);
}

bool bindTo(const foundation::FileDescriptor& socket, const sockaddr_un& address) {
    return ::bind(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// The name is taken. A crashed host's socket file refuses connections; a live host accepts
// them, and then the name stays with it.
std::optional<ListenError> removeStaleSocket(const sockaddr_un& address) {
    struct stat status;
    if (::lstat(address.sun_path, &status) != 0) {
        // Gone meanwhile: the next bind may simply succeed.
        if (errno == ENOENT) return std::nullopt;
        return bindFailure(lastError());
    }
    if (!S_ISSOCK(status.st_mode)) return failure(ListenFailure::notASocket);
    foundation::FileDescriptor probe(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!probe) return failure(ListenFailure::systemError, lastError());
    if (::connect(probe.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return failure(ListenFailure::anotherHost);
    if (errno != ECONNREFUSED) return failure(ListenFailure::anotherHost, lastError());
    if (::unlink(address.sun_path) != 0 && errno != ENOENT) return bindFailure(lastError());
    return std::nullopt;
}

}  // namespace

ReloadListener::~ReloadListener() {
    if (!socket) return;
    struct stat status;
    if (::lstat(path.c_str(), &status) == 0 && status.st_dev == device && status.st_ino == inode)
        ::unlink(path.c_str());
}

std::string ListenError::describe(const std::filesystem::path& container) const {
    const std::string socketPath = (container / hostSocketName).string();
    switch (failure) {
        case ListenFailure::noDirectory:
            return "the container " + container.string() + " does not exist yet";
        case ListenFailure::anotherHost:
            return "another widget host is already listening on " + socketPath +
                   (error ? " (" + error.message() + ")" : "");
        case ListenFailure::notASocket:
            return socketPath + " is not a socket; it is left alone";
        case ListenFailure::systemError:
            break;
    }
    return "cannot listen on " + socketPath + ": " + error.message();
}

std::variant<ReloadListener, std::string> listenAgain(const std::filesystem::path& container,
                                                      std::optional<ListenFailure>& told) {
    auto attempt = listenForReloads(container);
    if (auto* listener = std::get_if<ReloadListener>(&attempt)) {
        told.reset();
        return std::move(*listener);
    }
    const ListenError& error = std::get<ListenError>(attempt);
    if (told == error.failure) return std::string();
    told = error.failure;
    return error.describe(container) + "; listening as soon as it can";
}

std::variant<ReloadListener, ListenError> listenForReloads(const std::filesystem::path& container) {
    struct stat directory;
    if (::stat(container.c_str(), &directory) != 0) return bindFailure(lastError());
    if (!S_ISDIR(directory.st_mode))
        return failure(ListenFailure::noDirectory,
                       std::make_error_code(std::errc::not_a_directory));

    foundation::FileDescriptor pin;
    errno = 0;
    const auto address = socketAddress(container, hostSocketName, pin);
    if (!address)
        return bindFailure(errno ? lastError()
                                 : std::make_error_code(std::errc::filename_too_long));

    ReloadListener listener;
    listener.socket =
        foundation::FileDescriptor(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.socket) return failure(ListenFailure::systemError, lastError());
    if (!bindTo(listener.socket, *address)) {
        if (errno != EADDRINUSE) return bindFailure(lastError());
        if (auto error = removeStaleSocket(*address)) return *error;
        if (!bindTo(listener.socket, *address)) {
            // Another host won the race for the name just now.
            if (errno == EADDRINUSE) return failure(ListenFailure::anotherHost);
            return bindFailure(lastError());
        }
    }

    struct stat bound;
    if (::lstat(address->sun_path, &bound) != 0) {
        const std::error_code error = lastError();
        listener.socket.reset();  // its file, if any, cannot be told apart from another's
        return bindFailure(error);
    }
    listener.path = container / hostSocketName;
    listener.device = bound.st_dev;
    listener.inode = bound.st_ino;
    return listener;
}

bool stillListening(const ReloadListener& listener) {
    struct stat status;
    return ::lstat(listener.path.c_str(), &status) == 0 && status.st_dev == listener.device &&
           status.st_ino == listener.inode;
}

ReceivedRequests receiveRequests(const ReloadListener& listener, std::string_view kind,
                                 std::size_t limit) {
    ReceivedRequests received;
    std::array<char, 256> buffer;
    for (std::size_t i = 0; i < limit; ++i) {
        // MSG_TRUNC gives the datagram's real length, so a longer one that merely starts with
        // the kind is not mistaken for it.
        const ssize_t n =
            ::recv(listener.socket.fd, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0) {
            if (errno == EINTR) continue;
            received.queueDrained = true;
            return received;
        }
        const std::size_t size = std::size_t(n);
        if (size == kind.size() && size <= buffer.size() &&
            std::memcmp(buffer.data(), kind.data(), size) == 0)
            ++received.forKind;
        else
            ++received.other;
    }
    return received;
}

}  // namespace widgetkit

#pragma once
// The host's end of the reload request: a datagram socket bound as "widget-host.sock" in the
// shared container. A socket file left by a crashed host is taken over; a live host keeps it.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>

#include "platform/foundation/file_descriptor.hpp"

namespace widgetkit {

struct ReloadListener {
    foundation::FileDescriptor socket;  // non-blocking
    std::filesystem::path path;         // the socket file
    dev_t device = 0;                   // identity of the file this listener bound, so that
    ino_t inode = 0;                    // it never removes one that another host put there

    ReloadListener() = default;
    ReloadListener(ReloadListener&&) = default;
    ReloadListener& operator=(ReloadListener&&) = delete;
    // Removes the socket file if it is still the one this listener bound.
    ~ReloadListener();
};

enum class ListenFailure {
    noDirectory,  // the container directory does not exist (yet)
    anotherHost,  // a live listener answers on the socket
    notASocket,   // something other than a socket has the name
    systemError,
};

struct ListenError {
    ListenFailure failure = ListenFailure::systemError;
    std::error_code error;
    std::string describe(const std::filesystem::path& container) const;
};

// Binds the socket in `container`, taking over a stale one. Creates nothing but the socket.
std::variant<ReloadListener, ListenError> listenForReloads(const std::filesystem::path& container);

// Binds again for a host that keeps trying while it cannot listen: the listener, or the line
// to tell about the failure, empty when `told` shows the same failure was told already, so a
// lasting one is told once. `told` follows the attempts.
std::variant<ReloadListener, std::string> listenAgain(const std::filesystem::path& container,
                                                      std::optional<ListenFailure>& told);

// False once the socket file is gone or belongs to someone else (the container was deleted,
// or another host took the name).
bool stillListening(const ReloadListener& listener);

struct ReceivedRequests {
    std::size_t forKind = 0;  // datagrams that are exactly the kind
    std::size_t other = 0;    // any other datagram
    bool queueDrained = false;
};

// Reads queued datagrams without waiting, at most `limit` of them, so that a flood cannot keep
// the host from drawing or from seeing a stop.
ReceivedRequests receiveRequests(const ReloadListener& listener, std::string_view kind,
                                 std::size_t limit);

}  // namespace widgetkit

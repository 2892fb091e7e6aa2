#include "platform/widgetkit/reload_request.hpp"

#include <sys/socket.h>

#include "platform/widgetkit/unix_socket_address.hpp"

namespace widgetkit {

void reloadTimelines(std::string_view ofKind, const std::filesystem::path& container) {
    foundation::FileDescriptor pin;
    auto address = socketAddress(container, hostSocketName, pin);
    if (!address) return;
    foundation::FileDescriptor socket(
        ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket) return;
    (void)::sendto(socket.fd, ofKind.data(), ofKind.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
}

}  // namespace widgetkit

#include "platform/widgetkit/unix_socket_address.hpp"

#include <fcntl.h>

#include <cstring>
#include <string>

namespace widgetkit {
namespace {

std::optional<sockaddr_un> addressOf(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

}  // namespace

std::optional<sockaddr_un> socketAddress(const std::filesystem::path& directory,
                                         std::string_view name, foundation::FileDescriptor& pin) {
    if (auto direct = addressOf((directory / name).string())) return direct;
    pin = foundation::FileDescriptor(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!pin) return std::nullopt;
    return addressOf("/proc/self/fd/" + std::to_string(pin.fd) + "/" + std::string(name));
}

}  // namespace widgetkit

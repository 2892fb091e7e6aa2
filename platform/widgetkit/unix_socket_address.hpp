#pragma once
// Addressing a Unix socket in a directory, however long the directory's path.

#include <sys/socket.h>
#include <sys/un.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/foundation/file_descriptor.hpp"

namespace widgetkit {

// The address of `name` inside `directory`. When the full path does not fit in sun_path the
// address goes through a descriptor of the directory, which `pin` then keeps open.
std::optional<sockaddr_un> socketAddress(const std::filesystem::path& directory,
                                         std::string_view name, foundation::FileDescriptor& pin);

}  // namespace widgetkit

#include "platform/foundation/container_lookup.hpp"

#include <cstdlib>

namespace foundation {
namespace {

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

}  // namespace

std::optional<std::filesystem::path> containerURLForSecurityApplicationGroupIdentifier(
    std::string_view group) {
    if (auto dataHome = absoluteVariable("XDG_DATA_HOME"))
        return *dataHome / "group-containers" / group;
    if (auto home = absoluteVariable("HOME"))
        return *home / ".local" / "share" / "group-containers" / group;
    return std::nullopt;
}

}  // namespace foundation

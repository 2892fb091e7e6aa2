#pragma once
// Where an application group's shared container lives, by the XDG base-directory rules.

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

// $XDG_DATA_HOME/group-containers/<group>, else $HOME/.local/share/group-containers/<group>;
// only absolute settings count. Computes the path and creates nothing.
std::optional<std::filesystem::path> containerURLForSecurityApplicationGroupIdentifier(
    std::string_view group);

}  // namespace foundation

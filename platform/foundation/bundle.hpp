#pragma once
// The running program's bundle: its resource directory, found beside the executable.

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

struct Bundle {
    std::filesystem::path resourcePath;

    // <directory of the executable>/../share/JotbirdWidgets, looked up anew on every call.
    static Bundle main();

    // The resource's file when it exists.
    std::optional<std::filesystem::path> urlForResource(std::string_view name,
                                                        std::string_view extension) const;
};

}  // namespace foundation

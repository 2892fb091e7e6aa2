#include "platform/foundation/bundle.hpp"

#include <system_error>

namespace foundation {

Bundle Bundle::main() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return {executable.parent_path().parent_path() / "share" / "JotbirdWidgets"};
}

std::optional<std::filesystem::path> Bundle::urlForResource(std::string_view name,
                                                            std::string_view extension) const {
    if (resourcePath.empty()) return std::nullopt;
    std::filesystem::path file = resourcePath / name;
    file += ".";
    file += extension;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    return file;
}

}  // namespace foundation

#include "platform/foundation/option_table.hpp"

#include <algorithm>

#include "platform/foundation/option_word.hpp"

namespace foundation {

std::variant<std::vector<GivenOption>, UsageError> readOptions(
    std::span<const std::string_view> words, std::span<const OptionSpec> table,
    std::string_view kind) {
    std::vector<GivenOption> given;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto [name, attached] = splitOption(words[i]);
        const auto spec = std::find_if(table.begin(), table.end(), [&](const OptionSpec& option) {
            return option.name == name;
        });
        if (spec == table.end())
            return UsageError{"unknown " + std::string(kind) + ": " + std::string(name)};
        if (!spec->takesValue) {
            if (attached) return UsageError{std::string(name) + " takes no value"};
            given.push_back({*spec, {}});
        } else if (attached) {
            given.push_back({*spec, *attached});
        } else if (i + 1 < words.size()) {
            given.push_back({*spec, words[++i]});
        } else {
            return UsageError{std::string(name) + " needs a value"};
        }
    }
    return given;
}

}  // namespace foundation

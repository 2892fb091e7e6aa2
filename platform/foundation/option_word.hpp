#pragma once
// One word of a command line read as an option: "--scale=2" is "--scale" with "2" attached.

#include <optional>
#include <string_view>

namespace foundation {

struct OptionWord {
    std::string_view name;
    std::optional<std::string_view> attached;  // the text after the first '=', if any
};

// Splits at the first '=' of a word that starts with "--"; any other word is all name.
OptionWord splitOption(std::string_view word);

}  // namespace foundation

#pragma once
// A command line's options read against one table of the options there are: each takes a
// value (the next word, or attached after '=') or none. Both programs read their options this
// way, and say what is wrong with them in the same words.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace foundation {

struct OptionSpec {
    std::string_view name;
    bool takesValue = false;
};

// An option as given, with its value when it takes one.
struct GivenOption {
    OptionSpec spec;
    std::string_view value;
};

// What is wrong with a command line, for the usage message.
struct UsageError {
    std::string message;
};

// The options in `words`, in order. `kind` names them in the message for an unknown one
// ("unknown option: --x", or with kind "option for render", "unknown option for render: --x").
std::variant<std::vector<GivenOption>, UsageError> readOptions(
    std::span<const std::string_view> words, std::span<const OptionSpec> table,
    std::string_view kind = "option");

}  // namespace foundation

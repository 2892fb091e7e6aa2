#pragma once
// Numbers typed on a command line, read strictly: plain decimal notation and nothing around it.

#include <optional>
#include <string_view>

namespace foundation {

// The finite number `text` spells in decimal ("12", "-0.5", "1e3"), read the same in every
// locale; nothing for surrounding space, a "+", hex, "inf", "nan" or a value out of range.
std::optional<double> parseDecimal(std::string_view text);

}  // namespace foundation

#pragma once
// The width file's text: three decimal digits when we write it, a little more when we read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jotbird {

// Whole text as a base-10 integer: optional '+' or '-', one or more ASCII digits, nothing
// else (no whitespace). Nothing when out of the signed 64-bit range.
std::optional<std::int64_t> parseWidthText(std::string_view text);

// Decimal digits of a width, no sign, no leading zeros.
std::string widthText(std::int64_t width);

}  // namespace jotbird

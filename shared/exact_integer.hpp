#pragma once
// The exact value of a JSON number's text as a signed 64-bit integer, without passing
// through a double.

#include <cstdint>
#include <optional>
#include <string_view>

namespace jotbird {

// `text` is a number as the JSON grammar writes it (-12, 1.50, 9.2e18, 5E-3). Its value
// when that is a whole number within the signed 64-bit range; nothing when it has a
// fractional part, lies outside the range or is not such a number.
std::optional<std::int64_t> exactInteger(std::string_view text);

}  // namespace jotbird

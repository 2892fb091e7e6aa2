#include "platform/foundation/decimal_number.hpp"

#include <charconv>
#include <cmath>

namespace foundation {

std::optional<double> parseDecimal(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace foundation

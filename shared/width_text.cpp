#include "shared/width_text.hpp"

#include <charconv>

namespace jotbird {

std::optional<std::int64_t> parseWidthText(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    // Parsed as a magnitude first so that the most negative value still fits.
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    constexpr std::uint64_t maxPositive = std::uint64_t(INT64_MAX);
    if (!negative) {
        if (magnitude > maxPositive) return std::nullopt;
        return std::int64_t(magnitude);
    }
    if (magnitude > maxPositive + 1) return std::nullopt;
    return magnitude == maxPositive + 1 ? INT64_MIN : -std::int64_t(magnitude);
}

std::string widthText(std::int64_t width) {
    return std::to_string(width);
}

}  // namespace jotbird

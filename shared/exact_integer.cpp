#include "shared/exact_integer.hpp"

#include <algorithm>
#include <limits>
#include <string>

namespace jotbird {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Leading digits of `text`, taken off it.
std::string_view takeDigits(std::string_view& text) {
    const auto end = std::find_if_not(text.begin(), text.end(), isDigit);
    const std::string_view digits = text.substr(0, std::size_t(end - text.begin()));
    text.remove_prefix(digits.size());
    return digits;
}

// An exponent's digits, saturated far beyond any that could still give a 64-bit integer.
std::int64_t saturatedValue(std::string_view digits) {
    constexpr std::int64_t cap = 1'000'000'000;
    std::int64_t value = 0;
    for (char c : digits)
        value = std::min(cap, value * 10 + (c - '0'));
    return value;
}

}  // namespace

std::optional<std::int64_t> exactInteger(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);

    // The value is `digits` times ten to the power `exponent`.
    std::string digits(takeDigits(text));
    if (digits.empty()) return std::nullopt;
    std::int64_t exponent = 0;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        const std::string_view fraction = takeDigits(text);
        if (fraction.empty()) return std::nullopt;
        digits += fraction;
        exponent -= std::int64_t(fraction.size());
    }
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        const bool negativeExponent = !text.empty() && text.front() == '-';
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
        const std::string_view exponentDigits = takeDigits(text);
        if (exponentDigits.empty()) return std::nullopt;
        const std::int64_t value = saturatedValue(exponentDigits);
        exponent += negativeExponent ? -value : value;
    }
    if (!text.empty()) return std::nullopt;

    // Zeros at either end say nothing about the value's digits.
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.empty()) return 0;
    const std::size_t significant = digits.find_last_not_of('0') + 1;
    exponent += std::int64_t(digits.size() - significant);
    digits.resize(significant);

    if (exponent < 0) return std::nullopt;  // a fractional part is left
    // Every value in range has at most 19 digits, and 19 digits fit an unsigned 64-bit word.
    if (std::int64_t(digits.size()) + exponent > 19) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : digits)
        magnitude = magnitude * 10 + std::uint64_t(c - '0');
    for (std::int64_t i = 0; i < exponent; ++i)
        magnitude *= 10;

    constexpr auto max = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > max + 1) return std::nullopt;
        return magnitude == max + 1 ? std::numeric_limits<std::int64_t>::min()
                                    : -std::int64_t(magnitude);
    }
    if (magnitude > max) return std::nullopt;
    return std::int64_t(magnitude);
}

}  // namespace jotbird

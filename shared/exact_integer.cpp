#include "shared/exact_integer.hpp"

#include <algorithm>
#include <limits>
#include <optional>
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

// A number as sign, digits and a power of ten: its value is digits times ten to exponent.
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

// Reads the JSON grammar's number: sign, integer digits, fraction, exponent.
std::optional<Decimal> parseJsonNumber(std::string_view text) {
    Decimal number;
    number.negative = !text.empty() && text.front() == '-';
    if (number.negative) text.remove_prefix(1);
    number.digits = takeDigits(text);
    if (number.digits.empty()) return std::nullopt;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        const std::string_view fraction = takeDigits(text);
        if (fraction.empty()) return std::nullopt;
        number.digits += fraction;
        number.exponent -= std::int64_t(fraction.size());
    }
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        const bool negativeExponent = !text.empty() && text.front() == '-';
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
        const std::string_view exponentDigits = takeDigits(text);
        if (exponentDigits.empty()) return std::nullopt;
        const std::int64_t value = saturatedValue(exponentDigits);
        number.exponent += negativeExponent ? -value : value;
    }
    if (!text.empty()) return std::nullopt;
    return number;
}

// Zeros at either end say nothing about the value's digits: leading ones go, trailing ones
// move into the exponent. Zero itself is left with no digits.
void normalize(Decimal& number) {
    number.digits.erase(0, std::min(number.digits.find_first_not_of('0'), number.digits.size()));
    if (number.digits.empty()) return;
    const std::size_t significant = number.digits.find_last_not_of('0') + 1;
    number.exponent += std::int64_t(number.digits.size() - significant);
    number.digits.resize(significant);
}

}  // namespace

std::optional<std::int64_t> exactInteger(std::string_view text) {
    auto number = parseJsonNumber(text);
    if (!number) return std::nullopt;
    normalize(*number);
    if (number->digits.empty()) return 0;
    if (number->exponent < 0) return std::nullopt;  // a fractional part is left
    // Every value in range has at most 19 digits, and 19 digits fit an unsigned 64-bit word.
    if (std::int64_t(number->digits.size()) + number->exponent > 19) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : number->digits)
        magnitude = magnitude * 10 + std::uint64_t(c - '0');
    for (std::int64_t i = 0; i < number->exponent; ++i)
        magnitude *= 10;

    constexpr auto max = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (!number->negative) {
        if (magnitude > max) return std::nullopt;
        return std::int64_t(magnitude);
    }
    if (magnitude > max + 1) return std::nullopt;
    return magnitude == max + 1 ? std::numeric_limits<std::int64_t>::min()
                                : -std::int64_t(magnitude);
}

}  // namespace jotbird

#pragma once
// Whole numbers in a locale's own digits, from ICU's locale data.

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// The number as the locale writes a count: its default numbering system's digits ("3",
// "٣" in Egyptian Arabic, "۳" in Persian, "৩" in Bengali), its minus sign, no grouping, as
// "%lld" shows. An empty locale is the C locale: ASCII digits.
std::string localizedInteger(std::int64_t number, std::string_view locale);

}  // namespace ui

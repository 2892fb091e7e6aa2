#pragma once
// User-perceived characters: Unicode extended grapheme clusters of UTF-8 text.

#include <cstddef>
#include <string_view>

namespace foundation {

// Counts extended grapheme clusters. Stops early once the count passes `stopAfter`, since
// callers only ask whether a text stays within a limit. A byte that is not valid UTF-8 counts
// as a cluster of its own.
std::size_t graphemeClusterCount(std::string_view utf8, std::size_t stopAfter = SIZE_MAX);

// Code points of valid UTF-8: every byte that does not continue a sequence starts one.
std::size_t codePointCount(std::string_view utf8);

}  // namespace foundation

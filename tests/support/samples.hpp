#pragma once
// Inputs several test programs build: typical snapshots, padding, hostile nesting, and
// user-perceived characters of many bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "shared/widget_snapshot.hpp"

namespace testsupport {

// A snapshot with every field set and two notes, one without a reminder.
jotbird::WidgetSnapshot sampleSnapshot();

// `json` followed by spaces up to `size` bytes (JSON allows trailing whitespace).
std::string paddedTo(std::string json, std::size_t size);

std::string repeated(std::string_view unit, std::size_t count);

// `depth` nested arrays, "[[...]]", two bytes a level.
std::string nestedArrays(std::size_t depth);
// `depth` nested objects, {"a":{"a":...1...}}.
std::string nestedObjects(std::size_t depth);
// As deep as nested arrays get within 64 KiB.
inline constexpr std::size_t hostileDepth = 32000;

// Single user-perceived characters that take many bytes.
inline constexpr std::string_view flag = "\U0001F1EB\U0001F1F7";  // two regional indicators
inline constexpr std::string_view family =                        // man, woman, girl, boy
    "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
inline constexpr std::string_view markedLetter = "e\u0301\u0323\u0308";  // e and three marks

}  // namespace testsupport

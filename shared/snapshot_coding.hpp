#pragma once
// The snapshot's JSON form: compact encoding and strict decoding.

#include <optional>
#include <string>
#include <string_view>

#include "shared/widget_snapshot.hpp"

namespace jotbird {

// Compact JSON in field order, absent optionals left out; nothing when a double is not finite.
std::optional<std::string> encode(const WidgetSnapshot& snapshot);

// One JSON object, strictly typed; no partial result. Unknown keys are skipped without being
// kept, so hostile nesting costs neither recursion nor memory for a tree.
std::optional<WidgetSnapshot> decode(std::string_view utf8Json);

}  // namespace jotbird

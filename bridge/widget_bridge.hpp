#pragma once
// The bridge program: one command per run, an exact answer on standard output, and the one
// failure line on standard error for anything that goes wrong.

#include <span>
#include <string_view>

namespace jotbird {

struct WidgetBridge {
    // Performs the command named by arguments[1] ("status" when there is none). Returns only
    // on success; any failure writes the failure line and ends the process with status 1.
    static void main(std::span<const std::string_view> arguments);
};

// The widget kind the host reloads after a publish.
inline constexpr std::string_view widgetKind = "JotbirdNotes";

inline constexpr std::string_view failureLine = "Jotbird widget bridge failed\n";

}  // namespace jotbird

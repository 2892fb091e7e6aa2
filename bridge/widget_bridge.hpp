#pragma once
// The bridge program: one command per run, an exact answer on standard output, and the one
// failure line on standard error for anything that goes wrong.

#include <optional>
#include <span>
#include <string_view>

#include "bridge/bridge_error.hpp"

namespace jotbird {

// The descriptors a command reads its input from and writes its answer to.
struct BridgeStreams {
    int input = 0;
    int output = 1;
};

// Performs the command named by arguments[1] ("status" when there is none) on `streams`:
// nothing when it succeeded, else the error that failed it.
std::optional<BridgeError> runBridgeCommand(std::span<const std::string_view> arguments,
                                            BridgeStreams streams);

struct WidgetBridge {
    // Runs the command on the standard streams. Returns only on success; any failure writes
    // the failure line and ends the process with status 1.
    static void main(std::span<const std::string_view> arguments);
};

// The widget kind the host reloads after a publish.
inline constexpr std::string_view widgetKind = "JotbirdNotes";

inline constexpr std::string_view failureLine = "Jotbird widget bridge failed\n";

}  // namespace jotbird

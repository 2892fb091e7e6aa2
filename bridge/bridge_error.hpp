#pragma once
// The error values the bridge raises; every one of them ends a run with the failure line.

#include <optional>
#include <string>
#include <system_error>

namespace jotbird {

struct BridgeError {
    std::string domain;
    int code = 0;
    std::optional<std::string> description;
};

// The bridge's own errors, domain "Jotbird".
inline constexpr std::string_view bridgeErrorDomain = "Jotbird";
enum class BridgeErrorCode {
    containerUnavailable = 1,
    inputTooLarge = 2,
    limitBroken = 3,
    unknownCommand = 4
};

BridgeError bridgeError(BridgeErrorCode code);

// An error from the file system or a stream, raised with its own domain and code.
BridgeError systemError(std::error_code error);

// The JSON reader or writer refused the snapshot.
BridgeError jsonError(int code);

}  // namespace jotbird

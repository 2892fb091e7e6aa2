#pragma once
// Publishing a snapshot through the built bridge program, as the notes app does, for the
// test programs that run it (their target names JotbirdWidgetBridge in RUNS).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "support/process.hpp"

namespace testsupport {

inline const std::filesystem::path bridgeProgram = JOTBIRD_BRIDGE_PATH;

// `bridge publish` with `json` on its standard input, in `environment` (XDG_DATA_HOME picks
// the container).
inline ProcessResult publishThroughBridge(
    const std::string& json, const std::map<std::string, std::optional<std::string>>& environment) {
    ProcessOptions options;
    options.arguments = {"publish"};
    options.standardInput = json;
    options.environment = environment;
    return runProcess(bridgeProgram, options);
}

// The same into the container under `dataHome`; anything but the acknowledgement fails the
// calling test.
inline void publishOrFail(const std::string& json, const std::filesystem::path& dataHome) {
    const ProcessResult result = publishThroughBridge(json, {{"XDG_DATA_HOME", dataHome.string()}});
    EXPECT_EQ(result.standardOutput, "{\"ok\":true}\n") << describe(result);
}

}  // namespace testsupport

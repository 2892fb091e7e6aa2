#include "bridge/widget_bridge.hpp"

#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "bridge/bridge_error.hpp"
#include "bridge/publish_limits.hpp"
#include "platform/foundation/atomic_file.hpp"
#include "platform/foundation/bounded_read.hpp"
#include "platform/foundation/file_descriptor.hpp"
#include "platform/widgetkit/reload_request.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "shared/width_text.hpp"

namespace jotbird {
namespace {

namespace fs = std::filesystem;

void writeAnswer(BridgeStreams streams, std::string_view bytes) {
    if (auto error = foundation::writeAll(streams.output, bytes)) throw systemError(error);
}

std::string encodeOrRaise(const WidgetSnapshot& snapshot) {
    auto json = encode(snapshot);
    if (!json) throw jsonError(2);
    return std::move(*json);
}

void publish(BridgeStreams streams, const fs::path& snapshotFile) {
    // Everything is read, but no more than a usable snapshot's worth is kept in memory.
    auto input = foundation::readToEnd(streams.input, maxSnapshotBytes);
    if (input.error) throw systemError(input.error);
    if (input.size > maxSnapshotBytes) throw bridgeError(BridgeErrorCode::inputTooLarge);

    auto snapshot = decode(input.bytes);
    if (!snapshot) throw jsonError(1);
    if (!withinPublishLimits(*snapshot)) throw bridgeError(BridgeErrorCode::limitBroken);

    const fs::path container = snapshotFile.parent_path();
    if (auto error = foundation::createDirectory(container, 0700)) throw systemError(error);
    const std::string json = encodeOrRaise(*snapshot);
    // The stored form can be longer than the input (the writer puts 1e5 as 100000.0); what
    // readers would refuse is not acknowledged.
    if (json.size() > maxSnapshotBytes) throw bridgeError(BridgeErrorCode::inputTooLarge);
    if (auto error = foundation::writeFileAtomically(snapshotFile, json)) throw systemError(error);
    widgetkit::reloadTimelines(widgetKind, container);
    writeAnswer(streams, "{\"ok\":true}\n");
}

void printMediumWidth(BridgeStreams streams) {
    writeAnswer(streams, widthText(mediumWidth().value_or(0)) + "\n");
}

void printStatus(BridgeStreams streams) {
    // Plain concatenation: the identifier goes out byte for byte, unescaped.
    writeAnswer(streams, "{\"ok\":true,\"group\":\"" + std::string(jotbirdGroup) + "\"}\n");
}

void printSnapshot(BridgeStreams streams) {
    writeAnswer(streams, encodeOrRaise(readSnapshot()));
}

void run(std::span<const std::string_view> arguments, BridgeStreams streams) {
    const std::string_view word = arguments.size() > 1 ? arguments[1] : "status";
    const auto url = snapshotURL();
    if (!url) throw bridgeError(BridgeErrorCode::containerUnavailable);

    if (word == "publish") return publish(streams, *url);
    if (word == "medium-width") return printMediumWidth(streams);
    if (word == "status") return printStatus(streams);
    if (word == "read") return printSnapshot(streams);
    throw bridgeError(BridgeErrorCode::unknownCommand);
}

}  // namespace

std::optional<BridgeError> runBridgeCommand(std::span<const std::string_view> arguments,
                                            BridgeStreams streams) {
    try {
        run(arguments, streams);
        return std::nullopt;
    } catch (const BridgeError& error) {
        return error;
    } catch (const std::system_error& error) {
        return systemError(error.code());
    } catch (const std::bad_alloc&) {
        return systemError(std::make_error_code(std::errc::not_enough_memory));
    }
}

void WidgetBridge::main(std::span<const std::string_view> arguments) {
    // A closed pipe on standard output must be a reported failure, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    if (!runBridgeCommand(arguments, {STDIN_FILENO, STDOUT_FILENO})) return;
    (void)foundation::writeAll(STDERR_FILENO, failureLine);
    std::_Exit(1);
}

}  // namespace jotbird

#pragma once
// Keeping a widget live: draws its three sizes into a directory, and draws them again after
// each reload request for its kind and when a timeline asks to be reloaded.

#include <filesystem>

#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace widgetkit {

// Runs until SIGINT or SIGTERM; returns the exit status. `request` gives the scheme, system,
// scale and redaction; each family is drawn at its default size.
int serveWidget(const WidgetRuntime& runtime, const HostRequest& request,
                const std::filesystem::path& outDirectory);

}  // namespace widgetkit

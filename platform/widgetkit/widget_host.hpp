#pragma once
// Keeping a widget live: draws its three sizes into a directory, and draws them again after
// each reload request for its kind and when a timeline asks to be reloaded.

#include <filesystem>

#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace widgetkit {

// Runs until SIGINT, SIGTERM or SIGHUP; returns the exit status. `request` gives the scheme,
// system, scale and redaction; each family is drawn at its default size into small.png, medium.png
// and large.png. Listens on the socket in `runtime.container`; while that directory is
// missing it draws anyway and binds once it appears. Each drawing prints one JSON line whose
// "reason" is "start", "reload" (a request came), "timeline" (a reload instant came) or
// "listen" (the socket was bound again, after requests may have been missed); `quiet` drops
// those lines, so that a host under a service manager fills no journal, but not its errors.
int serveWidget(const WidgetRuntime& runtime, const HostRequest& request,
                const std::filesystem::path& outDirectory, bool quiet = false);

}  // namespace widgetkit

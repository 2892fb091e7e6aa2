#pragma once
// The desktop host: the widget in windows of its own on the desktop, kept live on the GLib
// main loop by reload requests, its timelines and the colour scheme, and idle in between.

#include <string_view>
#include <vector>

#include "platform/widgetkit/widget_runtime.hpp"

namespace desktop {

// Exit statuses that say trying again at once cannot help, so that a session manager stops
// restarting the host (the systemd user unit names them in RestartPreventExitStatus=).
inline constexpr int exitAnotherHost = 3;  // another widget host listens on the container
inline constexpr int exitNoDisplay = 4;    // no display could be opened

// Runs the host for the command line after the program's name; returns the exit status
// (0 after SIGINT, SIGTERM, SIGHUP or Quit; 2 for bad arguments; 1 or one of the above when
// it cannot start).
int runDesktopHost(const widgetkit::WidgetRuntime& runtime,
                   const std::vector<std::string_view>& arguments);

// The static entry of a widget type, as widgetkit::main is for the command-line runtime.
template <class W>
int main(int argc, char** argv, std::optional<std::filesystem::path> container) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const W widget;
    widgetkit::WidgetRuntime runtime = widgetkit::eraseConfiguration(widget.body());
    runtime.container = std::move(container);
    return runDesktopHost(runtime, arguments);
}

}  // namespace desktop

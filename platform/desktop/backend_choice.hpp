#pragma once
// Which of GDK's backends the host opens, chosen before GTK opens a display from what the
// session offers: layer shell on Wayland first, then X11 (XWayland too), then plain windows.

#include <optional>
#include <string>

#include "platform/desktop/desktop_options.hpp"

namespace desktop {

// What the session offers, as found before GTK starts.
struct SessionOffer {
    bool wayland = false;  // a Wayland compositor answered
    // Whether it announces zwlr_layer_shell_v1; unknown when its socket was handed over
    // (WAYLAND_SOCKET) and could not be looked at without taking it from GTK.
    std::optional<bool> layerShell = false;
    bool x11 = false;            // DISPLAY is set
    bool gdkBackendSet = false;  // the user chose with GDK_BACKEND
};

// The list for gdk_set_allowed_backends, or empty where GTK's own choice stands (GDK_BACKEND
// set and --backend auto, or nothing offered at all).
std::string allowedBackends(Backend requested, const SessionOffer& offer);

// The one line told when the host shows plain windows on Wayland (no layer shell there).
std::string plainWindowNotice(Backend requested, const SessionOffer& offer);

}  // namespace desktop

#pragma once
// Looks at the Wayland compositor's registry on a connection of its own: before GTK connects,
// whether it offers layer shell; and whenever monitors change, the outputs' connector names,
// which GTK 3 does not tell.

#include <string>
#include <vector>

#include "platform/desktop/backend_choice.hpp"

namespace desktop {

// What the session offers, from WAYLAND_DISPLAY's registry (one round trip), DISPLAY and
// GDK_BACKEND.
SessionOffer lookAtSession();

struct WaylandOutput {
    std::string name;  // the connector, such as "HEADLESS-1" (wl_output version 4)
    int x = 0;         // its place in the compositor's space
    int y = 0;
};

// The compositor's outputs in the order it announces them; empty where there is none or it
// names none.
std::vector<WaylandOutput> waylandOutputs();

}  // namespace desktop

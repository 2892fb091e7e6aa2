#pragma once
// A look at the Wayland compositor's registry before GTK connects: is it there, and does it
// offer layer shell.

#include "platform/desktop/backend_choice.hpp"

namespace desktop {

// What the session offers, from WAYLAND_DISPLAY's registry (one round trip), DISPLAY and
// GDK_BACKEND.
SessionOffer lookAtSession();

}  // namespace desktop

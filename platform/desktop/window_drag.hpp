#pragma once
// Moving a widget as on any desktop: the primary button pressed on it and moved past the
// drag threshold carries it with the pointer, and the release leaves it there, inside its
// monitor's work area; a press and release without that movement stays a click. Alt and an
// arrow key move the focused widget by a step. Where it ends up is kept.

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

// Connects the window's pointer and key handlers; once, when it is made.
void connectDragging(DesktopWindow& window);

}  // namespace desktop

#pragma once
// The right-click menu of a window: Small, Medium, Large (the family it shows) and Quit.

#include "platform/desktop/desktop_state.hpp"

namespace desktop {

void popUpFamilyMenu(DesktopWindow& window, const GdkEvent* trigger);

}  // namespace desktop

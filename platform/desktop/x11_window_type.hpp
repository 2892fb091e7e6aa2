#pragma once
// The X11 window type the host's windows take under a window manager, by the name it gives
// itself (_NET_WM_NAME of its check window): the type that keeps them below, out of window
// cycling and unfocused at map there, as measured under each.

#include <string_view>

namespace desktop {

enum class X11WindowType { normal, desktop, toolbar };

// Normal where the window manager honours the below, skip-taskbar, skip-pager and
// no-focus-at-map hints on a normal window (openbox, xfwm4, mutter, i3); desktop where it
// cycles to and focuses such a window regardless (fluxbox); toolbar where it puts normal
// windows in its switcher and marks one that does not take the focus at map as demanding
// attention (KWin).
X11WindowType x11WindowTypeFor(std::string_view windowManager);

}  // namespace desktop

#include "platform/desktop/display_kind.hpp"

#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace desktop {

bool isWaylandDisplay(GdkDisplay* display) {
#ifdef GDK_WINDOWING_WAYLAND
    return GDK_IS_WAYLAND_DISPLAY(display);
#else
    (void)display;
    return false;
#endif
}

bool isX11Display(GdkDisplay* display) {
#ifdef GDK_WINDOWING_X11
    return GDK_IS_X11_DISPLAY(display);
#else
    (void)display;
    return false;
#endif
}

}  // namespace desktop

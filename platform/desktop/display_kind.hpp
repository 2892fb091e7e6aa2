#pragma once
// Which window system a GDK display speaks, where GDK was built with it.

#include <gdk/gdk.h>

namespace desktop {

bool isWaylandDisplay(GdkDisplay* display);
bool isX11Display(GdkDisplay* display);

}  // namespace desktop

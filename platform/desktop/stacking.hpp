#pragma once
// How a host window sits among the others: a layer surface below the windows where the
// compositor offers layer shell, an undecorated below-everything window on X11, a plain
// window elsewhere.

#include <gtk/gtk.h>

#include "platform/desktop/backend_choice.hpp"
#include "platform/desktop/desktop_options.hpp"
#include "platform/ui/geometry.hpp"

namespace desktop {

enum class Stacking { layerSurface, x11Below, plainWindow };

// What the display offers, from what was found before GTK opened it; for a plain window it
// also says why on standard error. The host asks once, at its start.
Stacking stackingFor(GdkDisplay* display, Backend requested, const SessionOffer& offer);

// Sets the window up before it is shown.
void applyStacking(GtkWindow* window, Stacking stacking, const DesktopOptions& options);

// Puts the window at `frame` (points, in `monitor`'s work area as `workArea` gives it); a
// layer surface is bound to that monitor's output and anchored at `anchor`, so that it keeps
// its distance from that corner's edges.
void placeWindow(GtkWindow* window, Stacking stacking, Corner anchor, GdkMonitor* monitor,
                 const ui::CGRect& workArea, const ui::CGRect& frame);

}  // namespace desktop

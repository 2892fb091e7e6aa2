#include "platform/desktop/stacking.hpp"

#include <gtk-layer-shell.h>

#include <cmath>

#include "platform/desktop/desktop_state.hpp"
#include "platform/desktop/display_kind.hpp"
#include "platform/desktop/window_placement.hpp"
#include "platform/desktop/x11_window_type.hpp"

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

namespace desktop {
namespace {

void applyLayerShell(GtkWindow* window, const DesktopOptions& options) {
    gtk_layer_init_for_window(window);
    gtk_layer_set_namespace(window, "jotbird-widgets");
    gtk_layer_set_layer(window, options.layer == LayerChoice::background
                                    ? GTK_LAYER_SHELL_LAYER_BACKGROUND
                                    : GTK_LAYER_SHELL_LAYER_BOTTOM);
    gtk_layer_set_anchor(
        window, isTop(options.corner) ? GTK_LAYER_SHELL_EDGE_TOP : GTK_LAYER_SHELL_EDGE_BOTTOM,
        TRUE);
    gtk_layer_set_anchor(
        window, isLeft(options.corner) ? GTK_LAYER_SHELL_EDGE_LEFT : GTK_LAYER_SHELL_EDGE_RIGHT,
        TRUE);
    gtk_layer_set_exclusive_zone(window, 0);
    // Before version 4 of the protocol (KWin 5.27) there is no on-demand mode: asked for it,
    // gtk-layer-shell warns and takes no keyboard; "exclusive" would take the focus at map.
    gtk_layer_set_keyboard_mode(window, gtk_layer_get_protocol_version() >= 4
                                            ? GTK_LAYER_SHELL_KEYBOARD_MODE_ON_DEMAND
                                            : GTK_LAYER_SHELL_KEYBOARD_MODE_NONE);
}

#ifdef GDK_WINDOWING_X11
GdkWindowTypeHint typeHintFor(GtkWindow* window) {
    const char* name =
        gdk_x11_screen_get_window_manager_name(gtk_widget_get_screen(GTK_WIDGET(window)));
    switch (x11WindowTypeFor(name ? name : "")) {
        case X11WindowType::desktop:
            return GDK_WINDOW_TYPE_HINT_DESKTOP;
        case X11WindowType::toolbar:
            return GDK_WINDOW_TYPE_HINT_TOOLBAR;
        case X11WindowType::normal:
            break;
    }
    return GDK_WINDOW_TYPE_HINT_NORMAL;
}
#endif

void applyX11Hints(GtkWindow* window) {
#ifdef GDK_WINDOWING_X11
    gtk_window_set_type_hint(window, typeHintFor(window));
#endif
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_stick(window);
    gtk_window_set_keep_below(window, TRUE);
    // It takes focus when clicked or tabbed into, never by appearing.
    gtk_window_set_focus_on_map(window, FALSE);
}

}  // namespace

Stacking stackingFor(GdkDisplay* display, Backend requested, const SessionOffer& offer) {
    if (!isWaylandDisplay(display)) return Stacking::x11Below;
    // gtk-layer-shell is asked only where the registry could not be read: it warns on its
    // own when layer shell is missing, beside the host's line.
    if (offer.layerShell.value_or(false) || (!offer.layerShell && gtk_layer_is_supported()))
        return Stacking::layerSurface;
    report(plainWindowNotice(requested, offer));
    return Stacking::plainWindow;
}

void applyStacking(GtkWindow* window, Stacking stacking, const DesktopOptions& options) {
    gtk_window_set_title(window, "Jotbird");
    gtk_window_set_resizable(window, FALSE);
    switch (stacking) {
        case Stacking::layerSurface:
            applyLayerShell(window, options);
            break;
        case Stacking::x11Below:
            applyX11Hints(window);
            break;
        case Stacking::plainWindow:
            gtk_window_set_decorated(window, FALSE);
            break;
    }
}

void placeWindow(GtkWindow* window, Stacking stacking, Corner anchor, GdkMonitor* monitor,
                 const ui::CGRect& workArea, const ui::CGRect& frame) {
    if (stacking == Stacking::layerSurface) {
        // Without it the compositor picks an output, mostly the focused one.
        if (monitor && gtk_layer_get_monitor(window) != monitor)
            gtk_layer_set_monitor(window, monitor);
        const auto horizontal =
            isLeft(anchor) ? GTK_LAYER_SHELL_EDGE_LEFT : GTK_LAYER_SHELL_EDGE_RIGHT;
        const auto vertical =
            isTop(anchor) ? GTK_LAYER_SHELL_EDGE_TOP : GTK_LAYER_SHELL_EDGE_BOTTOM;
        for (auto edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT,
                          GTK_LAYER_SHELL_EDGE_TOP, GTK_LAYER_SHELL_EDGE_BOTTOM})
            if (gtk_layer_get_anchor(window, edge) != (edge == horizontal || edge == vertical))
                gtk_layer_set_anchor(window, edge, edge == horizontal || edge == vertical);
        const EdgeOffsets offsets = offsetsFromCorner(workArea, anchor, frame);
        gtk_layer_set_margin(window, horizontal, int(std::lround(offsets.horizontal)));
        gtk_layer_set_margin(window, vertical, int(std::lround(offsets.vertical)));
        return;
    }
    gtk_window_move(window, int(std::lround(ui::CGRectGetMinX(frame))),
                    int(std::lround(ui::CGRectGetMinY(frame))));
}

}  // namespace desktop

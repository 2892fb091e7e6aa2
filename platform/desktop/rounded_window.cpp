#include "platform/desktop/rounded_window.hpp"

#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/window_shape.hpp"

namespace desktop {
namespace {

// The shapes follow the window's size; GDK takes them in the window's points. Set again only
// when the size changed: each setting is a round trip to the X server.
void applyShape(GtkWidget* widget, DesktopWindow& window) {
    const ui::CGSize size = window.live.request.displaySize;
    if (window.shapedSize == size) return;
    window.shapedSize = size;
    const Region region = roundedRegion(size, 1);
    gtk_widget_input_shape_combine_region(widget, region.get());
    if (!window.roundedByClip) gtk_widget_shape_combine_region(widget, region.get());
}

void sizeAllocated(GtkWidget* widget, GdkRectangle*, gpointer data) {
    applyShape(widget, *static_cast<DesktopWindow*>(data));
}

}  // namespace

void useRoundedShape(DesktopWindow& window) {
    GdkScreen* screen = gtk_widget_get_screen(window.window);
    GdkVisual* rgba = gdk_screen_get_rgba_visual(screen);
    window.roundedByClip = rgba && gdk_screen_is_composited(screen);
    if (window.roundedByClip) gtk_widget_set_visual(window.window, rgba);
    connect(window.window, signals::sizeAllocate, sizeAllocated, &window);
}

void clipToOutline(cairo_t* cairo, const DesktopWindow& window) {
    if (!window.roundedByClip) return;
    cairo_save(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cairo);
    cairo_restore(cairo);
    roundedOutline(cairo, window.live.request.displaySize);
    cairo_clip(cairo);
}

}  // namespace desktop

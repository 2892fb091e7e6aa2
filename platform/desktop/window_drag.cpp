#include "platform/desktop/window_drag.hpp"

#include "platform/desktop/desktop_widgets.hpp"
#include "platform/desktop/desktop_window.hpp"
#include "platform/desktop/display_kind.hpp"
#include "platform/desktop/gtk_signals.hpp"
#include "platform/desktop/host_monitor.hpp"
#include "platform/desktop/url_opening.hpp"
#include "platform/desktop/window_placement.hpp"
#include "platform/ui/hit_test.hpp"

namespace desktop {
namespace {

bool onX11(const DesktopWindow& window) {
    return isX11Display(gtk_widget_get_display(window.window));
}

ui::CGPoint offsetIn(const ui::CGRect& workArea, const ui::CGPoint& point) {
    return {point.x - workArea.origin.x, point.y - workArea.origin.y};
}

// From here on the window has a place of its own, kept relative to the work area's top-left.
void takeOwnPlace(DesktopWindow& window) {
    if (!window.position) window.position = offsetIn(window.workArea, window.frame.origin);
}

// The window's new place, inside its work area, kept.
void settle(DesktopWindow& window, const ui::CGRect& frame) {
    const ui::CGRect kept = keptInside(window.workArea, frame);
    window.position = offsetIn(window.workArea, kept.origin);
    moveWindow(window, kept);
    saveWidgets(*window.host);
}

// Where the gesture's sequence last had the pointer: in the window, and on the screen.
struct PointerAt {
    ui::CGPoint local, root;
};
PointerAt lastPointer(GtkGesture* gesture) {
    PointerAt at;
    GdkEventSequence* sequence =
        gtk_gesture_single_get_current_sequence(GTK_GESTURE_SINGLE(gesture));
    gtk_gesture_get_point(gesture, sequence, &at.local.x, &at.local.y);
    if (const GdkEvent* event = gtk_gesture_get_last_event(gesture, sequence))
        gdk_event_get_root_coords(event, &at.root.x, &at.root.y);
    return at;
}

// Every press of the primary button on the window is the window's: a link's button would
// otherwise take it, and a drag begun on a link could not move the widget.
void dragBegan(GtkGestureDrag* gesture, double, double, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
    const PointerAt at = lastPointer(GTK_GESTURE(gesture));
    window.drag = {true, false, at.root, at.local, window.frame.origin};
}

void dragUpdated(GtkGestureDrag* gesture, double, double, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    WindowDrag& drag = window.drag;
    if (!drag.pressed) return;
    const PointerAt at = lastPointer(GTK_GESTURE(gesture));
    if (!drag.moved &&
        !gtk_drag_check_threshold(window.window, int(drag.pressRoot.x), int(drag.pressRoot.y),
                                  int(at.root.x), int(at.root.y)))
        return;
    if (!drag.moved) takeOwnPlace(window);
    drag.moved = true;
    ui::CGRect frame = window.frame;
    if (onX11(window)) {
        // X11 tells where the pointer is on the screen, whatever the window's move has done.
        frame.origin = {drag.startOrigin.x + at.root.x - drag.pressRoot.x,
                        drag.startOrigin.y + at.root.y - drag.pressRoot.y};
    } else {
        // A layer surface learns only where the pointer is on itself: it follows by steps.
        frame.origin.x += at.local.x - drag.pressLocal.x;
        frame.origin.y += at.local.y - drag.pressLocal.y;
    }
    // The picture stays as drawn: only the window moves.
    moveWindow(window, frame);
}

void dragEnded(GtkGestureDrag*, double, double, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    if (!window.drag.pressed) return;
    window.drag.pressed = false;
    if (window.drag.moved) return settle(window, window.frame);
    // A click: the innermost link under the press, else the widget URL, as `click` answers.
    if (!window.root) return;
    if (const auto url = ui::urlAt(*window.root, window.drag.pressLocal))
        openURL(window.window, *url);
}

void dragCancelled(GtkGesture*, GdkEventSequence*, gpointer data) {
    static_cast<DesktopWindow*>(data)->drag.pressed = false;
}

gboolean keyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& window = *static_cast<DesktopWindow*>(data);
    if (!(event->state & GDK_MOD1_MASK)) return FALSE;
    double dx = 0, dy = 0;
    switch (event->keyval) {
        case GDK_KEY_Left:
            dx = -keyboardMoveStep;
            break;
        case GDK_KEY_Right:
            dx = keyboardMoveStep;
            break;
        case GDK_KEY_Up:
            dy = -keyboardMoveStep;
            break;
        case GDK_KEY_Down:
            dy = keyboardMoveStep;
            break;
        default:
            return FALSE;
    }
    takeOwnPlace(window);
    ui::CGRect frame = window.frame;
    frame.origin.x += dx;
    frame.origin.y += dy;
    settle(window, frame);
    return TRUE;
}

}  // namespace

void connectDragging(DesktopWindow& window) {
    GtkGesture* drag = gtk_gesture_drag_new(window.window);
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(drag), GDK_BUTTON_PRIMARY);
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(drag), GTK_PHASE_CAPTURE);
    // The gesture lives as long as the window.
    g_object_set_data_full(G_OBJECT(window.window), "jotbird-drag", drag, g_object_unref);
    gpointer data = &window;
    connect(drag, signals::dragBegin, dragBegan, data);
    connect(drag, signals::dragUpdate, dragUpdated, data);
    connect(drag, signals::dragEnd, dragEnded, data);
    connect(drag, signals::gestureCancel, dragCancelled, data);
    connect(window.window, signals::keyPress, keyPressed, data);
}

}  // namespace desktop

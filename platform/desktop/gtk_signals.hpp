#pragma once
// GTK signals with the handler type each calls, so that a handler declared otherwise (void
// where GTK reads a gboolean back, an event or instance of the wrong kind) fails to compile.
// G_CALLBACK's cast accepts any function, and a mismatch then runs on whatever a register
// happens to hold.

#include <gtk/gtk.h>

namespace desktop {

template <class Handler>
struct Signal {
    const char* name;
};

// Connects `handler` to the signal of `instance`; its id, as g_signal_connect gives it.
template <class Handler>
gulong connect(gpointer instance, Signal<Handler> signal, Handler* handler, gpointer data) {
    return g_signal_connect(instance, signal.name, G_CALLBACK(handler), data);
}

namespace signals {

// Widget events: TRUE stops the event, FALSE lets it go on.
inline constexpr Signal<gboolean(GtkWidget*, cairo_t*, gpointer)> draw{"draw"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEventButton*, gpointer)> buttonPress{
    "button-press-event"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEventKey*, gpointer)> keyPress{"key-press-event"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEventFocus*, gpointer)> focusIn{"focus-in-event"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEventFocus*, gpointer)> focusOut{"focus-out-event"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEvent*, gpointer)> deleteEvent{"delete-event"};
inline constexpr Signal<gboolean(GtkWidget*, GdkEvent*, gpointer)> mapEvent{"map-event"};
inline constexpr Signal<void(GtkWidget*, GdkRectangle*, gpointer)> sizeAllocate{"size-allocate"};
inline constexpr Signal<void(GtkWidget*, GParamSpec*, gpointer)> scaleFactorChanged{
    "notify::scale-factor"};
inline constexpr Signal<void(GtkWindow*, GParamSpec*, gpointer)> activeChanged{"notify::is-active"};

inline constexpr Signal<void(GtkButton*, gpointer)> clicked{"clicked"};
inline constexpr Signal<void(GtkMenuItem*, gpointer)> activate{"activate"};
inline constexpr Signal<void(GtkMenuShell*, gpointer)> deactivate{"deactivate"};

inline constexpr Signal<void(GtkGestureDrag*, double, double, gpointer)> dragBegin{"drag-begin"};
inline constexpr Signal<void(GtkGestureDrag*, double, double, gpointer)> dragUpdate{"drag-update"};
inline constexpr Signal<void(GtkGestureDrag*, double, double, gpointer)> dragEnd{"drag-end"};
inline constexpr Signal<void(GtkGesture*, GdkEventSequence*, gpointer)> gestureCancel{"cancel"};

inline constexpr Signal<void(GdkDisplay*, GdkMonitor*, gpointer)> monitorAdded{"monitor-added"};
inline constexpr Signal<void(GdkDisplay*, GdkMonitor*, gpointer)> monitorRemoved{"monitor-removed"};
inline constexpr Signal<void(GdkScreen*, gpointer)> screenSizeChanged{"size-changed"};
inline constexpr Signal<void(GdkScreen*, gpointer)> monitorsChanged{"monitors-changed"};
inline constexpr Signal<void(GdkMonitor*, GParamSpec*, gpointer)> monitorGeometry{
    "notify::geometry"};
inline constexpr Signal<void(GdkMonitor*, GParamSpec*, gpointer)> monitorWorkarea{
    "notify::workarea"};
inline constexpr Signal<void(GdkMonitor*, GParamSpec*, gpointer)> monitorScale{
    "notify::scale-factor"};
inline constexpr Signal<void(GtkSettings*, GParamSpec*, gpointer)> preferDarkChanged{
    "notify::gtk-application-prefer-dark-theme"};

}  // namespace signals
}  // namespace desktop

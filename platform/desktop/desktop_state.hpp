#pragma once
// What the desktop host keeps while it runs: its windows, each with the family it shows and
// the layout drawn last, and the channels that wake it (reload socket, timeline timer,
// colour scheme). GTK callbacks get pointers to these; they live until the loop ends.

#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/color_scheme_watch.hpp"
#include "platform/desktop/desktop_options.hpp"
#include "platform/desktop/frame_output.hpp"
#include "platform/desktop/link_targets.hpp"
#include "platform/desktop/source_id.hpp"
#include "platform/desktop/stacking.hpp"
#include "platform/ui/laid_out_view.hpp"
#include "platform/widgetkit/container_watch.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace desktop {

struct DesktopHost;

struct DesktopWindow {
    DesktopHost* host = nullptr;
    GtkWidget* window = nullptr;  // owns the widgets below
    GtkWidget* links = nullptr;   // a GtkFixed: the drawing area first, link buttons above it
    GtkWidget* area = nullptr;    // the widget's pixels
    widgetkit::LiveFamily live;
    std::optional<ui::LaidOutView> root;  // laid out for the entry shown now
    std::vector<LinkTarget> targets;      // one per child of `links`, in view order
    std::string pendingReason;            // why the next frame is drawn; empty for a re-expose
    bool closedWithOutput = false;        // its layer surface went with its output, to come back

    DesktopWindow() = default;
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;
    ~DesktopWindow() {
        if (window) gtk_widget_destroy(window);
    }
};

struct DesktopHost {
    const widgetkit::WidgetRuntime& runtime;
    DesktopOptions options;
    std::filesystem::path container;
    Stacking stacking = Stacking::x11Below;
    ui::ColorScheme scheme = ui::ColorScheme::light;
    FrameOutput output;
    ColorSchemeWatch schemeWatch;
    std::optional<widgetkit::ReloadListener> listener;
    std::optional<widgetkit::ListenFailure> reportedFailure;  // so a lasting failure is told once
    SourceId socketWatch;
    // Tells when the socket file or the container comes or goes, so that the host binds again
    // once a publish makes them anew.
    widgetkit::ContainerWatch containerWatch;
    SourceId containerSource;  // its descriptor on the main loop (a timer only without inotify)
    SourceId rebindTimer;      // one shot, a moment after the socket file vanished
    SourceId timelineTimer;    // one shot, at the next instant a timeline asks for
    SourceId placementIdle;    // one shot, once monitors have changed
    std::vector<std::unique_ptr<DesktopWindow>> windows;
};

// "JotbirdWidgetsDesktop: <message>" on standard error.
void report(const std::string& message);

}  // namespace desktop

#pragma once
// What the desktop host keeps while it runs: its windows, each with the family it shows and
// the layout drawn last, and the channels that wake it (reload socket, timeline timer,
// colour scheme). GTK callbacks get pointers to these; they live until the loop ends.

#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <filesystem>

#include "platform/desktop/color_scheme_watch.hpp"
#include "platform/desktop/desktop_options.hpp"
#include "platform/desktop/frame_output.hpp"
#include "platform/desktop/gallery.hpp"
#include "platform/desktop/link_targets.hpp"
#include "platform/desktop/source_id.hpp"
#include "platform/desktop/stacking.hpp"
#include "platform/desktop/widget_pixels.hpp"
#include "platform/ui/laid_out_view.hpp"
#include "platform/widgetkit/container_watch.hpp"
#include "platform/widgetkit/host_policy.hpp"
#include "platform/widgetkit/live_family.hpp"
#include "platform/widgetkit/reload_listener.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace desktop {

struct DesktopHost;

// A press of the primary button on a window, until its release: past the drag threshold it
// moves the window, else it is a click.
struct WindowDrag {
    bool pressed = false;
    bool moved = false;       // past the threshold: the release opens no link
    ui::CGPoint pressRoot;    // the pointer at the press, in the display's points
    ui::CGPoint pressLocal;   // and in the window's
    ui::CGPoint startOrigin;  // the window's frame origin at the press
};

struct DesktopWindow {
    DesktopHost* host = nullptr;
    GtkWidget* window = nullptr;  // owns the widgets below
    GtkWidget* links = nullptr;   // a GtkFixed: the drawing area first, link buttons above it
    GtkWidget* area = nullptr;    // the widget's pixels
    widgetkit::LiveFamily live;
    std::optional<ui::LaidOutView> root;  // laid out for the entry shown now
    Picture picture;                      // `root` drawn at the window's scale; none: to draw
    std::vector<LinkTarget> targets;      // one per link button in `links`, in view order
    std::vector<NamedImage> images;       // one per image label in `links`, in view order
    std::string pendingReason;            // why the next frame is drawn; empty for a re-expose
    bool closedWithOutput = false;        // its layer surface went with its output, to come back
    std::string monitor;                  // the connector it is kept on; empty: the host's
    std::optional<ui::CGPoint> position;  // its top-left in the work area, in points; none:
                                          // stacked at the host's corner
    GdkMonitor* placedOn = nullptr;       // where it was placed last
    ui::CGRect workArea;                  // that monitor's work area then
    ui::CGRect frame;                     // and its frame there, in the display's points
    WindowDrag drag;
    bool roundedByClip = false;  // corners transparent through an RGBA visual; else cut by X Shape
    std::optional<ui::CGSize> shapedSize;  // the size its shapes were last set for
    bool removing = false;                 // taken away once the loop is idle

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
    widgetkit::Listening listening;  // the reload socket, as the hosts' shared policy keeps it
    SourceId socketWatch;            // its descriptor on the main loop, while there is one
    // Tells when the socket file or the container comes or goes, so that the host binds again
    // once a publish makes them anew.
    widgetkit::ContainerWatch containerWatch;
    SourceId containerSource;  // its descriptor on the main loop, where inotify can be had
    SourceId wakeTimer;        // one shot, at the next instant a timeline or the socket asks for
    SourceId placementIdle;    // one shot, once monitors have changed
    std::vector<std::unique_ptr<DesktopWindow>> windows;
    std::optional<std::filesystem::path> settingsFile;  // where the widgets are kept
    Gallery gallery;
    SourceId removalIdle;  // one shot, to take away windows whose menu asked
};

// "JotbirdWidgetsDesktop: <message>" on standard error.
void report(const std::string& message);

// The windows' timelines changed (a window came or went): waits for the earliest instant.
void timelinesChanged(DesktopHost& host);

}  // namespace desktop

#pragma once
// What the command line asks of the widget: size, scheme, system, and how to draw it; and
// the steps every drawing command shares.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/drawing.hpp"
#include "platform/ui/environment.hpp"
#include "platform/ui/laid_out_view.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace widgetkit {

// The host's default content margin around a widget with a container background.
inline constexpr double contentMargin = 16;

struct HostRequest {
    WidgetFamily family = WidgetFamily::systemSmall;
    bool isPreview = false;
    ui::CGSize displaySize;
    ui::ColorScheme scheme = ui::ColorScheme::light;
    bool legacy = false;  // the system before the container background
    bool redacted = false;
    double scale = 2;
};

// Default display sizes in points: small 170x170, medium 364x170, large 364x382.
ui::CGSize defaultDisplaySize(WidgetFamily family);

// "364x170", "364.4x170"; nothing unless both are finite and positive.
std::optional<ui::CGSize> parseSize(std::string_view text);

TimelineProviderContext providerContext(const HostRequest& request);
ui::EnvironmentValues environmentFor(const HostRequest& request);

// The entry a drawing shows: the timeline's first entry, or the snapshot entry for a preview.
RenderableEntry entryToShow(const WidgetRuntime& runtime, const HostRequest& request);

// The entry's view laid out in the widget, inside the host's content margins.
ui::LaidOutView layoutEntry(const RenderableEntry& entry, const HostRequest& request);

ui::Canvas canvasFor(const HostRequest& request);

}  // namespace widgetkit

#pragma once
// One size of a widget as the host keeps it live: the request it is drawn for, its picture,
// the timeline it last got, and when that timeline wants it drawn again. `now` is the host's
// clock, the wall clock unless a test sets it.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/clock.hpp"
#include "platform/ui/drawing.hpp"
#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_runtime.hpp"

namespace widgetkit {

// However soon a timeline asks for its next reload, the host waits at least this long, so
// that a provider answering "reload now" cannot keep it drawing without pause.
inline constexpr std::chrono::seconds minimumReloadDelay{1};

struct LiveFamily {
    HostRequest request;  // the family at its default display size
    std::filesystem::path png;
    RenderableTimeline timeline;
    std::size_t shownEntry = 0;                // index of the entry drawn last
    std::optional<foundation::Date> reloadAt;  // when to ask the provider again
};

// What one drawing gave.
struct Drawing {
    ui::PixelSize pixels;
    foundation::Date entryDate;
    std::string error;  // empty when the PNG is in place
};

// The family for `request`'s scheme, system, scale and redaction, drawn into `png`.
LiveFamily liveFamily(WidgetFamily family, const HostRequest& request, std::filesystem::path png);

// Asks the provider for a new timeline and picks the entry it shows now, without drawing;
// the provider's error when it failed (the timeline is then empty, and asked again soon).
std::string reloadTimeline(LiveFamily& family, const WidgetRuntime& runtime,
                           foundation::Date now = foundation::now());

// Picks the entry the timeline it has shows now.
void pickCurrentEntry(LiveFamily& family, foundation::Date now = foundation::now());

// Asks the provider for a new timeline and draws the entry it shows now.
Drawing reloadAndDraw(LiveFamily& family, const WidgetRuntime& runtime,
                      foundation::Date now = foundation::now());

// Draws the entry the timeline it has shows now.
Drawing drawCurrentEntry(LiveFamily& family, foundation::Date now = foundation::now());

// The next instant the family needs drawing: its reload instant or the next entry's date.
std::optional<foundation::Date> nextDrawing(const LiveFamily& family);

// True when the reload instant has come, rather than only the next entry's date.
bool reloadDue(const LiveFamily& family, foundation::Date now);

// {"family":…,"png":…,"width":…,"height":…,"date":…,"reason":…} without a line end.
std::string drawingJSON(const LiveFamily& family, const Drawing& drawing, std::string_view reason);

}  // namespace widgetkit

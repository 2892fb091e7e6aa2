#include "platform/widgetkit/live_family.hpp"

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <utility>

namespace widgetkit {
namespace {

// The entry a host shows at `now`: the last one already begun, else the first.
std::size_t currentEntry(const RenderableTimeline& timeline, foundation::Date now) {
    std::size_t current = 0;
    for (std::size_t i = 1; i < timeline.entries.size(); ++i)
        if (timeline.entries[i].date <= now) current = i;
    return current;
}

std::optional<foundation::Date> reloadInstant(const RenderableTimeline& timeline,
                                              foundation::Date now) {
    std::optional<foundation::Date> instant;
    switch (timeline.policy.kind) {
        case TimelineReloadPolicy::Kind::after:
            instant = timeline.policy.date;
            break;
        case TimelineReloadPolicy::Kind::atEnd:
            instant = timeline.entries.empty() ? now : timeline.entries.back().date;
            break;
        case TimelineReloadPolicy::Kind::never:
            return std::nullopt;
    }
    return std::max(*instant, now + minimumReloadDelay);
}

Drawing draw(const LiveFamily& family) {
    Drawing drawing;
    if (family.timeline.entries.empty()) {
        drawing.error = "the timeline has no entries";
        return drawing;
    }
    try {
        const RenderableEntry& entry = family.timeline.entries[family.shownEntry];
        drawing.entryDate = entry.date;
        const ui::LaidOutView root = layoutEntry(entry, family.request);
        if (auto error = ui::drawPNG(root, canvasFor(family.request), family.png, &drawing.pixels))
            drawing.error = error.message();
    } catch (const std::exception& error) {
        drawing.error = error.what();
    }
    return drawing;
}

}  // namespace

LiveFamily liveFamily(WidgetFamily family, const HostRequest& request, std::filesystem::path png) {
    LiveFamily live{request, std::move(png), {}, 0, std::nullopt};
    live.request.family = family;
    live.request.isPreview = false;
    live.request.displaySize = defaultDisplaySize(family);
    return live;
}

std::string reloadTimeline(LiveFamily& family, const WidgetRuntime& runtime, foundation::Date now) {
    try {
        // The same request the render command makes: for a medium widget the provider records
        // the width it is shown at.
        family.timeline = runtime.timeline(providerContext(family.request));
    } catch (const std::exception& error) {
        family.timeline = {};
        family.reloadAt = now + minimumReloadDelay;
        return error.what();
    }
    family.shownEntry = currentEntry(family.timeline, now);
    family.reloadAt = reloadInstant(family.timeline, now);
    return {};
}

void pickCurrentEntry(LiveFamily& family, foundation::Date now) {
    family.shownEntry = currentEntry(family.timeline, now);
}

Drawing reloadAndDraw(LiveFamily& family, const WidgetRuntime& runtime, foundation::Date now) {
    if (std::string error = reloadTimeline(family, runtime, now); !error.empty())
        return {.error = std::move(error)};
    return draw(family);
}

Drawing drawCurrentEntry(LiveFamily& family, foundation::Date now) {
    pickCurrentEntry(family, now);
    return draw(family);
}

std::optional<foundation::Date> nextDrawing(const LiveFamily& family) {
    std::optional<foundation::Date> next = family.reloadAt;
    if (family.shownEntry + 1 < family.timeline.entries.size()) {
        const foundation::Date entryDate = family.timeline.entries[family.shownEntry + 1].date;
        if (!next || entryDate < *next) next = entryDate;
    }
    return next;
}

bool reloadDue(const LiveFamily& family, foundation::Date now) {
    return family.reloadAt && *family.reloadAt <= now;
}

std::string drawingJSON(const LiveFamily& family, const Drawing& drawing, std::string_view reason) {
    nlohmann::ordered_json line;
    line["family"] = familyName(family.request.family);
    line["png"] = family.png.string();
    line["width"] = drawing.pixels.width;
    line["height"] = drawing.pixels.height;
    line["date"] = foundation::millisecondsSince1970(drawing.entryDate);
    line["reason"] = reason;
    // A path is bytes, not always UTF-8: what is not shows as U+FFFD rather than failing.
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace widgetkit

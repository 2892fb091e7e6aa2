#include "platform/widgetkit/host_request.hpp"

#include "platform/foundation/decimal_number.hpp"
#include "platform/ui/layout.hpp"
#include "platform/ui/system_colors.hpp"

namespace widgetkit {
namespace {

std::optional<double> parsePositive(std::string_view text) {
    const auto value = foundation::parseDecimal(text);
    if (!value || *value <= 0) return std::nullopt;
    return value;
}

}  // namespace

ui::CGSize defaultDisplaySize(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall:
            return {170, 170};
        case WidgetFamily::systemMedium:
            return {364, 170};
        case WidgetFamily::systemLarge:
            return {364, 382};
    }
    return {170, 170};
}

std::optional<ui::CGSize> parseSize(std::string_view text) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto width = parsePositive(text.substr(0, x));
    const auto height = parsePositive(text.substr(x + 1));
    if (!width || !height) return std::nullopt;
    return ui::CGSize{*width, *height};
}

TimelineProviderContext providerContext(const HostRequest& request) {
    return {request.family, request.isPreview, request.displaySize};
}

ui::EnvironmentValues environmentFor(const HostRequest& request) {
    ui::EnvironmentValues environment;
    environment.widgetFamily = request.family;
    environment.colorScheme = request.scheme;
    environment.locale = ui::Locale::current();
    environment.isContainerBackgroundAvailable = !request.legacy;
    environment.redactsPrivacySensitive = request.redacted;
    return environment;
}

RenderableEntry entryToShow(const WidgetRuntime& runtime, const HostRequest& request) {
    const TimelineProviderContext context = providerContext(request);
    if (request.isPreview) return runtime.snapshot(context);
    RenderableTimeline timeline = runtime.timeline(context);
    return std::move(timeline.entries.front());
}

ui::LaidOutView layoutEntry(const RenderableEntry& entry, const HostRequest& request) {
    const ui::EnvironmentValues environment = environmentFor(request);
    const double margin = request.legacy ? 0 : contentMargin;
    const ui::CGRect bounds{{margin, margin},
                            {std::max(0.0, request.displaySize.width - 2 * margin),
                             std::max(0.0, request.displaySize.height - 2 * margin)}};
    return ui::layout(entry.view(environment), bounds, environment);
}

ui::Canvas canvasFor(const HostRequest& request) {
    return {request.displaySize, request.scale, ui::widgetBackground(request.scheme),
            request.redacted};
}

}  // namespace widgetkit

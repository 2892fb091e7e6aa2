#pragma once
// Timelines: what a provider answers the host, and what the host asks it.

#include <concepts>
#include <functional>
#include <vector>

#include "platform/foundation/clock.hpp"
#include "platform/ui/geometry.hpp"
#include "platform/widgetkit/widget_family.hpp"

namespace widgetkit {

// The host's request: which size, whether it wants an example, and the size in points.
struct TimelineProviderContext {
    WidgetFamily family = WidgetFamily::systemSmall;
    bool isPreview = false;
    ui::CGSize displaySize;
};

// When the host should ask for the next timeline.
struct TimelineReloadPolicy {
    enum class Kind { atEnd, after, never } kind = Kind::atEnd;
    foundation::Date date;

    static TimelineReloadPolicy after(foundation::Date date) { return {Kind::after, date}; }
};

template <class Entry>
struct Timeline {
    std::vector<Entry> entries;
    TimelineReloadPolicy policy;
};

// An entry is a value with the instant from which the host shows it.
template <class E>
concept TimelineEntry = std::copyable<E> && requires(const E& entry) {
    { entry.date } -> std::convertible_to<foundation::Date>;
};

// What a provider must answer; completions are called once, before the call returns.
template <class P>
concept TimelineProvider = requires(const P& provider, const TimelineProviderContext& context) {
    typename P::Entry;
    requires TimelineEntry<typename P::Entry>;
    { provider.placeholder(context) } -> std::same_as<typename P::Entry>;
    provider.getSnapshot(context, std::function<void(typename P::Entry)>{});
    provider.getTimeline(context, std::function<void(Timeline<typename P::Entry>)>{});
};

}  // namespace widgetkit

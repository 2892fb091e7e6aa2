#pragma once
// Turns the stored snapshot into timeline entries for the host, with sample data for
// placeholders and previews, a 15-minute refresh, and the medium widget's width recorded.

#include <chrono>
#include <functional>

#include "platform/widgetkit/timeline.hpp"
#include "widget/jotbird_entry.hpp"

namespace jotbird {

inline constexpr std::chrono::seconds reloadInterval{900};

struct JotbirdProvider {
    using Entry = JotbirdEntry;

    // The fixed stand-in for the user's notes, built anew on every call.
    static WidgetSnapshot sampleSnapshot();

    JotbirdEntry placeholder(const widgetkit::TimelineProviderContext& context) const;
    void getSnapshot(const widgetkit::TimelineProviderContext& context,
                     const std::function<void(JotbirdEntry)>& completion) const;
    void getTimeline(
        const widgetkit::TimelineProviderContext& context,
        const std::function<void(widgetkit::Timeline<JotbirdEntry>)>& completion) const;
};

}  // namespace jotbird

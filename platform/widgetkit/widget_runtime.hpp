#pragma once
// The widget runtime: runs a widget type, and here also plays its host on the command line
// (describe, placeholder, snapshot, timeline, tree, render, click, serve).

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/environment.hpp"
#include "platform/ui/view.hpp"
#include "platform/widgetkit/static_configuration.hpp"
#include "platform/widgetkit/timeline.hpp"

namespace widgetkit {

// An entry as the host handles it: its date, its JSON form, and the view the content builds
// for it in a given environment.
struct RenderableEntry {
    foundation::Date date;
    std::string json;
    std::function<ui::View(const ui::EnvironmentValues&)> view;
};

struct RenderableTimeline {
    std::vector<RenderableEntry> entries;
    TimelineReloadPolicy policy;
};

// A widget's configuration with its entry and view types erased.
struct WidgetRuntime {
    std::string kind;
    ui::LocalizedStringKey displayName;
    ui::LocalizedStringKey description;
    std::vector<WidgetFamily> families;
    std::function<RenderableEntry(const TimelineProviderContext&)> placeholder;
    std::function<RenderableEntry(const TimelineProviderContext&)> snapshot;
    std::function<RenderableTimeline(const TimelineProviderContext&)> timeline;
    // The shared container of the widget's application group, where the host listens for
    // reload requests; nothing when it cannot be located.
    std::optional<std::filesystem::path> container;
};

// Entries give their JSON through `toJSON(entry)`; content views give their tree through
// `view.body(environment)`.
template <TimelineProvider Provider, class Content>
WidgetRuntime eraseConfiguration(StaticConfiguration<Provider, Content> configuration) {
    using Entry = typename Provider::Entry;
    auto renderable = [content = configuration.content](const Entry& entry) {
        return RenderableEntry{entry.date, toJSON(entry),
                               [content, entry](const ui::EnvironmentValues& environment) {
                                   return content(entry).body(environment);
                               }};
    };
    WidgetRuntime runtime{configuration.kind,
                          configuration.displayNameKey,
                          configuration.descriptionKey,
                          configuration.families,
                          {},
                          {},
                          {}};
    runtime.placeholder = [provider = configuration.provider, renderable](const auto& context) {
        return renderable(provider.placeholder(context));
    };
    runtime.snapshot = [provider = configuration.provider, renderable](const auto& context) {
        RenderableEntry result;
        provider.getSnapshot(context, [&](Entry entry) { result = renderable(entry); });
        return result;
    };
    runtime.timeline = [provider = configuration.provider, renderable](const auto& context) {
        RenderableTimeline result;
        provider.getTimeline(context, [&](Timeline<Entry> timeline) {
            for (const Entry& entry : timeline.entries)
                result.entries.push_back(renderable(entry));
            result.policy = timeline.policy;
        });
        return result;
    };
    return runtime;
}

// Answers one command line for the widget; returns the process exit status.
int runWidget(const WidgetRuntime& runtime, std::span<const std::string_view> arguments);

// The static entry of a widget type: makes the widget, reads its configuration and runs it.
// `container` is the shared container of the group the executable belongs to.
template <class W>
int main(int argc, char** argv, std::optional<std::filesystem::path> container = std::nullopt) {
    const std::vector<std::string_view> arguments(argv, argv + argc);
    const W widget;
    WidgetRuntime runtime = eraseConfiguration(widget.body());
    runtime.container = std::move(container);
    return runWidget(runtime, arguments);
}

}  // namespace widgetkit

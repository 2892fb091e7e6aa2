#pragma once
// A medium widget at scale 2 ready to draw, from a snapshot stored in a data home of its own
// under /tmp (never the user's), for the drawing benchmarks.

#include <filesystem>

#include "platform/widgetkit/host_request.hpp"
#include "platform/widgetkit/widget_runtime.hpp"
#include "shared/widget_snapshot.hpp"

namespace bench {

// Three rows, Chinese and English titles, reminders, a folded count.
jotbird::WidgetSnapshot typicalSnapshot();

// Three rows in Thai, Arabic and Devanagari with emoji sequences, and a Japanese one cut.
jotbird::WidgetSnapshot scriptsSnapshot();

struct MediumScene {
    explicit MediumScene(const jotbird::WidgetSnapshot& snapshot);
    MediumScene(const MediumScene&) = delete;
    MediumScene& operator=(const MediumScene&) = delete;
    ~MediumScene();  // removes the data home

    std::filesystem::path home;
    widgetkit::WidgetRuntime runtime;
    widgetkit::HostRequest request;
    widgetkit::RenderableEntry entry;
};

}  // namespace bench

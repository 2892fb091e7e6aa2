// What the desktop host pays to redraw a medium window at scale 2 once fonts and data are
// warm: the entry laid out and drawn onto a surface of the window's pixels, apart and
// together. No PNG on this path.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "platform/desktop/link_targets.hpp"
#include "platform/foundation/atomic_file.hpp"
#include "platform/ui/drawing.hpp"
#include "platform/widgetkit/host_request.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "widget/jotbird_widgets.hpp"

namespace {

namespace fs = std::filesystem;

// A full medium widget: three rows, Chinese and English titles, reminders, a folded count.
jotbird::WidgetSnapshot typicalSnapshot() {
    jotbird::WidgetSnapshot snapshot;
    snapshot.updatedAt = 1700000000000.0;
    snapshot.account = "me@example.com";
    snapshot.total = 9;
    snapshot.folded = 6;
    snapshot.notes = {{"n1", "给今天留一点空间", 1700000000000.0},
                      {"n2", "Call the plumber about the kitchen sink, again", std::nullopt},
                      {"n3", "把重要的事记下来，然后慢慢做", 1700003600000.0}};
    return snapshot;
}

fs::path prepareDataHome() {
    char pattern[] = "/tmp/jotbird-desktop-bench-XXXXXX";
    const fs::path home = ::mkdtemp(pattern);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path snapshotFile = *jotbird::snapshotURL();
    fs::create_directories(snapshotFile.parent_path());
    (void)foundation::writeFileAtomically(snapshotFile, *jotbird::encode(typicalSnapshot()));
    return home;
}

struct SurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDestroy {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};

// The window's backing store as GTK hands it to the host: its pixels, a context in points.
struct WindowSurface {
    std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface{
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 728, 340)};
    std::unique_ptr<cairo_t, ContextDestroy> cairo{cairo_create(surface.get())};
    WindowSurface() { cairo_scale(cairo.get(), 2, 2); }
};

struct Scene {
    fs::path home = prepareDataHome();
    widgetkit::WidgetRuntime runtime =
        widgetkit::eraseConfiguration(jotbird::JotbirdWidgets{}.body());
    widgetkit::HostRequest request{
        .family = widgetkit::WidgetFamily::systemMedium,
        .displaySize = widgetkit::defaultDisplaySize(widgetkit::WidgetFamily::systemMedium),
        .scale = 2};
    widgetkit::RenderableEntry entry = widgetkit::entryToShow(runtime, request);
    WindowSurface window;

    ~Scene() {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
};

Scene& scene() {
    static Scene shared;
    return shared;
}

void BM_DesktopMediumDraw(benchmark::State& state) {
    Scene& s = scene();
    const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
    for (auto _ : state) {
        cairo_save(s.window.cairo.get());
        if (!ui::drawView(s.window.cairo.get(), root, widgetkit::canvasFor(s.request)))
            state.SkipWithError("drawing failed");
        cairo_restore(s.window.cairo.get());
        cairo_surface_flush(s.window.surface.get());
    }
}
BENCHMARK(BM_DesktopMediumDraw)->Unit(benchmark::kMillisecond);

// What a reload costs the host in all: layout, its link targets, and the drawing.
void BM_DesktopMediumRedraw(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
        benchmark::DoNotOptimize(desktop::linkTargets(root, false));
        cairo_save(s.window.cairo.get());
        if (!ui::drawView(s.window.cairo.get(), root, widgetkit::canvasFor(s.request)))
            state.SkipWithError("drawing failed");
        cairo_restore(s.window.cairo.get());
        cairo_surface_flush(s.window.surface.get());
    }
}
BENCHMARK(BM_DesktopMediumRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

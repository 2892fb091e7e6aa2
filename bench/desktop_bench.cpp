// What the desktop host pays to redraw a medium window at scale 2 once fonts and data are
// warm: the entry laid out and drawn onto a surface of the window's pixels, apart and
// together. No PNG on this path.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "bench/support/medium_scene.hpp"
#include "platform/desktop/link_targets.hpp"
#include "platform/desktop/widget_pixels.hpp"
#include "platform/ui/cairo_handles.hpp"

namespace {

// The window's backing store as GTK hands it to the host: its pixels, a context in points.
struct WindowSurface {
    ui::CairoSurfacePtr surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 728, 340)};
    ui::CairoPtr cairo{cairo_create(surface.get())};
    WindowSurface() { cairo_scale(cairo.get(), 2, 2); }
};

struct Scene : bench::MediumScene {
    Scene() : MediumScene(bench::typicalSnapshot()) {}
    WindowSurface window;
};

Scene& scene() {
    static Scene shared;
    return shared;
}

// The widget's pixels onto the window, as the host paints them.
void paint(benchmark::State& state, Scene& s, const ui::LaidOutView& root) {
    if (auto error =
            desktop::paintWidget(s.window.cairo.get(), root, widgetkit::canvasFor(s.request)))
        state.SkipWithError(error.message().c_str());
    cairo_surface_flush(s.window.surface.get());
}

void BM_DesktopMediumDraw(benchmark::State& state) {
    Scene& s = scene();
    const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
    for (auto _ : state)
        paint(state, s, root);
}
BENCHMARK(BM_DesktopMediumDraw)->Unit(benchmark::kMillisecond);

// What a reload costs the host in all: layout, its link targets, and the pixels.
void BM_DesktopMediumRedraw(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
        benchmark::DoNotOptimize(desktop::linkTargets(root, false));
        paint(state, s, root);
    }
}
BENCHMARK(BM_DesktopMediumRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

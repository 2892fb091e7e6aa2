// What serve pays to redraw the medium widget at scale 2 once fonts and data are warm: the
// entry laid out, then drawn and written as a PNG, apart and together; the drawing alone;
// and the same for titles in other scripts with emoji, which reach further into the fonts.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/support/medium_scene.hpp"
#include "platform/ui/drawing.hpp"

namespace {

// A scene of its own, with the pictures written beside its data.
struct Scene : bench::MediumScene {
    using MediumScene::MediumScene;
    std::filesystem::path png = home / "medium.png";
};

Scene& scene() {
    static Scene shared(bench::typicalSnapshot());
    return shared;
}

Scene& scriptsScene() {
    static Scene shared(bench::scriptsSnapshot());
    return shared;
}

void BM_MediumLayout(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state)
        benchmark::DoNotOptimize(widgetkit::layoutEntry(s.entry, s.request));
}
BENCHMARK(BM_MediumLayout)->Unit(benchmark::kMillisecond);

// Drawing and the atomic write, with its flushes to disk.
void BM_MediumDrawPNG(benchmark::State& state) {
    Scene& s = scene();
    const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
    for (auto _ : state)
        if (auto error = ui::drawPNG(root, widgetkit::canvasFor(s.request), s.png))
            state.SkipWithError(error.message().c_str());
}
BENCHMARK(BM_MediumDrawPNG)->Unit(benchmark::kMillisecond);

// The drawing alone, into a picture in memory.
void drawOnly(benchmark::State& state, Scene& s) {
    const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
    const auto keep = [](cairo_surface_t*) { return std::error_code{}; };
    for (auto _ : state)
        if (auto error = ui::drawImage(root, widgetkit::canvasFor(s.request), keep))
            state.SkipWithError(error.message().c_str());
}
void BM_MediumDraw(benchmark::State& state) {
    drawOnly(state, scene());
}
BENCHMARK(BM_MediumDraw)->Unit(benchmark::kMillisecond);

// What one redraw of the medium size costs serve, the entry already in hand.
void warmRender(benchmark::State& state, Scene& s) {
    for (auto _ : state) {
        const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
        if (auto error = ui::drawPNG(root, widgetkit::canvasFor(s.request), s.png))
            state.SkipWithError(error.message().c_str());
    }
}
void BM_WarmMediumRender(benchmark::State& state) {
    warmRender(state, scene());
}
BENCHMARK(BM_WarmMediumRender)->Unit(benchmark::kMillisecond);

void BM_ScriptsMediumDraw(benchmark::State& state) {
    drawOnly(state, scriptsScene());
}
BENCHMARK(BM_ScriptsMediumDraw)->Unit(benchmark::kMillisecond);

void BM_ScriptsWarmMediumRender(benchmark::State& state) {
    warmRender(state, scriptsScene());
}
BENCHMARK(BM_ScriptsWarmMediumRender)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

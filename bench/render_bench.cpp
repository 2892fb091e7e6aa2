// What serve pays to redraw the medium widget at scale 2 once fonts and data are warm: the
// entry laid out, then drawn and written as a PNG, apart and together; the drawing alone;
// and the same for titles in other scripts with emoji, which reach further into the fonts.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "platform/foundation/atomic_file.hpp"
#include "platform/ui/cairo_handles.hpp"
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

// Three rows in Thai, Arabic and Devanagari with emoji sequences, and a Japanese one cut.
jotbird::WidgetSnapshot scriptsSnapshot() {
    jotbird::WidgetSnapshot snapshot = typicalSnapshot();
    snapshot.notes = {{"n1", "ซื้อนม 🥛 และไข่ 👨‍👩‍👧‍👦",
                       1700000000000.0},
                      {"n2", "اشترِ الحليب ﷺ 🇯🇵🇫🇷 👍🏽", std::nullopt},
                      {"n3", "दूध खरीदें ✅ 直角骨写今 を忘れずに買っておくこと", 1700003600000.0}};
    return snapshot;
}

// A data home of its own, under /tmp, with the snapshot stored; the pictures go there too.
fs::path prepareDataHome(const jotbird::WidgetSnapshot& snapshot) {
    char pattern[] = "/tmp/jotbird-render-bench-XXXXXX";
    const fs::path home = ::mkdtemp(pattern);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path snapshotFile = *jotbird::snapshotURL();
    fs::create_directories(snapshotFile.parent_path());
    (void)foundation::writeFileAtomically(snapshotFile, *jotbird::encode(snapshot));
    return home;
}

struct Scene {
    explicit Scene(const jotbird::WidgetSnapshot& snapshot) : home(prepareDataHome(snapshot)) {}
    fs::path home;
    widgetkit::WidgetRuntime runtime =
        widgetkit::eraseConfiguration(jotbird::JotbirdWidgets{}.body());
    widgetkit::HostRequest request{
        .family = widgetkit::WidgetFamily::systemMedium,
        .displaySize = widgetkit::defaultDisplaySize(widgetkit::WidgetFamily::systemMedium),
        .scale = 2};
    widgetkit::RenderableEntry entry = widgetkit::entryToShow(runtime, request);
    fs::path png = home / "medium.png";

    ~Scene() {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
};

Scene& scene() {
    static Scene shared(typicalSnapshot());
    return shared;
}

Scene& scriptsScene() {
    static Scene shared(scriptsSnapshot());
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

// The drawing alone, into a picture in memory, as the desktop host draws into its window.
void drawOnly(benchmark::State& state, Scene& s) {
    const ui::LaidOutView root = widgetkit::layoutEntry(s.entry, s.request);
    const ui::Canvas canvas = widgetkit::canvasFor(s.request);
    const ui::CairoSurfacePtr surface(cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, int(std::ceil(canvas.size.width * canvas.scale)),
        int(std::ceil(canvas.size.height * canvas.scale))));
    for (auto _ : state) {
        const ui::CairoPtr cairo(cairo_create(surface.get()));
        cairo_scale(cairo.get(), canvas.scale, canvas.scale);
        if (!ui::drawView(cairo.get(), root, canvas)) state.SkipWithError("drawing failed");
        cairo_surface_flush(surface.get());
    }
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

// What a host pays per widget request: a timeline with the stored file read, and the large
// view's tree built.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/foundation/atomic_file.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"
#include "widget/jotbird_provider.hpp"
#include "widget/view/jotbird_widget_view.hpp"

namespace {

// Twelve notes with the longest ids and titles a publish allows, in CJK and emoji.
jotbird::WidgetSnapshot worstCaseSnapshot() {
    jotbird::WidgetSnapshot snapshot;
    snapshot.updatedAt = 1700000000000.0;
    snapshot.total = 99;
    snapshot.folded = 4;
    for (int i = 0; i < 12; ++i) {
        std::string id, title;
        for (int c = 0; c < 100; ++c)
            id += (c % 2 == 0) ? "便" : "😀";
        for (int c = 0; c < 200; ++c)
            title += (c % 3 == 0) ? "签" : (c % 3 == 1) ? "🇫🇷" : "e\u0301";
        snapshot.notes.push_back({id, title, 1700000000000.0 + i * 60000});
    }
    return snapshot;
}

// A container of its own under /tmp holding the worst-case snapshot, padded to the limit.
std::filesystem::path prepareContainer() {
    char pattern[] = "/tmp/jotbird-bench-XXXXXX";
    const std::filesystem::path home = ::mkdtemp(pattern);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const auto url = *jotbird::snapshotURL();
    std::filesystem::create_directories(url.parent_path());
    std::string json = *jotbird::encode(worstCaseSnapshot());
    json.resize(jotbird::maxSnapshotBytes, ' ');
    (void)foundation::writeFileAtomically(url, json);
    return home;
}

void BM_TimelineWithWorstCaseFile(benchmark::State& state) {
    const auto home = prepareContainer();
    const widgetkit::TimelineProviderContext context{
        widgetkit::WidgetFamily::systemLarge, false, {364, 382}};
    for (auto _ : state) {
        jotbird::JotbirdProvider{}.getTimeline(
            context, [](widgetkit::Timeline<jotbird::JotbirdEntry> timeline) {
                benchmark::DoNotOptimize(timeline);
            });
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(BM_TimelineWithWorstCaseFile)->Unit(benchmark::kMicrosecond);

void BM_LargeViewTree(benchmark::State& state) {
    const jotbird::JotbirdWidgetView view{{foundation::now(), worstCaseSnapshot()}};
    ui::EnvironmentValues environment;
    environment.widgetFamily = widgetkit::WidgetFamily::systemLarge;
    for (auto _ : state)
        benchmark::DoNotOptimize(view.body(environment));
}
BENCHMARK(BM_LargeViewTree)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

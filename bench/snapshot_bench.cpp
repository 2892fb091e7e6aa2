// Decoding with the publish checks, and encoding, of a typical snapshot and of the largest
// ones the bridge accepts: 12 notes at their character limits in CJK and emoji, padded with
// spaces to 65,535 bytes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/publish_limits.hpp"
#include "shared/container_storage.hpp"
#include "shared/snapshot_coding.hpp"

namespace {

using jotbird::WidgetSnapshot;

std::string encodeOrDie(const WidgetSnapshot& snapshot) {
    auto json = jotbird::encode(snapshot);
    if (!json) std::abort();
    return *json;
}

// What the notes app sends day to day: a dozen short notes, some with reminders.
std::string typicalJson() {
    WidgetSnapshot snapshot;
    snapshot.updatedAt = 1733788800123.0;
    snapshot.account = "me@jotbird";
    snapshot.total = 17;
    snapshot.folded = 5;
    const char* titles[] = {"买菜：番茄、鸡蛋", "Call mom", "整理读书笔记",
                            "Quarterly report", "交水电费", "Dentist 3pm"};
    for (int i = 0; i < 12; ++i) {
        std::optional<double> remindAt;
        if (i % 3 == 0) remindAt = 1733792400000.0 + i * 60000.0;
        snapshot.notes.push_back({"note-" + std::to_string(1000 + i), titles[i % 6], remindAt});
    }
    return encodeOrDie(snapshot);
}

// `count` user-perceived characters taken in turn from `clusters`, starting at `offset`.
std::string textOf(const std::vector<std::string>& clusters, int count, int offset) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += clusters[std::size_t(i + offset) % clusters.size()];
    return text;
}

// CJK ideographs and emoji of one code point each (3 and 4 bytes).
const std::vector<std::string> cjkAndEmoji = {"便", "😀", "签", "🎉", "提", "📌", "醒", "✅"};

// CJK and emoji sequences: flags, skin tones and ZWJ sequences, up to 18 bytes and 5 code
// points per character; as many bytes and as much segmentation work per character as
// realistic text gets.
const std::vector<std::string> cjkAndSequences = {
    "便", "签", "提", "醒", "😀", "🇨🇳", "👍🏽", "👩‍💻", "🧑‍🤝‍🧑", "字",
};

// 12 notes at their limits, 100-character ids and 200-character titles, padded with
// spaces to the largest input the bridge accepts.
std::string worstCaseJson(const std::vector<std::string>& clusters) {
    WidgetSnapshot snapshot;
    snapshot.updatedAt = 1733788800123.0;
    snapshot.account = textOf(clusters, 50, 0);
    snapshot.total = 12;
    for (int i = 0; i < 12; ++i)
        snapshot.notes.push_back({textOf(clusters, int(jotbird::maxIdCharacters), i),
                                  textOf(clusters, int(jotbird::maxTitleCharacters), i + 3),
                                  1733792400000.0 + i});
    std::string json = encodeOrDie(snapshot);
    if (json.size() > jotbird::maxSnapshotBytes) std::abort();
    json.append(jotbird::maxSnapshotBytes - json.size(), ' ');
    if (!jotbird::withinPublishLimits(*jotbird::decode(json))) std::abort();
    return json;
}

enum class Case { typical, worst, worstSequences };

const std::string& input(Case which) {
    static const std::string typical = typicalJson();
    static const std::string worst = worstCaseJson(cjkAndEmoji);
    static const std::string worstSequences = worstCaseJson(cjkAndSequences);
    switch (which) {
        case Case::typical:
            return typical;
        case Case::worst:
            return worst;
        case Case::worstSequences:
            return worstSequences;
    }
    std::abort();
}

void setLabel(benchmark::State& state, const std::string& json) {
    state.SetLabel(std::to_string(json.size()) + " bytes");
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(json.size()));
}

void BM_Decode(benchmark::State& state, Case which) {
    const std::string& json = input(which);
    for (auto _ : state) {
        auto snapshot = jotbird::decode(json);
        benchmark::DoNotOptimize(snapshot);
    }
    setLabel(state, json);
}

// What "publish" does to its input before storing it.
void BM_DecodeAndValidate(benchmark::State& state, Case which) {
    const std::string& json = input(which);
    for (auto _ : state) {
        auto snapshot = jotbird::decode(json);
        if (!snapshot || !jotbird::withinPublishLimits(*snapshot)) {
            state.SkipWithError("the benchmark input is not publishable");
            break;
        }
        benchmark::DoNotOptimize(snapshot);
    }
    setLabel(state, json);
}

void BM_Validate(benchmark::State& state, Case which) {
    const std::string& json = input(which);
    const WidgetSnapshot snapshot = *jotbird::decode(json);
    for (auto _ : state)
        benchmark::DoNotOptimize(jotbird::withinPublishLimits(snapshot));
}

void BM_Encode(benchmark::State& state, Case which) {
    const std::string& json = input(which);
    const WidgetSnapshot snapshot = *jotbird::decode(json);
    std::size_t size = 0;
    for (auto _ : state) {
        auto encoded = jotbird::encode(snapshot);
        size = encoded->size();
        benchmark::DoNotOptimize(encoded);
    }
    state.SetLabel(std::to_string(size) + " bytes out");
}

#define JOTBIRD_CASES(function)                                                         \
    BENCHMARK_CAPTURE(function, typical, Case::typical)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(function, worst, Case::worst)->Unit(benchmark::kMicrosecond);     \
    BENCHMARK_CAPTURE(function, worst_sequences, Case::worstSequences)                  \
        ->Unit(benchmark::kMicrosecond)

JOTBIRD_CASES(BM_DecodeAndValidate);
JOTBIRD_CASES(BM_Decode);
JOTBIRD_CASES(BM_Validate);
JOTBIRD_CASES(BM_Encode);

}  // namespace

// `snapshot_bench --print-input=typical|worst|worst_sequences` writes that input to standard
// output, so that the whole-process timings feed the bridge the very same bytes.
int main(int argc, char** argv) {
    constexpr std::string_view printFlag = "--print-input=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(printFlag)) {
        const std::string_view name = std::string_view(argv[1]).substr(printFlag.size());
        const Case which = name == "typical" ? Case::typical
                           : name == "worst" ? Case::worst
                           : name == "worst_sequences"
                               ? Case::worstSequences
                               : throw std::invalid_argument(std::string(name));
        const std::string& json = input(which);
        return std::fwrite(json.data(), 1, json.size(), stdout) == json.size() ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#!/usr/bin/env bash
# Runs every fuzz target of a JOTBIRD_FUZZ build for a bounded time, each on a scratch copy
# of its seed corpus (the repo is never written). Fails when a target crashes, leaks or
# hangs; the input that did it is kept in BUILD_DIR/fuzz-artifacts/.
#   scripts/run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]}
seconds=${2:-25}
root=$(cd "$(dirname "$0")/.." && pwd)

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
artifacts=$(cd "$artifacts" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# target name, then its extra libFuzzer options. The decoder sees inputs up to the size of
# the largest usable snapshot.
targets=(
    "decode_fuzzer|-max_len=65536 -dict=$root/fuzz/decode.dict"
    "width_text_fuzzer|-max_len=64"
    "png_chunks_fuzzer|-max_len=8192"
    "one_line_text_fuzzer|-max_len=1024"
    "time_of_day_fuzzer|-max_len=16"
)

failed=()
for entry in "${targets[@]}"; do
    name=${entry%%|*}
    options=${entry#*|}
    binary="$build/fuzz/$name"
    corpus="$root/fuzz/corpus/${name%_fuzzer}"
    if [[ ! -x "$binary" ]]; then
        echo "run-fuzzers: $binary is missing (configure with -DJOTBIRD_FUZZ=ON)" >&2
        exit 2
    fi
    work="$scratch/$name"
    mkdir -p "$work"
    cp -R "$corpus/." "$work/"
    echo "== $name for ${seconds}s on $(ls "$work" | wc -l) seeds"
    # shellcheck disable=SC2086  # options are separate words on purpose
    if ! "$binary" $options -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$work" \
        >"$scratch/$name.log" 2>&1; then
        tail -n 60 "$scratch/$name.log" >&2
        failed+=("$name")
        continue
    fi
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+.*DONE)' \
        "$scratch/$name.log" || true
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "run-fuzzers: failed: ${failed[*]} (inputs in $artifacts)" >&2
    exit 1
fi
echo "run-fuzzers: all targets ran ${seconds}s without a finding"

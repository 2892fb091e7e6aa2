#!/usr/bin/env bash
# Speed and memory of the publish path: the Google Benchmark of decoding, checking and
# encoding, then whole-process timings of the bridge beside plain-tool baselines, then the
# peak memory of "publish" fed 100 MB. Uses throwaway containers, never the user's own.
#   scripts/bench.sh BUILD_DIR        (run by `make bench`)
set -euo pipefail
build=${1:?usage: bench.sh BUILD_DIR}
build=$(cd "$build" && pwd)
bench_name=bench
source "$(dirname "$0")/bench-common.sh"
bridge="$build/bin/JotbirdWidgetBridge"
micro="$build/bench/snapshot_bench"
require_built "$bridge" "$micro"
require_commands hyperfine /usr/bin/time
machine_line

echo
echo "== decode + publish checks, and encode (Google Benchmark, median of 5)"
"$micro" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_display_aggregates_only=true 2>/dev/null | grep -E '^(Benchmark|-+$|BM_.*_median)'

make_scratch_areas "$build"
disk=$scratch

# The heavier worst case: every command then handles the largest input and file there are.
"$micro" --print-input=worst_sequences >"$disk/worst_sequences.json"
input="$disk/worst_sequences.json"

runs=(--warmup 20 --min-runs 300 --style basic)

# Mean and standard deviation of each command of a hyperfine CSV, then each bridge command
# as a multiple of each baseline (commands named "baseline: ...").
report() {
    awk -F, '
        NR > 1 {
            name[NR] = $1; mean[NR] = $2 * 1e6
            printf "   %-40s %7.0f us +- %5.0f us\n", $1, $2 * 1e6, $3 * 1e6
        }
        END {
            for (i = 2; i <= NR; i++) {
                if (name[i] ~ /^baseline/) continue
                for (j = 2; j <= NR; j++)
                    if (name[j] ~ /^baseline/)
                        printf "   %-40s %7.2fx %s\n", name[i], mean[i] / mean[j], substr(name[j], 11)
            }
        }' "$1"
}

# Times `publish` of the worst-case input in the container under $1, beside `cp` + `mv` of
# the same file and beside the same two steps with each flush that publish makes (`sync` of
# the file before the rename and of the directory after it).
time_publish() {
    local where=$1 label=$2
    export XDG_DATA_HOME="$where/data"
    local container="$XDG_DATA_HOME/group-containers/group.jotbird.notes"
    "$bridge" publish <"$input" >/dev/null
    # Quoted for the shell that hyperfine runs each command in.
    local in target tmp dir b
    in=$(printf %q "$input") dir=$(printf %q "$container") b=$(printf %q "$bridge")
    target="$dir/widget-snapshot.json" tmp="$dir/.copy.tmp"
    echo
    echo "== publish, $label ($(stat -f -c %T "$where"))"
    # Through the shell, for the redirection and the &&; hyperfine subtracts its start-up.
    hyperfine "${runs[@]}" --export-csv "$where/publish.csv" \
        -n "publish" "$b publish < $in" \
        -n "baseline: cp + mv" "cp $in $tmp && mv $tmp $target" \
        -n "baseline: cp + sync + mv + sync dir" \
        "cp $in $tmp && sync $tmp && mv $tmp $target && sync $dir" \
        >/dev/null 2>>"$disk/hyperfine.log"
    report "$where/publish.csv"
}

export XDG_DATA_HOME="$disk/data"
"$bridge" publish <"$input" >/dev/null
stored="$XDG_DATA_HOME/group-containers/group.jotbird.notes/widget-snapshot.json"
echo
echo "== status and read of the stored worst case ($(wc -c <"$stored") bytes), beside cat of the file"
# Without a shell: hyperfine splits these commands into words itself.
hyperfine "${runs[@]}" -N --export-csv "$disk/read.csv" \
    -n "status" "$(printf %q "$bridge") status" \
    -n "read" "$(printf %q "$bridge") read" \
    -n "baseline: cat" "cat $(printf %q "$stored")" >/dev/null 2>>"$disk/hyperfine.log"
report "$disk/read.csv"

time_publish "$disk" "on disk: every publish flushes file and directory"
if [[ -n "$memory" ]]; then
    time_publish "$memory" "in memory: the flushes cost next to nothing"
fi

echo
echo "== peak resident memory (GNU time, max RSS)"
export XDG_DATA_HOME="$disk/data"
# GNU time's -o file holds a note on a non-zero exit ("Command exited ..."), then the figure.
peak() { /usr/bin/time -f '%M' -o "$disk/rss" "$@" >/dev/null 2>&1 || true; tail -n 1 "$disk/rss"; }
printf '   %-62s %6s KiB\n' "publish, 100 MB on standard input (refused: too large)" \
    "$(head -c 100000000 /dev/zero | peak "$bridge" publish)"
printf '   %-62s %6s KiB\n' "publish, worst-case input (stored)" "$(peak "$bridge" publish <"$input")"
printf '   %-62s %6s KiB\n' "read" "$(peak "$bridge" read)"
printf '   %-62s %6s KiB\n' "baseline: cat, 100 MB on standard input" \
    "$(head -c 100000000 /dev/zero | peak cat)"

if grep -q outliers "$disk/hyperfine.log" 2>/dev/null; then
    echo
    echo "note: hyperfine saw statistical outliers; figures are steadier on an idle machine"
fi

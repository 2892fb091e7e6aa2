#!/usr/bin/env bash
# A cold `render` process (medium, scale 2, fontconfig caches warm) under several locales,
# for the demo's notes and for titles in many scripts: the cost of the catalogs, the
# locale's digits and the right-to-left layout. With a second build directory, the same runs
# for it, interleaved, so the shared machine's load falls on both alike.
#   scripts/bench-locales.sh BUILD_DIR [BASELINE_BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
baseline=${2:+$(cd "$2" && pwd)}
runs=${3:-40}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

publish() {
    mkdir -p "$scratch/$1"
    printf '%s' "$2" | XDG_DATA_HOME=$scratch/$1 "$build/bin/JotbirdWidgetBridge" publish >/dev/null
}
publish demo '{"schema":1,"updatedAt":0,"account":"","total":6,"folded":2,"notes":[
  {"id":"a","title":"买菜：番茄🍅、鸡蛋、葱","remindAt":1700039100000},
  {"id":"b","title":"Call mom about the weekend"},
  {"id":"c","title":"整理本周的读书笔记","remindAt":1700000360000}]}'
publish scripts '{"schema":1,"updatedAt":0,"account":"","total":3,"folded":2,"notes":[
  {"id":"a","title":"会议 🍅 Встреча اجتماع ١٢"},
  {"id":"b","title":"ประชุม बैठक 회의 👩‍👩‍👧"},
  {"id":"c","title":"Ελληνικά עברית 🇩🇪 ✅"}]}'

/usr/bin/python3 - "$scratch" "$runs" "$build" $baseline <<'PY'
import statistics, subprocess, sys, time
scratch, runs, builds = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
names = ["this build", "baseline"][:len(builds)]
for data in ["demo", "scripts"]:
    for lang in ["C", "de_DE.UTF-8", "ar_EG.UTF-8", "ja_JP.UTF-8"]:
        times = {name: [] for name in names}
        env = {"XDG_DATA_HOME": f"{scratch}/{data}", "TZ": "UTC", "LANG": lang,
               "PATH": "/usr/bin:/bin"}
        for _ in range(runs):
            for name, build in zip(names, builds):
                start = time.perf_counter()
                subprocess.run([f"{build}/bin/JotbirdWidgets", "render", "--family", "medium",
                                "--png", f"{scratch}/out.png"], env=env, check=True,
                               stdout=subprocess.DEVNULL)
                times[name].append((time.perf_counter() - start) * 1000)
        shown = "  ".join(f"{name}: median {statistics.median(t):5.1f} ms, min {min(t):5.1f}"
                          for name, t in times.items())
        print(f"{data:8} {lang:12} {shown}")
PY

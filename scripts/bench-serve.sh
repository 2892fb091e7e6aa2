#!/usr/bin/env bash
# Speed and memory of the live host and of drawing:
#   - with `serve` running, from the start of a `publish` to the new medium.png in place
#     (the file watched with inotify), and serve's share alone: from a reload request sent
#     straight to its socket to the new picture;
#   - serve's resident memory over 1,000 redraws;
#   - a warm medium redraw at scale 2 (Google Benchmark) and a cold `render` process
#     (hyperfine).
# Uses throwaway data homes, never the user's own container.
#   scripts/bench-serve.sh BUILD_DIR [PUBLISHES] [REDRAWS]
set -euo pipefail
build=${1:?usage: bench-serve.sh BUILD_DIR [PUBLISHES] [REDRAWS]}
publishes=${2:-100}
redraws=${3:-1000}
build=$(cd "$build" && pwd)
bench_name=bench-serve
source "$(dirname "$0")/bench-common.sh"
export JOTBIRD_SCRIPTS=$(cd "$(dirname "$0")" && pwd)
widgets="$build/bin/JotbirdWidgets"
bridge="$build/bin/JotbirdWidgetBridge"
micro="$build/bench/render_bench"
require_built "$widgets" "$bridge" "$micro"
require_commands hyperfine python3
make_scratch_areas "$build"
machine_line

# Runs serve with its data home and pictures under $1 for $2 publishes; with a third argument,
# also samples its memory over that many redraws.
serve_bench() {
    python3 - "$widgets" "$bridge" "$@" <<'PYTHON'
import ctypes, json, os, select, socket, statistics, struct, subprocess, sys, time

widgets, bridge, scratch, publishes = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
redraws = int(sys.argv[5]) if len(sys.argv) > 5 else 0
env = dict(os.environ, XDG_DATA_HOME=os.path.join(scratch, "data"))
container = os.path.join(scratch, "data", "group-containers", "group.jotbird.notes")
address = os.path.join(container, "widget-host.sock")
out = os.path.join(scratch, "out")
medium = os.path.join(out, "medium.png")
warmup = 5

sys.path.insert(0, os.environ["JOTBIRD_SCRIPTS"])
from bench_snapshots import snapshot

def publish(i):
    child = subprocess.Popen([bridge, "publish"], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, env=env)
    child.stdin.write(snapshot(i))
    child.stdin.close()
    return child

publish(0).wait()
serve = subprocess.Popen([widgets, "serve", "--out", out], stdout=subprocess.PIPE, env=env)
pending = b""

def drawings(reason, count=3, timeout=10.0):
    """Reads serve's lines until `count` drawings for `reason` have come."""
    global pending
    seen, end = 0, time.monotonic() + timeout
    while True:
        while b"\n" in pending and seen < count:
            line, pending = pending.split(b"\n", 1)
            if json.loads(line).get("reason") == reason:
                seen += 1
        if seen >= count:
            return
        left = end - time.monotonic()
        if left <= 0 or not select.select([serve.stdout], [], [], left)[0]:
            sys.exit("bench-serve: serve drew nothing for %.0f s" % timeout)
        pending += os.read(serve.stdout.fileno(), 65536)

def resident_kib():
    with open("/proc/%d/status" % serve.pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])

def summary(label, values):
    q = statistics.quantiles(values, n=10)
    print("   %-42s median %5.1f ms, p10 %5.1f, p90 %5.1f, max %5.1f (%d runs)" %
          (label, statistics.median(values), q[0], q[-1], max(values), len(values)))

try:
    drawings("start")

    # inotify through libc: a rename or link into the directory names the new file.
    libc = ctypes.CDLL(None, use_errno=True)
    IN_CLOSE_WRITE, IN_MOVED_TO, IN_CREATE = 0x8, 0x80, 0x100
    watch = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
    if watch < 0 or libc.inotify_add_watch(watch, out.encode(),
                                           IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) < 0:
        sys.exit("bench-serve: inotify: " + os.strerror(ctypes.get_errno()))

    def names():
        try:
            data = os.read(watch, 65536)
        except BlockingIOError:
            return []
        found, offset = [], 0
        while offset < len(data):
            length = struct.unpack_from("iIII", data, offset)[3]
            found.append(data[offset + 16:offset + 16 + length].rstrip(b"\0"))
            offset += 16 + length
        return found

    def until_medium_replaced(before, child=None):
        """When the new picture was in place, and when `child` ended (both waited for)."""
        in_place = ended = None
        exits = [os.pidfd_open(child.pid)] if child else []
        try:
            while in_place is None or (child and ended is None):
                ready = select.select([watch] + exits, [], [], 10.0)[0]
                if not ready:
                    sys.exit("bench-serve: medium.png was not replaced within 10 s")
                now = time.perf_counter()
                if exits and exits[0] in ready and ended is None:
                    ended = now
                if watch in ready and b"medium.png" in names() and \
                        os.stat(medium).st_ino != before and in_place is None:
                    in_place = now
        finally:
            for fd in exits:
                os.close(fd)
        if child:
            child.wait()
        return in_place, ended

    # A publish as the notes app makes it; then serve's share alone, the request sent directly.
    to_picture, publish_alone, request_to_picture = [], [], []
    sender = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    for i in range(1, warmup + publishes + 1):
        names()
        before = os.stat(medium).st_ino
        start = time.perf_counter()
        in_place, ended = until_medium_replaced(before, publish(i))
        drawings("reload")  # serve idle again before the next request
        names()
        before = os.stat(medium).st_ino
        start_request = time.perf_counter()
        sender.sendto(b"JotbirdNotes", address)
        request_in_place, _ = until_medium_replaced(before)
        drawings("reload")
        if i > warmup:
            to_picture.append((in_place - start) * 1000)
            publish_alone.append((ended - start) * 1000)
            request_to_picture.append((request_in_place - start_request) * 1000)
    summary("publish start -> new medium.png in place", to_picture)
    summary("publish process alone (start to exit)", publish_alone)
    summary("reload request -> new medium.png in place", request_to_picture)

    if redraws:
        every = max(1, redraws // 10)
        samples = [resident_kib()]
        for i in range(1, redraws + 1):
            sender.sendto(b"JotbirdNotes", address)
            drawings("reload")
            if i % every == 0:
                samples.append(resident_kib())
        print("   resident memory (VmRSS) after start, then every %d of %d redraws of all sizes:"
              % (every, redraws))
        print("      " + " ".join("%.1f" % (kib / 1024) for kib in samples) + " MiB")
        print("      first %.1f MiB, last %.1f MiB, peak %.1f MiB" %
              (samples[0] / 1024, samples[-1] / 1024, max(samples) / 1024))
finally:
    serve.terminate()
    serve.wait()
PYTHON
}

# On disk every replaced file is flushed, by publish and by each drawing; in memory the
# flushes cost next to nothing, which leaves the programs' own work.
echo
echo "== serve, on disk ($(stat -f -c %T "$scratch"))"
serve_bench "$scratch/serve" "$publishes" "$redraws"
if [[ -n "$memory" ]]; then
    echo
    echo "== serve, in memory (tmpfs)"
    serve_bench "$memory/serve" "$publishes"
fi

echo
echo "== warm medium redraw at scale 2 (Google Benchmark, median of 5)"
"$micro" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_display_aggregates_only=true 2>/dev/null | grep -E '^(Benchmark|-+$|BM_.*_median)'

echo
echo "== cold render process, medium at scale 2, fontconfig caches warm (hyperfine)"
# The usual Chinese and English titles, then titles in other scripts with emoji sequences,
# which load further faces of the font set.
export XDG_DATA_HOME="$scratch/render"
printf '%s' '{"schema":1,"updatedAt":1700000000000,"account":"me@example.com","total":3,"notes":[{"id":"n1","title":"给今天留一点空间","remindAt":1700000000000},{"id":"n2","title":"Call the plumber"},{"id":"n3","title":"把重要的事记下来"}]}' |
    "$bridge" publish >/dev/null
scripts_home="$scratch/render-scripts"
printf '%s' '{"schema":1,"updatedAt":1700000000000,"account":"me@example.com","total":3,"notes":[{"id":"n1","title":"ซื้อนม 🥛 และไข่ 👨‍👩‍👧‍👦","remindAt":1700000000000},{"id":"n2","title":"اشترِ الحليب ﷺ 🇯🇵🇫🇷 👍🏽"},{"id":"n3","title":"दूध खरीदें ✅ 直角骨写今"}]}' |
    XDG_DATA_HOME="$scripts_home" "$bridge" publish >/dev/null
hyperfine -N --warmup 5 --min-runs 50 --style basic --export-csv "$scratch/render.csv" \
    -n "render medium" "$widgets render --family medium --png $scratch/render.png" \
    -n "render scripts" "env XDG_DATA_HOME=$scripts_home $widgets render --family medium --png $scratch/scripts.png" \
    >/dev/null 2>&1
# CSV columns: command, mean, stddev, median, user, system, min, max (seconds).
awk -F, 'NR > 1 { printf "   %-16s mean %5.1f ms +- %4.1f ms, median %5.1f ms, min %5.1f ms\n",
                  $1, $2 * 1e3, $3 * 1e3, $4 * 1e3, $7 * 1e3 }' "$scratch/render.csv"

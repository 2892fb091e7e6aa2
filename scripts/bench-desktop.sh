#!/usr/bin/env bash
# Speed and memory of the desktop host on a virtual X display (Xvfb, started here):
#   - from the start of a `publish` to the host's frame line for it, over PUBLISHES publishes
#     at random moments (pauses of 50 to 150 ms, as edits come), with the container on disk
#     and in memory (tmpfs), and the host's share alone: from a reload request sent straight
#     to its socket to the frame line;
#   - CPU clock ticks it uses over 10 idle seconds (from /proc/PID/stat);
#   - its resident memory over REDRAWS redraws, each asked for on its socket;
#   - a warm medium redraw at scale 2 (Google Benchmark, bench/desktop_bench);
#   - `JotbirdWidgets describe` as a process (hyperfine), which must not pay for the host's
#     toolkit (bench-serve.sh times a cold `render`).
# Uses a throwaway data home, never the user's own container.
#   scripts/bench-desktop.sh BUILD_DIR [PUBLISHES] [REDRAWS]
set -euo pipefail
build=${1:?usage: bench-desktop.sh BUILD_DIR [PUBLISHES] [REDRAWS]}
publishes=${2:-100}
redraws=${3:-1000}
build=$(cd "$build" && pwd)
bench_name=bench-desktop
source "$(dirname "$0")/bench-common.sh"
export JOTBIRD_SCRIPTS=$(cd "$(dirname "$0")" && pwd)
require_built "$build/bin/JotbirdWidgetsDesktop" "$build/bin/JotbirdWidgetBridge" \
    "$build/bench/desktop_bench"
require_commands Xvfb python3
make_scratch_areas "$build"
machine_line

# Runs the host with its data home under $1 for $2 publishes; with a third argument above 0,
# also its idle CPU and its memory over that many redraws.
desktop_bench() {
python3 - "$build" "$@" <<'PYTHON'
import json, os, random, socket, statistics, subprocess, sys, time

build, scratch, publishes = sys.argv[1], sys.argv[2], int(sys.argv[3])
redraws = int(sys.argv[4]) if len(sys.argv) > 4 else 0
where = "in memory" if scratch.startswith("/dev/shm") else "on disk"
bridge = os.path.join(build, "bin", "JotbirdWidgetBridge")
host_program = os.path.join(build, "bin", "JotbirdWidgetsDesktop")
env = dict(os.environ, XDG_DATA_HOME=os.path.join(scratch, "data"), NO_AT_BRIDGE="1",
           GDK_SCALE="2", TZ="UTC")
env.pop("WAYLAND_DISPLAY", None)
socket_path = os.path.join(scratch, "data", "group-containers", "group.jotbird.notes",
                           "widget-host.sock")
ticks_per_second = os.sysconf("SC_CLK_TCK")
# Publishes come at moments unrelated to the display's refresh; a fixed gap that is a whole
# number of frames would hide any wait for the next one. Seeded, so runs compare.
pauses = random.Random(14)

def pause():
    time.sleep(pauses.uniform(0.05, 0.15))

def summary(values):
    values = sorted(values)
    return (f"median {statistics.median(values):.2f} ms, "
            f"p90 {values[int(0.9 * len(values))]:.2f} ms, min {values[0]:.2f} ms, "
            f"max {values[-1]:.2f} ms")

sys.path.insert(0, os.environ["JOTBIRD_SCRIPTS"])
from bench_snapshots import snapshot

def publish(i):
    subprocess.run([bridge, "publish"], input=snapshot(i), stdout=subprocess.DEVNULL,
                   env=env, check=True)

read_fd, write_fd = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1920x1200x24",
                         "-nolisten", "tcp"], pass_fds=(write_fd,),
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
os.close(write_fd)
number = b""
while not number.endswith(b"\n"):
    chunk = os.read(read_fd, 16)
    if not chunk:
        raise SystemExit("Xvfb did not start")
    number += chunk
env["DISPLAY"] = ":" + number.decode().strip()
os.close(read_fd)

publish(0)
host = subprocess.Popen([host_program, "--family", "medium", "--scheme", "light"],
                        stdout=subprocess.PIPE, env=env)

def frame(reason):
    while True:
        line = host.stdout.readline()
        if not line:
            raise SystemExit("the host ended")
        if json.loads(line)["reason"] == reason:
            return

def cpu_ticks():
    fields = open(f"/proc/{host.pid}/stat").read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime

def rss_mib():
    for line in open(f"/proc/{host.pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024

try:
    frame("start")
    started_rss = rss_mib()
    for i in range(5):  # warm up
        publish(i + 1)
        frame("reload")
    latencies = []
    for i in range(publishes):
        start = time.perf_counter()
        child = subprocess.Popen([bridge, "publish"], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, env=env)
        child.stdin.write(snapshot(100 + i))
        child.stdin.close()
        frame("reload")
        latencies.append((time.perf_counter() - start) * 1000)
        child.wait()
        pause()
    print(f"== publish start to frame line, {publishes} publishes {where}, 50 to 150 ms apart: "
          f"{summary(latencies)} (goal: median under 5 ms, p90 under 8 ms)")

    sender = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    shares = []
    for i in range(publishes):
        start = time.perf_counter()
        sender.sendto(b"JotbirdNotes", socket_path)
        frame("reload")
        shares.append((time.perf_counter() - start) * 1000)
        pause()
    print(f"== reload request to frame line (the host's share), {publishes} requests {where}: "
          f"{summary(shares)}")
    if redraws == 0:
        raise SystemExit(0)

    time.sleep(1)
    before = cpu_ticks()
    time.sleep(10)
    idle = cpu_ticks() - before
    print(f"== idle: {idle} clock ticks of CPU over 10 s ({ticks_per_second} a second; "
          f"goal: none)")

    samples = [started_rss, rss_mib()]
    for i in range(1, redraws + 1):
        sender.sendto(b"JotbirdNotes", socket_path)
        frame("reload")
        if i % 100 == 0:
            samples.append(rss_mib())
    print("== resident memory after start, after the publishes, and every 100 of %d redraws "
          "(MiB): %s "
          "(goal: flat, under 50 MB)" % (redraws, " ".join(f"{m:.1f}" for m in samples)))
finally:
    host.terminate()
    host.wait()
    xvfb.terminate()
    xvfb.wait()
PYTHON
}

desktop_bench "$scratch" "$publishes" "$redraws"
[[ -n "$memory" ]] && desktop_bench "$memory" "$publishes"

echo "== warm medium redraw at scale 2, no PNG (bench/desktop_bench)"
"$build/bench/desktop_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    2>/dev/null | grep -E "_median|^Benchmark"

echo "== JotbirdWidgets describe, whole process (hyperfine)"
if command -v hyperfine >/dev/null; then
    hyperfine -N -w 5 -r 50 --style basic "$build/bin/JotbirdWidgets describe" 2>/dev/null |
        grep -E "Time|Range"
else
    echo "hyperfine is missing (scripts/install-deps.sh --bench)"
fi

"""A private desktop for the host's tests: Xvfb on a free display, a window manager (openbox
unless told), a session bus of its own, a container in a scratch directory, and the built
programs run against them."""

import json
import os
import queue
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import traceback

# How each window manager is started; it keeps what it writes under the scratch HOME.
WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    "xfwm4": ["xfwm4", "--compositor=off"],
    "fluxbox": ["fluxbox"],
    "i3": ["i3", "-c", os.path.join(os.path.dirname(os.path.abspath(__file__)), "i3.config")],
}

SNAPSHOT_DAY_MS = 1765324800000  # a midnight (UTC); reminders at fixed times of day


def snapshot(titles, total=None):
    """A snapshot whose notes have `titles`, the first two with reminders."""
    notes = []
    for i, title in enumerate(titles):
        note = {"id": f"note-{i}", "title": title}
        if i < 2:
            note["remindAt"] = SNAPSHOT_DAY_MS + (17 + 3 * i) * 3600000
        notes.append(note)
    return json.dumps({"schema": 1, "updatedAt": SNAPSHOT_DAY_MS, "account": "",
                       "total": len(titles) if total is None else total, "notes": notes})


class Lines:
    """The lines a child writes, read on a thread so the child never waits for us."""

    def __init__(self, stream):
        self.queue = queue.Queue()
        self.seen = []
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for raw in stream:
            self.queue.put(raw.decode("utf-8", "replace").rstrip("\n"))
        self.queue.put(None)

    def next(self, timeout=10):
        try:
            line = self.queue.get(timeout=timeout)
        except queue.Empty:
            raise AssertionError(f"no line within {timeout} s (seen: {self.seen})")
        if line is None:
            raise AssertionError(f"the stream ended (seen: {self.seen})")
        self.seen.append(line)
        return line

    def frame(self, timeout=10):
        return json.loads(self.next(timeout))

    def frames_until(self, reason, count=1, timeout=10):
        """Frames up to and including the `count`-th with `reason`."""
        got = []
        while sum(1 for f in got if f["reason"] == reason) < count:
            got.append(self.frame(timeout))
        return got


class Desktop:
    def __init__(self, build, window_manager="openbox"):
        self.build = build
        self.bin = os.path.join(build, "bin")
        self.scratch = tempfile.mkdtemp(prefix="jotbird-desktop-test-")
        self.children = []
        self.display = self._start_xvfb()
        self.env = dict(os.environ)
        # LANGUAGE too: it would choose the texts' language even under C.UTF-8.
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "GDK_SCALE", "GTK_THEME",
                     "LANGUAGE"):
            self.env.pop(name, None)
        self.env.update({"DISPLAY": self.display, "TZ": "UTC", "LANG": "C.UTF-8",
                         "LC_ALL": "C.UTF-8", "NO_AT_BRIDGE": "1",
                         "XDG_CONFIG_HOME": self.path("config"),
                         "XDG_RUNTIME_DIR": self.path("runtime"),
                         "GSETTINGS_BACKEND": "memory"})
        os.makedirs(self.path("runtime"), mode=0o700)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_bus()
        os.makedirs(self.path("home"))
        self._spawn(WINDOW_MANAGERS[window_manager], env=dict(self.env, HOME=self.path("home")),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window_manager = window_manager
        self._wait_for_window_manager()

    # -- the session ------------------------------------------------------------------------

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def _spawn(self, argv, **kwargs):
        kwargs.setdefault("env", getattr(self, "env", None))
        child = subprocess.Popen(argv, **kwargs)
        self.children.append(child)
        return child

    def _start_xvfb(self):
        return self.start_x_server(["Xvfb", "-screen", "0", "1920x1200x24"])

    def start_x_server(self, argv):
        """Starts an X server (`argv` without its display options) on a free display; its
        name, ":N"."""
        read, write = os.pipe()
        self._spawn([argv[0], "-displayfd", str(write), *argv[1:], "-nolisten", "tcp",
                     "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError(f"{argv[0]} did not start")
            number += chunk
        os.close(read)
        return ":" + number.decode().strip()

    def _start_bus(self):
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return bus.stdout.readline().decode().strip()

    def _wait_for_window_manager(self):
        deadline = time.time() + 10
        while time.time() < deadline:
            out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
            if "window id" in out.stdout:
                return
            time.sleep(0.05)
        raise RuntimeError(f"{self.window_manager} did not start")

    def close(self):
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(5)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
        shutil.rmtree(self.scratch, ignore_errors=True)

    # -- programs ---------------------------------------------------------------------------

    def run(self, argv, check=True, input=None, env=None):
        result = subprocess.run(argv, env=env or self.env, input=input, capture_output=True,
                                text=True, timeout=60)
        if check and result.returncode != 0:
            raise AssertionError(f"{argv} failed ({result.returncode}): {result.stderr}")
        return result

    def container_env(self, name, **extra):
        """The session's environment with a container of its own under the scratch folder."""
        env = dict(self.env)
        env["XDG_DATA_HOME"] = self.path(name)
        # Each host keeps its widgets apart from the others'.
        env["XDG_CONFIG_HOME"] = self.path(name, "config")
        env.update(extra)
        os.makedirs(env["XDG_DATA_HOME"], exist_ok=True)
        return env

    def publish(self, env, titles):
        self.run([os.path.join(self.bin, "JotbirdWidgetBridge"), "publish"],
                 input=snapshot(titles), env=env)

    def render(self, env, family, scale, scheme, png, *extra):
        self.run([os.path.join(self.bin, "JotbirdWidgets"), "render", "--family", family,
                  "--scale", str(scale), "--scheme", scheme, "--png", png, *extra], env=env)

    def start_host(self, env, *arguments):
        child = self._spawn([os.path.join(self.bin, "JotbirdWidgetsDesktop"), *arguments],
                            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        child.lines = Lines(child.stdout)
        child.errors = Lines(child.stderr)
        return child

    def stop_host(self, host, sig=signal.SIGTERM):
        host.send_signal(sig)
        return host.wait(10)

    # -- windows ----------------------------------------------------------------------------

    def host_windows(self, host, count=1, timeout=10):
        """The host's mapped top-level windows, in the order they were made."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(host.pid),
                            "--name", "^Jotbird$"], check=False).stdout.split()
            if len(out) >= count:
                return sorted(int(w) for w in out)
            time.sleep(0.05)
        raise AssertionError(f"{count} window(s) of the host did not appear")

    def geometry(self, window):
        """x, y, width, height of a window, or of the screen for "root"."""
        out = self.run(["xwininfo", "-root"] if window == "root" else
                       ["xwininfo", "-id", str(window)]).stdout
        values = {}
        for line in out.splitlines():
            line = line.strip()
            for key, name in (("Absolute upper-left X:", "x"), ("Absolute upper-left Y:", "y"),
                              ("Width:", "width"), ("Height:", "height")):
                if line.startswith(key):
                    values[name] = int(line[len(key):])
        return values["x"], values["y"], values["width"], values["height"]

    def screenshot(self, window, png):
        self.run(["import", "-window", str(window), png])

    def differing_pixels(self, a, b, fuzz="8%", rounded_at=None):
        return differing_pixels(a, b, fuzz, rounded_at)

    def xdotool(self, *arguments):
        self.run(["xdotool", *arguments])


def run_cases(cases, wanted=()):
    """Runs the (name, function) cases, only those named in `wanted` when it names any, with
    one line each and the closing count; the exit status."""
    passed = failed = 0
    for name, function in cases:
        if wanted and name not in wanted:
            continue
        started = time.time()
        try:
            function()
            passed += 1
            print(f"ok   {name} ({time.time() - started:.1f} s)", flush=True)
        except Exception:
            failed += 1
            print(f"FAIL {name}", flush=True)
            traceback.print_exc()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


def named(*functions):
    """Cases named after their functions."""
    return [(function.__name__, function) for function in functions]


# The corner radius of the host's windows, in points.
CORNER_RADIUS = 20


def differing_pixels(a, b, fuzz="8%", rounded_at=None):
    """Pixels that differ by more than `fuzz`; None when the sizes differ. With `rounded_at`
    (a scale), only those inside a window's rounded outline at that scale count, the band
    along the curve left out."""
    def run(argv):
        return subprocess.run(argv, capture_output=True, text=True, timeout=60)
    sizes = [run(["identify", "-format", "%wx%h", p]).stdout for p in (a, b)]
    if sizes[0] != sizes[1]:
        return None
    if rounded_at:
        width, height = (int(n) for n in sizes[0].split("x"))
        radius = (CORNER_RADIUS + 2) * rounded_at
        masked = []
        for picture in (a, b):
            out = picture + ".inside.png"
            run(["convert", picture, "(", "-size", f"{width}x{height}", "xc:black",
                 "+antialias", "-fill", "white", "-draw",
                 f"roundrectangle 0,0 {width - 1},{height - 1} {radius},{radius}", ")",
                 "-compose", "Multiply", "-composite", out])
            masked.append(out)
        a, b = masked
    result = run(["compare", "-metric", "AE", "-fuzz", fuzz, a, b, "null:"])
    return int(float(result.stderr.split()[0]))


def wait_for(predicate, timeout=10, what="condition"):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")

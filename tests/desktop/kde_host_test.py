"""JotbirdWidgetsDesktop on KDE Plasma's compositor: kwin_wayland --virtual --xwayland on a
session bus of its own. Its file capability (cap_sys_resource) is refused in containers, so
the test runs a copy of the binary, which has none. A KWin script, loaded over D-Bus, tells
the windows (it prints them to KWin's log). The host as a layer surface sits at the corner,
out of the switcher and unfocused; on X11 (GDK_BACKEND=x11, as a GTK app under KWin on
XWayland) it is out of the switcher too, below, on every desktop, and never demands attention.

    kde_host_test.py BUILD_DIR
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Lines, named, run_cases, snapshot, wait_for  # noqa: E402

SIZE = (1280, 800)
WIDTH, HEIGHT = 364, 170

# KWin's switcher lists normal windows and dialogs that do not skip it: the script gives
# what that rule reads, for every window.
SCRIPT = """
var out = [];
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
    var c = clients[i];
    out.push({resourceClass: String(c.resourceClass), caption: c.caption,
              frame: [c.x, c.y, c.width, c.height], skipSwitcher: c.skipSwitcher,
              normal: c.normalWindow, dialog: c.dialog, attention: c.demandsAttention,
              below: c.keepBelow, allDesktops: c.onAllDesktops, active: c.active});
}
print("JOTBIRD-WINDOWS " + JSON.stringify(out));
"""


class KWin:
    def __init__(self, build):
        self.children = []
        self.scratch = tempfile.mkdtemp(prefix="jotbird-kde-test-")
        try:
            self._start(build)
        except BaseException:
            self.close()
            raise

    def _start(self, build):
        self.bin = os.path.join(build, "bin")
        runtime = self.path("runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.path("home"), "TZ": "UTC",
                    "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": runtime, "NO_AT_BRIDGE": "1",
                    "XDG_CONFIG_HOME": self.path("home", ".config"),
                    "QT_LOGGING_RULES": "js=true;kwin_scripting=true"}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        os.makedirs(self.env["XDG_CONFIG_HOME"])
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        # A copy without the file capability that containers refuse to grant.
        kwin = self.path("kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        # KWin starts this with its XWayland's DISPLAY and XAUTHORITY.
        with open(self.path("tell-display.sh"), "w") as f:
            f.write(f'#!/bin/sh\necho "$DISPLAY $XAUTHORITY" > {self.path("display")}.new\n'
                    f'mv {self.path("display")}.new {self.path("display")}\nexec sleep 600\n')
        os.chmod(self.path("tell-display.sh"), 0o755)
        self.log = self.path("kwin.log")
        self._spawn([kwin, "--virtual", "--xwayland", "--width", str(SIZE[0]), "--height",
                     str(SIZE[1]), "--socket", "wayland-1", self.path("tell-display.sh")],
                    stdin=subprocess.DEVNULL, stdout=open(self.log, "w"),
                    stderr=subprocess.STDOUT)
        wait_for(lambda: os.path.exists(self.path("display")), timeout=30,
                 what="KWin's XWayland")
        self.env["WAYLAND_DISPLAY"] = "wayland-1"
        with open(self.path("display")) as f:
            display, _, authority = f.read().strip().partition(" ")
        self.env["DISPLAY"] = display
        if authority:
            self.env["XAUTHORITY"] = authority
        with open(self.path("windows.js"), "w") as f:
            f.write(SCRIPT)

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def _spawn(self, argv, **kwargs):
        child = subprocess.Popen(argv, env=kwargs.pop("env", self.env), **kwargs)
        self.children.append(child)
        return child

    def gdbus(self, *arguments):
        return subprocess.run(["gdbus", "call", "--session", "--dest", "org.kde.KWin",
                               *arguments], env=self.env, capture_output=True, text=True,
                              timeout=30)

    def windows(self):
        """Every window KWin manages, as the script tells them."""
        with open(self.log) as f:
            before = f.read().count("JOTBIRD-WINDOWS ")
        name = f"windows{time.monotonic_ns()}"
        self.gdbus("--object-path", "/Scripting", "--method",
                   "org.kde.kwin.Scripting.loadScript", self.path("windows.js"), name)
        self.gdbus("--object-path", "/Scripting", "--method", "org.kde.kwin.Scripting.start")

        def told():
            with open(self.log) as f:
                found = re.findall(r"JOTBIRD-WINDOWS (.*)", f.read())
            return found[before:] and json.loads(found[-1].strip().rstrip('"'))
        windows = wait_for(told, what="KWin's script")
        self.gdbus("--object-path", "/Scripting", "--method",
                   "org.kde.kwin.Scripting.unloadScript", name)
        return windows

    def close(self):
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
        shutil.rmtree(self.scratch, ignore_errors=True)


def host_window(kwin, **env):
    environment = dict(kwin.env, XDG_DATA_HOME=kwin.path(f"data-{len(kwin.children)}"), **env)
    subprocess.run([os.path.join(kwin.bin, "JotbirdWidgetBridge"), "publish"],
                   env=environment, check=True, stdout=subprocess.DEVNULL,
                   input=snapshot(["Buy milk", "Call the garage"]).encode())
    host = kwin._spawn([os.path.join(kwin.bin, "JotbirdWidgetsDesktop")], env=environment,
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    host.lines = Lines(host.stdout)
    host.errors = Lines(host.stderr)
    assert host.lines.frame(30)["reason"] == "start"

    def shown():
        found = [w for w in kwin.windows() if w["frame"][2:] == [WIDTH, HEIGHT]]
        return found and found[0]
    time.sleep(0.5)
    return host, wait_for(shown, what="the widget among KWin's windows")


def in_switcher(window):
    return (window["normal"] or window["dialog"]) and not window["skipSwitcher"]


def stopped_silently(host):
    host.terminate()
    assert host.wait(10) == 0
    time.sleep(0.2)
    said = [line for line in host.errors.queue.queue if line]
    assert said == [], said


def the_widget_sits_on_kwin_as_a_widget():
    kwin = KWin(build)
    try:
        corner = [SIZE[0] - 24 - WIDTH, 24, WIDTH, HEIGHT]
        layer, shown = host_window(kwin)
        assert shown["frame"] == corner, shown
        assert not in_switcher(shown), f"the layer surface is in the switcher: {shown}"
        assert not shown["active"] and not shown["attention"], shown
        stopped_silently(layer)

        x11, shown = host_window(kwin, GDK_BACKEND="x11")
        assert shown["resourceClass"] == "jotbird-widgets-desktop", shown
        assert shown["frame"] == corner, shown
        assert not in_switcher(shown), f"on X11 it is in the switcher: {shown}"
        assert not shown["attention"], f"on X11 it demands attention: {shown}"
        assert shown["below"] and shown["allDesktops"] and not shown["active"], shown
        stopped_silently(x11)
    finally:
        kwin.close()


def main():
    global build
    build = os.path.abspath(sys.argv[1])
    return run_cases(named(the_widget_sits_on_kwin_as_a_widget), sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())

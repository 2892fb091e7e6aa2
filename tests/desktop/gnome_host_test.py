"""JotbirdWidgetsDesktop on GNOME: gnome-shell --headless --wayland with a virtual monitor, on
session and system buses of its own (an empty system bus: the shell asks logind and others,
and gets no answer), GSettings in a keyfile, and a test-only extension that turns on the
shell's unsafe mode so that org.gnome.Shell.Eval tells the windows, the Alt+Tab list, the
stacking and the workspaces; mutter's remote desktop interface gives the pointer. The host is
started as a person would, with no backend forced: mutter has no layer shell, so it must run
on GNOME's XWayland with its X11 stacking, and a click on a note opens it through the
registered handler without raising the widget.

    gnome_host_test.py BUILD_DIR
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import (Lines, differing_pixels, named, run_cases,  # noqa: E402
                             snapshot, wait_for)
from desktop_host_test import opened, register_recorder  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
EXTENSION = "unsafe-mode@jotbird-tests"
MONITOR = (1280, 800)
WIDTH, HEIGHT = 364, 170

SYSTEM_BUS = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
"""

# What the tests ask the shell: every window with what a person would see of it (Eval answers
# with the JSON of the last value).
WINDOWS = """
const Meta = imports.gi.Meta;
const all = global.display.list_all_windows();
const tabs = global.display.get_tab_list(Meta.TabList.NORMAL, null);
const stacked = global.display.sort_windows_by_stacking(all);
const area = Main.layoutManager.getWorkAreaForMonitor(0);
({
    workArea: [area.x, area.y, area.width, area.height],
    workspaces: global.workspace_manager.get_n_workspaces(),
    windows: all.map(w => {
        const f = w.get_frame_rect();
        return {title: w.get_title(), wmClass: w.get_wm_class(),
                x11: w.get_client_type() === Meta.WindowClientType.X11,
                frame: [f.x, f.y, f.width, f.height], focused: w.has_focus(),
                allWorkspaces: w.is_on_all_workspaces(), inTabList: tabs.includes(w),
                stackIndex: stacked.indexOf(w), attention: w.demands_attention};
    })})
"""


class GnomeShell:
    def __init__(self, build):
        self.children = []
        self.log = None
        try:
            self._start(build)
        except BaseException:
            self.close()
            raise

    def _start(self, build):
        self.bin = os.path.join(build, "bin")
        self.scratch = tempfile.mkdtemp(prefix="jotbird-gnome-test-")
        home = self.path("home")
        runtime = self.path("runtime")
        os.makedirs(runtime, mode=0o700)
        extensions = os.path.join(home, ".local", "share", "gnome-shell", "extensions")
        shutil.copytree(os.path.join(HERE, "gnome-extension"),
                        os.path.join(extensions, EXTENSION))
        settings = os.path.join(home, ".config", "glib-2.0", "settings")
        os.makedirs(settings)
        with open(os.path.join(settings, "keyfile"), "w") as f:
            f.write(f"[org/gnome/shell]\nenabled-extensions=['{EXTENSION}']\n"
                    "welcome-dialog-last-shown-version='9999'\n")
        with open(self.path("system.conf"), "w") as f:
            f.write(SYSTEM_BUS.format(socket=self.path("system_bus_socket")))
        self.env = {"PATH": "/usr/bin:/bin", "HOME": home, "TZ": "UTC", "LANG": "C.UTF-8",
                    "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                    "GSETTINGS_BACKEND": "keyfile", "NO_AT_BRIDGE": "1",
                    "DBUS_SYSTEM_BUS_ADDRESS": f"unix:path={self.path('system_bus_socket')}"}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self._spawn(["dbus-daemon", f"--config-file={self.path('system.conf')}", "--nofork"],
                    stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(self.path("system_bus_socket")), what="the system bus")
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self.log = open(self.path("shell.log"), "w")
        self._spawn(["gnome-shell", "--headless", "--wayland", "--wayland-display", "wayland-1",
                     "--virtual-monitor", f"{MONITOR[0]}x{MONITOR[1]}"],
                    stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        wait_for(lambda: self.eval("1 + 1") == 2, timeout=60, what="the shell's Eval")
        # The shell starts in the overview, as after a login, once its start-up animation is
        # over; a person then leaves it.
        wait_for(lambda: self.eval("!Main.layoutManager._startingUp"), timeout=60,
                 what="the shell's start")
        self.leave_overview()
        self.env["WAYLAND_DISPLAY"] = "wayland-1"
        # GNOME's XWayland, with the cookie mutter made for it, as the session hands them out.
        for name in ("DISPLAY", "XAUTHORITY"):
            self.env[name] = wait_for(lambda: self.eval(f"imports.gi.GLib.getenv('{name}')"),
                                      what=f"the shell's {name}")

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def _spawn(self, argv, **kwargs):
        child = subprocess.Popen(argv, env=kwargs.pop("env", self.env), **kwargs)
        self.children.append(child)
        return child

    def eval(self, script):
        """What the script's last expression is, as JSON would give it; None on failure."""
        result = subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
             "/org/gnome/Shell", "--method", "org.gnome.Shell.Eval", script],
            env=self.env, capture_output=True, text=True, timeout=30)
        if result.returncode != 0 or not result.stdout.startswith("(true, "):
            return None
        # gdbus prints a GVariant: (true, 'text'); the text is JSON.
        text = result.stdout.strip()[len("(true, "):-1]
        value = eval(text)  # a Python-compatible string literal
        return json.loads(value) if value else None

    def windows(self):
        return self.eval(WINDOWS)

    def leave_overview(self):
        wait_for(lambda: self.eval("Main.overview.hide(); !Main.overview.visible && "
                                   "!Main.overview.animationInProgress"),
                 what="the overview closed")

    def click(self, x, y):
        """A left click at x, y through mutter's remote desktop, as a person's pointer. The
        session lives as long as the connection that made it, so the test keeps one."""
        import dbus
        if not hasattr(self, "remote"):
            bus = dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])
            name = "org.gnome.Mutter.RemoteDesktop"
            path = bus.get_object(name, "/org/gnome/Mutter/RemoteDesktop").CreateSession(
                dbus_interface=name)
            self.remote = dbus.Interface(bus.get_object(name, path), name + ".Session")
            self.remote.Start()
        # Moves are relative without a screen cast stream: steer until the pointer is there.
        for _ in range(10):
            px, py = self.eval("global.get_pointer().slice(0, 2)")
            if (px, py) == (x, y):
                break
            self.remote.NotifyPointerMotionRelative(float(x - px), float(y - py))
            time.sleep(0.1)
        assert self.eval("global.get_pointer().slice(0, 2)") == [x, y], "the pointer did not go"
        for pressed in (True, False):
            self.remote.NotifyPointerButton(272, pressed)  # BTN_LEFT
            time.sleep(0.05)

    def close(self):
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
        if self.log:
            self.log.close()
        shutil.rmtree(self.scratch, ignore_errors=True)


def widget(state):
    found = [w for w in state["windows"] if w["wmClass"] == "jotbird-widgets-desktop"]
    return found[0] if found else None


def the_widget_sits_on_gnome_as_a_widget():
    shell = GnomeShell(build)
    try:
        environment = dict(shell.env, XDG_DATA_HOME=shell.path("data"))
        bridge = os.path.join(shell.bin, "JotbirdWidgetBridge")
        subprocess.run([bridge, "publish"], env=environment, check=True,
                       stdout=subprocess.DEVNULL,
                       input=snapshot(["Buy milk", "Call the garage"]).encode())
        host = shell._spawn([os.path.join(shell.bin, "JotbirdWidgetsDesktop")], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        lines = Lines(host.stdout)
        errors = Lines(host.stderr)
        try:
            assert lines.frame(30)["reason"] == "start"
        except AssertionError:
            time.sleep(0.5)
            raise AssertionError(f"no start: {errors.seen}, {list(errors.queue.queue)}")
        state = wait_for(lambda: (lambda s: s if s and widget(s) else None)(shell.windows()),
                         what="the widget among the shell's windows")
        shown = widget(state)
        x, y, width, height = state["workArea"]
        assert shown["x11"], "not on XWayland: mutter has no layer shell"
        assert shown["frame"] == [x + width - 24 - WIDTH, y + 24, WIDTH, HEIGHT], \
            (shown["frame"], state["workArea"])
        assert shown["allWorkspaces"], "on one workspace only"
        assert not shown["focused"], "it took the focus at start"
        assert not shown["inTabList"], "it is in the Alt+Tab list"
        assert not shown["attention"], "it demands attention"

        # A normal window opened after it, over it, stays above it.
        cover = shell._spawn(["/usr/bin/python3", os.path.join(HERE, "solid_window.py"),
                              "ff0000"], env=dict(environment, GDK_BACKEND="wayland"),
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        assert cover.stdout.readline().strip() == "shown"

        def above():
            state = shell.windows()
            normal = [w for w in state["windows"] if w["title"] == "solid-window"]
            return normal and normal[0]["stackIndex"] > widget(state)["stackIndex"] and state

        state = wait_for(above, what="the normal window above the widget")
        assert [w["title"] for w in state["windows"] if w["inTabList"]] == ["solid-window"]

        # A click on the part of the first note that the normal window leaves uncovered
        # opens the note, and leaves the widget below.
        record = register_recorder(None, environment)
        wx, wy, ww, wh = widget(state)["frame"]
        nx, ny, nw, nh = [w for w in state["windows"] if w["title"] == "solid-window"][0]["frame"]
        row = wy + 60
        free = [x for x in range(wx + 20, wx + 340)
                if not (nx <= x < nx + nw and ny <= row < ny + nh)]
        assert free, f"the normal window covers the first note: {state}"
        shell.leave_overview()
        shell.click(free[len(free) // 2], row)
        try:
            opened(record, 1)
        except AssertionError:
            raise AssertionError(f"no link opened by a click at {free[len(free) // 2]},{row}: "
                                 f"{list(errors.queue.queue)} {shell.windows()}")
        assert opened(record, 1) == ["jotbird-open://note/note-0"], open(record).read()
        time.sleep(0.3)
        assert above(), "a click raised the widget above the normal window"

        # With the normal window gone, a publish redraws it, as render draws the same notes
        # (GNOME's own screenshot of the widget's frame).
        cover.terminate()
        cover.wait(10)
        subprocess.run([bridge, "publish"], env=environment, check=True,
                       stdout=subprocess.DEVNULL, input=snapshot(["Published on GNOME"]).encode())
        assert lines.frame()["reason"] == "reload"
        time.sleep(0.5)
        shot, rendered = shell.path("gnome-widget.png"), shell.path("render.png")
        result = subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
             "/org/gnome/Shell/Screenshot", "--method", "org.gnome.Shell.Screenshot.ScreenshotArea",
             str(wx), str(wy), str(WIDTH), str(HEIGHT), "false", shot],
            env=shell.env, capture_output=True, text=True, timeout=30)
        assert result.stdout.startswith("(true"), result
        subprocess.run([os.path.join(shell.bin, "JotbirdWidgets"), "render", "--family", "medium",
                        "--scale", "1", "--scheme", "light", "--png", rendered], env=environment,
                       check=True, stdout=subprocess.DEVNULL)
        # Inside its rounded outline; GNOME composites, so the corners show what is behind.
        differing = differing_pixels(shot, rendered, rounded_at=1)
        assert differing is not None and differing <= 0.005 * WIDTH * HEIGHT, \
            f"{differing} pixels differ from render"
        host.terminate()
        assert host.wait(10) == 0
        time.sleep(0.2)
        said = [line for line in errors.queue.queue if line]
        assert said == [], said
    finally:
        shell.close()


def main():
    global build
    build = os.path.abspath(sys.argv[1])
    return run_cases(named(the_widget_sits_on_gnome_as_a_widget), sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())

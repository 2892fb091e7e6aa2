"""Which backend JotbirdWidgetsDesktop opens, chosen before GTK opens its display: on a
compositor with layer shell (headless sway) a layer surface even where DISPLAY is set; on one
without (headless weston) X11 through the session's XWayland, and only where there is none a
plain Wayland window with exactly one line on standard error, from the host alone.
`--backend` forces either, over GDK_BACKEND. On a plain X server without a runtime
directory nothing is said at all.

    backend_test.py BUILD_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop, Lines, named, run_cases, snapshot, wait_for  # noqa: E402
from wayland_host_test import Sway  # noqa: E402

NOTICE = "JotbirdWidgetsDesktop: this Wayland compositor offers no layer shell"
# weston's headless backend has no seat, which no desktop lacks: GDK's keymap then asks a
# missing seat once. That line is the test bed's, not the host's.
SEATLESS = re.compile(r"gdk_seat_get_keyboard: assertion 'GDK_IS_SEAT \(seat\)' failed")


class Weston:
    """A headless weston (no layer shell), with XWayland when `xwayland`."""

    def __init__(self, build, xwayland):
        self.bin = os.path.join(build, "bin")
        self.scratch = tempfile.mkdtemp(prefix="jotbird-weston-test-")
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.scratch, "TZ": "UTC",
                    "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": runtime,
                    "XDG_DATA_HOME": os.path.join(self.scratch, "data"), "NO_AT_BRIDGE": "1"}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.log = os.path.join(self.scratch, "weston.log")
        argv = ["weston", "--backend=headless-backend.so", "--socket=wayland-1", "--no-config",
                f"--log={self.log}"]
        if xwayland:
            argv.append("--xwayland")
        self.weston = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(os.path.join(runtime, "wayland-1")),
                 what="weston's socket")
        self.env["WAYLAND_DISPLAY"] = "wayland-1"
        if xwayland:
            self.env["DISPLAY"] = wait_for(self._x_display, what="weston's XWayland display")

    def _x_display(self):
        with open(self.log) as f:
            found = re.search(r"xserver listening on display (:\d+)", f.read())
        return found and found.group(1)

    def run(self, argv, **kwargs):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=60,
                                **kwargs)
        if result.returncode != 0:
            raise AssertionError(f"{argv} failed: {result.stderr}")
        return result

    def close(self):
        if self.weston.poll() is None:
            self.weston.terminate()
            self.weston.wait(10)
        shutil.rmtree(self.scratch, ignore_errors=True)


def start_host(session, *arguments, **env):
    session.run([os.path.join(session.bin, "JotbirdWidgetBridge"), "publish"],
                input=snapshot(["Buy milk", "Call the garage"]))
    argv = [os.path.join(session.bin, "JotbirdWidgetsDesktop"), *arguments]
    if hasattr(session, "as_user"):
        argv = session.as_user(argv)
    host = subprocess.Popen(argv, env=dict(session.env, **env), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    host.lines = Lines(host.stdout)
    return host


def shown_then_stopped(host):
    """The host's first frame, then its standard error once stopped, seat noise left out."""
    try:
        frame = host.lines.frame()
        assert frame["reason"] == "start", frame
        time.sleep(1.0)  # whatever a library would say at or after the first frame
        host.terminate()
        assert host.wait(10) == 0
        errors = host.stderr.read().decode().splitlines()
        return [line for line in errors if line and not SEATLESS.search(line)]
    finally:
        if host.poll() is None:
            host.kill()
            host.wait()


def plain_window_gives_one_line_from_the_host_alone():
    weston = Weston(build, xwayland=False)
    try:
        errors = shown_then_stopped(start_host(weston))
        assert len(errors) == 1 and errors[0].startswith(NOTICE), errors
        assert "no X11 display" in errors[0], errors
        # The plain window's application id is the desktop entry's, as the protocol shows.
        host = start_host(weston, WAYLAND_DEBUG="1")
        host.lines.frame()
        host.terminate()
        assert host.wait(10) == 0
        protocol = host.stderr.read().decode()
        assert 'xdg_toplevel@' in protocol and \
            '.set_app_id("jotbird-widgets-desktop")' in protocol, "no application id sent"
    finally:
        weston.close()


def without_layer_shell_xwayland_is_chosen():
    weston = Weston(build, xwayland=True)
    try:
        host = start_host(weston)
        window = wait_for(lambda: _x_window(weston, host), what="the host's X11 window")
        # weston's window manager keeps its own _NET_WM_STATE; the hints the host gives an
        # X11 window show in its decorations being turned off.
        motif = weston.run(["xprop", "-id", window, "_MOTIF_WM_HINTS"]).stdout
        assert "0x2, 0x0, 0x0" in motif, motif
        assert shown_then_stopped(host) == [], "X11 through XWayland said something"

        # Forced onto Wayland the same session gives plain windows, and says how to do better.
        errors = shown_then_stopped(start_host(weston, "--backend", "wayland",
                                               GDK_BACKEND="x11"))
        assert len(errors) == 1 and errors[0].startswith(NOTICE), errors
        assert "--backend x11" in errors[0], errors
    finally:
        weston.close()


def _x_window(weston, host):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(host.pid),
                             "--name", "^Jotbird$"], env=weston.env, capture_output=True,
                            text=True, timeout=60)
    found = result.stdout.split()
    return found[0] if found else None


def layer_shell_wins_over_an_x_display():
    sway = Sway(build, 1)
    try:
        # No X server answers on this DISPLAY: had the host chosen X11 it could not start.
        environment = dict(sway.env, DISPLAY=":250")
        environment.pop("GDK_BACKEND")
        sway.env = environment
        assert shown_then_stopped(start_host(sway)) == []
        # X11 forced where there is none: the host says so and ends.
        forced = subprocess.run(sway.as_user([os.path.join(sway.bin, "JotbirdWidgetsDesktop"),
                                              "--backend=x11"]), env=environment,
                                capture_output=True, text=True, timeout=60)
        assert forced.returncode == 4, forced  # no display
        assert "cannot open a display on the backend asked for" in forced.stderr, forced.stderr
    finally:
        sway.close()


def plain_x11_without_a_runtime_directory_is_silent():
    """Xvfb alone, with no XDG_RUNTIME_DIR: nothing to look for on Wayland, and libwayland
    must not be asked (it would say so on standard error)."""
    desktop = Desktop(build)
    try:
        environment = desktop.container_env("no-runtime-dir")
        environment.pop("XDG_RUNTIME_DIR")
        desktop.publish(environment, ["Buy milk"])
        host = desktop.start_host(environment)
        assert host.lines.frame()["reason"] == "start"
        desktop.host_windows(host)
        assert desktop.stop_host(host) == 0
        errors = [line for line in host.stderr.read().decode().splitlines() if line]
        assert errors == [], errors
    finally:
        desktop.close()


def main():
    global build
    build = os.path.abspath(sys.argv[1])
    return run_cases(named(plain_window_gives_one_line_from_the_host_alone,
                           without_layer_shell_xwayland_is_chosen,
                           layer_shell_wins_over_an_x_display,
                           plain_x11_without_a_runtime_directory_is_silent), sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())

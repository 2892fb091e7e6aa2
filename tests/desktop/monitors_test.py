"""JotbirdWidgetsDesktop and the monitors: on a headless sway with two outputs
(`swaymsg create_output`), `--monitor` puts the layer surface on the output named, not the
focused one, and a widget asked for on an output that is not there yet moves to it when it
comes, and is drawn again in twice the pixels when that output turns to scale 2; a widget
whose output is unplugged (a nested sway's) goes to the one left; on X11 (a
resizable Xephyr with openbox), a smaller screen puts the windows back inside it, at their
corner.

    monitors_test.py BUILD_DIR
"""

import contextlib
import glob
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import (Desktop, Lines, differing_pixels, named,  # noqa: E402
                             run_cases, snapshot, wait_for)
from wayland_host_test import Sway  # noqa: E402

WIDTH, HEIGHT = 364, 170  # the medium widget, in points


def sway_with_outputs(count):
    sway = Sway(build, 1)
    sway.env["SWAYSOCK"] = wait_for(
        lambda: glob.glob(os.path.join(sway.runtime, "sway-ipc.*.sock")), what="sway's IPC")[0]
    for _ in range(count - 1):
        add_output(sway)
    return sway


def add_output(sway):
    """A second output of 1280x800 right of the first; the first keeps the focus."""
    sway.run(["swaymsg", "create_output"])
    sway.run(["swaymsg", "output", "HEADLESS-2", "resolution", "1280x800", "position", "1920",
              "0"])
    sway.run(["swaymsg", "focus", "output", "HEADLESS-1"])


def outputs(sway):
    return {o["name"]: o["rect"] for o in
            json.loads(sway.run(["swaymsg", "-t", "get_outputs", "-r"]).stdout)}


def shows_widget(sway, rect, scale=1):
    """Whether the widget is drawn at the top-right corner of the output at `rect` (logical
    points, as sway gives them), in pixels of `scale`."""
    x = rect["x"] + rect["width"] - 24 - WIDTH
    shot = os.path.join(sway.data, "corner.png")
    sway.run(["grim", "-s", str(scale), "-g", f"{x},{rect['y'] + 24} {WIDTH}x{HEIGHT}", shot])
    rendered = os.path.join(sway.data, f"render-{scale}.png")
    if not os.path.exists(rendered):
        sway.run([os.path.join(sway.bin, "JotbirdWidgets"), "render", "--family", "medium",
                  "--scale", str(scale), "--scheme", "light", "--png", rendered])
    # Inside its rounded outline; the corners show the output's background.
    differing = differing_pixels(shot, rendered, rounded_at=scale)
    return differing is not None and differing <= 0.005 * WIDTH * HEIGHT * scale * scale


def start_sway_host(sway, *arguments):
    sway.run([os.path.join(sway.bin, "JotbirdWidgetBridge"), "publish"],
             input=snapshot(["Buy milk", "Call the garage", "Water the plants"]))
    host = subprocess.Popen(
        sway.as_user([os.path.join(sway.bin, "JotbirdWidgetsDesktop"), "--scheme", "light",
                      *arguments]),
        env=sway.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    host.lines = Lines(host.stdout)
    host.errors = Lines(host.stderr)
    assert host.lines.frame()["reason"] == "start"
    return host


def stop(host):
    host.terminate()
    assert host.wait(10) == 0


@contextlib.contextmanager
def hosts_in(sway):
    """Starts hosts in `sway`; whatever happens, kills those still running, then the
    compositor."""
    started = []

    def start(*arguments):
        started.append(start_sway_host(sway, *arguments))
        return started[-1]

    try:
        yield start
    finally:
        for host in started:
            if host.poll() is None:
                host.kill()
        sway.close()


def monitor_option_picks_the_output_not_the_focus():
    sway = sway_with_outputs(2)
    with hosts_in(sway) as start:
        host = start("--monitor", "HEADLESS-2")
        rects = outputs(sway)
        wait_for(lambda: shows_widget(sway, rects["HEADLESS-2"]), what="the widget on HEADLESS-2")
        assert not shows_widget(sway, rects["HEADLESS-1"]), "the widget is on the focused output"
        stop(host)
        # Without the option: the first output, whichever has the focus.
        sway.run(["swaymsg", "focus", "output", "HEADLESS-2"])
        host = start()
        wait_for(lambda: shows_widget(sway, rects["HEADLESS-1"]), what="the widget on HEADLESS-1")
        assert not shows_widget(sway, rects["HEADLESS-2"])
        stop(host)


def widget_moves_to_its_output_when_it_comes():
    sway = sway_with_outputs(1)
    with hosts_in(sway) as start:
        host = start("--monitor=HEADLESS-2")
        assert "no monitor is named HEADLESS-2" in host.errors.next(), host.errors.seen
        wait_for(lambda: shows_widget(sway, outputs(sway)["HEADLESS-1"]),
                 what="the widget on the only output")
        add_output(sway)
        rects = outputs(sway)
        wait_for(lambda: shows_widget(sway, rects["HEADLESS-2"]),
                 what="the widget moved to HEADLESS-2")
        assert not shows_widget(sway, rects["HEADLESS-1"]), "the widget stayed behind"
        # Its output turns to scale 2: the widget is drawn again in twice the pixels, at the
        # same corner of the smaller logical output.
        sway.run(["swaymsg", "output", "HEADLESS-2", "scale", "2"])
        wait_for(lambda: shows_widget(sway, outputs(sway)["HEADLESS-2"], scale=2),
                 what="the widget in pixels of scale 2")
        assert host.poll() is None
        stop(host)


class NestedSway:
    """A sway on sway's Wayland backend, its outputs windows of the outer one: closing such a
    window unplugs that output, which a headless sway cannot do (it fails to disable one)."""

    def __init__(self):
        self.outer = Sway(build, 1)
        self.bin, self.data, self.as_user = self.outer.bin, self.outer.data, self.outer.as_user
        config = self.outer.path("nested-config")
        with open(config, "w") as f:
            f.write("output * bg #20c040 solid_color\ndefault_border none\n")
        self.env = dict(self.outer.env, WLR_BACKENDS="wayland")
        self.sway = subprocess.Popen(self.as_user(["sway", "-c", config]), env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(os.path.join(self.outer.runtime, "wayland-2")),
                 what="the nested sway's socket")
        pattern = os.path.join(self.outer.runtime, "sway-ipc.*.sock")
        sockets = wait_for(lambda: len(glob.glob(pattern)) == 2 and glob.glob(pattern),
                           what="both IPC sockets")
        own = [s for s in sockets if f".{self.sway.pid}." in s]
        self.outer.env["SWAYSOCK"] = next(s for s in sockets if s not in own)
        self.env.update(WAYLAND_DISPLAY="wayland-2", SWAYSOCK=own[0])

    def run(self, argv, **kwargs):
        return Sway.run(self, argv, **kwargs)

    def unplug(self, output):
        self.outer.run(["swaymsg", f'[title="wlroots - {output}"]', "kill"])

    def close(self):
        if self.sway.poll() is None:
            self.sway.terminate()
            self.sway.wait(10)
        self.outer.close()


def widget_leaves_an_output_that_goes():
    sway = NestedSway()
    with hosts_in(sway) as start:
        sway.run(["swaymsg", "create_output"])
        wait_for(lambda: "WL-2" in outputs(sway), what="a second output")
        host = start("--monitor", "WL-2")
        wait_for(lambda: shows_widget(sway, outputs(sway)["WL-2"]), what="the widget on WL-2")
        sway.unplug("WL-2")
        wait_for(lambda: list(outputs(sway)) == ["WL-1"], what="WL-2 unplugged")
        wait_for(lambda: shows_widget(sway, outputs(sway)["WL-1"]),
                 what="the widget on the output left")
        assert host.poll() is None
        stop(host)


def a_smaller_x11_screen_puts_the_windows_inside_again():
    outer = Desktop(build)
    try:
        outer.env["DISPLAY"] = outer.start_x_server(["Xephyr", "-screen", "1920x1200",
                                                     "-resizeable"])
        outer._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        outer._wait_for_window_manager()
        environment = outer.container_env("monitors")
        outer.publish(environment, ["Buy milk"])
        host = outer.start_host(environment, "--family", "medium", "--family", "small")
        host.lines.frames_until("start", 2, timeout=30)
        medium, small = outer.host_windows(host, 2)

        def at_the_corner():
            # The screen's width as it is now (the outer window manager may trim Xephyr's).
            width = outer.geometry("root")[2]
            return (outer.geometry(medium)[:2] == (width - 24 - 364, 24) and
                    outer.geometry(small)[:2] == (width - 24 - 170, 24 + 170 + 16))

        wait_for(at_the_corner, what="the windows at the corner")
        # Xephyr's sizes are RandR's; 1024x768 is narrower than where the widget was.
        outer.run(["xrandr", "-s", "1024x768"])
        wait_for(lambda: outer.geometry("root")[2] == 1024, what="the smaller screen")
        wait_for(at_the_corner, what="the windows at the corner of the smaller screen")
        outer.run(["xrandr", "-s", "1600x1200"])
        wait_for(lambda: outer.geometry("root")[2] > 1024, what="the larger screen")
        wait_for(at_the_corner, what="the windows back at the corner of the larger screen")
        assert outer.stop_host(host) == 0
    finally:
        outer.close()


def main():
    global build
    build = os.path.abspath(sys.argv[1])
    return run_cases(named(monitor_option_picks_the_output_not_the_focus,
                           widget_moves_to_its_output_when_it_comes,
                           widget_leaves_an_output_that_goes,
                           a_smaller_x11_screen_puts_the_windows_inside_again), sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())

"""JotbirdWidgetsDesktop as a layer surface under a headless sway: its place at the corner and
its pixels, captured with grim, against `JotbirdWidgets render`, at output scales 1 and 2; a
normal window over it hides it; a publish redraws it.
sway refuses to run as root, so as root the compositor, the host and the bridge run as the
unprivileged user 65534 in a scratch directory of its own.

    wayland_host_test.py BUILD_DIR
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Lines, differing_pixels, run_cases, snapshot, wait_for  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
UNPRIVILEGED = 65534
SIZES = {"small": (170, 170), "medium": (364, 170), "large": (364, 382)}
OUTPUT = (1920, 1200)
# The output's background (swaybg), which shows through the widget's rounded corners.
BACKGROUND_HEX = "20c040"
BACKGROUND = (0x20, 0xC0, 0x40)


def pixel(png, x, y):
    """The RGB of one pixel of a picture."""
    text = subprocess.run(["convert", png, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                          capture_output=True, text=True, check=True).stdout
    values = text.splitlines()[1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(v)) for v in values[:3])


class Sway:
    def __init__(self, build, scale):
        self.bin = os.path.join(build, "bin")
        self.scratch = tempfile.mkdtemp(prefix="jotbird-wayland-test-")
        os.chmod(self.scratch, 0o755)
        self.runtime = self.path("runtime")
        self.data = self.path("data")
        for directory in (self.runtime, self.data):
            os.makedirs(directory, mode=0o700)
            self.own(directory)
        with open(self.path("config"), "w") as f:
            f.write(f"output HEADLESS-1 resolution {OUTPUT[0]}x{OUTPUT[1]} position 0,0 "
                    f"scale {scale} bg #{BACKGROUND_HEX} solid_color\ndefault_border none\n")
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.scratch, "TZ": "UTC",
                    "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": self.runtime,
                    "XDG_DATA_HOME": self.data, "NO_AT_BRIDGE": "1",
                    "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
                    "WLR_LIBINPUT_NO_DEVICES": "1", "GDK_BACKEND": "wayland"}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.sway = subprocess.Popen(self.as_user(["sway", "-c", self.path("config")]),
                                     env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, "wayland-1")),
                 what="sway's socket")
        self.env["WAYLAND_DISPLAY"] = "wayland-1"

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def own(self, path):
        if os.getuid() == 0:
            os.chown(path, UNPRIVILEGED, UNPRIVILEGED)

    def as_user(self, argv):
        if os.getuid() != 0:
            return argv
        return ["setpriv", f"--reuid={UNPRIVILEGED}", f"--regid={UNPRIVILEGED}",
                "--clear-groups", *argv]

    def run(self, argv, **kwargs):
        result = subprocess.run(self.as_user(argv), env=self.env, capture_output=True,
                                text=True, timeout=60, **kwargs)
        if result.returncode != 0:
            raise AssertionError(f"{argv} failed: {result.stderr}")
        return result

    def close(self):
        if self.sway.poll() is None:
            self.sway.terminate()
            self.sway.wait(10)
        shutil.rmtree(self.scratch, ignore_errors=True)


def picture_matches(build, scale, family, scheme, corner):
    sway = Sway(build, scale)
    host = None
    try:
        sway.run([os.path.join(sway.bin, "JotbirdWidgetBridge"), "publish"],
                 input=snapshot(["Buy milk", "Call the garage", "Water the plants"]))
        host = subprocess.Popen(
            sway.as_user([os.path.join(sway.bin, "JotbirdWidgetsDesktop"), "--family", family,
                          "--scheme", scheme, "--corner", corner]),
            env=sway.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        lines = Lines(host.stdout)
        width, height = SIZES[family]
        frame = json.loads(lines.next())
        assert frame == {"family": family, "reason": "start", "width": width * scale,
                         "height": height * scale}, frame
        time.sleep(0.5)
        x = 24 if corner.endswith("left") else OUTPUT[0] // scale - 24 - width
        y = 24 if corner.startswith("top") else OUTPUT[1] // scale - 24 - height
        shot = os.path.join(sway.data, "window.png")
        sway.run(["grim", "-g", f"{x},{y} {width}x{height}", shot])
        rendered = os.path.join(sway.data, "render.png")
        sway.run([os.path.join(sway.bin, "JotbirdWidgets"), "render", "--family", family,
                  "--scale", str(scale), "--scheme", scheme, "--png", rendered])
        differing = differing_pixels(shot, rendered, rounded_at=scale)
        assert differing is not None, "the surface's size differs from render's picture"
        assert differing <= 0.005 * width * height * scale * scale, \
            f"{differing} pixels differ from render"
        # Rounded like a widget: the corners show the background through, the rest is the
        # widget's own.
        corners = [(0, 0), (width * scale - 1, 0), (0, height * scale - 1),
                   (width * scale - 1, height * scale - 1)]
        for px, py in corners:
            assert pixel(shot, px, py) == BACKGROUND, f"corner {px},{py}: {pixel(shot, px, py)}"
        inside = (10 * scale, 10 * scale)
        assert pixel(shot, *inside) == pixel(rendered, *inside), "inside the outline"

        # A normal window covering the output stays above the widget on its layer. The script
        # runs from the scratch directory: the source tree may be closed to user 65534.
        script = sway.path("solid_window.py")
        shutil.copyfile(os.path.join(HERE, "solid_window.py"), script)
        cover = subprocess.Popen(
            sway.as_user(["/usr/bin/python3", script, "ff0000"]),
            env=sway.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            assert cover.stdout.readline().strip() == "shown"
            time.sleep(0.5)
            sway.run(["grim", "-g", f"{x},{y} {width}x{height}", shot])
            compare = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", shot,
                                      f"xc:red[{width * scale}x{height * scale}!]", "null:"],
                                     capture_output=True, text=True)
            not_red = int(float(compare.stderr.split()[0]))
            assert not_red < 0.01 * width * height * scale * scale, \
                f"the widget shows through a normal window ({not_red} pixels not red)"
        finally:
            cover.terminate()
            cover.wait(10)

        # A publish redraws the layer surface too.
        sway.run([os.path.join(sway.bin, "JotbirdWidgetBridge"), "publish"],
                 input=snapshot(["Published while shown"]))
        assert json.loads(lines.next())["reason"] == "reload"
        host.terminate()
        assert host.wait(10) == 0
    finally:
        if host and host.poll() is None:
            host.kill()
            host.wait()
        sway.close()


def main():
    build = os.path.abspath(sys.argv[1])
    cases = [(1, "medium", "light", "top-right"), (2, "large", "dark", "bottom-left")]
    return run_cases([(f"layer surface {family} {scheme} {corner} at output scale {scale}",
                       lambda case=(scale, family, scheme, corner): picture_matches(build, *case))
                      for scale, family, scheme, corner in cases])


if __name__ == "__main__":
    sys.exit(main())

"""JotbirdWidgetsDesktop under the EWMH window managers people run on X11, each on a private
Xvfb: openbox, xfwm4, fluxbox and i3. In each, the widget appears at its corner without taking
the focus or demanding attention, a click on it gives it the keyboard, so Tab and Enter open a
note. In the stacking ones a normal window stays above it also after that click, and Alt+Tab
never lands on it; i3 has no layer below its tiled windows (and no Alt+Tab), and floats it
above them.

    window_managers_test.py BUILD_DIR [WINDOW_MANAGER...]
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import WINDOW_MANAGERS, Desktop, run_cases, wait_for  # noqa: E402
from desktop_host_test import TITLES, opened, register_recorder  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SCREEN_WIDTH = 1920
# The medium widget at the top-right corner, 24 points in: x 1532 to 1896, y 24 to 194. The
# normal window covers its right half.
CORNER = (SCREEN_WIDTH - 24 - 364, 24)
COVER = (300, 300, SCREEN_WIDTH - 300, 0)
RED = "#FF0000"
# Window managers that tile normal windows and float the widget above them.
TILING = {"i3"}


def active_window(desktop):
    out = desktop.run(["xdotool", "getactivewindow"], check=False).stdout.split()
    return int(out[0]) if out else None


def pixel(desktop, x, y):
    out = desktop.run(["convert", "x:root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"]).stdout
    return out.split()[-2] if "#" in out else out


def normal_window(desktop, environment):
    width, height, x, y = COVER
    cover = desktop._spawn(["/usr/bin/python3", os.path.join(HERE, "solid_window.py"), "ff0000",
                            f"{width}x{height}+{x}+{y}"], env=environment,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    assert cover.stdout.readline().strip() == "shown"
    window = wait_for(lambda: desktop.run(["xdotool", "search", "--onlyvisible", "--name",
                                           "^solid-window$"], check=False).stdout.split(),
                      what="the normal window")[0]
    desktop.run(["xdotool", "windowactivate", "--sync", window], check=False)
    wait_for(lambda: active_window(desktop) == int(window), what="the normal window's focus")
    return cover, int(window)


def the_widget_keeps_out_of_the_way(window_manager):
    desktop = Desktop(build, window_manager)
    try:
        environment = desktop.container_env("stacking")
        desktop.publish(environment, TITLES)
        record = register_recorder(desktop, environment)
        cover, normal = normal_window(desktop, environment)
        host = desktop.start_host(environment)
        host.lines.frames_until("start")
        widget, = desktop.host_windows(host)
        time.sleep(0.5)
        assert desktop.geometry(widget)[:2] == CORNER, \
            f"{window_manager}: the widget is at {desktop.geometry(widget)}"

        assert active_window(desktop) == normal, f"{window_manager}: the widget took the focus"
        state = desktop.run(["xprop", "-id", str(widget), "_NET_WM_STATE"]).stdout
        assert "DEMANDS_ATTENTION" not in state, f"{window_manager}: {state}"
        floats = window_manager in TILING
        assert (pixel(desktop, 1800, 100) == RED) != floats, \
            f"{window_manager}: the widget is {'below' if floats else 'above'}"

        # A click on the widget's uncovered half: it gets the keyboard, not the top.
        desktop.xdotool("mousemove", "1572", "54", "click", "1")
        wait_for(lambda: active_window(desktop) == widget, what="the widget's focus after a click")
        time.sleep(0.5)
        assert (pixel(desktop, 1800, 100) == RED) != floats, \
            f"{window_manager}: a click moved the widget in the stack"
        for key in ("Tab", "Tab", "Return"):
            desktop.xdotool("key", key)
            time.sleep(0.2)
        # The click landed on the home link, then Tab, Tab, Enter on the second note.
        assert opened(record, 2) == ["jotbird-open://home", "jotbird-open://note/note-1"], \
            f"{window_manager}: {open(record).read()}"
        # From the widget, Alt+Tab goes to a normal window (fluxbox shows a message window of
        # its own at its first start), and never comes back: the widget is not among the
        # windows it cycles through.
        for _ in range(0 if floats else 3):
            # Alt held a while: xfwm4 grabs the keyboard on Tab and waits for its release.
            desktop.xdotool("keydown", "alt", "sleep", "0.2", "key", "Tab", "sleep", "0.2",
                            "keyup", "alt")
            time.sleep(0.3)
            assert active_window(desktop) not in (widget, None), \
                f"{window_manager}: Alt+Tab went to the widget or nowhere"
        cover.terminate()
        assert desktop.stop_host(host) == 0
    finally:
        desktop.close()


def main():
    global build
    build = os.path.abspath(sys.argv[1])
    return run_cases([(window_manager,
                       lambda window_manager=window_manager:
                       the_widget_keeps_out_of_the_way(window_manager))
                      for window_manager in WINDOW_MANAGERS], sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())

"""The accessible application of a process, as the tests' readers of the AT-SPI tree find it."""

import time

import pyatspi


def find_window(pid, matches, what, timeout=20):
    """The first top-level window of process `pid` for which `matches` holds; waits for the
    application to join the tree, and exits with `what` not found."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is None or app.get_process_id() != pid:
                    continue
                for window in app:
                    if window is not None and matches(window):
                        return window
            except Exception:
                pass
        time.sleep(0.2)
    raise SystemExit(f"{what} is not in the accessibility tree")

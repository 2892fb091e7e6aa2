"""Prints the names of the menu items the host with process id ARGV[1] shows, one a line, as
a screen reader finds them once its menu is open."""

import sys
import time

import pyatspi

MENU_ITEMS = (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            pass
    return None


def items(node, found):
    if node.getRole() in MENU_ITEMS and node.name:
        found.append(node.name)
    for child in node:
        if child is not None:
            items(child, found)
    return found


deadline = time.time() + 20
while time.time() < deadline:
    app = application(int(sys.argv[1]))
    names = items(app, []) if app is not None else []
    if names:
        print("\n".join(names))
        break
    time.sleep(0.2)
else:
    raise SystemExit("no menu items in the accessibility tree")

"""The gallery of the host with process id ARGV[1], as a screen reader meets it: prints
"window NAME", "label TEXT" and "button NAME x y width height" (the button, in screen
pixels) for the window titled "Jotbird Widgets"; then, with ARGV[2], presses the button of
that name."""

import sys

import pyatspi

from atspi_application import find_window


def walk(node, found):
    role = node.getRole()
    if role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LABEL):
        found.append(node)
    for child in node:
        if child is not None:
            walk(child, found)
    return found


window = find_window(int(sys.argv[1]), lambda window: window.name == "Jotbird Widgets",
                     "the gallery")
print(f"window {window.name}")
buttons = {}
current = None
for node in walk(window, []):
    role = node.getRole()
    if role == pyatspi.ROLE_PUSH_BUTTON:
        current = node
        buttons[node.name] = node
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(f"button {node.name} {box.x} {box.y} {box.width} {box.height}")
    elif role == pyatspi.ROLE_LABEL and current is None:
        print(f"label {node.name}")
if len(sys.argv) > 2:
    buttons[sys.argv[2]].queryAction().doAction(0)

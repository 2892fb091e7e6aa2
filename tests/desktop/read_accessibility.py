"""Prints the accessibility tree of the host with process id ARGV[1] as the tests read it:
"window NAME", then "image NAME" for every named image and "link NAME actions=A,B" for
every link, in order; then activates the second link through its first action."""

import sys

import pyatspi

from atspi_application import find_window


def walk(node, found):
    if node.getRole() in (pyatspi.ROLE_LINK, pyatspi.ROLE_IMAGE):
        found.append(node)
    for child in node:
        if child is not None:
            walk(child, found)
    return found


window = find_window(int(sys.argv[1]), lambda window: True, "the host")
print(f"window {window.name}")
found = [node for node in walk(window, []) if node.getRole() == pyatspi.ROLE_LINK]
for node in walk(window, []):
    if node.getRole() == pyatspi.ROLE_IMAGE:
        print(f"image {node.name}")
        continue
    action = node.queryAction()
    names = ",".join(action.getName(i) for i in range(action.nActions))
    print(f"link {node.name} actions={names}")
found[1].queryAction().doAction(0)

"""Prints the accessibility tree of the host with process id ARGV[1] as the tests read it:
"window NAME", then "image NAME" for every named image and "link NAME actions=A,B" for
every link, in order; then activates the second link through its first action."""

import sys
import time

import pyatspi


def find_application(pid):
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    raise SystemExit("the host is not in the accessibility tree")


def walk(node, found):
    if node.getRole() in (pyatspi.ROLE_LINK, pyatspi.ROLE_IMAGE):
        found.append(node)
    for child in node:
        if child is not None:
            walk(child, found)
    return found


app = find_application(int(sys.argv[1]))
window = app[0]
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

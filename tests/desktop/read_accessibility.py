"""Prints the accessibility tree of the host with process id ARGV[1] as the tests read it:
"window NAME", then "link NAME actions=A,B" for every link in order; then activates the
second link through its first action."""

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


def links(node, found):
    if node.getRole() == pyatspi.ROLE_LINK:
        found.append(node)
    for child in node:
        if child is not None:
            links(child, found)
    return found


app = find_application(int(sys.argv[1]))
window = app[0]
print(f"window {window.name}")
found = links(window, [])
for link in found:
    action = link.queryAction()
    names = ",".join(action.getName(i) for i in range(action.nActions))
    print(f"link {link.name} actions={names}")
found[1].queryAction().doAction(0)

"""Prints the names of the menu items the host with process id ARGV[1] shows, one a line, as
a screen reader finds them once its menu is open."""

import sys

import pyatspi

from atspi_application import find_window

MENU_ITEMS = (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM)


def items(node, found):
    if node.getRole() in MENU_ITEMS and node.name:
        found.append(node.name)
    for child in node:
        if child is not None:
            items(child, found)
    return found


window = find_window(int(sys.argv[1]), lambda window: bool(items(window, [])), "a menu")
print("\n".join(items(window, [])))

"""A plain, normal top-level window of one colour (RGB hex in ARGV[1]), for the tests that
put a window over the widget, 800x600 or as ARGV[2] says (WIDTHxHEIGHT+X+Y). Prints "shown"
once it is mapped."""

import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

css = Gtk.CssProvider()
css.load_from_data(f"window {{ background-color: #{sys.argv[1]}; }}".encode())
Gtk.StyleContext.add_provider_for_screen(Gdk.Screen.get_default(), css,
                                         Gtk.STYLE_PROVIDER_PRIORITY_USER)
window = Gtk.Window(title="solid-window")
if len(sys.argv) > 2:
    window.parse_geometry(sys.argv[2])
else:
    window.set_default_size(800, 600)
window.connect("destroy", Gtk.main_quit)
window.connect("map-event", lambda *_: print("shown", flush=True))
window.show_all()
Gtk.main()

"""A stand-in for the desktop's settings portal on the test's own session bus: answers
org.freedesktop.appearance color-scheme, and changes it (with SettingChanged) when a number
arrives on standard input. Prints "ready" once it owns its name.

    stub_settings_portal.py SCHEME [--without-read-one]

--without-read-one answers only the older Read, as portals before version 2 do."""

import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

INTERFACE = "org.freedesktop.portal.Settings"


class Settings(dbus.service.Object):
    def __init__(self, bus, scheme, read_one):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.scheme = scheme
        self.read_one = read_one

    def _value(self, namespace, key):
        if (namespace, key) != ("org.freedesktop.appearance", "color-scheme"):
            raise dbus.exceptions.DBusException(
                "not found", name="org.freedesktop.portal.Error.NotFound")
        return dbus.UInt32(self.scheme, variant_level=1)

    @dbus.service.method(INTERFACE, in_signature="ss", out_signature="v")
    def ReadOne(self, namespace, key):
        if not self.read_one:
            raise dbus.exceptions.DBusException(
                "no ReadOne", name="org.freedesktop.DBus.Error.UnknownMethod")
        return self._value(namespace, key)

    @dbus.service.method(INTERFACE, in_signature="ss", out_signature="v")
    def Read(self, namespace, key):
        return dbus.UInt32(self._value(namespace, key), variant_level=2)

    @dbus.service.signal(INTERFACE, signature="ssv")
    def SettingChanged(self, namespace, key, value):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    settings = Settings(bus, int(sys.argv[1]) if len(sys.argv) > 1 else 0,
                        "--without-read-one" not in sys.argv)
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
    loop = GLib.MainLoop()

    def command(channel, condition):
        line = sys.stdin.readline()
        if not line:
            loop.quit()
            return False
        settings.scheme = int(line)
        settings.SettingChanged("org.freedesktop.appearance", "color-scheme",
                                dbus.UInt32(settings.scheme, variant_level=1))
        print("changed", flush=True)
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
    print("ready", flush=True)
    loop.run()
    del name


main()

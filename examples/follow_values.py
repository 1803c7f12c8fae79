#!/usr/bin/python3
"""Print the QorView station's live channel values as they change.

    examples/follow_values.py                     every channel
    examples/follow_values.py 'labelChan(3)' ...  only these items

Each line is the item, a tab and its value: first the current value of every item followed,
then a line whenever one changes. Ctrl-C ends it. While it runs, closing the station asks
whether to exit although other applications are using it.

Needs the station running on the same desktop session and Debian's python3-gi (the script
uses the system interpreter, /usr/bin/python3, which carries it).
"""

import signal
import sys

from gi.repository import Gio, GLib

BUS_NAME = "org.qorview.QorView"
OBJECT_PATH = "/Display"
INTERFACE = "org.qorview.Display1"


def show(item, value):
    print(f"{item}\t{value}", flush=True)


def main(items):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    display = Gio.DBusProxy.new_sync(
        bus, Gio.DBusProxyFlags.DO_NOT_AUTO_START, None, BUS_NAME, OBJECT_PATH, INTERFACE, None)
    if display.get_name_owner() is None:
        sys.exit("follow_values: the station is not running (no owner of org.qorview.QorView)")

    loop = GLib.MainLoop()

    def on_signal(_proxy, _sender, name, parameters):
        if name == "Changed":
            show(*parameters.unpack())

    def on_owner(proxy, _pspec):
        if proxy.get_name_owner() is None:
            print("follow_values: the station has closed", file=sys.stderr)
            loop.quit()

    display.connect("g-signal", on_signal)
    display.connect("notify::g-name-owner", on_owner)
    try:
        for item in items or display.Items():
            display.Advise("(s)", item)
            show(item, display.Request("(s)", item))
    except GLib.Error as error:
        Gio.DBusError.strip_remote_error(error)
        sys.exit(f"follow_values: {error.message}")

    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGINT, loop.quit)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    loop.run()
    if display.get_name_owner() is not None:
        for item in items or display.Items():
            display.Unadvise("(s)", item)


if __name__ == "__main__":
    main(sys.argv[1:])

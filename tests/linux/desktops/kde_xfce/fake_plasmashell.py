"""A stand-in plasmashell on the session bus: owns org.kde.plasmashell and
exports /PlasmaShell org.kde.PlasmaShell.evaluateScript, which saves each
script as LOG_DIR/script-N.js. In "locked" mode it answers every script
with the error a shell with locked widgets sends. In "late" mode it owns the
name a second before it exports /PlasmaShell, as a starting shell does.

    fake_plasmashell.py LOG_DIR ok|locked|late

Prints "ready" once the name is owned."""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Shell(dbus.service.Object):
    def __init__(self, bus, log_dir, locked):
        super().__init__(bus, "/PlasmaShell")
        self.log_dir = log_dir
        self.locked = locked
        self.count = 0

    @dbus.service.method("org.kde.PlasmaShell", in_signature="s", out_signature="")
    def evaluateScript(self, script):
        self.count += 1
        path = os.path.join(self.log_dir, "script-%d.js" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as out:
            out.write(script)
        os.rename(path + ".part", path)
        if self.locked:
            raise dbus.exceptions.DBusException(
                "Widgets are locked", name="org.freedesktop.DBus.Error.Failed")


def main():
    log_dir, mode = sys.argv[1], sys.argv[2]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName("org.kde.plasmashell", bus, do_not_queue=True)
    shells = []

    def export():
        shells.append(Shell(bus, log_dir, mode == "locked"))
        return False

    if mode == "late":
        GLib.timeout_add(1000, export)
    else:
        export()
    loop = GLib.MainLoop()
    # Gone with the bus: a test that dies leaves no shell behind.
    bus.call_on_disconnection(lambda _: loop.quit())
    print("ready", flush=True)
    loop.run()
    del name, shells


if __name__ == "__main__":
    main()

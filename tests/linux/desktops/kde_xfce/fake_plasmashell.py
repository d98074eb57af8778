"""A stand-in plasmashell on the session bus: owns org.kde.plasmashell and
exports /PlasmaShell org.kde.PlasmaShell.evaluateScript, which saves each
script as LOG_DIR/script-N.js. In "locked" mode it answers every script
with the error a shell with locked widgets sends. In "late" mode it owns the
name a second before it exports /PlasmaShell, as a starting shell does.
Given NODE and SCREENS, it also runs each script with node through
run_plasma_script.js on desktops on those screens, and answers what the
script printed, as plasmashell does; otherwise it answers "".

    fake_plasmashell.py LOG_DIR ok|locked|late [NODE SCREENS]

Prints "ready" once the name is owned."""
import json
import os
import subprocess
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Shell(dbus.service.Object):
    def __init__(self, bus, log_dir, locked, runner):
        super().__init__(bus, "/PlasmaShell")
        self.log_dir = log_dir
        self.locked = locked
        self.runner = runner
        self.count = 0

    @dbus.service.method("org.kde.PlasmaShell", in_signature="s", out_signature="s")
    def evaluateScript(self, script):
        self.count += 1
        path = os.path.join(self.log_dir, "script-%d.js" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as out:
            out.write(script)
        os.rename(path + ".part", path)
        if self.locked:
            raise dbus.exceptions.DBusException(
                "Widgets are locked", name="org.freedesktop.DBus.Error.Failed")
        if self.runner is None:
            return ""
        node, screens = self.runner
        run = subprocess.run(
            [node, os.path.join(os.path.dirname(os.path.abspath(__file__)), "run_plasma_script.js"),
             path, str(len(screens.split(","))), screens],
            capture_output=True, text=True, check=False)
        if run.returncode != 0:
            # A script that throws is an error reply from the real shell too.
            raise dbus.exceptions.DBusException(
                run.stderr.strip(), name="org.freedesktop.DBus.Error.Failed")
        return json.loads(run.stdout)["printed"]


def main():
    log_dir, mode = sys.argv[1], sys.argv[2]
    runner = (sys.argv[3], sys.argv[4]) if len(sys.argv) > 4 else None
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName("org.kde.plasmashell", bus, do_not_queue=True)
    shells = []

    def export():
        shells.append(Shell(bus, log_dir, mode == "locked", runner))
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

"""The real `VLMR Config` under a private Xvfb, driven from outside with xdotool.

usage: test_configurator.py opens [SCREENSHOT_PNG] | startup | reload | stretch | chooser | options [SCREENSHOT_PNG]
"""
import os
import subprocess
import sys

from vlmr_session import Session, check, finished, wait_for

TITLE = "Velmora Configurator"
REMINDER = "Dont Forget To Click Save..."
# Window-relative rectangles of the visible controls (the layout's twips / 15).
PLACES = {
    "IPath": (16, 32, 329, 13), "PSave": (288, 48, 23, 22), "POpen": (320, 48, 22, 22),
    "OCenter": (16, 56, 57, 13), "OTile": (72, 56, 41, 13), "OStretch": (120, 56, 57, 13),
    "Label1": (280, 88, 73, 17), "LStart": (8, 88, 105, 17),
}
OPTIONS = "Velmora Options"
# The options window's boxes, window-relative as above.
OPTION_PLACES = {
    "TJpeg": (16, 32, 65, 17), "SFill": (16, 113, 200, 13), "NRepeat": (8, 165, 304, 17), "PMonitor": (8, 185, 304, 17),
}


class Configurator:
    """One running `VLMR Config` and its window."""

    def __init__(self, session, program=None):
        self.session = session
        if program:
            self.process = subprocess.Popen([program, "Config"], env=session.env, stdout=subprocess.PIPE,
                                            stderr=subprocess.PIPE)
            session.processes.append(self.process)
        else:
            self.process = session.start("Config")
        self.window = session.wait_window(TITLE, self.process.pid)

    def title(self):
        return self.session.run("xdotool", "getwindowname", str(self.window)).strip()

    def point(self, control, dx=None, dy=None):
        """Screen point inside a control: its middle, or (dx, dy) from its corner."""
        left, top, _, _ = self.session.geometry(self.window)
        x, y, w, h = PLACES[control]
        return left + x + (w // 2 if dx is None else dx), top + y + (h // 2 if dy is None else dy)

    def click(self, control, dx=None, dy=None):
        x, y = self.point(control, dx, dy)
        self.session.run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def region(self, control):
        """The control's pixels, read from the window."""
        shot = self.session.screenshot(self.window)
        x, y, w, h = PLACES[control]
        return [shot.pixel(x + i, y + j) for j in range(h) for i in range(w)]

    def field_text(self):
        """IPath's text: a fresh marker typed at its end, everything copied, the marker dropped."""
        self.copies = getattr(self, "copies", 0) + 1
        marker = f"#{self.copies}"
        self.click("IPath")
        self.session.run("xdotool", "windowfocus", "--sync", str(self.window))
        self.session.run("xdotool", "key", "End", "type", marker)
        self.session.run("xdotool", "key", "ctrl+a", "ctrl+c")

        def copied():
            text = self.session.run("xclip", "-o", "-selection", "clipboard", check=False)
            return text if text.endswith(marker) else None

        text = wait_for(copied, 5, "the copied field")
        self.session.run("xdotool", "key", "End", *["BackSpace"] * len(marker))
        return text[:-len(marker)]

    def close(self):
        self.session.close_window(self.window)
        check(finished(self.process) == 0, "closing the configurator did not end the program with 0")


def read(path):
    with open(path, "rb") as f:
        return f.read().decode()


def ini(session):
    path = os.path.join(session.app_folder, "Config.ini")
    return read(path) if os.path.exists(path) else ""


def autostart(session, name="VLMR.desktop"):
    return session.path("config", "autostart", name)


def program_in(session, folder):
    """A copy of VLMR in a folder of the session: what "Load At Startup" must name."""
    return session.copy_program(folder)


def entry_for(exec_value):
    return f"[Desktop Entry]\nType=Application\nName=Velmora\nExec={exec_value}\nIcon=velmora\n"


def opens(session, screenshot=None):
    configurator = Configurator(session)
    x, y, w, h = session.geometry(configurator.window)
    check((w, h) == (362, 107), f"the client area is {w} x {h}")
    check(abs(x - (640 - 362) / 2) <= 1 and abs(y - (480 - 107) / 2) <= 1, f"the window at {x},{y} is not centred")
    check(not session.windows("Velmora", configurator.process.pid), "a message box came with the argument Config")
    icons = session.run("xprop", "-len", "10000000", "-id", str(configurator.window), "_NET_WM_ICON")
    check("Icon (32 x 32)" in icons, "the window has no 32 pixel icon")
    hints = session.run("xprop", "-id", str(configurator.window), "WM_NORMAL_HINTS")
    check("program specified minimum size: 362 by 107" in hints and "program specified maximum size: 362 by 107"
          in hints, f"the window can be resized: {hints}")
    # Nothing stored, so nothing is written by opening it.
    check(not os.path.exists(session.app_folder), "opening the configurator wrote into the application folder")
    check(not os.path.exists(session.path("config", "autostart")), "opening the configurator wrote an autostart entry")
    check(configurator.field_text() == "", "the path field is not empty")
    # The credit is painted in navy.
    wait_for(lambda: (0, 0, 128) in configurator.region("Label1"), 5, "navy letters in the credit label")
    if screenshot:
        session.screenshot(configurator.window).save_png(screenshot)
    configurator.close()


def startup(session):
    # A blank and a dollar in the path: both need the Desktop Entry quoting.
    program = program_in(session, "my $apps")
    os.makedirs(session.path("config", "autostart"))
    with open(autostart(session, "other.desktop"), "w") as f:
        f.write(entry_for("/usr/bin/true"))
    configurator = Configurator(session, program)

    configurator.click("LStart", dx=6)
    entry = wait_for(lambda: os.path.exists(autostart(session)) and read(autostart(session)), 5, "the autostart entry")
    expected = entry_for('"' + program.replace("$", "\\\\$") + '"')
    check(entry == expected, f"the autostart entry is\n{entry}\nnot\n{expected}")
    validation = subprocess.run(["desktop-file-validate", autostart(session)], capture_output=True, text=True)
    check(validation.returncode == 0 and not validation.stdout.strip(),
          f"desktop-file-validate: {validation.stdout}{validation.stderr}")
    wait_for(lambda: "[Startup]\r\nEnabled=True\r\n" in ini(session), 5, "Enabled=True in Config.ini")

    configurator.click("LStart", dx=6)
    wait_for(lambda: not os.path.exists(autostart(session)), 5, "the entry removed")
    wait_for(lambda: "[Startup]\r\nEnabled=False\r\n" in ini(session), 5, "Enabled=False in Config.ini")
    check(os.listdir(session.path("config", "autostart")) == ["other.desktop"], "clearing touched other entries")
    check(read(autostart(session, "other.desktop")) == entry_for("/usr/bin/true"), "another entry changed")
    configurator.close()


def reload(session):
    program = program_in(session, "bin")
    session.write_app_file("Config.ini", "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n")
    configurator = Configurator(session, program)
    # The load ran before the window showed, so the entry is there already.
    check(os.path.exists(autostart(session)), "the load did not write the autostart entry again")
    check(read(autostart(session)) == entry_for(program), f"the entry is {read(autostart(session))!r}")
    check(ini(session) == "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n", f"Config.ini is {ini(session)!r}")
    configurator.close()

    # "true" is not "True": unchecked, and an entry already there stays as it is.
    with open(autostart(session), "w") as f:
        f.write(entry_for("/usr/bin/true"))
    session.write_app_file("Config.ini", "[Startup]\r\nEnabled=true\r\n")
    configurator = Configurator(session, program)
    check(read(autostart(session)) == entry_for("/usr/bin/true"), "an unchecked load rewrote the entry")
    check(ini(session) == "[Startup]\r\nEnabled=true\r\n", "an unchecked load wrote the settings")
    configurator.close()


def stretch(session):
    configurator = Configurator(session)
    configurator.click("OStretch", dx=6)
    wait_for(lambda: ini(session) == "[VLMR]\r\nStyle=Stretch\r\n", 5, "Style=Stretch in Config.ini")
    configurator.click("OCenter", dx=6)
    wait_for(lambda: ini(session) == "[VLMR]\r\nStyle=Center\r\n", 5, "Style=Center in Config.ini")
    configurator.close()
    check(ini(session) == "[VLMR]\r\nStyle=Center\r\n", "closing changed the settings")


def chooser(session):
    pictures = session.path("my pictures")
    os.makedirs(pictures)
    configurator = Configurator(session)
    pid = configurator.process.pid

    def choose(keys):
        configurator.click("POpen")
        dialog = session.wait_window("Select Your Image Directory", pid)
        session.run("xdotool", "windowfocus", "--sync", str(dialog))
        for key in keys:
            session.run("xdotool", *key)
        wait_for(lambda: not session.windows("Select Your Image Directory", pid), 10, "the chooser closed")

    # A cancel first: an empty field, the title as it was.
    choose([("key", "Escape")])
    check(configurator.field_text() == "", "a cancel left text in the field")
    check(configurator.title() == TITLE, f"a cancel changed the title to {configurator.title()!r}")

    # The press effect: sunken while held, flat again once the chooser is up.
    flat = configurator.region("POpen")
    x, y = configurator.point("POpen")
    session.run("xdotool", "mousemove", str(x), str(y), "mousedown", "1")
    wait_for(lambda: configurator.region("POpen") != flat, 5, "the sunken edge")
    check(not session.windows("Select Your Image Directory", pid), "the chooser opened on the press")
    session.run("xdotool", "mouseup", "1")
    dialog = session.wait_window("Select Your Image Directory", pid)
    session.run("xdotool", "windowmove", "--sync", str(dialog), "0", "0")
    session.run("xdotool", "windowmove", "--sync", str(configurator.window), "900", "800")
    wait_for(lambda: configurator.region("POpen") == flat, 5, "the button flat while the chooser is open")
    session.run("xdotool", "windowfocus", "--sync", str(dialog))
    session.run("xdotool", "key", "ctrl+a")
    session.run("xdotool", "type", "--delay", "20", pictures)
    session.run("xdotool", "key", "Return")
    wait_for(lambda: not session.windows("Select Your Image Directory", pid), 10, "the chooser closed")
    wait_for(lambda: configurator.title() == REMINDER, 5, "the reminder in the title")
    check(configurator.field_text() == pictures, f"the field holds {configurator.field_text()!r}")

    # A cancel after a choice empties the field and keeps the reminder.
    choose([("key", "Escape")])
    check(configurator.field_text() == "", "a cancel after a choice left the old path")
    check(configurator.title() == REMINDER, "a cancel after a choice took the reminder away")
    configurator.close()


def options(session, screenshot=None):
    stored = "[VLMR]\r\nStyle=Tile\r\n[Options]\r\nProportions=Fill\r\n"
    session.write_app_file("Config.ini", stored)
    configurator = Configurator(session)
    pid = configurator.process.pid

    def open_options():
        window = session.wait_window(OPTIONS, pid)
        check(session.geometry(window)[2:] == (320, 204), f"the options window is {session.geometry(window)[2:]}")
        return window

    def click(window, control):
        left, top, _, _ = session.geometry(window)
        x, y, _, h = OPTION_PLACES[control]
        session.run("xdotool", "mousemove", str(left + x + 6), str(top + y + h // 2), "click", "1")

    session.press(configurator.window, "ctrl+o")
    window = open_options()
    check(ini(session) == stored, "opening the options window wrote the settings")
    click(window, "TJpeg")
    wait_for(lambda: ini(session) == stored + "Types=.JPG .JPEG\r\n", 5, "Types=.JPG .JPEG in Config.ini")
    if screenshot:
        def marked():
            shot = session.screenshot(window)
            x, y, _, h = OPTION_PLACES["TJpeg"]
            return shot if any(sum(shot.pixel(x + i, y + j)) < 100 for i in range(13) for j in range(h)) else None

        wait_for(marked, 5, "the black mark in the JPEG box").save_png(screenshot)
    session.press(window, "Escape")
    wait_for(lambda: not session.windows(OPTIONS, pid), 5, "the options window closed by Escape")

    # The background's menu opens it too: "Options..." is its first entry.
    left, top, _, _ = session.geometry(configurator.window)
    session.run("xdotool", "mousemove", str(left + 200), str(top + 96), "click", "3")
    session.wait_window("", pid)  # the menu: the one window of the program without a WM_NAME
    session.run("xdotool", "key", "Down", "Return")
    window = open_options()
    click(window, "NRepeat")
    wait_for(lambda: "NoRepeats=True\r\n" in ini(session), 5, "NoRepeats=True in Config.ini")
    click(window, "PMonitor")
    wait_for(lambda: "PerMonitor=True\r\n" in ini(session), 5, "PerMonitor=True in Config.ini")
    session.press(window, "Escape")
    wait_for(lambda: not session.windows(OPTIONS, pid), 5, "the options window closed")
    configurator.close()
    check(ini(session) == stored + "Types=.JPG .JPEG\r\nNoRepeats=True\r\nPerMonitor=True\r\n",
          f"Config.ini is {ini(session)!r}")


if __name__ == "__main__":
    scenario = sys.argv[1]
    with Session("1280x960x24" if scenario == "chooser" else "640x480x24") as s:
        if scenario in ("opens", "options"):
            {"opens": opens, "options": options}[scenario](s, sys.argv[2] if len(sys.argv) > 2 else None)
        else:
            {"startup": startup, "reload": reload, "stretch": stretch, "chooser": chooser}[scenario](s)
    print("passed")

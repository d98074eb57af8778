"""The run log of the real VLMR: what each course leaves in it, and in what order.

usage: test_log.py boot_run|second_instance|failed_handover|save|rollover|unwritable_log|race_late|race_never
"""
import os
import re
import subprocess
import sys
import time
import urllib.parse

from test_save import Save, successful_save, touch, walk_order
from vlmr_session import LOG_LINE, Session, check, finished, log_events, red, wait_for

VERSION = os.environ["VELMORA_VERSION"]
BOOT_RUN = f"VLMR {VERSION} started: boot run"
X11_ROOT = "the X root window's pixmap, because no known desktop, an X display DISPLAY={} and no Wayland one"
# Debian's python3, which has the dbus and gi modules the stand-in shell needs.
SYSTEM_PYTHON = "/usr/bin/python3"
FAKE_SHELL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "desktops", "kde_xfce", "fake_plasmashell.py")


def configure(session, image):
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("IPaths.dat", image + "\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")


def red_image(session):
    return session.make_image("red.bmp", "-size", "64x64", "xc:red", "-type", "TrueColor")


def boot(session, timeout=20):
    """A boot run to its end: (pid, stderr text); it must exit 0."""
    vlmr = session.start()
    code = finished(vlmr, timeout)
    err = vlmr.stderr.read().decode()
    check(code == 0, f"the boot run exited {code}: {err!r}")
    return vlmr.pid, err


def messages(events, pid):
    """The (level, message) pairs of the events, all of which must be the process's own."""
    check(all(p == pid for p, _, _ in events), f"a line without VLMR's pid {pid}: {events!r}")
    return [(level, message) for _, level, message in events]


def handover(image, desktop):
    """What a boot run in the style Stretch says from the style on, when the wallpaper is set."""
    return [("info", f"style Stretch; desktop: {desktop}"),
            ("info", "wallpaper service: read the desktop options: done"),
            ("info", "wallpaper service: set style 2: done"),
            ("info", f"wallpaper service: set file {image}: done"),
            ("info", "wallpaper service: apply: done"),
            ("info", f"wallpaper set: {image}")]


def one_entry(session, image):
    return [("info", BOOT_RUN), ("info", f"image list {session.app_folder}/IPaths.dat: 1 entries"),
            ("info", f"drawn entry 1 of 1: {image}")]


def full_log(session, size):
    """A log of earlier runs' lines, exactly `size` bytes; its bytes."""
    line = lambda width: ("2026-01-01 00:00:00 1 info " + "x" * width)[:width - 1] + "\n"
    text = (line(100) * (size // 100 - 1) + line(100 + size % 100)).encode()
    os.makedirs(os.path.dirname(session.log_file), exist_ok=True)
    with open(session.log_file, "wb") as f:
        f.write(text)
    return text


def read(path):
    with open(path, "rb") as f:
        return f.read()


def boot_run(session):
    image = red_image(session)
    configure(session, image)
    pid, err = boot(session)
    said = messages(session.log(), pid)
    expected = one_entry(session, image) + handover(image, X11_ROOT.format(session.env["DISPLAY"]))
    check(said == expected, f"the log says\n{said!r}\nnot\n{expected!r}")
    check(err == read(session.log_file).decode(), f"stderr is not the log's lines: {err!r}")


def second_instance(session):
    # A full log, which only the copy that holds the lock may move aside.
    first = session.start("Config")
    session.wait_window("Velmora Configurator", first.pid)
    earlier = full_log(session, 1024 * 1024 + 1)
    second = session.start()
    box = session.wait_window("Velmora", second.pid)
    session.press(box, "Return")
    check(finished(second) == 0, "the refused start did not exit 0")
    check(not os.path.exists(session.log_file + ".1"), "the refused start moved the log aside")
    now = read(session.log_file)
    check(now.startswith(earlier), "the refused start changed the earlier lines")
    said = log_events(now[len(earlier):].decode())
    check(said == [(second.pid, "info", f"VLMR {VERSION} started; another copy is running, so this one ends")],
          f"the refused start says {said!r}")
    check(first.poll() is None, "the first instance ended")


def failed_handover(session):
    # A name with no file, and a file that is no picture: each says why, ends, and changes nothing.
    broken = session.path("broken.bmp")
    with open(broken, "w") as f:
        f.write("no picture at all\n")
    before = session.screenshot()
    for image, reason in [(session.path("gone.bmp"), "no such file"), (broken, r".+")]:
        configure(session, image)
        pid, _ = boot(session)
        said = [(level, message) for p, level, message in session.log() if p == pid]
        check(said[:4] == one_entry(session, image) + handover(image, X11_ROOT.format(session.env["DISPLAY"]))[:1],
              f"the run before the hand-over: {said!r}")
        refusals = [m for level, m in said if level == "error" and m.startswith("the wallpaper stays as it was; ")]
        check(len(refusals) == 1 and re.fullmatch(re.escape(f"the wallpaper stays as it was; {image}: ") + reason,
                                                  refusals[0]), f"not one reason for {image}: {said!r}")
        check(said[-1] == ("error", "wallpaper service: apply: failed"), f"the log ends {said[-1]!r}")
        check(not any(m.startswith("wallpaper set") for _, m in said), "a refused picture counted as set")
        wait_for(lambda: not session.windows("", pid), what="the banner to go")
        check(session.screenshot().data == before.data, f"the screen changed for {image}")


def save(session):
    folder = session.path("pics")
    touch(os.path.join(folder, "a.bmp"), os.path.join(folder, "deeper", "b.BMP"))
    configurator = Save(session)
    configurator.choose(folder)
    successful_save(configurator, folder, walk_order(folder))
    said = [(level, re.sub(r" in \d+\.\d\d s$", " in T s", message))
            for level, message in messages(session.log(), configurator.process.pid)]
    expected = [("info", f"VLMR {VERSION} started: configurator"), ("info", f"save: folder {folder}"),
                ("info", "save: 2 images found in T s"),
                ("info", f"save: 2 images written to {session.app_folder}/IPaths.dat")]
    check(said == expected, f"the save's log says\n{said!r}\nnot\n{expected!r}")


def rollover(session):
    image = red_image(session)
    configure(session, image)
    # At exactly the limit the log is kept and this run's lines are added.
    at_limit = full_log(session, 1024 * 1024)
    pid, _ = boot(session)
    check(not os.path.exists(session.log_file + ".1"), "a log of exactly 1 MiB was moved aside")
    grown = read(session.log_file)
    check(grown.startswith(at_limit) and log_events(grown[len(at_limit):].decode())[0] == (pid, "info", BOOT_RUN),
          "the run's lines were not added to the log at the limit")

    # Now past it: moved aside whole, and the new log holds this run alone.
    with open(session.log_file + ".1", "wb") as f:
        f.write(b"an older .1, which goes\n")
    pid, _ = boot(session)
    check(read(session.log_file + ".1") == grown, "VLMR.log.1 is not the full log byte for byte")
    said = messages(session.log(), pid)
    check(said[:2] == [("info", "the log passed 1048576 bytes; the earlier lines are in its .1 file"),
                       ("info", BOOT_RUN)] and said[-1] == ("info", f"wallpaper set: {image}"),
          f"the new log: {said!r}")


def unwritable_log(session):
    # The log's folder is a file: neither the boot run nor a save may suffer from it.
    with open(session.path("state", "velmora"), "w") as f:
        f.write("in the way\n")
    image = red_image(session)
    configure(session, image)
    pid, err = boot(session)
    wait_for(lambda: not session.windows("", pid), what="the banner to go")
    shot = session.screenshot()
    for point in [(0, 0), (shot.width // 2, shot.height // 2), (shot.width - 1, shot.height - 1)]:
        check(red(shot.pixel(*point)), f"{point} is {shot.pixel(*point)}: the wallpaper was not set")
    said = unwritable_said(session, err)
    check(said[0] == ("info", BOOT_RUN) and said[-1] == ("info", f"wallpaper set: {image}"), f"stderr: {said!r}")

    folder = session.path("pics")
    touch(os.path.join(folder, "a.bmp"))
    configurator = Save(session)
    configurator.choose(folder)
    successful_save(configurator, folder, walk_order(folder))
    said = unwritable_said(session, configurator.process.stderr.read().decode())
    check(said[-1] == ("info", f"save: 1 images written to {session.app_folder}/IPaths.dat"), f"stderr: {said!r}")


def unwritable_said(session, err):
    """The log lines on stderr, which must carry one word, and one only, on the unwritable log."""
    lines = err.splitlines()
    notes = [line for line in lines if not LOG_LINE.match(line)]
    check(len(notes) == 1 and re.fullmatch(re.escape(f"VLMR: the log {session.log_file} cannot be written (") +
                                           r".+\); its lines go to stderr only", notes[0]),
          f"stderr does not say once that the log cannot be written: {notes!r}")
    return [(level, message) for _, level, message in log_events("\n".join(l for l in lines if l not in notes))]


# --- KDE Plasma at logon: a shell that comes late, or never ---

def plasma_session(session, image):
    """A private session bus under XDG_CURRENT_DESKTOP=KDE; the folder the stand-in shell records into."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=session.env,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    session.processes.append(bus)
    address = bus.stdout.readline().decode().strip()
    check(address, f"dbus-daemon did not start: {address or bus.stderr.read()!r}")
    session.env.update(XDG_CURRENT_DESKTOP="KDE", DBUS_SESSION_BUS_ADDRESS=address)
    configure(session, image)
    scripts = session.path("scripts")
    os.makedirs(scripts)
    return scripts


def race_late(session):
    image = red_image(session)
    scripts = plasma_session(session, image)
    vlmr = session.start()
    time.sleep(3)
    check(vlmr.poll() is None, "VLMR ended before plasmashell came")
    check(session.banners(vlmr.pid), "the banner is not up while VLMR waits for plasmashell")
    # The shell owns its name a second before it takes scripts, as a starting one does.
    shell = subprocess.Popen([SYSTEM_PYTHON, FAKE_SHELL, scripts, "late"], env=session.env, stdout=subprocess.PIPE)
    session.processes.append(shell)
    check(shell.stdout.readline() == b"ready\n", "the stand-in plasmashell did not start")
    code = finished(vlmr, 60)
    check(code == 0, f"VLMR exited {code}: {vlmr.stderr.read()!r}")
    check(os.listdir(scripts) == ["script-1.js"], f"the shell got {os.listdir(scripts)}")
    with open(os.path.join(scripts, "script-1.js"), encoding="utf-8") as f:
        script = f.read()
    url = "file://" + urllib.parse.quote(image, safe="/")
    check(f"var image = '{url}';" in script and "var fillMode = 0;" in script, f"the script: {script!r}")
    said = messages(session.log(), vlmr.pid)
    expected = one_entry(session, image) + handover(
        image, "a script to org.kde.plasmashell on the session bus, because XDG_CURRENT_DESKTOP=KDE")
    check(said == expected, f"the log says\n{said!r}\nnot\n{expected!r}")


def race_never(session):
    plasma_session(session, red_image(session))
    started = time.monotonic()
    vlmr = session.start()
    code = finished(vlmr, 60)
    waited = time.monotonic() - started
    check(code == 0, f"VLMR exited {code}")
    # The bound of its wait for the shell, not a measure of speed.
    check(29 <= waited < 60, f"VLMR ended after {waited:.1f} s, not after its 30 s wait")
    said = messages(session.log(), vlmr.pid)
    check(said[-2:] == [
        ("error", "the wallpaper stays as it was; org.kde.plasmashell did not appear on the session bus within 30 s"),
        ("error", "wallpaper service: not available, so the wallpaper stays as it was")], f"the log ends {said!r}")


if __name__ == "__main__":
    with Session("640x480x24") as s:
        {"boot_run": boot_run, "second_instance": second_instance, "failed_handover": failed_handover,
         "save": save, "rollover": rollover, "unwritable_log": unwritable_log, "race_late": race_late,
         "race_never": race_never}[sys.argv[1]](s)
    print("passed")

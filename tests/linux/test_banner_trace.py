"""A boot run's X protocol, recorded by xtrace: the banner is mapped and drawn,
and the server has taken both, before the first request that builds the new
root pixmap. The requests of all connections are read in the order xtrace
forwarded them.

usage: test_banner_trace.py
"""
import os
import re
import subprocess
import sys
from collections import namedtuple

from vlmr_session import VLMR, Session, check

SCREEN = (1920, 1080)
BANNER = (3675 // 15, 750 // 15)  # the banner's 3675 x 750 twips, in pixels

# "000:<:0013: 16: Request(53): CreatePixmap depth=0x18 pid=0x00200001 ..."; an
# extension's request reads "MIT-SHM-Request(130,3): PutImage ...".
REQUEST = re.compile(r"^(\d+):<:([0-9a-f]+):\s*\d+: (?:.*-)?Request\([\d,]+\): (\w+)(.*)$")
REPLY = re.compile(r"^(\d+):>:([0-9a-f]+):\s*\d+: Reply to ")
# The requests that put pixels into a drawable.
PAINTS = {"PutImage", "CopyArea", "CopyPlane", "PolyPoint", "PolyLine", "PolySegment", "PolyRectangle",
          "PolyArc", "FillPoly", "PolyFillRectangle", "PolyFillArc", "PolyText8", "PolyText16",
          "ImageText8", "ImageText16"}


Request = namedtuple("Request", "line connection sequence name args")
Reply = namedtuple("Reply", "line connection sequence")


def field(args, name):
    """A request's field; 'drawable' is not read from 'dst-drawable'."""
    match = re.search(r"(?:^|[\s{,])" + name + r"=([^\s,}]+)", args)
    return match[1] if match else None


def free_display():
    """A display number no X server uses, held by a lock file as X servers hold
    theirs, so that no Xvfb of a test beside this one takes it."""
    for number in range(64, 1000):
        if os.path.exists(f"/tmp/.X11-unix/X{number}"):
            continue
        try:
            lock = os.open(f"/tmp/.X{number}-lock", os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o444)
        except FileExistsError:
            continue
        os.write(lock, b"%10d\n" % os.getpid())
        os.close(lock)
        return number
    raise RuntimeError("no free X display number for xtrace")


def traced_boot_run(session, trace_file):
    """The boot run under xtrace; xtrace ends with the program and returns its code."""
    number = free_display()
    try:
        done = subprocess.run(["xtrace", "-n", "-d", session.env["DISPLAY"], "-D", f":{number}",
                               "-o", trace_file, "--", VLMR], env=session.env, capture_output=True,
                              text=True, timeout=50)
    finally:
        # xtrace leaves its socket behind.
        for path in (f"/tmp/.X11-unix/X{number}", f"/tmp/.X{number}-lock"):
            if os.path.exists(path):
                os.remove(path)
    check(done.returncode == 0, f"the traced boot run exited {done.returncode}: {done.stderr!r}")


def check_order(lines):
    requests, replies = [], []
    for index, line in enumerate(lines):
        if match := REQUEST.match(line):
            requests.append(Request(index, match[1], int(match[2], 16), match[3], match[4]))
        elif match := REPLY.match(line):
            replies.append(Reply(index, match[1], int(match[2], 16)))
    shown = set()  # indices of the trace lines for the failure message
    show = shown.add

    def require(condition, what):
        check(condition, f"{what}; the relevant trace lines:\n" +
              "\n".join(f"{i + 1}: {lines[i][:260]}" for i in sorted(shown)))

    root = re.search(r"roots=\{root=(0x[0-9a-f]+)", "\n".join(lines[:3]))
    check(root, "no root window in the trace's first connection setup")
    root = root[1]

    def sized(args, size):
        return (field(args, "width"), field(args, "height")) == tuple(map(str, size))

    windows = [r for r in requests if r.name == "CreateWindow" and sized(r.args, BANNER)]
    for r in windows:
        show(r.line)
    require(len(windows) == 1, f"not one CreateWindow of {BANNER[0]} x {BANNER[1]}")
    connection, window = windows[0].connection, field(windows[0].args, "window")

    builds = [r for r in requests if r.name == "CreatePixmap" and sized(r.args, SCREEN)]
    roots = [r for r in requests if r.name == "ChangeProperty" and field(r.args, "window") == root
             and '"_XROOTPMAP_ID"' in (field(r.args, "property") or "")]
    for r in builds[:1] + roots:
        show(r.line)
    require(roots, "the root pixmap was never set (no ChangeProperty _XROOTPMAP_ID on the root)")
    root_pixmap = (field(roots[-1].args, "data") or "").rstrip(";")
    require(any(field(r.args, "pid") == root_pixmap for r in builds),
            f"the root pixmap {root_pixmap} is not one made at the screen's size")
    first_build = builds[0].line

    ours = [r for r in requests if r.connection == connection]
    maps = [r for r in ours if r.name == "MapWindow" and field(r.args, "window") == window]
    for r in maps[:1]:
        show(r.line)
    require(maps, f"the banner {window} is never mapped")
    mapped = maps[0]
    # The picture reaches the window through its background pixmap, which the
    # server paints as it maps the window, or by drawing on the mapped window.
    backgrounds = {field(r.args, "background-pixmap") for r in ours if r.line < mapped.line
                   and r.name in ("CreateWindow", "ChangeWindowAttributes") and field(r.args, "window") == window}
    backgrounds.discard(None)
    paints = [r for r in ours if r.name in PAINTS and r.line < first_build
              and (field(r.args, "drawable") or field(r.args, "dst-drawable"))
              in (backgrounds if r.line < mapped.line else {window})]
    for r in paints:
        show(r.line)
    require(paints, "nothing puts the banner's picture on it before the new root pixmap is begun "
            f"(its background pixmaps: {sorted(backgrounds)})")
    last = max(mapped, paints[-1])
    require(last.line < first_build, "the banner is mapped after the new root pixmap is begun")
    # Sent is not done: a reply to a later request of the banner's connection
    # says the server has carried out the map and the drawing.
    taken = [r for r in replies if r.connection == connection and r.sequence >= last.sequence]
    for r in taken[:1]:
        show(r.line)
    require(taken and taken[0].line < first_build,
            "the server had not answered the banner's connection after its map and drawing "
            "before the new root pixmap was begun")


def main():
    with Session(f"{SCREEN[0]}x{SCREEN[1]}x24") as session:
        image = session.make_image("big.bmp", "-size", f"{SCREEN[0]}x{SCREEN[1]}", "gradient:red-blue",
                                   "-type", "TrueColor")
        session.write_app_file("Installed", "07/12/2026\r\n")
        session.write_app_file("IPaths.dat", image + "\r\n")
        session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
        trace_file = session.path("trace.txt")
        traced_boot_run(session, trace_file)
        with open(trace_file, encoding="utf-8", errors="replace") as trace:
            check_order(trace.read().splitlines())


if __name__ == "__main__":
    main()
    print("passed")

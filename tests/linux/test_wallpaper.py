"""A configured boot run paints the root window, then the program exits 0.

usage: test_wallpaper.py stretch|center|tile|fit|lowercase|named_desktop|no_repeats|per_monitor
"""
import sys

from vlmr_session import Session, check, finished, red, wait_for

RED, BLUE = (255, 0, 0), (0, 0, 255)


def boot_run(session, image, style, options=""):
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("IPaths.dat", image + "\r\n")
    session.write_app_file("Config.ini", f"[VLMR]\r\nStyle={style}\r\n{options}")
    vlmr = session.start()
    code = finished(vlmr)
    check(code == 0, f"boot run exited {code}: {vlmr.stderr.read()!r}")
    # The server may still be taking the banner down.
    wait_for(lambda: not session.windows("", vlmr.pid), what="the banner to go")
    return session.screenshot()


def stretch(session):
    image = session.make_image("red.bmp", "-size", "64x64", "xc:red", "-type", "TrueColor")
    shot = boot_run(session, image, "Stretch")
    w, h = shot.width - 1, shot.height - 1
    for point in [(0, 0), (w, 0), (0, h), (w, h), (w // 2, h // 2), (w // 3, 2 * h // 3), (w, h // 2)]:
        check(red(shot.pixel(*point)), f"{point} is {shot.pixel(*point)}, not red")


def center(session):
    image = session.make_image("red.bmp", "-size", "64x64", "xc:red", "-type", "TrueColor")
    shot = boot_run(session, image, "Center")
    cx, cy = shot.width // 2, shot.height // 2
    # The 64 x 64 picture covers exactly [cx-32, cx+32) x [cy-32, cy+32).
    for point in [(cx, cy), (cx - 32, cy - 32), (cx + 31, cy + 31)]:
        check(red(shot.pixel(*point)), f"{point} inside the picture is {shot.pixel(*point)}")
    w, h = shot.width - 1, shot.height - 1
    for point in [(0, 0), (w, 0), (0, h), (w, h), (cx - 33, cy), (cx + 32, cy), (cx, cy - 33), (cx, cy + 32)]:
        check(not red(shot.pixel(*point)), f"{point} outside the picture is red")


def tile(session):
    # Red on the diagonal, blue off it: the checker repeats from the top-left corner.
    image = session.make_image("checker.bmp", "-size", "2x2", "xc:red", "-fill", "blue",
                               "-draw", "point 1,0", "-draw", "point 0,1", "-type", "TrueColor")
    shot = boot_run(session, image, "Tile")
    for x, y in [(0, 0), (1, 0), (0, 1), (1, 1), (101, 57), (160, 120), (shot.width - 1, shot.height - 1),
                 (shot.width - 2, 3), (7, shot.height - 2)]:
        expected = RED if (x + y) % 2 == 0 else BLUE
        check(shot.pixel(x, y) == expected, f"({x},{y}) is {shot.pixel(x, y)}, expected {expected}")


def fit(session):
    # 64 x 32 on 320 x 240: 320 x 160 in rows 40 to 199, black bars above and below.
    image = session.make_image("wide.bmp", "-size", "64x32", "xc:red", "-type", "TrueColor")
    shot = boot_run(session, image, "Stretch", "[Options]\r\nProportions=Fit\r\n")
    for point in [(0, 40), (160, 120), (319, 199)]:
        check(red(shot.pixel(*point)), f"{point} inside the picture is {shot.pixel(*point)}")
    for point in [(0, 0), (160, 39), (160, 200), (319, 239)]:
        check(shot.pixel(*point) == (0, 0, 0), f"{point} in a bar is {shot.pixel(*point)}, not black")


def unchanged(session, style):
    image = session.make_image("red.bmp", "-size", "64x64", "xc:red", "-type", "TrueColor")
    before = session.screenshot()
    after = boot_run(session, image, style)
    check(before.data == after.data, f"the root window changed (style {style!r})")


def lowercase(session):
    unchanged(session, "stretch")


def named_desktop(session):
    # On GNOME the wallpaper goes to GSettings, not to the root window. The
    # keyfile backend keeps it inside this test's own config folder.
    session.env.update(XDG_CURRENT_DESKTOP="ubuntu:GNOME", GSETTINGS_BACKEND="keyfile")
    session.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    unchanged(session, "Stretch")
    keyfile = session.path("config", "glib-2.0", "settings", "keyfile")
    with open(keyfile, encoding="utf-8") as f:
        settings = f.read()
    uri = "file://" + session.path("red.bmp")
    check(f"picture-uri='{uri}'" in settings, f"no picture-uri for the image in {settings!r}")
    check("picture-options='stretched'" in settings, f"not stretched: {settings!r}")


def no_repeats(session):
    """Two boot runs with NoRepeats on a list of two show both pictures, and keep the
    round's state in Shown.dat."""
    red = session.make_image("red.bmp", "-size", "8x8", "xc:red", "-type", "TrueColor")
    blue = session.make_image("blue.bmp", "-size", "8x8", "xc:blue", "-type", "TrueColor")
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("IPaths.dat", f"{red}\r\n{blue}\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nNoRepeats=True\r\n")
    shown = set()
    for _ in range(2):
        vlmr = session.start()
        check(finished(vlmr) == 0, f"boot run exited {vlmr.returncode}: {vlmr.stderr.read()!r}")
        wait_for(lambda: not session.windows("", vlmr.pid), what="the banner to go")
        shot = session.screenshot()
        shown.add(shot.pixel(shot.width // 2, shot.height // 2))
    check(shown == {RED, BLUE}, f"two runs showed {shown}")
    with open(session.path("config", "velmora", "Shown.dat"), "rb") as f:
        state = f.read()
    check(len(state) == 69 and state.endswith(b"\r\n"), f"Shown.dat holds {state!r}")


def split_screen(session):
    """The 320 x 240 screen as two RandR monitors side by side, A left and B right."""
    session.run("xrandr", "--setmonitor", "A", "160/42x240/64+0+0", "screen")
    session.run("xrandr", "--setmonitor", "B", "160/42x240/64+160+0", "none")


def per_monitor(session):
    """Two boot runs with PerMonitor and NoRepeats on a list of four: each run gives each
    half a picture of its own, and the two runs show all four."""
    split_screen(session)
    colours = {"red": RED, "blue": BLUE, "lime": (0, 255, 0), "yellow": (255, 255, 0)}
    images = [session.make_image(f"{name}.bmp", "-size", "8x8", f"xc:{name}", "-type", "TrueColor")
              for name in colours]
    shown = []
    for _ in range(2):
        shot = boot_run(session, "\r\n".join(images), "Stretch",
                        "[Options]\r\nPerMonitor=True\r\nNoRepeats=True\r\n")
        halves = [{shot.pixel(x, y) for x in range(left, left + 160, 53) for y in (0, 119, 239)}
                  for left in (0, 160)]
        check(all(len(half) == 1 and half <= set(colours.values()) for half in halves),
              f"a half is not one of the pictures: {halves}")
        check(halves[0] != halves[1], f"both halves show {halves[0]}")
        shown += [half.pop() for half in halves]
    check(sorted(shown) == sorted(colours.values()), f"two runs showed {shown}")
    said = [message for _, _, message in session.log()]
    for monitor in ("A 160x240+0+0", "B 160x240+160+0"):
        check(sum(m.startswith(f"wallpaper set on monitor {monitor}: ") for m in said) == 2,
              f"monitor {monitor} is not set twice in the log: {said}")


if __name__ == "__main__":
    with Session() as s:
        {"stretch": stretch, "center": center, "tile": tile, "fit": fit, "lowercase": lowercase,
         "named_desktop": named_desktop, "no_repeats": no_repeats, "per_monitor": per_monitor}[sys.argv[1]](s)
    print("passed")

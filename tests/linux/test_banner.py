"""The banner window read back from the X server: size, place, picture, icon.

usage: test_banner.py BANNER_PICTURE SCREENSHOT_PNG
"""
import subprocess
import sys

from vlmr_session import CONVERT, Picture, Session, check, wait_for

WHITE = (255, 255, 255)


def load_reference(path):
    """The banner picture as it must appear: flattened on white."""
    xwd = subprocess.run([CONVERT, path, "-background", "white", "-flatten", "xwd:-"],
                         capture_output=True, check=True).stdout
    return Picture(xwd)


def main(banner_picture, screenshot_png):
    reference = load_reference(banner_picture)
    check((reference.width, reference.height) == (245, 32), "the banner picture is not 245 x 32")
    with Session() as session:
        vlmr = session.start()  # not configured: the banner stays up behind "Please Configure"
        box = session.wait_window("Velmora", vlmr.pid)
        banner = wait_for(lambda: session.banners(vlmr.pid), what="the banner")[0]
        names = session.run("xprop", "-id", str(banner), "WM_NAME", "_NET_WM_NAME")
        check(names.count("not found") == 2, f"the banner has a caption: {names!r}")
        x, y, _, _ = session.geometry(banner)
        check(abs(x - (320 - 245) / 2) <= 1 and abs(y - (240 - 50) / 2) <= 1, f"banner at {x},{y}, not centred")
        icons = session.run("xprop", "-len", "10000000", "-id", str(banner), "_NET_WM_ICON")
        for size in (16, 32, 48, 256):
            check(f"Icon ({size} x {size})" in icons, f"the window has no {size} pixel icon")

        # The box is centred over the banner; move it aside so the banner is
        # repainted whole, then read the banner window itself.
        session.run("xdotool", "windowmove", str(box), "0", "0")

        def banner_painted():
            shot = session.screenshot(banner)
            return shot if all(shot.pixel(px, py) == reference.pixel(px, py)
                               for px in range(245) for py in range(32)) else None

        shot = wait_for(banner_painted, 10, "the banner picture at the top left")
        check((shot.width, shot.height) == (245, 50), f"the banner window is {shot.width} x {shot.height}")
        strip = [(px, py) for px in range(245) for py in range(32, 50) if shot.pixel(px, py) != WHITE]
        check(not strip, f"the strip below the picture is not white at {strip[:3]}")
        shot.save_png(screenshot_png)
        vlmr.kill()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
    print("passed")

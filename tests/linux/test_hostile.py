"""Hostile input: files that are not what they seem, broken pictures, names no list can
hold. Every row must end in bounded time with its stated outcome; each row's time and
peak memory are printed.

usage: test_hostile.py boot | save
"""
import os
import resource
import subprocess
import sys
import time

from test_configurator import ini
from test_save import Save, app_file, image_list
from vlmr_session import Session, check, wait_for

ROW_TIMEOUT = 20  # seconds a row may take, box included


def bmp(width, height, pixels=None):
    """A 24-bit bottom-up BMP; `pixels` (the pixel bytes) may be cut short or left out."""
    stride = (width * 3 + 3) & ~3
    full = (b"\x00\x00\xff" * width + b"\x00" * (stride - width * 3)) * height  # red
    data = full if pixels is None else pixels
    header = b"BM" + (54 + len(full)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 24
    return header + info + data


RED_BMP = bmp(16, 16)


def sparse(path, size):
    with open(path, "wb") as f:
        f.truncate(size)


def run_to_end(session, process, box_text=None):
    """Waits for the process (answering the one box it may show) and returns its exit
    code, seconds and peak memory in MiB."""
    start = time.monotonic()
    box = None
    while True:
        pid, status, usage = os.wait4(process.pid, os.WNOHANG)
        if pid:
            process.returncode = os.waitstatus_to_exitcode(status)
            return process.returncode, time.monotonic() - start, usage.ru_maxrss / 1024
        if time.monotonic() - start > ROW_TIMEOUT:
            process.kill()
            raise AssertionError(f"still running after {ROW_TIMEOUT} s")
        if box_text and box is None and session.windows("Velmora", process.pid):
            box = session.windows("Velmora", process.pid)[0]
            shown = session.message_text(box)
            check(shown == box_text, f"the box says {shown!r}, expected {box_text!r}")
            session.press(box, "Return")
        time.sleep(0.02)


# Each row: (name, the file to spoil, how, expected outcome). The setup is a configured
# boot run: the marker, Style=Stretch, and a list naming one red bitmap. The rows that
# show the picture come last, so a row that wrongly sets it cannot hide behind them.
def fifo(path):
    os.mkfifo(path)


def link_to(target):
    return lambda path: os.symlink(target, path)


def replace(make):
    def spoil(path):
        os.remove(path)
        make(path)
    return spoil


def entry(session, make):
    """The list names one file, made by `make`."""
    def spoil(_):
        target = session.path("pictures", "entry.bmp")
        make(target)
        with open(app_file(session, "IPaths.dat"), "wb") as f:
            f.write(target.encode() + b"\r\n")
    return spoil


def dotfiles(session, name):
    """The file lives in a dotfiles folder; the application folder holds a link to it."""
    def spoil(path):
        os.makedirs(session.path("dotfiles"), exist_ok=True)
        moved = session.path("dotfiles", name)
        os.replace(path, moved)
        os.symlink(moved, path)
    return spoil


def write_bytes(data):
    def make(path):
        with open(path, "wb") as f:
            f.write(data)
    return make


NOT_CONFIGURED, NOTHING_SET, SHOWN = "not configured", "nothing set", "shown"


def rows(session):
    latin1 = os.path.join(session.path("pictures").encode(), b"caf\xe9.bmp")
    return [
        ("list is a FIFO", "IPaths.dat", replace(fifo), NOT_CONFIGURED),
        ("list is a device", "IPaths.dat", replace(link_to("/dev/zero")), NOT_CONFIGURED),
        ("list is a folder", "IPaths.dat", replace(os.mkdir), NOT_CONFIGURED),
        ("list is 2 GiB sparse", "IPaths.dat", lambda p: sparse(p, 2 << 30), NOT_CONFIGURED),
        ("list is 1 TiB sparse", "IPaths.dat", lambda p: sparse(p, 1 << 40), NOT_CONFIGURED),
        ("settings are a FIFO", "Config.ini", replace(fifo), NOTHING_SET),
        ("settings are over 1 MiB", "Config.ini",
         write_bytes(b"[VLMR]\r\nStyle=Stretch\r\n" + b";" * (2 << 20)), NOTHING_SET),
        ("entry is a FIFO", None, entry(session, fifo), NOTHING_SET),
        ("entry is a folder", None, entry(session, os.mkdir), NOTHING_SET),
        ("entry is a truncated BMP", None, entry(session, write_bytes(RED_BMP[:400])), NOTHING_SET),
        ("entry's header claims more pixels", None,
         entry(session, write_bytes(bmp(4096, 4096, RED_BMP[54:]))), NOTHING_SET),
        ("entry's name is Latin-1", None,
         lambda _: (write_bytes(RED_BMP)(latin1), write_bytes(latin1 + b"\r\n")(app_file(session, "IPaths.dat"))),
         SHOWN),
        ("settings are a link", "Config.ini", dotfiles(session, "Config.ini"), SHOWN),
        ("list is a link", "IPaths.dat", dotfiles(session, "IPaths.dat"), SHOWN),
    ]


def prepare(session):
    for name in os.listdir(session.app_folder) if os.path.isdir(session.app_folder) else []:
        path = app_file(session, name)
        os.remove(path) if not os.path.isdir(path) or os.path.islink(path) else os.rmdir(path)
    os.makedirs(session.path("pictures"), exist_ok=True)
    red = session.path("pictures", "red.bmp")
    write_bytes(RED_BMP)(red)
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    session.write_app_file("IPaths.dat", red + "\r\n")


def boot(session):
    failures = []
    for name, file, spoil, outcome in rows(session):
        prepare(session)
        spoil(app_file(session, file) if file else None)
        before = session.screenshot()
        vlmr = session.start()
        try:
            code, seconds, mib = run_to_end(session, vlmr, "Velmora Is NOT Configured" if outcome == NOT_CONFIGURED
                                            else None)
            shot = session.screenshot()
            centre = shot.pixel(shot.width // 2, shot.height // 2)
            check(code == 0, f"exit code {code}")
            if outcome == SHOWN:
                check(centre == (255, 0, 0), f"the root shows {centre}, not the red picture")
            else:
                check(shot.data == before.data, "the root changed")
            print(f"{name}: {outcome} in {seconds:.2f} s, peak {mib:.0f} MiB")
        except AssertionError as error:
            failures.append(f"{name}: {error}; stderr {vlmr.stderr.read()[-300:]!r}")
        finally:
            for path in (session.path("pictures"), session.path("dotfiles")):
                subprocess.run(["rm", "-rf", path], check=True)
    check(not failures, "\n".join(failures))


def save(session):
    """Names a line-based list cannot hold are passed by; bytes that are no UTF-8 travel
    unchanged; a linked settings file stays a link."""
    folder = session.path("pictures").encode()
    os.makedirs(folder)
    kept = [os.path.join(folder, b"caf\xe9.bmp"), os.path.join(folder, b"ok.bmp")]
    for name in [b"caf\xe9.bmp", b"ok.bmp", b"two\nlines.bmp", b"dos\r\nend.bmp", b"cr\r.bmp"]:
        write_bytes(RED_BMP)(os.path.join(folder, name))
    os.makedirs(session.path("dotfiles"))
    write_bytes(b"")(session.path("dotfiles", "Config.ini"))
    os.makedirs(session.app_folder, exist_ok=True)
    os.symlink(session.path("dotfiles", "Config.ini"), app_file(session, "Config.ini"))

    configurator = Save(session)
    configurator.choose(session.path("pictures"))
    wait_for(lambda: "Style=Stretch" in ini(session), 15, "Style=Stretch in Config.ini")
    configurator.click("PSave")
    configurator.dismiss(configurator.message("VLMR", "2 Images Found"))
    configurator.answer("VLMR", "Velmora Must Be Restarted")
    check(configurator.process.wait(20) == 0, "the save did not end with 0")
    listed = image_list(session).split(b"\r\n")
    check(sorted(listed[:-1]) == sorted(kept) and listed[-1] == b"", f"IPaths.dat holds {listed!r}")
    check(os.path.islink(app_file(session, "Config.ini")), "the settings link was replaced by a file")
    check(b"Path=" in open(session.path("dotfiles", "Config.ini"), "rb").read(), "the link's target lacks Path")
    leftovers = [n for n in os.listdir(session.app_folder) + os.listdir(session.path("dotfiles")) if ".tmp" in n]
    check(not leftovers, f"temporary files left: {leftovers}")


if __name__ == "__main__":
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    with Session("640x480x24") as s:
        {"boot": boot, "save": save}[sys.argv[1]](s)
    print("passed")

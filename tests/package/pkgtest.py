"""Shared pieces of the package tests: steps and their tally, a private X
server, screenshots and closing a window the way a window manager does."""
import ctypes
import os
import re
import subprocess
import sys
import tempfile
import time
import traceback

CONVERT = "/usr/bin/convert"  # the real ImageMagick, not a stand-in


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def wait_for(predicate, timeout, what):
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failed(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.2)


def run_status(command, **kwargs):
    """(status, stdout, stderr) of a command. The output goes through files,
    not pipes: a daemon the command leaves behind (wineserver -p, Wine's
    services) would hold a pipe open for ever."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, stdout=out, stderr=err, stdin=subprocess.DEVNULL, **kwargs).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read().decode(errors="replace"), err.read().decode(errors="replace")


def run(command, check_status=True, **kwargs):
    """Runs a command, returns its stdout; a non-zero status fails the step."""
    status, stdout, stderr = run_status(command, **kwargs)
    if check_status and status != 0:
        raise Failed(f"{' '.join(map(str, command))} exited {status}:\n{stdout}{stderr}")
    return stdout


class Suite:
    """Steps run in order; after the first failure the rest are skipped,
    since each builds on the ones before. Results go to stdout and, one
    line each, to the file named by PACKAGE_TEST_RESULTS."""

    def __init__(self, name):
        self.name = name
        self.failed = False
        self.results = []

    def step(self, title, function, *args):
        if self.failed:
            self._record("SKIP", title)
            return None
        started = time.monotonic()
        try:
            value = function(*args)
        except Failed as error:
            self.failed = True
            self._record("FAIL", title, str(error))
            return None
        except Exception:  # a broken test is a failure too, with its trace
            self.failed = True
            self._record("FAIL", title, traceback.format_exc())
            return None
        self._record("PASS", title, f"{time.monotonic() - started:.1f} s")
        return value

    def _record(self, status, title, detail=""):
        line = f"{status} {self.name}: {title}"
        print(line + (f" ({detail})" if status == "PASS" and detail else ""), flush=True)
        if status == "FAIL":
            print("  " + detail.replace("\n", "\n  "), flush=True)
        self.results.append(status)
        results = os.environ.get("PACKAGE_TEST_RESULTS")
        if results:
            with open(results, "a", encoding="utf-8") as f:
                f.write(f"{status} {self.name}: {title}\n")

    def exit(self):
        sys.exit(1 if self.failed else 0)


class Xvfb:
    """A private X server on a free display. -noreset: the root window keeps
    its background when the last client leaves."""

    def __init__(self, screen="320x240x24"):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                                         "-screen", "0", screen], pass_fds=[write_end],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def close(self):
        self.process.terminate()
        self.process.wait()

    def windows(self, title):
        """Ids of the mapped windows whose title is exactly `title`."""
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--name", "^" + re.escape(title) + "$"],
                               env=dict(os.environ, DISPLAY=self.display), capture_output=True, text=True)
        return [int(w) for w in found.stdout.split()]

    def pixel(self, x, y):
        """(r, g, b) of the root window at (x, y), read back with xwd."""
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.display], capture_output=True,
                             check=True).stdout
        text = subprocess.run([CONVERT, "xwd:-", "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],"
                               f"%[fx:int(255*p{{{x},{y}}}.g)],%[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                              input=xwd, capture_output=True, check=True).stdout.decode()
        return tuple(int(v) for v in text.split(","))

    def close_window(self, window):
        """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
        x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

        display = x11.XOpenDisplay(self.display.encode())
        if not display:
            raise Failed(f"cannot open display {self.display}")
        event = ClientMessage(type=33, window=window, format=32,
                              message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.data[1] = 0  # CurrentTime
        x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)


def red_bmp(width=8, height=8):
    """A 24-bit BMP filled with pure red."""
    row = b"\x00\x00\xff" * width
    row += b"\x00" * (-len(row) % 4)
    pixels = row * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(4) + len(pixels).to_bytes(4, "little") + \
        (2835).to_bytes(4, "little") * 2 + bytes(8)
    return header + info + pixels


def is_red(pixel):
    return pixel[0] > 200 and pixel[1] < 50 and pixel[2] < 50


def cmake_cache_value(build_dir, name):
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            match = re.match(rf"{re.escape(name)}:[A-Z]+=(.*)$", line.rstrip("\n"))
            if match:
                return match.group(1)
    raise Failed(f"{name} is not in {build_dir}/CMakeCache.txt")


def project_versions(source_dir):
    """(text, numeric) versions as the top-level CMakeLists.txt defines them."""
    with open(os.path.join(source_dir, "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    numeric = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", text).group(1)
    # Shown as major, minor in two digits, build in four: 2.2.0.6 is 2.02.0006.
    major, minor, _, build = numeric.split(".")
    return f"{major}.{int(minor):02d}.{int(build):04d}", numeric

"""A private X server and the window helpers that the end-to-end tests of
VLMR and the package tests share: finding a window by title, reading
pixels back, and closing a window the way a window manager does."""
import ctypes
import os
import re
import subprocess
import time

CONVERT = "/usr/bin/convert"  # the real ImageMagick, not a stand-in


def wait_for(predicate, timeout, what, error=AssertionError, pause=0.05):
    """The predicate's first true value; `error` when none comes within the timeout (seconds)."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise error(f"timed out after {timeout} s waiting for {what}")
        time.sleep(pause)


def start_xvfb(screen="320x240x24"):
    """An Xvfb on a free display, once it accepts clients: (process, display name).
    -noreset: the root window keeps its background when the last client leaves."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", screen], pass_fds=[write_end],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def windows(display, title, pid=None):
    """Ids of the mapped windows (of the process, when given) whose title is exactly `title`."""
    owner = ["--pid", str(pid)] if pid is not None else []
    found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", *owner, "--name",
                            "^" + re.escape(title) + "$"],
                           env=dict(os.environ, DISPLAY=display), capture_output=True, text=True)
    return [int(w) for w in found.stdout.split()]


class Picture:
    """Pixels of a screenshot, read from ImageMagick's PPM output."""

    def __init__(self, xwd_bytes):
        ppm = subprocess.run([CONVERT, "xwd:-", "ppm:-"], input=xwd_bytes, capture_output=True, check=True).stdout
        # Header: P6, width, height, maxval, each maybe after '#' comment lines.
        header = re.match(rb"P6(?:\s+|#[^\n]*\n)*(\d+)(?:\s+|#[^\n]*\n)*(\d+)(?:\s+|#[^\n]*\n)*(\d+)\s", ppm)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.data = ppm[header.end():]
        self.xwd = xwd_bytes

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def save_png(self, path):
        subprocess.run([CONVERT, "xwd:-", path], input=self.xwd, check=True)


def screenshot(display, window=None):
    """The window, or the whole root window, as a Picture."""
    target = ["-id", str(window)] if window else ["-root"]
    xwd = subprocess.run(["xwd", "-silent", "-display", display, *target], capture_output=True, check=True).stdout
    return Picture(xwd)


def close_window(display, window):
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

    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError(f"cannot open display {display}")
    event = ClientMessage(type=33, window=window, format=32,
                          message_type=x11.XInternAtom(connection, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    event.data[1] = 0  # CurrentTime
    x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def is_red(pixel):
    return pixel[0] > 200 and pixel[1] < 50 and pixel[2] < 50
